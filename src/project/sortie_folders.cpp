#include "project/sortie_folders.h"

#include <system_error>

#include "project/sortie_layout.h"
#include "shell/files.h"
#include "shell/textfile.h"

namespace skyrell {

namespace fs = std::filesystem;

namespace {

// The order in which opening a sortie restores missing sub-folders.
constexpr std::array<std::string_view, 6> kOpenOrder = {
    kPrickedPhotoFolder, kPointRecordFolder,      kRawDataFolder,
    kSitePhotoFolder,    kCoordinateResultFolder, kProcessDataFolder};

// A name that would not stay one folder level below its parent: a separator
// inside it, or "." and "..". Such a folder cannot be created as asked.
bool IsSingleLevelName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    return name.find('/') == std::string_view::npos && name.find('\\') == std::string_view::npos;
}

Status MakeLevel(const fs::path& parent, std::string_view name, fs::path& made) {
    made = parent / PathOf(name);
    if (!IsSingleLevelName(name)) {
        const std::error_code invalid = std::make_error_code(std::errc::invalid_argument);
        return Status::Fail(
            CreateFolderFailureText(made, Status::Fail(invalid.message(), invalid.value())),
            invalid.value());
    }
    return CreateFolderIfMissing(made);
}

Status MakeSubFolders(const FlightFolder& flight, const std::array<std::string_view, 6>& order) {
    for (std::string_view name : order) {
        fs::path made;
        if (auto status = MakeLevel(flight.sortie, name, made); !status) return status;
    }
    return Status::Ok();
}

}  // namespace

std::string DateFolderName(const LocalDateTime& date) {
    return std::to_string(date.year) + "-" + std::to_string(date.month) + "-" +
           std::to_string(date.day);
}

std::string SortieFolderName(std::string_view sortieNumber) {
    return "第" + std::string(sortieNumber) + "架次";
}

FlightFolder FlightFolderAt(const fs::path& sortieFolder) {
    FlightFolder flight;
    flight.sortie = sortieFolder;
    for (std::size_t i = 0; i < kSortieSubFolders.size(); ++i)
        flight.subFolders[i] = sortieFolder / PathOf(kSortieSubFolders[i]);
    return flight;
}

Result<FlightFolder> CreateSortieFolders(const fs::path& root, const LocalDateTime& today,
                                         std::string_view operatorName,
                                         std::string_view sortieNumber) {
    fs::path dateFolder, operatorFolder, sortieFolder;
    if (auto status = MakeLevel(root, DateFolderName(today), dateFolder); !status) return status;
    if (auto status = MakeLevel(dateFolder, operatorName, operatorFolder); !status) return status;
    if (auto status = MakeLevel(operatorFolder, SortieFolderName(sortieNumber), sortieFolder);
        !status)
        return status;
    FlightFolder flight = FlightFolderAt(sortieFolder);
    if (auto status = MakeSubFolders(flight, kSortieSubFolders); !status) return status;
    return flight;
}

Result<FlightFolder> OpenSortieFolders(const fs::path& projectFolder, std::string_view operatorName,
                                       std::string_view sortieNumber) {
    // An empty operator name joins as no level at all, as the plain
    // concatenation "root\" + "" + "\第N架次" does.
    const fs::path sortieFolder =
        projectFolder / PathOf(operatorName) / PathOf(SortieFolderName(sortieNumber));
    if (!FolderExists(sortieFolder)) return Status::Fail(SortieNotFoundText(sortieNumber));
    FlightFolder flight = FlightFolderAt(sortieFolder);
    if (auto status = MakeSubFolders(flight, kOpenOrder); !status) return status;
    return flight;
}

std::string SortieNotFoundText(std::string_view sortieNumber) {
    return "未找到“第" + std::string(sortieNumber) + "架次”文件夹。";
}

}  // namespace skyrell
