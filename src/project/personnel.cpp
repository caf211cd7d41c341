#include "project/personnel.h"

#include "shell/atomic_file.h"
#include "shell/files.h"
#include "shell/line_reader.h"
#include "shell/text.h"

namespace skyrell {

std::optional<PersonnelNames> ReadPersonnel(const std::filesystem::path& file) {
    if (!FileExists(file)) return std::nullopt;
    LineReader reader;
    if (!reader.Open(file)) return std::nullopt;
    PersonnelNames names;
    std::string line;
    if (!reader.Next(line)) return names;  // an empty file names nobody
    const FieldList fields = SplitFields(line, ",", names.size());
    for (std::size_t i = 0; i < names.size() && i < fields.Count(); ++i) names[i] = fields.items[i];
    return names;
}

PersonnelNames TrimmedPersonnel(const PersonnelNames& names) {
    PersonnelNames trimmed;
    for (std::size_t i = 0; i < names.size(); ++i) trimmed[i] = TrimSpaces(names[i]);
    return trimmed;
}

Status WritePersonnel(const std::filesystem::path& file, const PersonnelNames& names) {
    const PersonnelNames trimmed = TrimmedPersonnel(names);
    std::string line;
    for (std::size_t i = 0; i < trimmed.size(); ++i) {
        if (i > 0) line += ',';
        line += trimmed[i];
    }
    if (auto written = WriteTextLines(file, {line}); !written)
        return Status::Fail(WriteFailureText(file, written), written.code());
    return Status::Ok();
}

}  // namespace skyrell
