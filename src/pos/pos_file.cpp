#include "pos/pos_file.h"

#include "shell/files.h"
#include "shell/text.h"

namespace skyrell {

namespace {

// The blank-separated fields of a line when there are exactly nine. A space
// byte is a space in GBK too (no GBK trail byte is below 0x40), so the bytes
// of a line split like its text.
bool SplitNine(std::string_view line, std::string_view (&fields)[PosRecord::kFieldCount]) {
    const std::string_view text = TrimSpaces(line);
    std::size_t count = 0, pos = 0;
    while (pos < text.size()) {
        if (count == PosRecord::kFieldCount) return false;
        auto end = text.find(' ', pos);
        if (end == std::string_view::npos) end = text.size();
        fields[count++] = text.substr(pos, end - pos);
        pos = text.find_first_not_of(' ', end);
        if (pos == std::string_view::npos) break;
    }
    return count == PosRecord::kFieldCount;
}

}  // namespace

Status PosReader::Open(const std::filesystem::path& path) {
    path_ = path;
    return lines_.Open(path);
}

bool PosReader::Next(PosRecord& record) {
    while (lines_.NextBytes(bytes_)) {
        if (lines_.LineNumber() % kReportLines == 0) {
            feedback_->Report(lines_.Position(), lines_.Size());
            if (feedback_->Cancelled()) {
                cancelled_ = Status::Fail(std::string(kCancelledText));
                return false;
            }
        }
        std::string_view parts[PosRecord::kFieldCount];
        if (!SplitNine(bytes_, parts)) continue;
        record.fields.resize(PosRecord::kFieldCount);
        const bool utf8 = lines_.Encoding() == TextEncoding::Utf8;
        for (std::size_t i = 0; i < PosRecord::kFieldCount; ++i) {
            if (utf8 || IsAscii(parts[i])) {
                record.fields[i].assign(parts[i]);
                continue;
            }
            // Fields such as the weekday repeat from line to line: decode a
            // GBK field only when it differs from the one above it.
            if (parts[i] != lastBytes_[i]) {
                lastBytes_[i].assign(parts[i]);
                lastText_[i] = GbkToUtf8(parts[i]);
            }
            record.fields[i] = lastText_[i];
        }
        record.lineNumber = lines_.LineNumber();
        return true;
    }
    return false;
}

Result<std::vector<PosRecord>> ReadPosFile(const std::filesystem::path& path) {
    PosReader reader;
    if (auto opened = reader.Open(path); !opened) return opened;
    std::vector<PosRecord> records;
    PosRecord record;
    while (reader.Next(record)) records.push_back(record);
    if (!reader.status()) return reader.status();
    return records;
}

std::string PosFormatErrorText(const std::filesystem::path& path) {
    return "无人机POS文件 " + PathText(path) + " 数据格式错误！";
}

Status PosFormatCheck(const std::filesystem::path& path) {
    PosReader reader;
    if (auto opened = reader.Open(path); !opened) return opened;
    PosRecord record;
    const bool any = reader.Next(record);
    if (!reader.status()) return reader.status();
    return any ? Status::Ok() : Status::Fail(PosFormatErrorText(path));
}

Result<double> PosNumber(const PosRecord& record, PosNumberField field,
                         const std::filesystem::path& path) {
    std::size_t index = PosRecord::kLongitudeField;
    const char* name = "经度";
    if (field == PosNumberField::Latitude) {
        index = PosRecord::kLatitudeField;
        name = "纬度";
    } else if (field == PosNumberField::Height) {
        index = PosRecord::kHeightField;
        name = "高程";
    }
    const std::string& text = record.fields[index];
    if (const auto number = ParseNumber(text)) return *number;
    return Status::Fail("无人机POS文件 " + PathText(path) + " 第" +
                        std::to_string(record.lineNumber) + "行的" + name + "“" + text +
                        "”不是数字！");
}

}  // namespace skyrell
