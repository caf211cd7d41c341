#pragma once
// Batch point records: one document per pricked-point photo of a sortie,
// filled into the template "点之记模板.doc" and saved as point name + ".doc"
// in the point record folder, with an error log of what could not be filled.
//
// Cells of the template's first table (row, column, counted from 1):
//   (1,2) point name   (1,4) sortie number   (1,6) photo number
//   (2,2) point sketch screenshot             (3,2) description text
//   (4,2) (4,4) (4,6) pricking operator, surveyor, checker
//   (5,2) (5,4) (5,6) their dates

#include <array>
#include <atomic>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "documents/document_engine.h"
#include "project/point_descriptions.h"
#include "shell/feedback.h"
#include "shell/status.h"

namespace skyrell {

inline constexpr std::string_view kPointRecordTemplateFile = "点之记模板.doc";
inline constexpr std::string_view kPointRecordLogFile = "批量创建点之记错误记录.txt";
inline constexpr std::string_view kPointRecordCaption = "第五步：批量创建点之记";

// Messages of a run.
inline constexpr std::string_view kRecordInfoIncompleteText = "点之记信息不完整。";
inline constexpr std::string_view kNoPrickedPhotoFoundText = "未发现刺点片。";
inline constexpr std::string_view kNoScreenshotsText = "未发现点之记截图。";
inline constexpr std::string_view kNoDescriptionFileText = "未找到点位描述文件。";
inline constexpr std::string_view kRecordsDoneText = "批量创建点之记完毕！";
inline constexpr std::string_view kRecordsDoneWithErrorsText =
    "批量创建点之记完毕，请仔细查看错误记录！";

// What the run reads of the data-processing window: the texts of its boxes.
// The folder texts end with a separator; file paths are built by appending a
// name to them.
struct PointRecordForm {
    std::string prickedPhotos;          // txtCDP
    std::string processData;            // txtGCSJ
    std::string pointRecords;           // txtDZJ
    std::string sortie;                 // txtNum, written unchanged
    std::array<std::string, 3> people;  // pricking operator, surveyor, checker
    std::array<std::string, 3> dates;   // their dates
};

// How the checks before a run end.
enum class RecordCheckEnd {
    Go,       // make the records
    Silent,   // an empty folder box: end without a message
    Message,  // a missing input: show the message (information icon)
    Failure,  // a missing folder: report the failure (error icon)
};

struct PointRecordCheck {
    RecordCheckEnd end = RecordCheckEnd::Go;
    std::string message;
    std::vector<std::string> photos;       // pricked-point photos, in name order
    std::vector<std::string> screenshots;  // "P*.jpg" of the process-data folder
};

// The checks of a run, in order; nothing is written.
PointRecordCheck CheckPointRecords(const PointRecordForm& form);

// Names taken from a pricked-point photo's file name split at "_": the point
// name is the first part cut at its first ".", upper-cased ("P0005.jpg" ->
// "P0005"); the photo number is the third part up to its first "." ("0286"),
// empty when the name has fewer than three parts.
std::string RecordPointName(std::string_view photoName);
std::string RecordPhotoNumber(std::string_view photoName);

// The description cell's text: "本点刺在" + first + "，", CR LF "高程测至" +
// second + "，", then the third and fourth descriptions each on a line of its
// own ending in "，" when not empty; the last "，" becomes "。".
std::string DescriptionText(const PointDescription& record);

// "第五步：批量创建点之记[done/total]".
std::string PointRecordProgressCaption(std::size_t done, std::size_t total);

struct PointRecordRun {
    std::vector<std::string> log;  // lines of the error log, in the order met
    std::filesystem::path logFile;
};

// Makes the documents of the photos that the checks found, then writes the
// error log (GBK, CR LF; one empty line when there is nothing to report).
// The template is opened first: a template that cannot be used fails before
// anything is written. A failure (template, screenshot, document, log) stops
// the run and writes no log; it names the file and the reason. The document
// that failed is not saved: a record of that name stays as it was. After each
// document the feedback hears the count with the progress caption; a cancel
// stops before the next document and fails.
Result<PointRecordRun> MakePointRecords(const PointRecordForm& form, const PointRecordCheck& check,
                                        const std::filesystem::path& templateFile,
                                        DocumentEngine& engine,
                                        const Feedback& feedback = Feedback::None());

// The final message of a finished run.
std::string_view PointRecordDoneText(const PointRecordRun& run);

}  // namespace skyrell
