// The pricking record 过程数据\刺点记录.csv: read and written whole.

#include "pricking/pricking.h"

#include <cmath>

#include "project/sortie_layout.h"
#include "shell/atomic_file.h"
#include "shell/files.h"
#include "shell/line_reader.h"
#include "shell/system_errors.h"
#include "shell/text.h"

namespace skyrell {

namespace {

constexpr std::string_view kHeading = "点名,航片,X,Y,刺点片";
constexpr std::string_view kYes = "是";
constexpr std::string_view kNo = "否";

std::string LineFailureText(const std::filesystem::path& file, std::int64_t line) {
    return PathText(file) + "第" + std::to_string(line) +
           "行不是刺点记录（应为点名,航片,X,Y,是/否）。";
}

}  // namespace

std::filesystem::path PrickingRecordPath(const std::filesystem::path& sortie) {
    return sortie / PathOf(kProcessDataFolder) / PathOf(kPrickingRecordFile);
}

Result<std::vector<Pricking>> ReadPrickingRecord(const std::filesystem::path& sortie) {
    const std::filesystem::path file = PrickingRecordPath(sortie);
    std::error_code error;
    const auto status = std::filesystem::symlink_status(file, error);
    // A record that cannot be looked at is no missing record: the next save
    // would replace it.
    if (error && error != std::errc::no_such_file_or_directory)
        return Status::Fail("无法读取刺点记录" + PathText(file) + "：" + SystemErrorText(error));
    if (!std::filesystem::exists(status)) return std::vector<Pricking>{};
    LineReader reader;
    if (Status opened = reader.Open(file); !opened) return opened;
    std::vector<Pricking> prickings;
    for (std::string line; reader.Next(line);) {
        if (TrimSpaces(line).empty()) continue;
        if (reader.LineNumber() == 1 && line == kHeading) continue;
        const FieldList fields = SplitFields(line, ",", 6);
        if (fields.Count() != 5) return Status::Fail(LineFailureText(file, reader.LineNumber()));
        Pricking pricking;
        pricking.point = std::string(TrimSpaces(fields.items[0]));
        pricking.photo = fields.items[1];
        const auto x = ParseNumber(fields.items[2]);
        const auto y = ParseNumber(fields.items[3]);
        const std::string_view handIn = TrimSpaces(fields.items[4]);
        if (pricking.point.empty() || pricking.photo.empty() || !x || !y || !std::isfinite(*x) ||
            !std::isfinite(*y) || (handIn != kYes && handIn != kNo))
            return Status::Fail(LineFailureText(file, reader.LineNumber()));
        pricking.x = *x;
        pricking.y = *y;
        pricking.handIn = handIn == kYes;
        prickings.push_back(std::move(pricking));
    }
    if (!reader.status()) return reader.status();
    return prickings;
}

std::vector<std::string> PrickingRecordLines(const std::vector<Pricking>& prickings) {
    std::vector<std::string> lines;
    lines.reserve(prickings.size() + 1);
    lines.emplace_back(kHeading);
    for (const Pricking& p : prickings)
        lines.push_back(p.point + "," + p.photo + "," + GeneralNumberText(p.x) + "," +
                        GeneralNumberText(p.y) + "," + std::string(p.handIn ? kYes : kNo));
    return lines;
}

Status WritePrickingRecord(const std::filesystem::path& sortie,
                           const std::vector<Pricking>& prickings) {
    const std::filesystem::path file = PrickingRecordPath(sortie);
    if (Status written = WriteTextLines(file, PrickingRecordLines(prickings)); !written)
        return Status::Fail(WriteFailureText(file, written), written.code());
    return Status::Ok();
}

}  // namespace skyrell
