#include "shell/text_encoding.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "shell/text.h"

namespace skyrell {

namespace {

// One converter per direction and thread: opening a converter costs far more
// than converting a line.
class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        // (iconv_t)-1 is iconv_open's documented failure value.
        // NOLINTNEXTLINE(performance-no-int-to-ptr)
        if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts the text; on a sequence that cannot be converted stops and
    // reports its offset through badOffset (returns false).
    bool Convert(std::string_view in, std::string& out, std::size_t& badOffset) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        out.clear();
        out.resize(in.size() * 2 + 8);
        char* inPtr = const_cast<char*>(in.data());
        std::size_t inLeft = in.size();
        std::size_t produced = 0;
        while (inLeft > 0) {
            char* outPtr = out.data() + produced;
            std::size_t outLeft = out.size() - produced;
            const std::size_t rc = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
            produced = out.size() - outLeft;
            if (rc != static_cast<std::size_t>(-1)) break;
            if (errno == E2BIG) {
                out.resize(out.size() * 2);
                continue;
            }
            out.resize(produced);
            badOffset = in.size() - inLeft;
            return false;
        }
        out.resize(produced);
        return true;
    }

  private:
    iconv_t cd_;
};

Converter& GbkDecoder() {
    thread_local Converter converter("UTF-8", "GBK");
    return converter;
}

Converter& GbkEncoder() {
    thread_local Converter converter("GBK", "UTF-8");
    return converter;
}

}  // namespace

void TextEncodingDecision::Feed(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = p + bytes.size();
    while (p < end && !broken_) {
        if (pending_ == 0) {
            // ASCII runs are the bulk of most files: skip them eight at a time.
            while (end - p >= 8) {
                std::uint64_t word;
                std::memcpy(&word, p, sizeof word);
                if (word & 0x8080808080808080u) break;
                p += 8;
            }
            if (p == end) break;
            const unsigned char lead = *p++;
            if (lead < 0x80) continue;
            nonAscii_ = true;
            low_ = 0x80;
            high_ = 0xBF;
            if (lead >= 0xC2 && lead <= 0xDF) {
                pending_ = 1;
            } else if (lead >= 0xE0 && lead <= 0xEF) {
                pending_ = 2;
                if (lead == 0xE0) low_ = 0xA0;   // no overlong forms
                if (lead == 0xED) high_ = 0x9F;  // no surrogates
            } else if (lead >= 0xF0 && lead <= 0xF4) {
                pending_ = 3;
                if (lead == 0xF0) low_ = 0x90;
                if (lead == 0xF4) high_ = 0x8F;  // nothing beyond U+10FFFF
            } else {
                broken_ = true;  // 0x80..0xC1 and 0xF5..0xFF lead nothing
            }
            continue;
        }
        const unsigned char next = *p++;
        if (next < low_ || next > high_) {
            broken_ = true;
            break;
        }
        --pending_;
        low_ = 0x80;
        high_ = 0xBF;
    }
}

TextEncoding TextEncodingDecision::Decision(bool complete) const {
    const bool utf8 = !broken_ && nonAscii_ && (pending_ == 0 || !complete);
    return utf8 ? TextEncoding::Utf8 : TextEncoding::Gbk;
}

TextEncoding DecideTextEncoding(std::string_view bytes) {
    TextEncodingDecision decision;
    decision.Feed(bytes);
    return decision.Decision();
}

std::string GbkToUtf8(std::string_view gbk) {
    if (IsAscii(gbk)) return std::string(gbk);
    std::string out, part;
    while (!gbk.empty()) {
        std::size_t bad = 0;
        if (GbkDecoder().Convert(gbk, part, bad)) {
            out += part;
            break;
        }
        out += part;
        out += "\xEF\xBF\xBD";  // U+FFFD for the byte that is not GBK
        gbk.remove_prefix(bad + 1);
    }
    return out;
}

std::string EncodingRefusalText(std::string_view character) {
    return "字符“" + std::string(character) + "”无法以GBK编码保存，请改用其他字符。";
}

Result<std::string> Utf8ToGbk(std::string_view utf8) {
    if (IsAscii(utf8)) return std::string(utf8);
    std::string out;
    std::size_t bad = 0;
    if (GbkEncoder().Convert(utf8, out, bad)) return out;
    const auto length = std::min(DecodeUtf8(utf8, bad).length, utf8.size() - bad);
    return Status::Fail(EncodingRefusalText(utf8.substr(bad, length)));
}

std::string GbkSafeText(std::string_view utf8) {
    if (IsAscii(utf8) || Utf8ToGbk(utf8)) return std::string(utf8);
    std::string out;
    char mark[16];
    for (std::size_t at = 0; at < utf8.size();) {
        const Utf8Character c = DecodeUtf8(utf8, at);
        if (!c.whole) {
            std::snprintf(mark, sizeof mark, "<0x%02X>", static_cast<unsigned char>(utf8[at]));
            out += mark;
            ++at;
            continue;
        }
        const auto character = utf8.substr(at, c.length);
        if (Utf8ToGbk(character)) {
            out += character;
        } else {
            std::snprintf(mark, sizeof mark, "<U+%04X>", static_cast<unsigned>(c.code));
            out += mark;
        }
        at += c.length;
    }
    return out;
}

}  // namespace skyrell
