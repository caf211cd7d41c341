#include "pos/pos_file.h"

#include "shell/text.h"

namespace skyrell {

bool SplitPosLine(std::string_view line, std::vector<std::string>& fields) {
    // Counting the blank-separated runs first spares the copies for the many
    // lines that are not data lines.
    const std::string_view text = TrimSpaces(line);
    if (text.empty()) return false;
    std::size_t runs = 0;
    bool inRun = false;
    for (char c : text) {
        if (c == ' ') {
            inRun = false;
        } else if (!inRun) {
            inRun = true;
            if (++runs > PosRecord::kFieldCount) return false;
        }
    }
    if (runs != PosRecord::kFieldCount) return false;
    fields.resize(PosRecord::kFieldCount);
    std::size_t index = 0, pos = 0;
    while (index < PosRecord::kFieldCount) {
        const auto end = text.find(' ', pos);
        fields[index++].assign(text.substr(pos, end - pos));
        if (end == std::string_view::npos) break;
        pos = text.find_first_not_of(' ', end);
    }
    return true;
}

Status PosReader::Open(const std::filesystem::path& path) {
    path_ = path;
    return lines_.Open(path);
}

bool PosReader::Next(PosRecord& record) {
    while (lines_.Next(line_)) {
        if (yield_ && lines_.LineNumber() % kYieldLines == 0) yield_();
        if (SplitPosLine(line_, record.Fields)) {
            record.LineNumber = lines_.LineNumber();
            return true;
        }
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
    const std::string& text = record.Fields[index];
    if (const auto number = ParseNumber(text)) return *number;
    return Status::Fail("无人机POS文件 " + PathText(path) + " 第" +
                        std::to_string(record.LineNumber) + "行的" + name + "“" + text +
                        "”不是数字！");
}

}  // namespace skyrell
