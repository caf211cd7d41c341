#include "documents/rtf_document.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "shell/atomic_file.h"
#include "shell/files.h"
#include "shell/text.h"
#include "shell/text_encoding.h"

namespace skyrell {

namespace {

// Templates and screenshots are documents of a page or two and photos of a
// point's surroundings; a larger file is no such thing.
constexpr std::uint64_t kMostReadBytes = std::uint64_t{64} << 20;

// ---------------------------------------------------------------------------
// Tokens of an RTF text.

enum class Tok { Open, Close, Word, Symbol, Hex, Text, Binary, End };

struct Token {
    Tok kind = Tok::End;
    std::size_t start = 0, end = 0;
    std::string_view word;  // name of a control word
    bool hasParam = false;
    long long param = 0;
    char symbol = 0;         // character of a control symbol
    unsigned char hex = 0;   // byte of \'hh
    bool delimited = false;  // a control word ended by a space (part of the token)
};

int HexValue(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

class Scanner {
  public:
    explicit Scanner(std::string_view rtf) : s_(rtf) {}

    Token Next() {
        Token t;
        // Line ends outside control words carry no meaning.
        while (pos_ < s_.size() && (s_[pos_] == '\r' || s_[pos_] == '\n')) ++pos_;
        t.start = pos_;
        if (pos_ >= s_.size()) {
            t.end = pos_;
            return t;
        }
        const char c = s_[pos_];
        if (c == '{' || c == '}') {
            t.kind = c == '{' ? Tok::Open : Tok::Close;
            t.end = ++pos_;
            return t;
        }
        if (c != '\\') {
            while (pos_ < s_.size() && s_[pos_] != '\\' && s_[pos_] != '{' && s_[pos_] != '}' &&
                   s_[pos_] != '\r' && s_[pos_] != '\n')
                ++pos_;
            t.kind = Tok::Text;
            t.end = pos_;
            return t;
        }
        ++pos_;
        if (pos_ >= s_.size()) {  // a lone backslash at the very end
            t.kind = Tok::Symbol;
            t.symbol = '\\';
            t.end = pos_;
            return t;
        }
        if (!IsLetter(s_[pos_])) {
            t.symbol = s_[pos_++];
            if (t.symbol == '\'' && pos_ + 1 < s_.size()) {
                const int hi = HexValue(s_[pos_]);
                const int lo = HexValue(s_[pos_ + 1]);
                if (hi >= 0 && lo >= 0) {
                    t.kind = Tok::Hex;
                    t.hex = static_cast<unsigned char>(hi * 16 + lo);
                    pos_ += 2;
                    t.end = pos_;
                    return t;
                }
            }
            t.kind = Tok::Symbol;
            t.end = pos_;
            return t;
        }
        const std::size_t nameStart = pos_;
        while (pos_ < s_.size() && IsLetter(s_[pos_]) && pos_ - nameStart < 32) ++pos_;
        t.kind = Tok::Word;
        t.word = s_.substr(nameStart, pos_ - nameStart);
        bool negative = false;
        if (pos_ < s_.size() && s_[pos_] == '-' && pos_ + 1 < s_.size() && IsDigit(s_[pos_ + 1])) {
            negative = true;
            ++pos_;
        }
        int digits = 0;
        while (pos_ < s_.size() && IsDigit(s_[pos_])) {
            if (digits++ < 10) t.param = t.param * 10 + (s_[pos_] - '0');
            t.hasParam = true;
            ++pos_;
        }
        if (negative) t.param = -t.param;
        if (pos_ < s_.size() && s_[pos_] == ' ') {
            t.delimited = true;
            ++pos_;
        }
        if (t.word == "bin" && t.param > 0) {
            // Raw bytes follow; they may hold any brace or backslash.
            const auto count = static_cast<std::size_t>(t.param);
            pos_ = count > s_.size() - pos_ ? s_.size() : pos_ + count;
            t.kind = Tok::Binary;
        }
        t.end = pos_;
        return t;
    }

    std::size_t Position() const { return pos_; }
    void Seek(std::size_t pos) { pos_ = pos; }

  private:
    std::string_view s_;
    std::size_t pos_ = 0;
};

// Skips the rest of a group whose "{" was read; false when the text ends first.
bool SkipGroup(Scanner& scanner) {
    int depth = 1;
    while (depth > 0) {
        const Token t = scanner.Next();
        if (t.kind == Tok::End) return false;
        if (t.kind == Tok::Open) ++depth;
        if (t.kind == Tok::Close) --depth;
    }
    return true;
}

// The destination word of a group whose "{" was just read, and whether it is
// marked ignorable ("\\*"); the scanner stays where it was.
struct GroupHead {
    std::string_view name;
    bool ignorable = false;
};
GroupHead PeekGroupHead(Scanner& scanner) {
    const std::size_t after = scanner.Position();
    GroupHead head;
    const Token first = scanner.Next();
    if (first.kind == Tok::Symbol && first.symbol == '*') {
        head.ignorable = true;
        const Token second = scanner.Next();
        if (second.kind == Tok::Word) head.name = second.word;
    } else if (first.kind == Tok::Word) {
        head.name = first.word;
    }
    scanner.Seek(after);
    return head;
}

bool IsOneOf(std::string_view word, std::initializer_list<std::string_view> words) {
    return std::find(words.begin(), words.end(), word) != words.end();
}

// Destinations that hold no body text of the document: skipped whole.
bool IsSkippedDestination(std::string_view word) {
    return IsOneOf(
        word,
        {"fonttbl",   "colortbl",          "stylesheet", "info",         "pict",     "object",
         "shp",       "nonshppict",        "header",     "headerl",      "headerr",  "headerf",
         "footer",    "footerl",           "footerr",    "footerf",      "footnote", "annotation",
         "listtable", "listoverridetable", "revtbl",     "filetbl",      "rsidtbl",  "ftnsep",
         "ftnsepc",   "aftnsep",           "aftnsepc",   "pntext",       "pntxta",   "pntxtb",
         "xmlnstbl",  "generator",         "userprops",  "latentstyles", "themedata"});
}

// Destinations that put something visible where they stand.
bool IsContentDestination(std::string_view word) {
    return IsOneOf(word, {"pict", "object", "shp", "shppict", "nonshppict", "field"});
}

// Control words that put a character or a break into the text.
bool IsContentWord(std::string_view word) {
    return IsOneOf(
        word, {"par",     "line",    "tab",      "u",       "emdash",  "endash",    "emspace",
               "enspace", "qmspace", "bullet",   "lquote",  "rquote",  "ldblquote", "rdblquote",
               "zwj",     "zwnj",    "page",     "column",  "chftn",   "chdate",    "chtime",
               "chpgn",   "sectnum", "softline", "ltrmark", "rtlmark", "sect"});
}

bool IsLineEndSymbol(char symbol) { return symbol == '\n' || symbol == '\r'; }

std::string NotRtfText(const std::filesystem::path& source) {
    return "“" + PathText(source) + "”不是可读的RTF文档。";
}

// True when the braces of the text pair up.
bool BracesBalanced(std::string_view rtf) {
    Scanner scanner(rtf);
    int depth = 0;
    for (Token t = scanner.Next(); t.kind != Tok::End; t = scanner.Next()) {
        if (t.kind == Tok::Open) ++depth;
        if (t.kind == Tok::Close && --depth < 0) return false;
    }
    return depth == 0;
}

struct CellDef {
    std::int64_t right = 0;
    bool merged = false;        // continues a merge: not counted
    bool continuesRow = false;  // \clmrg: belongs to the cell on its left
};

// The page height and its top and bottom margins, in twips: the document's
// (\paperh, \margt, \margb, with RTF's defaults of letter paper and one-inch
// margins), or its section's where the section sets them.
struct PageSize {
    std::int64_t height = 15840;
    std::int64_t marginTop = 1440;
    std::int64_t marginBottom = 1440;
};
// The page measure a control word sets, or nullptr.
std::int64_t* PageMeasure(PageSize& page, std::string_view word) {
    if (word == "paperh" || word == "pghsxn") return &page.height;
    if (word == "margt" || word == "margtsxn") return &page.marginTop;
    if (word == "margb" || word == "margbsxn") return &page.marginBottom;
    return nullptr;
}

// Group state that the table walk needs.
struct GroupState {
    bool inTable = false;
    int unicodeSkip = 1;
};

}  // namespace

// ---------------------------------------------------------------------------
// Finding the first table.

Result<RtfTableLayout> ParseRtfTable(std::string_view rtf, const std::filesystem::path& source) {
    if (rtf.substr(0, 5) != "{\\rtf" || !BracesBalanced(rtf))
        return Status::Fail(NotRtfText(source));

    Scanner scanner(rtf);
    RtfTableLayout layout;
    std::vector<GroupState> stack{GroupState{}};
    int depth = 0;

    std::vector<CellDef> defs;
    bool pendingMerged = false, pendingContinues = false;
    std::int64_t rowLeft = 0, rowGap = 0, rowHeight = 0;
    std::vector<RtfCell> rowCells;
    PageSize pageSize;

    std::size_t boundary = 0;  // where the next cell's bytes begin
    bool cutPending = true;
    RtfCell current;
    bool afterRow = false;
    bool done = false;

    const auto markContent = [&](const Token& t) {
        if (!cutPending) return;
        cutPending = false;
        current.cut = t.start;
        current.restDepth = depth;  // depth at the cut; made relative at \cell
        current.unicodeSkip = stack.back().unicodeSkip;
    };
    const auto resetCell = [&](std::size_t at) {
        boundary = at;
        cutPending = true;
        current = RtfCell{};
    };

    Token t = scanner.Next();
    while (!done && t.kind != Tok::End) {
        const bool inTable = stack.back().inTable;
        switch (t.kind) {
            case Tok::Open: {
                const auto [name, ignorable] = PeekGroupHead(scanner);
                if (IsContentDestination(name)) {
                    if (afterRow && !inTable) {
                        done = true;
                        break;
                    }
                    markContent(t);
                }
                // Word's picture wrapper is entered: its picture is content.
                if (name != "shppict" && (ignorable || IsSkippedDestination(name))) {
                    SkipGroup(scanner);
                    break;
                }
                stack.push_back(stack.back());
                ++depth;
                break;
            }
            case Tok::Close:
                if (stack.size() > 1) stack.pop_back();
                --depth;
                break;
            case Tok::Text:
            case Tok::Hex:
            case Tok::Binary:
                if (afterRow && !inTable) {
                    done = true;
                    break;
                }
                markContent(t);
                break;
            case Tok::Symbol:
                if (t.symbol == '*') break;
                if (IsLineEndSymbol(t.symbol) && !inTable && rowCells.empty()) {
                    if (afterRow) {
                        done = true;
                        break;
                    }
                    resetCell(t.end);
                    break;
                }
                if (afterRow && !inTable) {
                    done = true;
                    break;
                }
                markContent(t);
                break;
            case Tok::Word: {
                const std::string_view w = t.word;
                if (w == "pard") {
                    stack.back().inTable = false;
                } else if (w == "intbl") {
                    stack.back().inTable = true;
                } else if (w == "itap") {
                    stack.back().inTable = t.param > 0;
                } else if (w == "uc") {
                    stack.back().unicodeSkip = t.hasParam ? static_cast<int>(t.param) : 1;
                } else if (w == "trowd") {
                    defs.clear();
                    pendingMerged = pendingContinues = false;
                    rowLeft = rowGap = rowHeight = 0;
                } else if (w == "trrh") {
                    rowHeight = t.param < 0 ? -t.param : t.param;  // negative: exactly
                } else if (std::int64_t* measure = PageMeasure(pageSize, w);
                           measure && t.hasParam) {
                    *measure = t.param;
                } else if (w == "trleft") {
                    rowLeft = t.param;
                } else if (w == "trgaph") {
                    rowGap = t.param;
                } else if (w == "clmrg") {
                    pendingMerged = pendingContinues = true;
                } else if (w == "clvmrg") {
                    pendingMerged = true;
                } else if (w == "cellx") {
                    defs.push_back({t.param, pendingMerged, pendingContinues});
                    pendingMerged = pendingContinues = false;
                } else if (w == "cell") {
                    markContent(t);  // an empty cell: the cut is at its end
                    current.begin = boundary;
                    current.end = t.start;
                    current.restDepth = depth - current.restDepth;
                    rowCells.push_back(current);
                    resetCell(t.end);
                    afterRow = false;
                } else if (w == "row") {
                    if (!rowCells.empty()) {
                        std::vector<RtfCell> counted;
                        for (std::size_t i = 0; i < rowCells.size(); ++i) {
                            if (i < defs.size() && defs[i].merged) continue;
                            RtfCell cell = rowCells[i];
                            if (i < defs.size()) {
                                const std::int64_t left = i == 0 ? rowLeft : defs[i - 1].right;
                                std::int64_t right = defs[i].right;
                                for (std::size_t j = i + 1; j < defs.size() && defs[j].continuesRow;
                                     ++j)
                                    right = defs[j].right;
                                cell.widthTwips =
                                    std::max<std::int64_t>(right - left - 2 * rowGap, 0);
                            }
                            counted.push_back(cell);
                        }
                        layout.rows.push_back(std::move(counted));
                        layout.rowHeights.push_back(rowHeight);
                        rowCells.clear();
                    }
                    resetCell(t.end);
                    afterRow = true;
                } else if ((w == "par" || w == "sect") && !inTable && rowCells.empty()) {
                    // A paragraph outside the table: the table has ended, or
                    // has not begun yet.
                    if (afterRow) {
                        done = true;
                        break;
                    }
                    resetCell(t.end);
                } else if (IsContentWord(w)) {
                    if (afterRow && !inTable) {
                        done = true;
                        break;
                    }
                    markContent(t);
                }
                break;
            }
            case Tok::End:
                break;
        }
        if (!done) t = scanner.Next();
    }
    if (layout.rows.empty()) return Status::Fail("“" + PathText(source) + "”中没有表格。");
    layout.pageBodyTwips =
        std::max<std::int64_t>(pageSize.height - pageSize.marginTop - pageSize.marginBottom, 0);
    return layout;
}

// ---------------------------------------------------------------------------
// Reading cell contents back.

namespace {

// Plain text and pictures of one stretch of RTF (a cell's bytes).
RtfCellContent ReadContent(std::string_view rtf, int unicodeSkip) {
    RtfCellContent content;
    Scanner scanner(rtf);
    std::vector<int> skips{unicodeSkip};
    std::string ansi;  // \'hh bytes waiting to be decoded as GBK
    char16_t highSurrogate = 0;
    int fallback = 0;  // characters still to skip after \uN
    const auto flush = [&] {
        if (!ansi.empty()) content.text += GbkToUtf8(ansi);
        ansi.clear();
    };
    for (Token t = scanner.Next(); t.kind != Tok::End; t = scanner.Next()) {
        if (fallback > 0 && (t.kind == Tok::Hex || t.kind == Tok::Symbol || t.kind == Tok::Text)) {
            if (t.kind == Tok::Text && t.end - t.start > static_cast<std::size_t>(fallback)) {
                // Skip only the first characters of the run.
                const std::size_t from = t.start + static_cast<std::size_t>(fallback);
                fallback = 0;
                flush();
                content.text.append(rtf.substr(from, t.end - from));
                continue;
            }
            fallback -= t.kind == Tok::Text ? static_cast<int>(t.end - t.start) : 1;
            continue;
        }
        switch (t.kind) {
            case Tok::Open: {
                const auto [name, ignorable] = PeekGroupHead(scanner);
                if (name == "pict") ++content.pictures;
                if (name != "shppict" && (ignorable || IsSkippedDestination(name))) {
                    SkipGroup(scanner);
                } else {
                    skips.push_back(skips.back());
                }
                break;
            }
            case Tok::Close:
                if (skips.size() > 1) skips.pop_back();
                break;
            case Tok::Text:
                flush();
                content.text.append(rtf.substr(t.start, t.end - t.start));
                break;
            case Tok::Hex:
                ansi += static_cast<char>(t.hex);
                break;
            case Tok::Symbol:
                flush();
                if (t.symbol == '\\' || t.symbol == '{' || t.symbol == '}')
                    content.text += t.symbol;
                if (t.symbol == '~') content.text += "\xC2\xA0";
                if (IsLineEndSymbol(t.symbol)) content.text += "\r\n";
                break;
            case Tok::Word:
                flush();
                if (t.word == "uc") {
                    skips.back() = t.hasParam ? static_cast<int>(t.param) : 1;
                } else if (t.word == "u") {
                    const auto unit = static_cast<char16_t>(static_cast<std::int16_t>(t.param));
                    if (unit >= 0xD800 && unit < 0xDC00) {
                        highSurrogate = unit;
                    } else if (unit >= 0xDC00 && unit < 0xE000 && highSurrogate) {
                        AppendUtf8(content.text,
                                   0x10000 + ((highSurrogate - 0xD800) << 10) + (unit - 0xDC00));
                        highSurrogate = 0;
                    } else {
                        AppendUtf8(content.text, unit);
                    }
                    fallback = skips.back();
                } else if (t.word == "par" || t.word == "line") {
                    content.text += "\r\n";
                } else if (t.word == "tab") {
                    content.text += '\t';
                }
                break;
            default:
                break;
        }
    }
    flush();
    return content;
}

}  // namespace

Result<std::vector<std::vector<RtfCellContent>>> ReadRtfTable(std::string_view rtf,
                                                              const std::filesystem::path& source) {
    auto layout = ParseRtfTable(rtf, source);
    if (!layout) return layout.status();
    std::vector<std::vector<RtfCellContent>> rows;
    for (const auto& row : layout->rows) {
        auto& out = rows.emplace_back();
        for (const RtfCell& cell : row)
            out.push_back(
                ReadContent(rtf.substr(cell.begin, cell.end - cell.begin), cell.unicodeSkip));
    }
    return rows;
}

// ---------------------------------------------------------------------------
// Writing.

std::string RtfEscaped(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size() + 16);
    // One UTF-16 unit and its two fallback bytes: the character's GBK bytes,
    // which readers without Unicode take from the document's code page 936,
    // or "??" for a character GBK holds in other than two bytes.
    const auto unit = [&out](std::uint32_t u, std::string_view gbk) {
        static constexpr char kHex[] = "0123456789abcdef";
        out += "\\u";
        out += std::to_string(static_cast<std::int16_t>(static_cast<std::uint16_t>(u)));
        if (gbk.size() != static_cast<std::size_t>(kRtfFallbackBytes)) {
            out += "??";
            return;
        }
        for (const char c : gbk) {
            const auto b = static_cast<unsigned char>(c);
            out += "\\'";
            out += kHex[b >> 4];
            out += kHex[b & 15];
        }
    };
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            ++i;
            if (c == '\r') {
                if (i < utf8.size() && utf8[i] == '\n') ++i;
                out += "\\par ";
            } else if (c == '\n') {
                out += "\\par ";
            } else if (c == '\t') {
                out += "\\tab ";
            } else if (c == '\\' || c == '{' || c == '}') {
                out += '\\';
                out += static_cast<char>(c);
            } else if (c >= 0x20 && c != 0x7F) {
                out += static_cast<char>(c);
            }
            continue;
        }
        // One UTF-8 sequence; a malformed one stands for U+FFFD.
        const Utf8Character character = DecodeUtf8(utf8, i);
        if (!character.valid) {
            unit(0xFFFD, {});
            ++i;
            while (i < utf8.size() && (static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80) ++i;
            continue;
        }
        const auto gbk = Utf8ToGbk(utf8.substr(i, character.length));
        i += character.length;
        std::uint32_t code = character.code;
        if (code >= 0x10000) {
            code -= 0x10000;
            unit(0xD800 + (code >> 10), {});
            unit(0xDC00 + (code & 0x3FF), {});
        } else {
            unit(code, gbk ? std::string_view(*gbk) : std::string_view());
        }
    }
    return out;
}

