#include "project/sortie_folders.h"

#include <system_error>
#include <vector>

#include "project/sortie_layout.h"
#include "shell/files.h"

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

// The folders one run has made, so that a failing run can take them back.
// Only folders that are still empty go: removing a folder never removes
// anything inside it.
class MadeFolders {
  public:
    Status Make(const fs::path& parent, std::string_view name, fs::path& made) {
        const bool existed = FolderExists(parent / PathOf(name));
        Status status = MakeLevel(parent, name, made);
        if (status && !existed) made_.push_back(made);
        return status;
    }
    Status MakeSubFolders(const FlightFolder& flight,
                          const std::array<std::string_view, 6>& order) {
        for (std::string_view name : order) {
            fs::path made;
            if (auto status = Make(flight.sortie, name, made); !status) return status;
        }
        return Status::Ok();
    }
    void Undo() {
        for (auto it = made_.rbegin(); it != made_.rend(); ++it) {
            std::error_code ignored;
            fs::remove(*it, ignored);
        }
        made_.clear();
    }

  private:
    std::vector<fs::path> made_;
};

constexpr std::string_view kNotInFolderNames = "/\\:*?\"<>|";

// The first character of `name` that a folder name cannot hold, or 0.
char ForbiddenCharacter(std::string_view name) {
    const auto at = name.find_first_of(kNotInFolderNames);
    return at == std::string_view::npos ? '\0' : name[at];
}

std::string ForbiddenCharacterText(std::string_view what, char forbidden) {
    return std::string(what) + "中含有不能用于文件夹名的字符“" + std::string(1, forbidden) + "”。";
}

}  // namespace

Status CheckSortieFolderNames(std::string_view operatorName, std::string_view sortieNumber) {
    if (const char c = ForbiddenCharacter(operatorName))
        return Status::Fail(ForbiddenCharacterText("刺点员姓名", c));
    if (!operatorName.empty() && operatorName.find_first_not_of('.') == std::string_view::npos)
        return Status::Fail("刺点员姓名“" + std::string(operatorName) + "”不能用作文件夹名。");
    // "第" and "架次" around the number keep even a number of dots a name.
    if (const char c = ForbiddenCharacter(sortieNumber))
        return Status::Fail(ForbiddenCharacterText("架次号", c));
    return Status::Ok();
}

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
    if (auto names = CheckSortieFolderNames(operatorName, sortieNumber); !names) return names;
    MadeFolders made;
    auto undo = [&made](Status failure) {
        made.Undo();
        return failure;
    };
    fs::path dateFolder, operatorFolder, sortieFolder;
    if (auto status = made.Make(root, DateFolderName(today), dateFolder); !status)
        return undo(status);
    if (auto status = made.Make(dateFolder, operatorName, operatorFolder); !status)
        return undo(status);
    if (auto status = made.Make(operatorFolder, SortieFolderName(sortieNumber), sortieFolder);
        !status)
        return undo(status);
    FlightFolder flight = FlightFolderAt(sortieFolder);
    if (auto status = made.MakeSubFolders(flight, kSortieSubFolders); !status) return undo(status);
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
    // Opening restores what is missing; sub-folders it could restore stay.
    MadeFolders made;
    if (auto status = made.MakeSubFolders(flight, kOpenOrder); !status) return status;
    return flight;
}

std::string SortieNotFoundText(std::string_view sortieNumber) {
    return "未找到“第" + std::string(sortieNumber) + "架次”文件夹。";
}

}  // namespace skyrell
