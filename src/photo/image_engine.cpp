#include "photo/image_engine.h"

#include <vips/vips8>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

#include "photo/jpeg_dct_turn.h"
#include "photo/width_reduction.h"
#include "shell/atomic_file.h"
#include "shell/files.h"
#include "shell/system_errors.h"

namespace skyrell {

namespace {

// The reasons a photo could not be processed. They are the engine's own texts
// rather than libvips' error buffer, which is shared by every thread: a
// reason can never belong to another photo.
constexpr char kDamaged[] = "图片数据不完整或已损坏";
constexpr char kNotOpen[] = "图片未打开";
constexpr char kWriteFailed[] = "无法写入目标文件：";
constexpr char kNoColours[] = "图片的颜色格式无法显示";

constexpr int kJpegQuality[12] = {50, 55, 60, 65, 70, 75, 80, 84, 87, 90, 92, 95};

std::once_flag engineOnce;
// Read by any thread that ends its use of the engine.
std::atomic<bool> engineStarted{false};

// The angle taken into (-180, 180].
double NormalizedDegrees(double degrees) {
    double angle = std::fmod(degrees, 360.0);
    if (angle <= -180.0) angle += 360.0;
    if (angle > 180.0) angle -= 360.0;
    return angle;
}

bool IsRightAngle(double angle) {
    return angle == 0.0 || angle == 90.0 || angle == 180.0 || angle == -90.0;
}

// libvips keeps one error buffer for the process; after a failure it is
// emptied so that it never grows over a long batch.
void ForgetEngineErrors() { vips_error_clear(); }

// libvips' warnings (a damaged tile, an odd tag) are its own words on the
// terminal; the engine reports what matters in its own messages instead.
void DropEngineWarning(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}

// A loader's name as libvips records it on the image ("jpegload_source" for
// a JPEG read through a source).
bool IsJpegLoader(const std::string& loader) { return loader.rfind("jpegload", 0) == 0; }

// Why `file` is no regular file (missing, a folder, unreadable metadata), or
// empty when it is one.
std::string NotAFileReason(const std::filesystem::path& file) {
    std::error_code error;
    if (std::filesystem::is_regular_file(file, error)) return {};
    if (!error) error = std::make_error_code(std::errc::no_such_file_or_directory);
    std::error_code ignored;
    if (std::filesystem::is_directory(file, ignored))
        error = std::make_error_code(std::errc::is_a_directory);
    return SystemErrorText(error);
}

struct Operation {
    enum Kind { Turn, Resample } kind;
    double degrees = 0;  // Turn, normalized
    ImageSize size;      // Resample
};

Status Failure(const std::filesystem::path& file, const std::string& reason) {
    return Status::Fail(PhotoFailureText(file, reason));
}

// Writes the bytes through a temporary file renamed over the target, in
// slices so that a large photo is not copied once more in memory.
Status WriteJpegFile(const std::filesystem::path& target, const unsigned char* data,
                     std::size_t size) {
    constexpr std::size_t kSlice = 1u << 20;
    AtomicFile file;
    Status status = file.Open(target);
    for (std::size_t done = 0; status && done < size; done += kSlice) {
        const std::size_t length = std::min(kSlice, size - done);
        status = file.Write(std::string_view(reinterpret_cast<const char*>(data) + done, length));
    }
    if (status) status = file.Commit();
    if (!status) return Failure(target, kWriteFailed + status.message());
    return Status::Ok();
}

// Why a photo is refused before it is read: its size and what working on it
// would take, against the limit.
std::string TooLargeText(ImageSize size, std::uint64_t cost) {
    constexpr std::uint64_t kMiB = 1u << 20;
    return "图片为" + std::to_string(size.width) + "×" + std::to_string(size.height) +
           "像素，处理约需" + std::to_string((cost + kMiB - 1) / kMiB) + " MB内存，超过每张图片" +
           std::to_string(kMostPhotoMemory / kMiB) + " MB的上限";
}

int FreeBlock(void* data, void*) {
    g_free(data);
    return 0;
}

// The EXIF block without its thumbnail, which shows the picture as it was
// stored and so is wrong once the picture is turned. libvips writes the
// block back from its fields too, so the thumbnail directory's go as well.
void DropThumbnail(vips::VImage& image) {
    if (gchar** fields = vips_image_get_fields(image.get_image())) {
        for (gchar** field = fields; *field; ++field)
            if (g_str_has_prefix(*field, "exif-ifd1-") ||
                !std::strcmp(*field, "jpeg-thumbnail-data"))
                vips_image_remove(image.get_image(), *field);
        g_strfreev(fields);
    }
    if (!vips_image_get_typeof(image.get_image(), VIPS_META_EXIF_NAME)) return;
    const void* data = nullptr;
    std::size_t length = 0;
    if (vips_image_get_blob(image.get_image(), VIPS_META_EXIF_NAME, &data, &length) != 0) {
        ForgetEngineErrors();
        return;
    }
    auto* copy = static_cast<unsigned char*>(g_memdup2(data, length));
    DropExifThumbnail(copy, length);
    vips_image_set_blob(image.get_image(), VIPS_META_EXIF_NAME, FreeBlock, copy, length);
}

// The image as 8-bit sRGB (or grey, when `keepGrey`) without alpha:
// transparent parts become white.
vips::VImage EightBitSrgb(vips::VImage image, bool keepGrey) {
    const VipsInterpretation kind = image.interpretation();
    if (kind != VIPS_INTERPRETATION_sRGB && !(keepGrey && kind == VIPS_INTERPRETATION_B_W))
        image = image.colourspace(VIPS_INTERPRETATION_sRGB);
    if (image.format() != VIPS_FORMAT_UCHAR) image = image.cast(VIPS_FORMAT_UCHAR);
    if (image.has_alpha())
        image = image.flatten(vips::VImage::option()->set("background", std::vector<double>{255}));
    return image;
}

// Whether the source holds a picture some loader reads.
bool HoldsPicture(vips::VSource& source) {
    if (vips_foreign_find_load_source(source.get_source())) return true;
    ForgetEngineErrors();
    return false;
}

// An 8-bit picture as red, green and blue: grey spread to three bands, alpha
// and further bands dropped.
vips::VImage ThreeBands(vips::VImage image) {
    if (image.bands() < 3) image = image.colourspace(VIPS_INTERPRETATION_sRGB);
    if (image.bands() > 3) image = image.extract_band(0, vips::VImage::option()->set("n", 3));
    return image;
}

// The picture's pixels, computed and copied out of the engine's memory.
std::vector<unsigned char> BytesOf(const vips::VImage& image) {
    std::size_t size = 0;
    void* pixels = image.write_to_memory(&size);
    const auto* bytes = static_cast<const unsigned char*>(pixels);
    std::vector<unsigned char> copy(bytes, bytes + size);
    g_free(pixels);
    return copy;
}

// A JPEG as libvips encoded it, freed with the engine's allocator.
struct EncodedJpeg {
    std::unique_ptr<void, void (*)(void*)> bytes{nullptr, g_free};
    std::size_t size = 0;
};

// `image` encoded upright at the engine quality `quality` (1 to 12) with
// optimised Huffman tables. libvips writes the EXIF pixel size itself, but the
// first directory's from the fields as they were read, so those are set to the
// image's size; the orientation becomes 1.
EncodedJpeg EncodeUprightJpeg(vips::VImage image, int quality, bool subsample, bool strip) {
    for (const auto& [field, value] : {std::pair{"exif-ifd0-ImageWidth", image.width()},
                                       std::pair{"exif-ifd0-ImageLength", image.height()}})
        if (vips_image_get_typeof(image.get_image(), field))
            image.set(field, std::to_string(value).c_str());
    image.set(VIPS_META_ORIENTATION, 1);
    EncodedJpeg jpeg;
    void* buffer = nullptr;
    image.write_to_buffer(".jpg", &buffer, &jpeg.size,
                          vips::VImage::option()
                              ->set("Q", JpegQualityOf(quality))
                              ->set("optimize_coding", true)
                              ->set("subsample_mode", subsample ? VIPS_FOREIGN_SUBSAMPLE_ON
                                                                : VIPS_FOREIGN_SUBSAMPLE_OFF)
                              ->set("interlace", false)
                              ->set("strip", strip));
    jpeg.bytes.reset(buffer);
    return jpeg;
}

}  // namespace

Status StartImageEngine() {
    std::call_once(engineOnce, [] {
        engineStarted = VIPS_INIT("skyrell") == 0;
        if (engineStarted) {
            // Photos of a batch are read once each; caching their operations
            // would only hold memory.
            vips_cache_set_max(0);
            g_log_set_handler(
                "VIPS",
                GLogLevelFlags(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_MESSAGE | G_LOG_LEVEL_INFO |
                               G_LOG_FLAG_FATAL | G_LOG_FLAG_RECURSION),
                DropEngineWarning, nullptr);
        }
        ForgetEngineErrors();
    });
    return engineStarted ? Status::Ok() : Status::Fail("图像引擎无法启动");
}

// A thread that never reached the engine (a job that found no photo to read)
// ends nothing; libvips, never started, would crash.
void EndImageEngineThread() {
    if (engineStarted) vips_thread_shutdown();
}

int JpegQualityOf(int quality) { return kJpegQuality[std::clamp(quality, 1, 12) - 1]; }

std::string PhotoFailureText(const std::filesystem::path& file, const std::string& reason) {
    return PathText(file.filename()) + "：" + reason;
}

namespace {

// Output rows of a narrowed image, each from the same rows of its input.
int NarrowRows(VipsRegion* out, void* sequence, void*, void* reduction, gboolean*) {
    auto* input = static_cast<VipsRegion*>(sequence);
    const auto& plan = *static_cast<const WidthReduction*>(reduction);
    const VipsRect& area = out->valid;
    const int left = plan.First(area.left);
    VipsRect needed{left, area.top, plan.First(area.left + area.width - 1) + plan.Taps() - left,
                    area.height};
    if (vips_region_prepare(input, &needed) != 0) return -1;
    for (int y = area.top; y < area.top + area.height; ++y)
        plan.Reduce(static_cast<const unsigned char*>(VIPS_REGION_ADDR(input, left, y)), left,
                    static_cast<unsigned char*>(VIPS_REGION_ADDR(out, area.left, y)), area.left,
                    area.left + area.width);
    return 0;
}

// `image` (8-bit) reduced to `width` pixels across by the engine's own
// Lanczos3, lazily like any libvips step: rows are made as they are asked for.
vips::VImage Narrowed(const vips::VImage& image, int width) {
    VipsImage* in = image.get_image();
    VipsImage* out = vips_image_new();
    if (vips_image_pipelinev(out, VIPS_DEMAND_STYLE_THINSTRIP, in, nullptr) != 0) {
        g_object_unref(out);
        throw vips::VError();
    }
    out->Xsize = width;
    // The output holds its input and the table until it is closed.
    auto* plan = new WidthReduction(image.width(), width, image.bands());
    g_object_ref(in);
    vips_object_local(out, in);
    g_signal_connect(out, "close", G_CALLBACK(+[](VipsImage*, gpointer data) {
                         delete static_cast<WidthReduction*>(data);
                     }),
                     plan);
    if (vips_image_generate(out, vips_start_one, NarrowRows, vips_stop_one, in, plan) != 0) {
        g_object_unref(out);
        throw vips::VError();
    }
    return vips::VImage(out);
}

}  // namespace

struct PhotoImage::Impl {
    Impl(std::filesystem::path path, vips::VSource opened)
        : file(std::move(path)), source(std::move(opened)) {}

