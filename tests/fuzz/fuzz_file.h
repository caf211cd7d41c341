#pragma once
// The readers take paths: each input becomes a file in a folder of this
// process, replaced for every run; in memory (/dev/shm) where there is one,
// so that the syncs of the atomic writer cost little. The folder goes when
// the process ends normally.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace skyrell::fuzz {

inline const std::filesystem::path& Folder() {
    static const std::filesystem::path folder = [] {
        std::error_code error;
        const auto base = std::filesystem::is_directory("/dev/shm", error)
                              ? std::filesystem::path("/dev/shm")
                              : std::filesystem::temp_directory_path();
        auto path = base / ("skyrell-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        return path;
    }();
    static const bool removedAtExit = [] {
        std::atexit([] {
            std::error_code error;
            std::filesystem::remove_all(Folder(), error);
        });
        return true;
    }();
    (void)removedAtExit;
    return folder;
}

// Writes the bytes to Folder()/name and returns the path.
inline std::filesystem::path InputFile(const char* name, const std::uint8_t* data,
                                       std::size_t size) {
    const auto path = Folder() / name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
    std::fclose(file);
    return path;
}

}  // namespace skyrell::fuzz
