#pragma once
// A fresh folder for one test, removed with everything in it afterwards, and
// small file helpers for building inputs and reading outputs byte for byte.

#include <filesystem>
#include <string>
#include <string_view>

namespace skyrell::testing {

class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

// Writes exactly these bytes (creating parent folders).
void WriteBytes(const std::filesystem::path& file, std::string_view bytes);
// The whole file; empty when it does not exist.
std::string ReadBytes(const std::filesystem::path& file);
// A file under tests/data.
std::filesystem::path DataFile(std::string_view relative);

}  // namespace skyrell::testing
