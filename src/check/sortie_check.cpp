#include "check/sortie_check.h"

#include <cstdio>

#include "project/sortie_layout.h"
#include "shell/atomic_file.h"
#include "shell/files.h"
#include "shell/text.h"
#include "shell/text_encoding.h"

namespace skyrell {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kPassedLine = "恭喜您，该项检查通过。";

// Sub-folders in the order item 1 tests them, with the line for a missing one.
// The site-photo line names the folder "现场照片记", as the report always has.
struct FolderTest {
    std::string_view folder;
    std::string_view missingLine;
};
constexpr FolderTest kFolderTests[] = {
    {kPrickedPhotoFolder, "错误：未找到“刺点片”目录。"},
    {kPointRecordFolder, "错误：未找到“点之记”目录。"},
    {kSitePhotoFolder, "错误：未找到“现场照片记”目录。"},
    {kRawDataFolder, "错误：未找到“原始数据”目录。"},
    {kCoordinateResultFolder, "错误：未找到“坐标成果”目录。"},
    {kProcessDataFolder, "错误：未找到“过程数据”目录。"},
};

fs::path SubFolder(const fs::path& sortie, std::string_view name) { return sortie / PathOf(name); }

std::string Count(std::size_t n) { return std::to_string(n); }

// Builds the report item by item.
class ReportBuilder {
  public:
    // A file name GBK cannot hold still reaches the GBK report: its
    // characters are shown as code points.
    void Line(std::string_view text) { lines_.push_back(GbkSafeText(text)); }
    void Separator() { Line(kReportSeparator); }
    // Adds the item's error lines, or the passed line when there are none,
    // and closes the item with the separator. True when the item passed.
    bool CloseItem(const std::vector<std::string>& errors) {
        if (errors.empty()) Line(kPassedLine);
        for (const auto& error : errors) Line(error);
        Separator();
        return errors.empty();
    }
    std::vector<std::string> Take() { return std::move(lines_); }

  private:
    std::vector<std::string> lines_;
};

}  // namespace

std::string CheckTimeText(const LocalDateTime& time) {
    char text[48];
    std::snprintf(text, sizeof text, "%d-%02d-%02d %02d:%02d:%02d", time.year, time.month, time.day,
                  time.hour, time.minute, time.second);
    return text;
}

bool IsSortieFolderPath(const fs::path& folder) {
    std::error_code error;
    fs::path full = fs::absolute(folder, error).lexically_normal();
    if (error) full = folder.lexically_normal();
    if (!full.has_filename()) full = full.parent_path();
    return PathText(full.filename()).ends_with("架次");
}

fs::path CheckReportPath(const fs::path& sortieFolder) {
    return sortieFolder / PathOf(kCheckReportFile);
}