std::pair<int, int> JpegPixelSize(std::string_view jpeg) {
    const auto byte = [&jpeg](std::size_t at) { return static_cast<unsigned char>(jpeg[at]); };
    if (jpeg.size() < 4 || byte(0) != 0xFF || byte(1) != 0xD8) return {0, 0};
    std::size_t pos = 2;
    while (pos + 4 <= jpeg.size()) {
        if (byte(pos) != 0xFF) return {0, 0};
        while (pos < jpeg.size() && byte(pos) == 0xFF) ++pos;  // fill bytes
        if (pos >= jpeg.size()) break;
        const unsigned char marker = byte(pos++);
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) continue;  // no length
        if (marker == 0xD9 || pos + 2 > jpeg.size()) break;
        const std::size_t length = byte(pos) << 8 | byte(pos + 1);
        if (length < 2) break;
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (pos + 7 > jpeg.size()) break;
            const int height = byte(pos + 3) << 8 | byte(pos + 4);
            const int width = byte(pos + 5) << 8 | byte(pos + 6);
            if (width == 0 || height == 0) break;
            return {width, height};
        }
        pos += length;
    }
    return {0, 0};
}

namespace {

constexpr std::int64_t kTwipsPerPixel = 15;   // 96 pixels per inch
constexpr std::int64_t kLeastRowTwips = 400;  // one line of 12-point text and its padding
constexpr std::int64_t kAroundTableTwips = 1440;

// A picture is shown at its size, or scaled down, aspect kept, to the cell's
// width or the height limit, whichever is reached first (0: no limit).
std::string PictureGroup(std::string_view jpeg, int width, int height, std::int64_t cellWidth,
                         std::int64_t heightLimit) {
    std::int64_t goalWidth = width * kTwipsPerPixel;
    std::int64_t goalHeight = height * kTwipsPerPixel;
    const bool tooWide = cellWidth > 0 && goalWidth > cellWidth;
    const bool tooTall = heightLimit > 0 && goalHeight > heightLimit;
    // Width bound when cellWidth / goalWidth <= heightLimit / goalHeight.
    if (tooWide && (!tooTall || cellWidth * goalHeight <= heightLimit * goalWidth)) {
        goalHeight = (goalHeight * cellWidth + goalWidth / 2) / goalWidth;
        goalWidth = cellWidth;
    } else if (tooTall) {
        goalWidth = (goalWidth * heightLimit + goalHeight / 2) / goalHeight;
        goalHeight = heightLimit;
    }
    std::string group = "{\\pict\\jpegblip\\picw" + std::to_string(width) + "\\pich" +
                        std::to_string(height) + "\\picwgoal" + std::to_string(goalWidth) +
                        "\\pichgoal" + std::to_string(goalHeight) + "\r\n";
    static constexpr char kHex[] = "0123456789abcdef";
    constexpr std::size_t kBytesPerLine = 64;
    group.reserve(group.size() + jpeg.size() * 2 + jpeg.size() / kBytesPerLine * 2 + 4);
    for (std::size_t i = 0; i < jpeg.size(); ++i) {
        const auto b = static_cast<unsigned char>(jpeg[i]);
        group += kHex[b >> 4];
        group += kHex[b & 15];
        if (i % kBytesPerLine == kBytesPerLine - 1) group += "\r\n";
    }
    group += '}';
    return group;
}

const char* const kNotOpenText = "没有打开的文档。";

}  // namespace

