#include "project/point_records.h"

#include <optional>

#include "project/sortie_layout.h"
#include "shell/atomic_file.h"
#include "shell/files.h"
#include "shell/line_reader.h"
#include "shell/text.h"

namespace skyrell {

namespace {

constexpr std::string_view kFullWidthComma = "，";
constexpr std::string_view kFullWidthStop = "。";

PointRecordCheck Ended(RecordCheckEnd end, std::string_view message = {}) {
    PointRecordCheck check;
    check.end = end;
    check.message = std::string(message);
    return check;
}

std::string Trimmed(std::string_view text) { return std::string(TrimSpaces(text)); }

// The screenshot of a point among the listed ones, found without regard to case.
std::optional<std::string> ScreenshotOf(const std::vector<std::string>& screenshots,
                                        const std::string& pointName) {
    const std::string wanted = pointName + ".jpg";
    for (const auto& name : screenshots)
        if (name == wanted) return name;
    for (const auto& name : screenshots)
        if (EqualsNoCase(name, wanted)) return name;
    return std::nullopt;
}

// The records of the description file in file order; lines that are not
// records are left out.
Result<std::vector<PointDescription>> ReadDescriptions(const std::filesystem::path& file) {
    auto lines = ReadTextLines(file);
    if (!lines) return lines.status();
    std::vector<PointDescription> records;
    for (const auto& line : *lines)
        if (auto record = ParsePointDescription(line)) records.push_back(std::move(*record));
    return records;
}

}  // namespace

PointRecordCheck CheckPointRecords(const PointRecordForm& form) {
    for (const auto* group : {&form.people, &form.dates})
        for (const auto& text : *group)
            if (TrimSpaces(text).empty())
                return Ended(RecordCheckEnd::Message, kRecordInfoIncompleteText);

    if (form.prickedPhotos.empty()) return Ended(RecordCheckEnd::Silent);
    if (!FolderExists(PathOf(form.prickedPhotos)))
        return Ended(RecordCheckEnd::Failure, "刺点片目录“" + form.prickedPhotos + "”不存在。");
    auto photos = ListFiles(PathOf(form.prickedPhotos), kPointPhotoPattern);
    if (photos.empty()) return Ended(RecordCheckEnd::Message, kNoPrickedPhotoFoundText);

    if (form.processData.empty()) return Ended(RecordCheckEnd::Silent);
    auto screenshots = ListFiles(PathOf(form.processData), kPointPhotoPattern);
    if (screenshots.empty()) return Ended(RecordCheckEnd::Message, kNoScreenshotsText);

    if (!FileExists(PointDescriptionFileOf(form.processData)))
        return Ended(RecordCheckEnd::Message, kNoDescriptionFileText);
    if (form.pointRecords.empty()) return Ended(RecordCheckEnd::Silent);

    PointRecordCheck check;
    check.photos = std::move(photos);
    check.screenshots = std::move(screenshots);
    return check;
}

std::string RecordPointName(std::string_view photoName) {
    const std::string first = SplitFields(photoName, "_").items.front();
    return AsciiUpper(first.substr(0, first.find('.')));
}

std::string RecordPhotoNumber(std::string_view photoName) {
    const FieldList parts = SplitFields(photoName, "_");
    if (parts.Count() < 3) return {};
    return parts.items[2].substr(0, parts.items[2].find('.'));
}

std::string DescriptionText(const PointDescription& record) {
    std::string text = "本点刺在" + record.place + std::string(kFullWidthComma);
    text += "\r\n高程测至" + record.height + std::string(kFullWidthComma);
    for (const std::string* extra : {&record.third, &record.fourth})
        if (!extra->empty()) text += "\r\n" + *extra + std::string(kFullWidthComma);
    text.replace(text.size() - kFullWidthComma.size(), kFullWidthComma.size(), kFullWidthStop);
    return text;
}

std::string PointRecordProgressCaption(std::size_t done, std::size_t total) {
    return std::string(kPointRecordCaption) + "[" + std::to_string(done) + "/" +
           std::to_string(total) + "]";
}

Result<PointRecordRun> MakePointRecords(const PointRecordForm& form, const PointRecordCheck& check,
                                        const std::filesystem::path& templateFile,
                                        DocumentEngine& engine, const Feedback& feedback) {
    // The template must be usable before anything is written.
    if (auto opened = engine.Open(templateFile); !opened) return opened;
    engine.Close();
    auto descriptions = ReadDescriptions(PointDescriptionFileOf(form.processData));
    if (!descriptions) return descriptions.status();

    PointRecordRun run;
    run.logFile = PathOf(form.processData + std::string(kPointRecordLogFile));
    const std::size_t total = check.photos.size();
    for (std::size_t i = 0; i < total; ++i) {
        if (feedback.Cancelled()) return Status::Fail("批量创建点之记已中止。");
        const std::string& photo = check.photos[i];
        const std::string name = RecordPointName(photo);

        // Every step below writes into the open document; the first failure
        // ends the run with the document unsaved, so a record that an earlier
        // run completed stays as it was.
        Status status = engine.Open(templateFile);
        const auto step = [&status](Status next) {
            if (status) status = std::move(next);
        };
        step(engine.SetCellText(1, 2, name));
        step(engine.SetCellText(1, 4, form.sortie));
        step(engine.SetCellText(1, 6, RecordPhotoNumber(photo)));
        if (const auto screenshot = ScreenshotOf(check.screenshots, name)) {
            step(engine.AddPicture(2, 2, PathOf(form.processData + *screenshot)));
        } else {
            run.log.push_back("未找到 " + name + " 截图文件。");
        }
        const PointDescription* record = nullptr;
        for (const auto& candidate : *descriptions) {
            if (EqualsNoCase(candidate.name, name)) {
                record = &candidate;
                break;
            }
        }
        if (record) {
            step(engine.SetCellText(3, 2, DescriptionText(*record)));
        } else {
            run.log.push_back("未找到 " + name + " 点位描述信息。");
        }
        for (int k = 0; k < 3; ++k) {
            step(engine.SetCellText(4, 2 + 2 * k,
                                    Trimmed(form.people[static_cast<std::size_t>(k)])));
            step(
                engine.SetCellText(5, 2 + 2 * k, Trimmed(form.dates[static_cast<std::size_t>(k)])));
        }
        if (status) status = engine.SaveAs(PathOf(form.pointRecords + name + ".doc"));
        engine.Close();
        if (!status) return status;
        feedback.Report(i + 1, total, PointRecordProgressCaption(i + 1, total));
    }

    // A run without problems leaves one empty line.
    const Status written =
        WriteTextLines(run.logFile, run.log.empty() ? std::vector<std::string>{""} : run.log);
    if (!written) return Status::Fail(WriteFailureText(run.logFile, written), written.code());
    return run;
}

std::string_view PointRecordDoneText(const PointRecordRun& run) {
    return run.log.empty() ? kRecordsDoneText : kRecordsDoneWithErrorsText;
}

}  // namespace skyrell
