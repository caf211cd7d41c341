#pragma once
// The photo the view and preview benchmarks open: 5472 x 3648 (20 MP),
// detail everywhere (noise over a gradient), so that the decoder has a real
// photo's work. libvips must be started.

#include <vips/vips8>

#include <filesystem>

inline std::filesystem::path WriteDetailedPhoto(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    const std::filesystem::path photo = folder / "DSC00001.JPG";
    const auto noise =
        vips::VImage::gaussnoise(5472, 3648, vips::VImage::option()->set("sigma", 40));
    const auto ramp = vips::VImage::xyz(5472, 3648)[0] / 30;
    ((noise + ramp).bandjoin({noise, ramp + 60}).cast(VIPS_FORMAT_UCHAR))
        .jpegsave(photo.c_str(), vips::VImage::option()->set("Q", 90));
    return photo;
}
