#include "project/point_descriptions.h"

#include <array>

#include "project/sortie_layout.h"
#include "shell/atomic_file.h"
#include "shell/files.h"
#include "shell/line_reader.h"
#include "shell/text.h"
#include "shell/text_encoding.h"

namespace skyrell {

namespace {

constexpr std::size_t kFieldCount = 5;

std::string_view WithoutLeadingBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

// The box that shows a field, as the refusal messages name it.
std::string FieldLabel(int field) {
    static constexpr std::array<std::string_view, 4> kNumbers = {"一", "二", "三", "四"};
    if (field == 1) return "点名";
    return "第" + std::string(kNumbers[static_cast<std::size_t>(field - 2)]) + "描述";
}

std::array<const std::string*, kFieldCount> FieldsOf(const PointDescription& record) {
    return {&record.name, &record.place, &record.height, &record.third, &record.fourth};
}

// Hands each record of the file to `visit`, with its line as the file holds it
// (bytes in the file's encoding), until `visit` returns false. Lines that are
// not records are passed over.
using RecordVisitor =
    std::function<bool(const std::string& bytes, TextEncoding encoding, PointDescription&)>;
Status ForEachRecord(const std::filesystem::path& file, const Feedback& feedback,
                     const RecordVisitor& visit) {
    LineReader reader;
    if (auto opened = reader.Open(file); !opened) return opened;
    std::string bytes;
    while (true) {
        if (feedback.Cancelled()) return Status::Fail(std::string(kCancelledText));
        if (!reader.NextBytes(bytes)) break;
        feedback.Report(reader.Position(), reader.Size());
        const TextEncoding encoding = reader.Encoding();
        auto record =
            ParsePointDescription(encoding == TextEncoding::Utf8 ? bytes : GbkToUtf8(bytes));
        if (record && !visit(bytes, encoding, *record)) return Status::Ok();
    }
    return reader.status();
}

}  // namespace

std::filesystem::path PointDescriptionFileOf(std::string_view processFolderText) {
    return PathOf(std::string(processFolderText) + std::string(kPointDescriptionFile));
}

std::optional<PointDescription> ParsePointDescription(std::string_view line) {
    FieldList fields = SplitFields(line, ",", kFieldCount);
    if (fields.Count() != kFieldCount) return std::nullopt;
    auto& f = fields.items;
    return PointDescription{std::move(f[0]), std::move(f[1]), std::move(f[2]), std::move(f[3]),
                            std::move(f[4])};
}

PointDescription StoredForm(const PointDescription& record) {
    return {std::string(WithoutLeadingBlanks(record.name)),
            std::string(WithoutLeadingBlanks(record.place)),
            std::string(WithoutLeadingBlanks(record.height)),
            std::string(WithoutLeadingBlanks(record.third)),
            std::string(TrimSpaces(record.fourth))};
}

std::string RecordLine(const PointDescription& record) {
    const PointDescription stored = StoredForm(record);
    return stored.name + "," + stored.place + "," + stored.height + "," + stored.third + "," +
           stored.fourth;
}

std::optional<FieldProblem> CheckPointDescription(const PointDescription& record) {
    const auto fields = FieldsOf(record);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const int field = static_cast<int>(i) + 1;
        if (fields[i]->find(',') != std::string::npos)
            return FieldProblem{field, FieldLabel(field) + "中不能包含逗号。"};
        if (fields[i]->find_first_of("\r\n") != std::string::npos)
            return FieldProblem{field, FieldLabel(field) + "中不能包含换行。"};
    }
    return std::nullopt;
}

std::optional<FieldProblem> CheckNewPointDescription(const PointDescription& record) {
    // A field of blanks only would be stored empty, so it counts as not entered.
    if (TrimSpaces(record.name).empty()) return FieldProblem{1, "未输入点名。"};
    if (TrimSpaces(record.place).empty()) return FieldProblem{2, "未输入第一描述。"};
    if (TrimSpaces(record.height).empty()) return FieldProblem{3, "未输入第二描述。"};
    return CheckPointDescription(record);
}

Result<std::optional<PointDescription>> FindPointDescription(const std::filesystem::path& file,
                                                             std::string_view name,
                                                             const Feedback& feedback) {
    std::optional<PointDescription> found;
    if (!FileExists(file)) return found;
    const Status read = ForEachRecord(
        file, feedback, [&](const std::string&, TextEncoding, PointDescription& record) {
            if (!EqualsNoCase(record.name, name)) return true;
            found = std::move(record);
            return false;
        });
    if (!read) return read;
    return found;
}

Status SavePointDescription(const std::filesystem::path& file, const PointDescription& record,
                            const Feedback& feedback) {
    if (auto problem = CheckPointDescription(record)) return Status::Fail(problem->message);
    // Text GBK cannot hold is the user's input to change, not a file failure.
    auto newLine = Utf8ToGbk(RecordLine(record));
    if (!newLine) return newLine.status();
    const std::string name = StoredForm(record).name;

    // The records of other points keep the bytes they have in the file, so a
    // byte that is not GBK in one of them neither blocks nor alters the save.
    std::string content;
    Status kept = Status::Ok();
    if (FileExists(file)) {
        Status read = ForEachRecord(
            file, feedback,
            [&](const std::string& bytes, TextEncoding encoding, PointDescription& other) {
                if (EqualsNoCase(other.name, name)) return true;
                if (encoding == TextEncoding::Gbk) {
                    content += bytes;
                } else if (auto gbk = Utf8ToGbk(bytes)) {
                    content += *gbk;
                } else {
                    kept = gbk.status();
                    return false;
                }
                content += "\r\n";
                return true;
            });
        if (!read) return read;
        if (!kept) return Status::Fail(WriteFailureText(file, kept));
    }
    content += *newLine + "\r\n";
    if (auto written = WriteBytesAtomically(file, content); !written)
        return Status::Fail(WriteFailureText(file, written), written.code());
    return Status::Ok();
}

}  // namespace skyrell