    std::filesystem::path file;
    vips::VSource source;  // the file, opened once for every read of the photo
    std::uint64_t fileSize = 0;
    bool jpeg = false;    // read by libvips' JPEG loader
    int orientation = 1;  // EXIF orientation as stored
    ImageSize upright;    // size with the orientation applied
    std::vector<Operation> operations;
    bool savedLosslessly = false;
    int threads = 0;  // of the decoding path; 0: libvips' own choice

    bool NeedsRandomAccess() const {
        if (orientation != 1) return true;
        return std::any_of(operations.begin(), operations.end(), [](const Operation& op) {
            return op.kind == Operation::Turn && op.degrees != 0.0;
        });
    }

    // The turn that all operations add up to, when they are only right-angle
    // turns of an upright JPEG (the case the compressed data can be turned in).
    std::optional<DctTurn> LosslessTurn() const {
        if (!jpeg || orientation != 1 || operations.empty()) return std::nullopt;
        double total = 0;
        for (const auto& op : operations) {
            if (op.kind != Operation::Turn || !IsRightAngle(op.degrees)) return std::nullopt;
            total = NormalizedDegrees(total + op.degrees);
        }
        if (total == 90.0) return DctTurn::Clockwise;
        if (total == 180.0) return DctTurn::Half;
        if (total == -90.0) return DctTurn::CounterClockwise;
        return DctTurn::None;
    }

