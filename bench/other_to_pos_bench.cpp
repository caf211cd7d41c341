// Other data to POS on a 200,000-line data file: reading the file, taking the
// latitude and longitude columns (what the window's preview lists hold) and
// writing the POS file, against awk doing the same conversion with printf.
// Prints both times and their ratio.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "pos/other_to_pos.h"
#include "shell/line_reader.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

static double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

int main(int argc, char* argv[]) {
    const long lines = argc > 1 ? std::atol(argv[1]) : 200000;
    const fs::path folder = fs::temp_directory_path() / "skyrell-bench-other-to-pos";
    fs::create_directories(folder);
    const fs::path data = folder / "data.csv";
    {
        std::ofstream out(data, std::ios::binary);
        for (long i = 0; i < lines; ++i)
            out << "P" << i << "," << 30 + (i % 1000) * 0.000123456789 << ","
                << 114 + (i % 977) * 0.000987654321 << ",35.5\r\n";
    }

    auto start = Clock::now();
    const auto read = skyrell::ReadTextLines(data);
    if (!read) return std::fprintf(stderr, "%s\n", read.status().message().c_str()), 1;
    const auto latitudes = skyrell::ColumnOf(*read, ",", 1);
    const auto longitudes = skyrell::ColumnOf(*read, ",", 2);
    const double loaded = Seconds(start);
    const auto written = skyrell::WriteOtherDataPos(folder / "skyrell.pos", latitudes, longitudes);
    if (!written) return std::fprintf(stderr, "%s\n", written.message().c_str()), 1;
    const double ours = Seconds(start);

    const std::string awk =
        "awk -F, '{printf \" %-13d星期3 17:40:32   %.7f    %.7f    0.0     0.0         0.0"
        "           0.0\\r\\n\", NR, $3, $2}' '" +
        data.string() + "' > '" + (folder / "awk.pos").string() + "'";
    start = Clock::now();
    if (std::system(awk.c_str()) != 0) return std::fprintf(stderr, "awk failed\n"), 1;
    const double theirs = Seconds(start);

    std::printf("other-to-pos, %ld lines\n", lines);
    std::printf("  load + both columns (preview lists): %.3f s\n", loaded);
    std::printf("  skyrell, whole conversion:            %.3f s\n", ours);
    std::printf("  awk printf conversion:                %.3f s\n", theirs);
    std::printf("  ratio awk / skyrell:                  %.2f\n", theirs / ours);
    fs::remove_all(folder);
    return 0;
}
