#include "shell/ports.h"

#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <system_error>

namespace skyrell {

namespace fs = std::filesystem;

LocalDateTime SystemClock::Now() const {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
}

InstalledAppFolder::InstalledAppFolder(const fs::path& executableFolder)
    : InstalledAppFolder(executableFolder, (executableFolder / SKYRELL_DATA_DIR).lexically_normal(),
                         UserConfigFolder()) {}

InstalledAppFolder::InstalledAppFolder(fs::path executableFolder, fs::path dataFolder,
                                       fs::path configFolder)
    : executableFolder_(std::move(executableFolder)),
      dataFolder_(std::move(dataFolder)),
      configFolder_(std::move(configFolder)) {}

bool InstalledAppFolder::HoldsShippedFiles() const {
    std::error_code ec;
    return fs::is_directory(executableFolder_ / "help", ec);
}

fs::path InstalledAppFolder::ProgramFolder() const {
    return HoldsShippedFiles() ? executableFolder_ : dataFolder_;
}

fs::path InstalledAppFolder::PersonnelFile() const {
    // An installed program never writes into its data folder, even when run
    // by root, who may write anywhere.
    if (HoldsShippedFiles() && ::access(executableFolder_.c_str(), W_OK) == 0)
        return executableFolder_ / "user.txt";
    std::error_code ec;
    fs::create_directories(configFolder_, ec);
    return configFolder_ / "user.txt";
}

fs::path UserConfigFolder() {
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        return fs::path(xdg) / "skyrell";
    if (const char* home = std::getenv("HOME"); home && *home)
        return fs::path(home) / ".config" / "skyrell";
    return fs::temp_directory_path() / "skyrell";
}

const char* ProgramVersion() { return SKYRELL_VERSION; }

fs::path ExecutableFolder() {
    std::error_code ec;
    const auto exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::current_path(ec) : exe.parent_path();
}

}  // namespace skyrell
