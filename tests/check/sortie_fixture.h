#pragma once
// A sortie folder "第1架次" with its six sub-folders in a temporary folder, and
// short ways to fill it. Shared by the logic and the window tests of the check.

#include <initializer_list>
#include <string>
#include <vector>

#include "project/sortie_layout.h"
#include "shell/atomic_file.h"
#include "shell/files.h"
#include "support/temp_folder.h"

namespace skyrell::testing {

inline constexpr const char* kResultsHeader =
    "点名,北坐标,东坐标,高程,纬度,经度,大地高,观测次数,备注";

// A nine-field results row of the point with the given latitude and longitude.
inline std::string ResultsRow(const std::string& name,
                              const std::string& latitude = "30:15:36.0000N",
                              const std::string& longitude = "120:30:00.0000E") {
    return name + ",3456789.12,512345.6,45.3," + latitude + "," + longitude + ",52.1,1,";
}

// Replaces the file by one that exists but cannot be read, for root too: a
// link to the memory of the reading process, whose first page is unmapped, so
// that every read fails with an input/output error.
inline void MakeUnreadable(const std::filesystem::path& file) {
    std::filesystem::remove(file);
    std::filesystem::create_symlink("/proc/self/mem", file);
}

struct SortieFixture {
    TempFolder root;
    std::filesystem::path sortie = root / "第1架次";

    SortieFixture() {
        for (auto sub : kSortieSubFolders) std::filesystem::create_directories(Sub(sub));
    }

    std::filesystem::path Sub(std::string_view name) const { return sortie / PathOf(name); }
    void File(std::string_view sub, const std::string& name) const {
        WriteBytes(Sub(sub) / name, "x");
    }
    void Remove(std::string_view sub) const { std::filesystem::remove_all(Sub(sub)); }

    // The coordinate results table, GBK with CR LF, from these lines; it
    // takes the place of an unreadable one (a write would follow that link).
    void Results(const std::vector<std::string>& lines) const {
        const auto table = Sub(kCoordinateResultFolder) / PathOf(kCoordinateResultFile);
        std::filesystem::remove(table);
        ASSERT_TRUE(WriteTextLines(table, lines));
    }

    // Everything that makes the points pass the check: one pricked-point
    // photo, one record, one site photo and one results row each, plus a raw
    // data file.
    void CompletePoints(std::initializer_list<std::string> names) const {
        std::vector<std::string> lines = {kResultsHeader};
        int photo = 286;
        for (const auto& name : names) {
            File(kPrickedPhotoFolder, name + "_IMG_0" + std::to_string(photo++) + ".jpg");
            File(kPointRecordFolder, name + ".doc");
            File(kSitePhotoFolder, name + ".jpg");
            lines.push_back(ResultsRow(name));
        }
        File(kRawDataFolder, "2013-1-5.csv");
        Results(lines);
    }
};

}  // namespace skyrell::testing
