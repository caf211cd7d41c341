#pragma once
// Fast previews of photos for the control-point selection window: a reduced
// copy made with the decoder's shrink-on-load, so a 20-megapixel JPEG is read
// at an eighth of its size instead of being decoded whole.

#include <filesystem>
#include <vector>

#include "shell/status.h"

namespace skyrell {

// 8-bit sRGB pixels, three bytes per pixel, rows packed without padding.
struct PreviewImage {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
};

// The photo reduced to fit a square of `longestSide` pixels, turned upright by
// its orientation tag; a smaller photo keeps its size. Safe to call from any
// thread. A file that cannot be read as a picture gives a failure with the
// decoder's reason.
Result<PreviewImage> MakePhotoPreview(const std::filesystem::path& photo, int longestSide);

}  // namespace skyrell
