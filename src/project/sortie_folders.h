#pragma once
// The sortie folder tree: project root / date folder / operator / "第N架次" /
// the six sub-folders. Creating a sortie makes every missing level, opening an
// existing sortie makes only its missing sub-folders; folders that already
// exist and their files are never touched.

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

#include "shell/ports.h"
#include "shell/status.h"

namespace skyrell {

// The folders of one sortie. `subFolders` follows kSortieSubFolders: pricked
// photos, point records, site photos, raw data, coordinate results, process data.
struct FlightFolder {
    std::filesystem::path sortie;
    std::array<std::filesystem::path, 6> subFolders;

    const std::filesystem::path& PrickedPhotos() const { return subFolders[0]; }
    const std::filesystem::path& PointRecords() const { return subFolders[1]; }
    const std::filesystem::path& SitePhotos() const { return subFolders[2]; }
    const std::filesystem::path& RawData() const { return subFolders[3]; }
    const std::filesystem::path& CoordinateResults() const { return subFolders[4]; }
    const std::filesystem::path& ProcessData() const { return subFolders[5]; }
};

// The name of a working day's folder: year-month-day without leading zeros
// ("2013-1-5").
std::string DateFolderName(const LocalDateTime& date);

// "第" + sortie number + "架次".
std::string SortieFolderName(std::string_view sortieNumber);

// The paths of the sortie folder and its sub-folders (nothing is created).
FlightFolder FlightFolderAt(const std::filesystem::path& sortieFolder);

// Whether the pricking operator's name and the sortie number can name the
// operator folder and "第N架次": a name holding one of / \ : * ? " < > | or
// made of dots only is refused with a message that names the character. The
// names are checked as given; callers pass them trimmed.
Status CheckSortieFolderNames(std::string_view operatorName, std::string_view sortieNumber);

// Creates root/date/operator/第N架次 and its six sub-folders, each level only
// when missing. The names should already be trimmed; names refused by
// CheckSortieFolderNames create nothing. The first folder that cannot be made
// stops the run with a message naming it, and the folders this run made are
// removed again, so that a failed creation leaves the disk as it found it.
Result<FlightFolder> CreateSortieFolders(const std::filesystem::path& root,
                                         const LocalDateTime& today, std::string_view operatorName,
                                         std::string_view sortieNumber);

// Opens projectFolder/operator/第N架次 (names trimmed by the caller): fails with SortieNotFoundText
// when that folder does not exist, else creates the missing sub-folders.
Result<FlightFolder> OpenSortieFolders(const std::filesystem::path& projectFolder,
                                       std::string_view operatorName,
                                       std::string_view sortieNumber);

// "未找到“第N架次”文件夹。"
std::string SortieNotFoundText(std::string_view sortieNumber);

}  // namespace skyrell
