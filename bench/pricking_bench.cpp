// The pricking photo view on a 20-megapixel JPEG (5472 x 3648, a common survey
// camera): the first, reduced picture on screen, the full resolution ready,
// the redraw of a pan at 100 % and at 800 % in a 1600 x 1000 view, and the
// process's peak memory with the photo open. The same photo is opened by
// `vipsthumbnail` (the first picture) and decoded whole by `vips copy` and
// ImageMagick's `convert` (the full resolution) in the same run, and the
// ratios printed. Best of five openings; pans averaged over 200 redraws.

#include <vips/vips8>

#include <QApplication>
#include <QEventLoop>
#include <QImage>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "detailed_photo.h"
#include "pricking/qt_photo_view.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// The peak resident memory of this process so far, in MB.
double PeakMegabytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024;
    return 0;
}

// The best of five runs of a shell command, or a negative time when it fails.
double BestOf(const std::string& command) {
    double best = 1e9;
    for (int run = 0; run < 5; ++run) {
        const auto start = Clock::now();
        if (std::system(command.c_str()) != 0) return -1;
        best = std::min(best, Seconds(start));
    }
    return best;
}

void Ratio(const char* what, double ours, double theirs) {
    if (theirs < 0)
        std::printf("%-34s (tool missing)\n", what);
    else
        std::printf("%-34s %6.3f s  -> %.1fx\n", what, theirs, theirs / ours);
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (VIPS_INIT(argv[0])) return std::fprintf(stderr, "libvips failed to start\n"), 1;
    const fs::path folder = fs::temp_directory_path() / "skyrell-bench-pricking";
    const fs::path photo = WriteDetailedPhoto(folder);
    std::printf("photo: 5472 x 3648, %.1f MB; memory before opening %.0f MB\n",
                fs::file_size(photo) / 1e6, PeakMegabytes());

    skyrell::PhotoView view;
    view.resize(1600, 1000);
    view.show();
    double first = 1e9;
    double full = 1e9;
    for (int run = 0; run < 5; ++run) {
        QEventLoop loop;
        Clock::time_point start;
        double firstRun = 0;
        auto a = QObject::connect(&view, &skyrell::PhotoView::Opened, [&](bool shown) {
            firstRun = Seconds(start);
            if (!shown) loop.quit();  // the photo cannot be shown: no full picture follows
        });
        auto b = QObject::connect(&view, &skyrell::PhotoView::FullResolutionReady, [&] {
            full = std::min(full, Seconds(start));
            loop.quit();
        });
        start = Clock::now();
        view.Open(QString::fromStdString(photo.string()), QPointF(2736, 1824));
        loop.exec();
        first = std::min(first, firstRun);
        QObject::disconnect(a);
        QObject::disconnect(b);
    }
    if (!view.FullResolution()) return std::fprintf(stderr, "the photo did not open\n"), 1;
    std::printf("first picture on screen            %6.3f s (target under 0.3 s)\n", first);
    std::printf("full resolution ready              %6.3f s (target under 1 s)\n", full);

    QImage screen(view.size(), QImage::Format_RGB32);
    for (const double scale : {1.0, 8.0}) {
        view.SetScale(scale);
        view.render(&screen);  // warm the caches
        constexpr int kPans = 200;
        const auto start = Clock::now();
        for (int i = 0; i < kPans; ++i) {
            view.CentreOn(QPointF(2000 + (i % 50) * 7.0 / scale, 1500 + (i % 30) * 5.0 / scale));
            view.render(&screen);
        }
        std::printf("pan redraw at %3.0f %%                %6.2f ms (target under 16 ms)\n",
                    scale * 100, Seconds(start) * 1000 / kPans);
    }
    std::printf("peak memory with the photo open    %6.0f MB (target under 300 MB)\n",
                PeakMegabytes());

    const std::string in = "'" + photo.string() + "'";
    const std::string out = (folder / "out").string();
    Ratio("vipsthumbnail -s 2048 (first)", first,
          BestOf("vipsthumbnail " + in + " -s 2048 -o '" + out + ".ppm' 2>/dev/null"));
    Ratio("vips copy to .v (full)", full, BestOf("vips copy " + in + " '" + out + ".v'"));
    Ratio("convert to .ppm (full)", full, BestOf("convert " + in + " '" + out + ".ppm'"));
    fs::remove_all(folder);
    return 0;
}
