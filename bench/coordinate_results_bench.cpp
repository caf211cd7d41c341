// Coordinate results on a large controller export: the whole run (read,
// group, match, write) on 100,000 observations, and the grouping compared with
// the pairwise grouping that compares every observation with every later one.

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "project/coordinate_results.h"
#include "shell/atomic_file.h"

using namespace skyrell;
using Clock = std::chrono::steady_clock;

namespace {

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// The grouping as a pairwise scan: for every observation not yet taken, look
// at every later one with the same name.
std::size_t PairwiseGroups(const std::vector<RawObservation>& observations) {
    std::vector<bool> taken(observations.size());
    std::size_t groups = 0;
    for (std::size_t i = 0; i < observations.size(); ++i) {
        if (taken[i]) continue;
        ++groups;
        for (std::size_t k = i + 1; k < observations.size(); ++k)
            if (!taken[k] && observations[k].name == observations[i].name) taken[k] = true;
    }
    return groups;
}

}  // namespace

int main() {
    const auto folder = std::filesystem::temp_directory_path() / "skyrell_coordinate_bench";
    std::filesystem::create_directories(folder);
    const auto raw = folder / "raw.csv";
    const std::size_t lines = 100000, points = 5000;

    std::string text = "点名,北坐标,东坐标,高程,纬度,经度,大地高" + std::string(15, ',') + "\r\n";
    std::vector<std::string> photos;
    for (std::size_t i = 0; i < lines; ++i) {
        char line[160];
        std::snprintf(line, sizeof line, "P%04zu_%zu,%.4f,%.4f,%.3f,30.1234,114.5678,%.3f",
                      i % points, i / points, 3456789.0 + 0.001 * (i % 7), 512345.0 + i % points,
                      50.0 + 0.01 * (i % 3), 60.0);
        text += line + std::string(15, ',') + "\r\n";
    }
    for (std::size_t p = 0; p < points; ++p)
        photos.push_back("P" + std::to_string(10000 + p).substr(1) + "_IMG.jpg");
    if (!WriteBytesAtomically(raw, text)) return 1;

    const auto start = Clock::now();
    const auto run = WriteCoordinateResults(raw, RawCsvLayoutOf(ControllerMake::HiTarget), photos,
                                            folder / "out.csv");
    const double whole = Seconds(start);
    if (!run) {
        std::fprintf(stderr, "%s\n", run.status().message().c_str());
        return 1;
    }
    std::printf("whole run, %zu observations, %zu points: %.3f s\n", run->observations, run->points,
                whole);

    // Grouping alone on 20,000 observations: linear against pairwise.
    std::vector<RawObservation> observations;
    for (std::size_t i = 0; i < 20000; ++i) {
        RawObservation obs;
        obs.name = "P" + std::to_string(10000 + i % 1000).substr(1);
        obs.writtenNorthing = obs.writtenEasting = obs.writtenElevation = Picometres(0);
        observations.push_back(obs);
    }
    auto t = Clock::now();
    const auto rows = GroupObservations(observations);
    const double linear = Seconds(t);
    t = Clock::now();
    const std::size_t pairwise = PairwiseGroups(observations);
    const double quadratic = Seconds(t);
    std::printf(
        "grouping 20000 observations: %.4f s, pairwise %.4f s (%zu/%zu groups), ratio %.1f\n",
        linear, quadratic, rows.size(), pairwise, quadratic / linear);
    std::filesystem::remove_all(folder);
    return 0;
}
