#pragma once
// The image engine: opens a photo, turns or resizes it and saves it as a
// baseline JPEG, keeping its EXIF (GPS above all), XMP and ICC data.
//
// Right-angle turns of a JPEG whose width and height are whole MCUs and whose
// EXIF orientation is 1 or absent are done on the compressed data (a lossless
// DCT transform that keeps every marker), so aerial photos do not lose quality
// on the way to aerial triangulation. Everything else is decoded, worked on and
// re-encoded at the chosen quality.
//
// An image is upright on opening: its EXIF orientation is applied, and every
// saved file says orientation 1. Operations only record what to do; the work
// happens in SaveJpeg, so a photo is read once and streamed where it can be.
//
// This is the program's only door to libvips: it starts the library, keeps
// its error policy (the shared error buffer is emptied after each failure and
// never quoted, so a reason cannot belong to another photo; its warnings are
// not printed), reads every photo through a source object (so that "[...]" in
// a file name is never taken for load options) and converts colours.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "shell/status.h"

namespace skyrell {

// The reason given for a file that no image loader reads.
inline constexpr char kNotAPictureText[] = "不是可以读取的图片";

// Starts the engine once for the whole process. A failure means that no photo
// can be processed (the tools then say that the editor is not installed).
Status StartImageEngine();

// Frees what the engine holds for the calling thread; a worker thread that
// processed photos calls it before it ends.
void EndImageEngineThread();

// The libjpeg quality (1-100) of a quality on the 1-12 scale, 12 being best:
//   1..12 -> 50, 55, 60, 65, 70, 75, 80, 84, 87, 90, 92, 95.
// Values outside 1..12 are taken as the nearest end.
int JpegQualityOf(int quality);

// The most memory one photo's work may take. A photo whose operations are
// expected to need more (a header that claims a huge picture) is refused
// before anything is read: 20-megapixel photos need at most some 150 MB.
inline constexpr std::uint64_t kMostPhotoMemory = 512ull << 20;

struct ImageSize {
    int width = 0;
    int height = 0;
    bool operator==(const ImageSize&) const = default;
};

// One open photo. Failures carry a message that names the photo and the reason.
class PhotoImage {
  public:
    PhotoImage();
    ~PhotoImage();
    PhotoImage(PhotoImage&&) noexcept;
    PhotoImage& operator=(PhotoImage&&) noexcept;

    // Reads the photo's header; the pixels are read when saving.
    Status Open(const std::filesystem::path& file);
    // Turns the whole picture by `degrees`, positive clockwise. Angles other
    // than multiples of 90 grow the canvas to hold the whole turned picture,
    // with white corners.
    Status Rotate(double degrees);
    // The current size in pixels (after the operations so far).
    Result<ImageSize> Size();
    // Resamples (Lanczos3) to the given size; each side at least 1.
    Status Resize(ImageSize size);
    // Writes the result as a baseline JPEG (4:2:0, optimised Huffman tables)
    // with a quality on the 1-12 scale, through a temporary file in the
    // target's folder renamed over the target: an existing file is replaced
    // only by a complete new one. Refused up front when MemoryCost() exceeds
    // kMostPhotoMemory; a JPEG that libjpeg warns about is damaged.
    Status SaveJpeg(const std::filesystem::path& target, int quality);
    void Close();

    // The threads the decoding path of SaveJpeg may work with; 0 (the
    // default) leaves it to libvips, which takes one per core. A batch that
    // works several photos at once gives each its share of the cores.
    void SetThreads(int threads);

    // True when the last SaveJpeg turned the compressed data without decoding.
    bool SavedLosslessly() const;

    // Bytes of memory SaveJpeg is expected to need for the operations
    // recorded so far: the coefficients of a lossless turn, the whole picture
    // and the file written for a decoded turn, a few lines and the file for
    // a resize. 0 when nothing is open.
    std::uint64_t MemoryCost() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// 8-bit sRGB pixels, three bytes per pixel, rows packed without padding.
struct PreviewImage {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
};

// The photo reduced to fit a square of `longestSide` pixels with the decoder's
// shrink-on-load, turned upright by its orientation tag, transparent parts
// white; a smaller photo keeps its size. Safe to call from any thread. The
// failure's message is the reason alone, in the engine's words.
Result<PreviewImage> MakePhotoPreview(const std::filesystem::path& photo, int longestSide);

// The photo at its own size, upright, as 8-bit sRGB with four bytes per pixel
// in the order blue, green, red, 255 (a 0xffRRGGBB word on little-endian
// machines), decoded straight into the rows that `allocate(width, height)`
// gives: width * height * 4 bytes, or null to refuse. A photo whose pixels
// would take more than kMostPhotoMemory is refused before anything is decoded.
// Safe to call from any thread. The failure's message is the reason alone.
Status DecodePhotoBgrx(const std::filesystem::path& photo,
                       const std::function<unsigned char*(int width, int height)>& allocate);

// Where a colour is painted over a picture: one byte per pixel, rows packed,
// 0 leaving the picture as it is and 255 covering it; placed with its top-left
// corner at (left, top) of the picture it is painted on. Parts outside that
// picture are left out.
struct CoverageMask {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::vector<unsigned char> values;
    unsigned char red = 255, green = 0, blue = 0;
};

// The coverage of a text set in a bold sans-serif font about `pixelHeight`
// pixels high, anti-aliased, at (0, 0). Fails when no font can set it.
Result<CoverageMask> TextCoverage(const std::string& utf8, int pixelHeight);

// A picture cut from a photo, with masks painted over it (their positions are
// relative to the cut). `area` empty (0 x 0) means the whole photo.
struct MarkedCut {
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<CoverageMask> masks;
    bool keepMetadata = true;  // EXIF (GPS included), XMP and ICC kept; else none
};

// Decodes the photo once (upright, 8-bit sRGB) and encodes every cut as a
// JPEG of quality 12 (orientation 1, the EXIF pixel size of the cut): the
// whole photo at 4:2:0 as SaveJpeg writes it, smaller cuts without chroma
// subsampling, so that thin marks keep their colour. Returns the files' bytes
// in order. The last cut is painted on the decoded photo itself, so the whole
// photo is best given last. The photo is refused when the decoded picture and
// the file written would take more than kMostPhotoMemory, and damaged data is
// a failure, as when saving. The cuts must lie inside the photo.
Result<std::vector<std::string>> EncodeMarkedCuts(const std::filesystem::path& photo,
                                                  const std::vector<MarkedCut>& cuts);

// Text of a failure that names the photo.
std::string PhotoFailureText(const std::filesystem::path& file, const std::string& reason);

}  // namespace skyrell