namespace {

// Runs the three items into the report; false as soon as one fails.
Result<bool> RunItems(const fs::path& sortie, const Feedback& feedback, ReportBuilder& report,
                      SortieCheck& check) {
    // Item 1: the six sub-folders.
    report.Line("第 1 项：文件夹目录检查");
    std::vector<std::string> errors;
    for (const auto& test : kFolderTests)
        if (!FolderExists(SubFolder(sortie, test.folder))) errors.emplace_back(test.missingLine);
    if (!report.CloseItem(errors)) return false;

    // Item 2: the numbers of files.
    report.Line("第 2 项：文件数目检查");
    check.prickedPhotos = ListFiles(SubFolder(sortie, kPrickedPhotoFolder), "*.jpg");
    const std::size_t photos = check.prickedPhotos.size();
    if (photos == 0) {
        // This failure has no separator of its own.
        report.Line("错误：未找到刺点片数据。");
        return false;
    }
    const auto records = ListFiles(SubFolder(sortie, kPointRecordFolder), "*.doc");
    const auto sitePhotos = ListFiles(SubFolder(sortie, kSitePhotoFolder), "*.jpg");
    if (records.size() != photos)
        errors.push_back("错误：点之记数目[" + Count(records.size()) + "]与刺点片数目[" +
                         Count(photos) + "]不一致。");
    if (sitePhotos.size() != photos)
        errors.push_back("错误：现场照片数目[" + Count(sitePhotos.size()) + "]与刺点片数目[" +
                         Count(photos) + "]不一致。");
    if (ListFiles(SubFolder(sortie, kRawDataFolder), "*.csv").empty())
        errors.emplace_back("错误：未找到原始数据。");
    const fs::path table = CoordinateTablePath(sortie);
    CoordinateTableScan scan;
    if (!FileExists(table)) {
        errors.emplace_back("错误：未找到坐标成果。");
    } else {
        auto read = ScanCoordinateTable(table, feedback);
        if (!read) return read.status();
        scan = std::move(*read);
        if (scan.nineFieldLines == 0) {
            errors.emplace_back("错误：坐标成果文件无数据或数据格式错误。");
        } else if (static_cast<std::size_t>(scan.nineFieldLines - 1) != photos) {
            errors.push_back("错误：坐标成果数目[" + std::to_string(scan.nineFieldLines - 1) +
                             "]与刺点片数目[" + Count(photos) + "]不一致。");
        }
    }
    if (ListFiles(SubFolder(sortie, kCoordinateResultFolder), "*.csv").size() > 1)
        errors.emplace_back("错误：坐标成果数据冗杂。");
    if (!report.CloseItem(errors)) return false;

    // Item 3: the names, in three passes so that all missing records come
    // first, then all missing site photos, then all missing coordinates.
    report.Line("第 3 项：像控点名称检查");
    std::vector<std::string> names;
    for (const auto& photo : check.prickedPhotos) names.push_back(PrickedPhotoPointName(photo));
    auto namesOf = [](const std::vector<std::string>& files) {
        std::unordered_set<std::string> set;
        for (const auto& file : files) set.insert(PointNameOfFile(file));
        return set;
    };
    const auto recordNames = namesOf(records);
    const auto sitePhotoNames = namesOf(sitePhotos);
    for (const auto& photo : check.prickedPhotos)
        if (GbkSafeText(photo) != photo)
            errors.push_back("错误：刺点片" + photo +
                             "的文件名含有GBK无法保存的字符，请重命名该文件。");
    for (const auto& name : names)
        if (!recordNames.contains(name)) errors.push_back("错误：未找到点之记" + name + ".doc");
    for (const auto& name : names)
        if (!sitePhotoNames.contains(name))
            errors.push_back("错误：未找到现场照片" + name + ".jpg");
    for (const auto& name : names)
        if (!scan.firstFields.contains(name)) errors.push_back("错误：未找到" + name + "坐标成果");
    if (!report.CloseItem(errors)) return false;
    check.pointNames = std::move(names);
    return true;
}

}  // namespace

Result<SortieCheck> CheckSortieFolder(const fs::path& sortie, const Clock& clock,
                                      const Feedback& feedback) {
    if (!FolderExists(sortie)) return Status::Fail(std::string(kSortieFolderMissingText));
    SortieCheck check;
    ReportBuilder report;
    report.Line("自动检查报告");
    report.Separator();
    // The items run in order; the first that fails ends the checking, and the
    // time line follows whatever was written.
    const Result<bool> passed = RunItems(sortie, feedback, report, check);
    if (!passed) return passed.status();
    check.passed = *passed;
    if (!check.passed) check.pointNames.clear();
    report.Line("检查时间：" + CheckTimeText(clock.Now()));
    check.report = report.Take();
    return check;
}

Status WriteCheckReport(const fs::path& sortieFolder, const std::vector<std::string>& report) {
    const fs::path path = CheckReportPath(sortieFolder);
    if (Status written = WriteTextLines(path, report, TextEncoding::Gbk); !written)
        return Status::Fail(WriteFailureText(path, written), written.code());
    return Status::Ok();
}

}  // namespace skyrell
