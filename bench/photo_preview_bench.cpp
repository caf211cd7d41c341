// The preview of a 20-megapixel JPEG (5472 x 3648, the size of a common survey
// camera) as the control-point selection window makes it, against
// ImageMagick's `convert -thumbnail` making a preview of the same size from
// the same file. Prints the best of five runs of each and their ratio.

#include <vips/vips8>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "detailed_photo.h"
#include "photo/image_engine.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

static double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

int main(int, char* argv[]) {
    if (VIPS_INIT(argv[0])) return std::fprintf(stderr, "libvips failed to start\n"), 1;
    const fs::path folder = fs::temp_directory_path() / "skyrell-bench-preview";
    const fs::path photo = WriteDetailedPhoto(folder);
    std::printf("photo: 5472 x 3648, %.1f MB\n", fs::file_size(photo) / 1e6);

    double ours = 1e9;
    int width = 0, height = 0;
    for (int run = 0; run < 5; ++run) {
        const auto start = Clock::now();
        const auto preview = skyrell::MakePhotoPreview(photo, 2048);
        ours = std::min(ours, Seconds(start));
        if (!preview) return std::fprintf(stderr, "%s\n", preview.status().message().c_str()), 1;
        width = preview->width;
        height = preview->height;
    }
    std::printf("skyrell preview %d x %d       %6.3f s\n", width, height, ours);

    if (std::system("command -v convert > /dev/null 2>&1") != 0) {
        std::printf("ImageMagick's convert is missing: sudo apt-get install imagemagick\n");
        return 0;
    }
    const std::string command = "convert '" + photo.string() + "' -thumbnail 2048x2048 '" +
                                (folder / "preview.ppm").string() + "'";
    double theirs = 1e9;
    for (int run = 0; run < 5; ++run) {
        const auto start = Clock::now();
        if (std::system(command.c_str()) != 0) return std::fprintf(stderr, "convert failed\n"), 1;
        theirs = std::min(theirs, Seconds(start));
    }
    std::printf("convert -thumbnail 2048x2048   %6.3f s\n", theirs);
    std::printf("preview: %.1fx the speed of convert -thumbnail (target: well under 1 s)\n",
                theirs / ours);
    fs::remove_all(folder);
    return 0;
}
