// Saving a pricking on a 20-megapixel photo: the hand-in photo (the whole
// photo marked, EXIF kept) and the sketch, against ImageMagick drawing the
// same ring, cross and name on the photo and cutting the sketch from it, in
// the same run on the same photo. Prints the best of three runs of each and
// the process's peak memory.
//
//   build/bench/pricking_save_bench [RUNS]

#include <sys/resource.h>
#include <vips/vips8>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "photo/image_engine.h"
#include "pricking/pricking.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// ImageMagick by its Debian path: the first "convert" on the PATH may be
// something else.
constexpr char kConvert[] = "/usr/bin/convert-im6.q16";

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// Processor time (user + system) of this process or of its ended children,
// which other programs on a shared machine disturb less than the wall time.
double ProcessorSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// 5472 x 3648 (a 20-megapixel camera), fine-grained noise so that the file is
// about as large as a real photo's, with a GPS tag.
void MakePhoto(const fs::path& file) {
    vips::VImage noise = vips::VImage::gaussnoise(
        5472, 3648, vips::VImage::option()->set("mean", 110)->set("sigma", 16));
    vips::VImage rgb =
        noise.bandjoin(noise.rot180().flip(VIPS_DIRECTION_HORIZONTAL))
            .bandjoin(noise.flip(VIPS_DIRECTION_VERTICAL))
            .cast(VIPS_FORMAT_UCHAR)
            .copy(vips::VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
    rgb.set("exif-ifd3-GPSLatitudeRef", "N");
    rgb.jpegsave(file.c_str(), vips::VImage::option()->set("Q", 95)->set(
                                   "subsample_mode", VIPS_FOREIGN_SUBSAMPLE_ON));
}

}  // namespace

int main(int argc, char* argv[]) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    if (!skyrell::StartImageEngine()) return 1;
    const fs::path work =
        fs::temp_directory_path() / ("skyrell-pricking-bench-" + std::to_string(::getpid()));
    const fs::path sortie = work / "第1架次";
    fs::create_directories(sortie / "刺点片");
    fs::create_directories(sortie / "过程数据");
    const fs::path photo = work / "DSC00001.JPG";
    MakePhoto(photo);
    std::printf("photo 5472 x 3648, %.1f MiB\n", fs::file_size(photo) / 1048576.0);

    const double x = 2736.5, y = 1824.5;
    double best = 1e9, bestCpu = 1e9;
    for (int run = 0; run < runs; ++run) {
        const double cpu = ProcessorSeconds(RUSAGE_SELF);
        const auto start = Clock::now();
        const auto pricked =
            skyrell::Prick({sortie, "P0001", photo, x, y}, skyrell::Feedback::None());
        const double seconds = Seconds(start);
        if (!pricked) {
            std::printf("prick failed: %s\n", pricked.status().message().c_str());
            return 1;
        }
        best = std::min(best, seconds);
        bestCpu = std::min(bestCpu, ProcessorSeconds(RUSAGE_SELF) - cpu);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf(
        "skyrell prick (hand-in photo + sketch + record): %.3f s, processor %.3f s, "
        "peak memory %ld MiB\n",
        best, bestCpu, usage.ru_maxrss / 1024);

    if (!fs::exists(kConvert)) {
        std::printf(
            "ImageMagick not found (%s); install it with: sudo apt-get install imagemagick\n",
            kConvert);
        fs::remove_all(work);
        return 0;
    }
    // The same mark and name with ImageMagick, then the sketch cut from the
    // marked photo, as a user would script it.
    const skyrell::MarkSize mark = skyrell::MarkSizeFor(5472);
    const skyrell::PixelRect cut = skyrell::SketchRectangle(5472, 3648, x, y, 0);
    char draw[512];
    std::snprintf(draw, sizeof draw,
                  "-fill none -stroke red -strokewidth %d -draw 'circle %g,%g %g,%g' "
                  "-draw 'line %g,%g %g,%g' -draw 'line %g,%g %g,%g' "
                  "-fill red -stroke none -pointsize %d -annotate +%g+%g P0001",
                  mark.lineWidth, x, y, x + mark.radius, y, x - 1.6 * mark.radius, y,
                  x + 1.6 * mark.radius, y, x, y - 1.6 * mark.radius, x, y + 1.6 * mark.radius,
                  mark.textHeight, x + 1.2 * mark.radius, y - 1.2 * mark.radius);
    const std::string marked = (work / "im_P0001_DSC00001.jpg").string();
    const std::string command = std::string(kConvert) + " '" + photo.string() + "' " + draw +
                                " -quality 95 -sampling-factor 1x1 '" + marked + "' && " +
                                kConvert + " '" + marked + "' -crop " + std::to_string(cut.width) +
                                "x" + std::to_string(cut.height) + "+" + std::to_string(cut.x) +
                                "+" + std::to_string(cut.y) + " +repage -quality 95 '" +
                                (work / "im_P0001.jpg").string() + "'";
    double other = 1e9, otherCpu = 1e9;
    for (int run = 0; run < runs; ++run) {
        const double cpu = ProcessorSeconds(RUSAGE_CHILDREN);
        const auto start = Clock::now();
        if (std::system(command.c_str()) != 0) {
            std::printf("ImageMagick failed: %s\n", command.c_str());
            fs::remove_all(work);
            return 1;
        }
        other = std::min(other, Seconds(start));
        otherCpu = std::min(otherCpu, ProcessorSeconds(RUSAGE_CHILDREN) - cpu);
    }
    std::printf("ImageMagick convert (mark, name, sketch): %.3f s, processor %.3f s\n", other,
                otherCpu);
    std::printf("ratio ImageMagick / skyrell: %.1f (processor time %.1f)\n", other / best,
                otherCpu / bestCpu);
    fs::remove_all(work);
    return 0;
}
