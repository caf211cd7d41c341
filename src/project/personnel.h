#pragma once
// The personnel file "user.txt": one GBK line "operator,surveyor,checker"
// ended by CR LF, kept beside the program (AppFolder::PersonnelFile()).

#include <array>
#include <filesystem>
#include <optional>
#include <string>

#include "shell/status.h"

namespace skyrell {

// Pricking operator, surveyor, checker.
using PersonnelNames = std::array<std::string, 3>;

// The names of the file's first line, split at ","; names the line does not
// hold are empty. No value when the file does not exist or cannot be read.
std::optional<PersonnelNames> ReadPersonnel(const std::filesystem::path& file);

// The names without their surrounding blanks: the form in which they name the
// operator folder and are stored in the file, so that both always agree.
PersonnelNames TrimmedPersonnel(const PersonnelNames& names);

// Replaces the file by one line of the three names, each trimmed of blanks,
// joined by "," and ended by CR LF, in one atomic step.
Status WritePersonnel(const std::filesystem::path& file, const PersonnelNames& names);

}  // namespace skyrell
