#include "photo/photo_preview.h"

#include <vips/vips8>

#include <cstring>
#include <mutex>
#include <string>

namespace skyrell {

namespace {

bool StartVips() {
    static std::once_flag once;
    static bool started = false;
    std::call_once(once, [] { started = vips_init("skyrell") == 0; });
    return started;
}

// The first line of the decoder's message: the rest repeats it per loader.
std::string FirstLine(const char* text) {
    std::string line(text ? text : "");
    if (const auto end = line.find('\n'); end != std::string::npos) line.resize(end);
    return line;
}

}  // namespace

Result<PreviewImage> MakePhotoPreview(const std::filesystem::path& photo, int longestSide) {
    if (!StartVips()) return Status::Fail(FirstLine(vips_error_buffer()));
    try {
        // A source, not a file name: the loaders would read "[...]" in a
        // file name as load options.
        const vips::VSource source = vips::VSource::new_from_file(photo.c_str());
        vips::VImage image = vips::VImage::thumbnail_source(
            source, longestSide,
            vips::VImage::option()->set("height", longestSide)->set("size", VIPS_SIZE_DOWN));
        if (image.has_alpha())
            image = image.flatten(vips::VImage::option()->set("background", 255.0));
        if (image.interpretation() != VIPS_INTERPRETATION_sRGB || image.bands() != 3)
            image = image.colourspace(VIPS_INTERPRETATION_sRGB);
        if (image.bands() > 3) image = image.extract_band(0, vips::VImage::option()->set("n", 3));
        if (image.format() != VIPS_FORMAT_UCHAR) image = image.cast(VIPS_FORMAT_UCHAR);
        if (image.bands() != 3) return Status::Fail("unsupported number of colour bands");
        std::size_t size = 0;
        void* pixels = image.write_to_memory(&size);
        PreviewImage preview;
        preview.width = image.width();
        preview.height = image.height();
        const auto* bytes = static_cast<const unsigned char*>(pixels);
        preview.rgb.assign(bytes, bytes + size);
        g_free(pixels);
        return preview;
    } catch (const vips::VError& error) {
        vips_error_clear();
        return Status::Fail(FirstLine(error.what()));
    }
}

}  // namespace skyrell