    // The size after the operations when they are only right-angle turns,
    // known from the header without building the pipeline.
    std::optional<ImageSize> TurnedSize() const {
        ImageSize size = upright;
        for (const auto& op : operations) {
            if (op.kind != Operation::Turn || !IsRightAngle(op.degrees)) return std::nullopt;
            if (op.degrees == 90.0 || op.degrees == -90.0) std::swap(size.width, size.height);
        }
        return size;
    }

    // The pipeline from the file to the result; lazy until it is written.
    vips::VImage Build() const {
        // libjpeg warns about data it could not read (a scan that ends early,
        // bytes out of place, a bad code) and fills the rest with grey, so a
        // JPEG it warns about is damaged; other formats fail when cut short.
        auto* options =
            vips::VImage::option()
                ->set("access", NeedsRandomAccess() ? VIPS_ACCESS_RANDOM : VIPS_ACCESS_SEQUENTIAL)
                ->set("fail_on", jpeg ? VIPS_FAIL_ON_WARNING : VIPS_FAIL_ON_TRUNCATED);
        // A JPEG that is reduced to a quarter or less is first shrunk while
        // it is decoded, leaving at least a factor of two to the Lanczos3
        // step, which then sees practically the same picture, much faster.
        if (jpeg && !operations.empty() && operations.front().kind == Operation::Resample) {
            const ImageSize to = operations.front().size;
            const double factor =
                std::min(double(upright.width) / to.width, double(upright.height) / to.height);
            const int shrink = factor >= 16 ? 8 : factor >= 8 ? 4 : factor >= 4 ? 2 : 1;
            if (shrink > 1) options->set("shrink", shrink);
        }
        vips::VImage image = vips::VImage::new_from_source(source, "", options);
        image = EightBitSrgb(image.autorot(), true);
        for (const auto& op : operations) {
            if (op.kind == Operation::Turn) {
                if (op.degrees == 90.0)
                    image = image.rot(VIPS_ANGLE_D90);
                else if (op.degrees == 180.0)
                    image = image.rot(VIPS_ANGLE_D180);
                else if (op.degrees == -90.0)
                    image = image.rot(VIPS_ANGLE_D270);
                else if (op.degrees != 0.0)
                    image = image.rotate(op.degrees, vips::VImage::option()->set(
                                                         "background", std::vector<double>{255}));
            } else {
                const double hscale = double(op.size.width) / image.width();
                const double vscale = double(op.size.height) / image.height();
                // libvips resizes the height (its vector code); an 8-bit
                // width that shrinks is the engine's own step, much faster.
                const bool narrows = hscale < 1.0 && image.format() == VIPS_FORMAT_UCHAR;
                if (!narrows || vscale != 1.0)
                    image = image.resize(narrows ? 1.0 : hscale,
                                         vips::VImage::option()
                                             ->set("vscale", vscale)
                                             ->set("kernel", VIPS_KERNEL_LANCZOS3));
                if (narrows) image = Narrowed(image, op.size.width);
            }
        }
        return image;
    }
};

PhotoImage::PhotoImage() = default;
PhotoImage::~PhotoImage() = default;
PhotoImage::PhotoImage(PhotoImage&&) noexcept = default;
PhotoImage& PhotoImage::operator=(PhotoImage&&) noexcept = default;

Status PhotoImage::Open(const std::filesystem::path& file) {
    impl_.reset();
    if (Status started = StartImageEngine(); !started) return Failure(file, started.message());
    if (std::string missing = NotAFileReason(file); !missing.empty()) return Failure(file, missing);
    std::error_code error;
    const std::uint64_t fileSize = std::filesystem::file_size(file, error);
    std::unique_ptr<Impl> impl;
    try {
        impl = std::make_unique<Impl>(file, vips::VSource::new_from_file(file.c_str()));
        impl->fileSize = error ? 0 : fileSize;
        if (!HoldsPicture(impl->source)) return Failure(file, kNotAPictureText);
        const vips::VImage header = vips::VImage::new_from_source(
            impl->source, "", vips::VImage::option()->set("access", VIPS_ACCESS_SEQUENTIAL));
        const char* loader = nullptr;
        if (vips_image_get_string(header.get_image(), "vips-loader", &loader) == 0 && loader)
            impl->jpeg = IsJpegLoader(loader);
        impl->orientation = vips_image_get_orientation(header.get_image());
        impl->upright = {header.width(), header.height()};
        if (vips_image_get_orientation_swap(header.get_image()))
            std::swap(impl->upright.width, impl->upright.height);
    } catch (const vips::VError&) {
        // A file that cannot be opened at all is no picture either.
        ForgetEngineErrors();
        return Failure(file, impl ? kDamaged : kNotAPictureText);
    }
    ForgetEngineErrors();
    impl_ = std::move(impl);
    return Status::Ok();
}

Status PhotoImage::Rotate(double degrees) {
    if (!impl_) return Status::Fail(kNotOpen);
    if (!std::isfinite(degrees)) return Failure(impl_->file, "旋转角度无效");
    impl_->operations.push_back({Operation::Turn, NormalizedDegrees(degrees), {}});
    return Status::Ok();
}

Result<ImageSize> PhotoImage::Size() {
    if (!impl_) return Status::Fail(kNotOpen);
    if (const auto size = impl_->TurnedSize()) return *size;
    try {
        const vips::VImage image = impl_->Build();
        return ImageSize{image.width(), image.height()};
    } catch (const vips::VError&) {
        ForgetEngineErrors();
        return Failure(impl_->file, kDamaged);
    }
}

Status PhotoImage::Resize(ImageSize size) {
    if (!impl_) return Status::Fail(kNotOpen);
    size.width = std::max(size.width, 1);
    size.height = std::max(size.height, 1);
    impl_->operations.push_back({Operation::Resample, 0, size});
    return Status::Ok();
}

Status PhotoImage::SaveJpeg(const std::filesystem::path& target, int quality) {
    if (!impl_) return Status::Fail(kNotOpen);
    impl_->savedLosslessly = false;
    if (const std::uint64_t cost = MemoryCost(); cost > kMostPhotoMemory)
        return Failure(impl_->file, TooLargeText(impl_->upright, cost));
    if (const auto turn = impl_->LosslessTurn()) {
        AtomicFile file;
        Status status = file.Open(target);
        const DctTurnOutcome outcome = status ? TurnJpegLossless(impl_->file, file, *turn, &status)
                                              : DctTurnOutcome::WriteFailed;
        if (outcome == DctTurnOutcome::Done) status = file.Commit();
        if (!status) return Failure(target, kWriteFailed + status.message());
        if (outcome == DctTurnOutcome::Done) {
            impl_->savedLosslessly = true;
            return Status::Ok();
        }
        // Not whole MCUs, data libjpeg warns about, or coefficients beyond
        // what a baseline JPEG codes: the decoding path turns it or reports
        // what is wrong with it.
    }
    EncodedJpeg jpeg;
    try {
        vips::VImage image = impl_->Build().copy();
        if (impl_->NeedsRandomAccess()) DropThumbnail(image);
        if (impl_->threads > 0) image.set(VIPS_META_CONCURRENCY, impl_->threads);
        jpeg = EncodeUprightJpeg(image, quality, true, false);
    } catch (const vips::VError&) {
        ForgetEngineErrors();
        return Failure(impl_->file, kDamaged);
    }
    return WriteJpegFile(target, static_cast<const unsigned char*>(jpeg.bytes.get()), jpeg.size);
}

void PhotoImage::Close() { impl_.reset(); }

void PhotoImage::SetThreads(int threads) {
    if (impl_) impl_->threads = std::max(threads, 0);
}

bool PhotoImage::SavedLosslessly() const { return impl_ && impl_->savedLosslessly; }

std::uint64_t PhotoImage::MemoryCost() const {
    if (!impl_) return 0;
    const std::uint64_t pixels =
        std::uint64_t(impl_->upright.width) * std::uint64_t(impl_->upright.height);
    const bool turns = std::any_of(impl_->operations.begin(), impl_->operations.end(),
                                   [](const Operation& op) { return op.kind == Operation::Turn; });
    // A resize streams the picture through a few lines. A right-angle turn of
    // an upright JPEG of whole MCUs holds its DCT coefficients once (2 bytes
    // per sample, 1.5 samples per pixel at 4:2:0) and, for a quarter turn, a
    // band of turned rows. A decoded turn holds the whole picture and the file
    // written.
    if (!turns) return impl_->fileSize + pixels * 3 / 8 + (8u << 20);
    if (const auto turn = impl_->LosslessTurn()) {
        if (const std::uint64_t coefficients = DctTurnMemory(impl_->file, *turn))
            return coefficients + (1u << 20);
    }
    return pixels * 6 + 2 * impl_->fileSize;
}

namespace {

// Blends a mask's colour into 8-bit RGB pixels of a memory image.
void PaintMask(vips::VImage& image, const CoverageMask& mask) {
    const int x0 = std::max(mask.left, 0), y0 = std::max(mask.top, 0);
    const int x1 = std::min(mask.left + mask.width, image.width());
    const int y1 = std::min(mask.top + mask.height, image.height());
    const unsigned char colour[3] = {mask.red, mask.green, mask.blue};
    for (int y = y0; y < y1; ++y) {
        auto* row = static_cast<unsigned char*>(VIPS_IMAGE_ADDR(image.get_image(), 0, y));
        const unsigned char* cover =
            mask.values.data() + std::size_t(y - mask.top) * std::size_t(mask.width);
        for (int x = x0; x < x1; ++x) {
            const unsigned a = cover[x - mask.left];
            if (a == 0) continue;
            unsigned char* pixel = row + std::size_t(x) * 3;
            for (int band = 0; band < 3; ++band)
                pixel[band] = static_cast<unsigned char>(
                    (pixel[band] * (255 - a) + colour[band] * a + 127) / 255);
        }
    }
}

}  // namespace

Result<CoverageMask> TextCoverage(const std::string& utf8, int pixelHeight) {
    if (Status started = StartImageEngine(); !started) return started;
    try {
        // At 72 dots per inch a point is a pixel.
        const std::string font = "Sans Bold " + std::to_string(std::max(pixelHeight, 4));
        vips::VImage text = vips::VImage::text(
            utf8.c_str(), vips::VImage::option()->set("font", font.c_str())->set("dpi", 72));
        if (text.format() != VIPS_FORMAT_UCHAR) text = text.cast(VIPS_FORMAT_UCHAR);
        if (text.bands() > 1) text = text.extract_band(0);
        CoverageMask mask;
        mask.width = text.width();
        mask.height = text.height();
        mask.values = BytesOf(text);
        return mask;
    } catch (const vips::VError&) {
        ForgetEngineErrors();
        return Status::Fail("无法排出文字“" + utf8 + "”：系统中没有可用的字体");
    }
}

Result<std::vector<std::string>> EncodeMarkedCuts(const std::filesystem::path& file,
                                                  const std::vector<MarkedCut>& cuts) {
    PhotoImage header;
    if (Status opened = header.Open(file); !opened) return opened;
    const auto size = header.Size();
    if (!size) return size.status();
    header.Close();
    // The decoded picture (painted in place for the last cut) and the file
    // written, which at quality 12 takes up to some two bytes a pixel.
    const std::uint64_t pixels = std::uint64_t(size->width) * std::uint64_t(size->height);
    if (const std::uint64_t cost = pixels * 5 + (8u << 20); cost > kMostPhotoMemory)
        return Failure(file, TooLargeText(*size, cost));
    // A cut or mask outside the photo is the caller's fault, not the photo's.
    for (const MarkedCut& cut : cuts) {
        const bool whole = cut.width == 0 && cut.height == 0;
        const bool inside =
            whole || (cut.left >= 0 && cut.top >= 0 && cut.width > 0 && cut.height > 0 &&
                      cut.left <= size->width - cut.width && cut.top <= size->height - cut.height);
        const bool masksWhole =
            std::all_of(cut.masks.begin(), cut.masks.end(), [](const CoverageMask& mask) {
                return mask.width >= 0 && mask.height >= 0 &&
                       mask.values.size() >= std::size_t(mask.width) * std::size_t(mask.height);
            });
        if (!inside || !masksWhole) return Status::Fail("内部错误：截图范围超出图片。");
    }
    std::vector<std::string> files;
    try {
        const vips::VSource source = vips::VSource::new_from_file(file.c_str());
        const vips::VImage probe = vips::VImage::new_from_source(
            source, "", vips::VImage::option()->set("access", VIPS_ACCESS_SEQUENTIAL));
        const char* loader = nullptr;
        const bool jpeg = vips_image_get_string(probe.get_image(), "vips-loader", &loader) == 0 &&
                          loader && IsJpegLoader(loader);
        vips::VImage photo = vips::VImage::new_from_source(
            source, "",
            vips::VImage::option()
                ->set("access", VIPS_ACCESS_RANDOM)
                ->set("fail_on", jpeg ? VIPS_FAIL_ON_WARNING : VIPS_FAIL_ON_TRUNCATED));
        photo = ThreeBands(EightBitSrgb(photo.autorot(), false));
        if (photo.bands() != 3) return Failure(file, kNoColours);
        photo = photo.copy_memory();
        for (std::size_t index = 0; index < cuts.size(); ++index) {
            const MarkedCut& cut = cuts[index];
            const bool whole = cut.width == 0 && cut.height == 0;
            // The last cut may paint on the decoded photo itself; the others
            // paint on copies, so that no cut shows another's masks.
            vips::VImage image =
                whole ? (index + 1 == cuts.size() ? photo : photo.copy_memory())
                      : photo.extract_area(cut.left, cut.top, cut.width, cut.height).copy_memory();
            if (vips_image_inplace(image.get_image()) != 0) throw vips::VError();
            for (const CoverageMask& mask : cut.masks) PaintMask(image, mask);
            image = image.copy();
            if (!whole) DropThumbnail(image);
            const EncodedJpeg encoded = EncodeUprightJpeg(image, 12, whole, !cut.keepMetadata);
            files.emplace_back(static_cast<const char*>(encoded.bytes.get()), encoded.size);
        }
    } catch (const vips::VError&) {
        ForgetEngineErrors();
        return Failure(file, kDamaged);
    }
    ForgetEngineErrors();
    return files;
}

Result<PreviewImage> MakePhotoPreview(const std::filesystem::path& file, int longestSide) {
    if (Status started = StartImageEngine(); !started) return started;
    if (std::string missing = NotAFileReason(file); !missing.empty()) return Status::Fail(missing);
    std::optional<vips::VSource> source;
    try {
        source = vips::VSource::new_from_file(file.c_str());
        if (!HoldsPicture(*source)) return Status::Fail(kNotAPictureText);
        vips::VImage image = vips::VImage::thumbnail_source(
            *source, longestSide,
            vips::VImage::option()->set("height", longestSide)->set("size", VIPS_SIZE_DOWN));
        image = ThreeBands(EightBitSrgb(image, false));
        if (image.bands() != 3) return Status::Fail(kNoColours);
        PreviewImage preview;
        preview.width = image.width();
        preview.height = image.height();
        preview.rgb = BytesOf(image);
        return preview;
    } catch (const vips::VError&) {
        ForgetEngineErrors();
        return Status::Fail(source ? kDamaged : kNotAPictureText);
    }
}

namespace {

// Where the decoded rows go: one whole picture, four bytes per pixel.
struct RowSink {
    unsigned char* pixels;
    std::size_t rowBytes;
};

int WriteRows(VipsRegion* region, VipsRect* area, void* sink) {
    const auto* rows = static_cast<const RowSink*>(sink);
    const auto bytes = static_cast<std::size_t>(area->width) * 4;
    for (int y = area->top; y < area->top + area->height; ++y)
        std::memcpy(rows->pixels + rows->rowBytes * static_cast<std::size_t>(y) +
                        static_cast<std::size_t>(area->left) * 4,
                    VIPS_REGION_ADDR(region, area->left, y), bytes);
    return 0;
}

}  // namespace

Status DecodePhotoBgrx(const std::filesystem::path& file,
                       const std::function<unsigned char*(int width, int height)>& allocate) {
    if (Status started = StartImageEngine(); !started) return started;
    if (std::string missing = NotAFileReason(file); !missing.empty()) return Status::Fail(missing);
    std::optional<vips::VSource> source;
    try {
        source = vips::VSource::new_from_file(file.c_str());
        if (!HoldsPicture(*source)) return Status::Fail(kNotAPictureText);
        vips::VImage image = vips::VImage::new_from_source(
            *source, "", vips::VImage::option()->set("access", VIPS_ACCESS_SEQUENTIAL));
        const auto bytes = static_cast<std::uint64_t>(image.width()) *
                           static_cast<std::uint64_t>(image.height()) * 4;
        if (bytes > kMostPhotoMemory)
            return Status::Fail(TooLargeText({image.width(), image.height()}, bytes));
        image = ThreeBands(EightBitSrgb(image.autorot(), false));
        if (image.bands() != 3) return Status::Fail(kNoColours);
        const vips::VImage rgbx = image.bandjoin_const({255});
        const vips::VImage bgrx = vips::VImage::bandjoin({rgbx[2], rgbx[1], rgbx[0], rgbx[3]});
        if (bgrx.bands() != 4 || bgrx.format() != VIPS_FORMAT_UCHAR)
            return Status::Fail(kNoColours);
        unsigned char* pixels = allocate(bgrx.width(), bgrx.height());
        if (!pixels) return Status::Fail("内存不足。");
        RowSink sink{pixels, static_cast<std::size_t>(bgrx.width()) * 4};
        if (vips_sink_disc(bgrx.get_image(), WriteRows, &sink) != 0) {
            ForgetEngineErrors();
            return Status::Fail(kDamaged);
        }
        return Status::Ok();
    } catch (const vips::VError&) {
        ForgetEngineErrors();
        return Status::Fail(source ? kDamaged : kNotAPictureText);
    }
}

}  // namespace skyrell