std::int64_t PictureHeightLimit(const RtfTableLayout& layout, std::size_t row) {
    std::int64_t left = layout.pageBodyTwips - kAroundTableTwips;
    for (std::size_t i = 0; i < layout.rowHeights.size(); ++i)
        if (i != row) left -= std::max(layout.rowHeights[i], kLeastRowTwips);
    return std::max<std::int64_t>(left, 0);
}

Status RtfDocumentEngine::Open(const std::filesystem::path& templateFile) {
    Close();
    auto bytes = ReadWholeFile(templateFile, kMostReadBytes);
    if (!bytes) return bytes.status();
    auto table = ParseRtfTable(*bytes, templateFile);
    if (!table) return table.status();
    templateFile_ = templateFile;
    rtf_ = std::move(*bytes);
    table_ = std::move(*table);
    open_ = true;
    return Status::Ok();
}

Result<const RtfCell*> RtfDocumentEngine::CellAt(int row, int column) const {
    if (!open_) return Status::Fail(kNotOpenText);
    if (row < 1 || column < 1 || static_cast<std::size_t>(row) > table_.rows.size() ||
        static_cast<std::size_t>(column) > table_.rows[row - 1].size())
        return Status::Fail("“" + PathText(templateFile_) + "”的表格中没有第" +
                            std::to_string(row) + "行第" + std::to_string(column) + "个单元格。");
    return &table_.rows[row - 1][column - 1];
}

