#pragma once
// The automatic check of a sortie folder before it is handed in. Three items,
// each stopping the check when it fails:
//   1. the six sub-folders exist;
//   2. the numbers of point records, site photos and coordinate results agree
//      with the number of pricked-point photos, and there is raw data;
//   3. every pricked-point photo's point has its record, its site photo and
//      its coordinate result (names compared case-sensitively).
// The findings form the report "自动检查报告.txt" in the sortie folder.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "check/coordinate_table.h"
#include "project/control_points.h"
#include "shell/ports.h"
#include "shell/status.h"

namespace skyrell {

// The 51 hyphens between the items of the report.
inline constexpr std::string_view kReportSeparator =
    "---------------------------------------------------";

// The message when the folder to check has gone.
inline constexpr std::string_view kSortieFolderMissingText = "项目文件夹不存在，无法进行检查。";

// Only a sortie folder, whose name ends in "架次", is checked; any other
// folder (the date folder above it, say) is refused with this message, so
// that no report lands outside a sortie.
inline constexpr std::string_view kNotSortieFolderText =
    "项目路径未选择至“架次”文件夹，请重新选择。";
// Whether the folder's name, taken from its absolute form without a trailing
// separator ("." inside 第3架次 counts as 第3架次), ends in "架次".
bool IsSortieFolderPath(const std::filesystem::path& folder);

struct SortieCheck {
    // The report, one entry per line, without line ends.
    std::vector<std::string> report;
    // True when all three items passed.
    bool passed = false;
    // The pricked-point photos as the check listed them, in name order.
    std::vector<std::string> prickedPhotos;
    // When passed: the point name of every pricked-point photo, in list order.
    std::vector<std::string> pointNames;
};

// The time line's text: year-month-day hour:minute:second with two-digit
// month, day, hour, minute and second ("2013-01-05 09:30:00").
std::string CheckTimeText(const LocalDateTime& time);

// Runs the check on an existing sortie folder. Fails with the message above
// when the folder does not exist, and with a message naming the file when the
// coordinate results cannot be read; the report is then not made at all.
Result<SortieCheck> CheckSortieFolder(const std::filesystem::path& sortieFolder, const Clock& clock,
                                      const Feedback& feedback = Feedback::None());

// "自动检查报告.txt" in the sortie folder.
std::filesystem::path CheckReportPath(const std::filesystem::path& sortieFolder);

// Replaces the report with these lines (GBK, CR LF after every line). A
// failure names the file.
Status WriteCheckReport(const std::filesystem::path& sortieFolder,
                        const std::vector<std::string>& report);

}  // namespace skyrell
