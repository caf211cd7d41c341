// Makes the input of the candidate photo benchmark: a flight of small JPEG
// photos with a survey camera's full EXIF (focal length, focal plane
// resolution, 35 mm equivalent, GPS position and altitude), all in one folder,
// and a plain CSV of control points scattered over the flown area.
//
//   make_candidate_photos FOLDER PHOTOS POINTS_FILE POINTS

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <random>
#include <string>

#include "support/exif_jpeg.h"

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: make_candidate_photos FOLDER PHOTOS POINTS_FILE POINTS\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    const int photos = std::stoi(argv[2]);
    const int points = std::stoi(argv[4]);
    std::filesystem::create_directories(folder);

    // Lines 50 m apart, photos 30 m apart along them, flown back and forth at
    // 120 m over ground at 20 m.
    const int perLine = std::max(1, static_cast<int>(std::sqrt(photos)));
    const double lat0 = 30.5, lon0 = 114.25, deg = std::numbers::pi / 180;
    const double metresPerDegLat = 110574, metresPerDegLon = 111320 * std::cos(lat0 * deg);
    std::vector<unsigned char> grey(64 * 48);
    for (std::size_t i = 0; i < grey.size(); ++i) grey[i] = static_cast<unsigned char>(i * 7);
    for (int i = 0; i < photos; ++i) {
        const int line = i / perLine, step = i % perLine;
        const double east = 30.0 * (line % 2 == 0 ? step : perLine - 1 - step);
        const double north = 50.0 * line;
        skyrell::testing::ExifTags tags;
        tags.focalMm = 8.8;
        tags.focalPlaneXResolution = 64 / 13.2;
        tags.focalPlaneUnit = 4;
        tags.focal35mm = 24;
        tags.latitude = lat0 + north / metresPerDegLat;
        tags.longitude = lon0 + east / metresPerDegLon;
        tags.altitude = 120;
        char name[32];
        std::snprintf(name, sizeof name, "DSC%05d.JPG", i + 1);
        std::ofstream(folder / name, std::ios::binary)
            << skyrell::testing::GreyJpeg(64, 48, grey, tags);
    }
    const int lines = (photos + perLine - 1) / perLine;
    std::mt19937 random(22);
    std::uniform_real_distribution<double> east(0, 30.0 * (perLine - 1)),
        north(0, 50.0 * (lines - 1));
    std::ofstream csv(argv[3], std::ios::binary);
    csv << "点名,纬度,经度,大地高\n";
    for (int i = 0; i < points; ++i) {
        char row[128];
        std::snprintf(row, sizeof row, "G%04d,%.9f,%.9f,20\n", i + 1,
                      lat0 + north(random) / metresPerDegLat,
                      lon0 + east(random) / metresPerDegLon);
        csv << row;
    }
    return 0;
}
