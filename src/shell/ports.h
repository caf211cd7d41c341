#pragma once
// Ports of the logic layer: the clock and the program's own folder. The window
// ports (dialogs, desktop programs) are in shell/services.h.

#include <filesystem>
#include <string>

namespace skyrell {

struct LocalDateTime {
    int year = 2000, month = 1, day = 1;
    int hour = 0, minute = 0, second = 0;
};

class Clock {
  public:
    virtual ~Clock() = default;
    virtual LocalDateTime Now() const = 0;
};

// The system clock in local time.
class SystemClock : public Clock {
  public:
    LocalDateTime Now() const override;
};

// A clock that always tells the same time (tests, reproducible runs).
class FixedClock : public Clock {
  public:
    explicit FixedClock(LocalDateTime time) : time_(time) {}
    LocalDateTime Now() const override { return time_; }
    void Set(LocalDateTime time) { time_ = time; }

  private:
    LocalDateTime time_;
};

// Where the program's own files live.
class AppFolder {
  public:
    virtual ~AppFolder() = default;
    // The folder of the shipped files (help page, point-record template).
    virtual std::filesystem::path ProgramFolder() const = 0;
    // The personnel file "user.txt".
    virtual std::filesystem::path PersonnelFile() const = 0;
};

// Production. The shipped files are beside the executable when its folder holds
// them (a build folder, or a copy of the program on a stick), else in the
// installed data folder. The personnel file stays beside the program when the
// shipped files are there and that folder is writable; otherwise (an installed
// program, a read-only folder) it lives in the user's configuration folder.
class InstalledAppFolder : public AppFolder {
  public:
    // The installed data folder (share/skyrell beside the program's bin
    // folder) and the user's configuration folder.
    explicit InstalledAppFolder(const std::filesystem::path& executableFolder);
    InstalledAppFolder(std::filesystem::path executableFolder, std::filesystem::path dataFolder,
                       std::filesystem::path configFolder);
    std::filesystem::path ProgramFolder() const override;
    // Creates the configuration folder when the file goes there, so that the
    // first save finds its folder.
    std::filesystem::path PersonnelFile() const override;

  private:
    bool HoldsShippedFiles() const;

    std::filesystem::path executableFolder_;
    std::filesystem::path dataFolder_;
    std::filesystem::path configFolder_;
};

// Tests: everything in one given folder.
class FixedAppFolder : public AppFolder {
  public:
    explicit FixedAppFolder(std::filesystem::path folder) : folder_(std::move(folder)) {}
    std::filesystem::path ProgramFolder() const override { return folder_; }
    std::filesystem::path PersonnelFile() const override { return folder_ / "user.txt"; }

  private:
    std::filesystem::path folder_;
};

// The executable's folder, read from the running process.
std::filesystem::path ExecutableFolder();

// Skyrell's folder in the user's configuration folder ($XDG_CONFIG_HOME, else
// ~/.config, else the temporary folder), whether or not it exists yet.
std::filesystem::path UserConfigFolder();

// The program's version, from the build ("1.0").
const char* ProgramVersion();

}  // namespace skyrell
