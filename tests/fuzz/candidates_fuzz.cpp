// A photo's JPEG header and EXIF, and the same bytes as a control-point file
// of every kind.
#include "candidates/candidates.h"
#include "fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace skyrell;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (const auto header = ParsePhotoHeader(bytes); header.ok())
        (void)FocalLengthPixels(*header, ExplicitCamera{8.8, 13.2});
    const auto file = fuzz::InputFile("points.csv", data, size);
    (void)ReadControlPoints(file, std::nullopt, Feedback::None());
    for (auto make : {ControllerMake::HiTarget, ControllerMake::Chc})
        (void)ReadControlPoints(file, make, Feedback::None());
    return 0;
}
