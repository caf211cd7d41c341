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

InstalledAppFolder::InstalledAppFolder(fs::path executableFolder)
    : executableFolder_(std::move(executableFolder)) {}

fs::path InstalledAppFolder::ProgramFolder() const {
    std::error_code ec;
    if (fs::is_directory(executableFolder_ / "help", ec)) return executableFolder_;
    return fs::path(SKYRELL_DATA_DIR);
}

fs::path InstalledAppFolder::PersonnelFile() const {
    if (::access(executableFolder_.c_str(), W_OK) == 0) return executableFolder_ / "user.txt";
    fs::path config;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) {
        config = xdg;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        config = fs::path(home) / ".config";
    } else {
        config = fs::temp_directory_path();
    }
    std::error_code ec;
    fs::create_directories(config / "skyrell", ec);
    return config / "skyrell" / "user.txt";
}

fs::path ExecutableFolder() {
    std::error_code ec;
    const auto exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::current_path(ec) : exe.parent_path();
}

}  // namespace skyrell