Status RtfDocumentEngine::SetCellText(int row, int column, std::string_view text) {
    auto cell = CellAt(row, column);
    if (!cell) return cell.status();
    CellEdit& edit = edits_[(*cell)->begin];
    edit.pictures.clear();
    edit.replaced = true;
    edit.text = RtfEscaped(text);
    // Each \uN escape of the text is followed by two fallback bytes; a cell
    // that counts them otherwise gets the count for the text alone.
    const bool escapes = !IsAscii(text);
    if (escapes && (*cell)->unicodeSkip != kRtfFallbackBytes)
        edit.text = "{\\uc2 " + edit.text + "}";
    return Status::Ok();
}

Status RtfDocumentEngine::AddPicture(int row, int column, const std::filesystem::path& jpeg) {
    auto cell = CellAt(row, column);
    if (!cell) return cell.status();
    auto bytes = ReadWholeFile(jpeg, kMostReadBytes);
    if (!bytes) return bytes.status();
    const auto [width, height] = JpegPixelSize(*bytes);
    if (width == 0) return Status::Fail("“" + PathText(jpeg) + "”不是JPEG图片。");
    edits_[(*cell)->begin].pictures.push_back(
        PictureGroup(*bytes, width, height, (*cell)->widthTwips,
                     PictureHeightLimit(table_, static_cast<std::size_t>(row - 1))));
    return Status::Ok();
}

