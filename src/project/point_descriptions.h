#pragma once
// The point description file "点位描述.txt" of a sortie's process-data folder.
//
// One record per control point, one line each: point name, first description
// (where the point is pricked), second description (what the height was
// measured to), third and fourth description (free remarks), joined by single
// commas without quoting. GBK text, every line ended by CR LF. A line is a
// record only when SplitFields at "," gives exactly five fields; every other
// line is ignored by lookups and dropped by the next save. After a save the
// file holds one record of the saved point, at its end.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "shell/feedback.h"
#include "shell/status.h"

namespace skyrell {

struct PointDescription {
    std::string name;
    std::string place;   // first description: the words after "本点刺在"
    std::string height;  // second description: the words after "高程测至"
    std::string third;
    std::string fourth;
    bool operator==(const PointDescription&) const = default;
};

// The description file of a process-data folder as its path box shows it
// (ending in a separator): the text followed directly by the file name.
std::filesystem::path PointDescriptionFileOf(std::string_view processFolderText);

// The record of a line, or nothing when the line is not a record.
std::optional<PointDescription> ParsePointDescription(std::string_view line);

// The record as it is written: each field without its leading blanks and the
// last field also without trailing ones, since reading drops them; the line
// then reads back as exactly these fields.
PointDescription StoredForm(const PointDescription& record);
std::string RecordLine(const PointDescription& record);

// A field the file cannot hold: its number (1 = point name, 2 to 5 = the
// four descriptions) and the message that names it.
struct FieldProblem {
    int field = 0;
    std::string message;
};
// Commas and line breaks would split or break the line, so a record with one
// in any field is refused ("第三描述中不能包含逗号。").
std::optional<FieldProblem> CheckPointDescription(const PointDescription& record);

// What the editor refuses before it stores a record, in its order: a point
// name, first or second description of blanks only ("未输入第一描述。"),
// then what CheckPointDescription refuses.
std::optional<FieldProblem> CheckNewPointDescription(const PointDescription& record);

// The editor works in a sortie whose pricked-point photo and process-data
// folders exist; otherwise it is refused with these messages.
inline constexpr std::string_view kNoPrickedPhotoFolderText = "刺点片目录不存在。";
inline constexpr std::string_view kNoProcessDataFolderText = "过程数据目录不存在。";

// The first record whose name equals `name` without regard to case. Nothing
// when the file does not exist or holds no such record; a read failure names
// the file.
Result<std::optional<PointDescription>> FindPointDescription(
    const std::filesystem::path& file, std::string_view name,
    const Feedback& feedback = Feedback::None());

// Stores the record (in its stored form): the records of other points are kept
// byte for byte in their order, every other line (earlier records of this
// point, blank lines, lines that are not records) is dropped, and the record
// is appended. The file is replaced in one step, so a failure leaves it as it
// was. Refuses a record that CheckPointDescription refuses, writing nothing;
// read and write failures name the file.
Status SavePointDescription(const std::filesystem::path& file, const PointDescription& record,
                            const Feedback& feedback = Feedback::None());

}  // namespace skyrell
