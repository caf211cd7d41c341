// POS conversion benchmark.
//
//   pos_bench --generate DIR [LINES]   writes DIR/pos.txt (a GBK POS file of
//       LINES data lines, 1,000,000 by default), DIR/points.csv (the same
//       points for ogr2ogr) and DIR/lonlat.txt (longitude latitude for cs2cs).
//   pos_bench [LINES]                  generates the files in a temporary
//       folder and times the KML point, DXF point and ID,X,Y conversions in
//       this process, with the longest stretch between two calls of the
//       progress hook (the window lets its event loop run from that hook) and
//       the peak memory.
//
// bench/pos_bench.sh compares the command-line program with ogr2ogr and cs2cs.

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "pos/pos_conversions.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

bool Generate(const fs::path& folder, long lines) {
    fs::create_directories(folder);
    std::FILE* pos = std::fopen((folder / "pos.txt").c_str(), "wb");
    std::FILE* csv = std::fopen((folder / "points.csv").c_str(), "wb");
    std::FILE* lonlat = std::fopen((folder / "lonlat.txt").c_str(), "wb");
    if (!pos || !csv || !lonlat) return false;
    std::mt19937_64 random(20130105);
    std::uniform_real_distribution<double> jitter(0, 1e-4), height(480, 560);
    // Title line, then one line per photo: id, weekday (GBK "星期3"), time,
    // longitude, latitude, height and three angles, as a flight writes them.
    std::fputs("photo week time lon lat height\r\n", pos);
    std::fputs("id,lon,lat,h\n", csv);
    const char* weekday =
        "\xD0\xC7\xC6\xDA"
        "3";
    for (long i = 0; i < lines; ++i) {
        const double lon = 114.0 + static_cast<double>(i % 2000) * 0.00037 + jitter(random);
        const double lat = 30.0 + static_cast<double>(i / 2000) * 0.00041 + jitter(random);
        const double h = height(random);
        std::fprintf(pos, "DSC%07ld %s 17:40:32 %.7f %.7f %.3f 0.0 0.0 0.0\r\n", i, weekday, lon,
                     lat, h);
        std::fprintf(csv, "DSC%07ld,%.7f,%.7f,%.3f\n", i, lon, lat, h);
        std::fprintf(lonlat, "%.7f %.7f\n", lon, lat);
    }
    return std::fclose(pos) == 0 && std::fclose(csv) == 0 && std::fclose(lonlat) == 0;
}

long PeakMemoryKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void Time(const char* name, skyrell::PosConversion conversion, const fs::path& pos,
          const fs::path& out) {
    skyrell::ConversionOptions options;
    options.coordinateSystem = "1954";
    options.zoneWidth = "3";
    options.textScale = 500;
    auto last = Clock::now();
    double longestGap = 0;
    const skyrell::Feedback hook([&](std::uint64_t, std::uint64_t, std::string_view) {
        const auto now = Clock::now();
        longestGap = std::max(longestGap, std::chrono::duration<double>(now - last).count());
        last = now;
    });
    const auto start = Clock::now();
    const auto result = skyrell::ConvertPosFile(conversion, pos, out, options, hook);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (!result.ok()) {
        std::fprintf(stderr, "%s: %s\n", name, result.status.message().c_str());
        std::exit(1);
    }
    std::printf("%-12s %8.3f s  %6.2f M records/s  %8.1f MB written  longest gap %5.1f ms\n", name,
                seconds, static_cast<double>(result.records) / seconds / 1e6,
                static_cast<double>(fs::file_size(out)) / 1e6, longestGap * 1000);
    fs::remove(out);
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc >= 3 && std::string(argv[1]) == "--generate") {
        const long lines = argc >= 4 ? std::atol(argv[3]) : 1000000;
        if (!Generate(argv[2], lines)) {
            std::perror("pos_bench");
            return 1;
        }
        return 0;
    }
    const long lines = argc >= 2 ? std::atol(argv[1]) : 1000000;
    const fs::path folder = fs::temp_directory_path() / ("pos_bench." + std::to_string(getpid()));
    if (!Generate(folder, lines)) {
        std::perror("pos_bench");
        return 1;
    }
    std::printf("POS file: %ld data lines, %.1f MB\n", lines,
                static_cast<double>(fs::file_size(folder / "pos.txt")) / 1e6);
    Time("KML points", skyrell::PosConversion::KmlPoint, folder / "pos.txt", folder / "o.kml");
    Time("DXF points", skyrell::PosConversion::DxfPoint, folder / "pos.txt", folder / "o.dxf");
    Time("ID,X,Y", skyrell::PosConversion::TxtXy, folder / "pos.txt", folder / "o.txt");
    std::printf("peak memory %.1f MB\n", static_cast<double>(PeakMemoryKb()) / 1024);
    fs::remove_all(folder);
    return 0;
}