Status RtfDocumentEngine::SaveAs(const std::filesystem::path& target) {
    if (!open_) return Status::Fail(kNotOpenText);
    const std::string_view rtf = rtf_;
    AtomicFile file;
    Status status = file.Open(target);
    std::size_t done = 0;
    const auto copy = [&](std::size_t from, std::size_t to) {
        if (status && to > from) status = file.Write(rtf.substr(from, to - from));
    };
    for (const auto& row : table_.rows) {
        for (const RtfCell& cell : row) {
            const auto found = edits_.find(cell.begin);
            if (found == edits_.end()) continue;
            const CellEdit& edit = found->second;
            copy(done, cell.cut);
            // A control word right before the cut would swallow letters or
            // digits of the new content.
            const bool separate = cell.cut > cell.begin && cell.cut > 0 &&
                                  (IsLetter(rtf[cell.cut - 1]) || IsDigit(rtf[cell.cut - 1]));
            if (status && separate) status = file.Write(" ");
            for (const auto& picture : edit.pictures)
                if (status) status = file.Write(picture);
            if (edit.replaced) {
                if (status) status = file.Write(edit.text);
                // Keep the braces paired as the dropped content left them.
                const std::string braces(static_cast<std::size_t>(std::abs(cell.restDepth)),
                                         cell.restDepth > 0 ? '{' : '}');
                if (status) status = file.Write(braces);
                done = cell.end;
            } else {
                done = cell.cut;
            }
        }
    }
    copy(done, rtf.size());
    if (status) status = file.Commit();
    if (!status) return Status::Fail(WriteFailureText(target, status), status.code());
    return Status::Ok();
}

void RtfDocumentEngine::Close() {
    open_ = false;
    rtf_.clear();
    table_ = {};
    edits_.clear();
}

}  // namespace skyrell
