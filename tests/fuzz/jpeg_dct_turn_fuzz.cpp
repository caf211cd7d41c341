// The photo code's own readings of JPEG bytes: the EXIF size rewrite and
// thumbnail drop after a turn, the header read that estimates a turn's
// memory, and the turn itself. The rewrite stays inside its block and is
// idempotent; a quarter turn holds a half turn's coefficients and a band of at
// most as many again; a turned photo reads back with as many coefficients as
// its source.
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "fuzz_file.h"
#include "photo/jpeg_dct_turn.h"
#include "shell/atomic_file.h"
#include "shell/files.h"
#include "shell/line_reader.h"

namespace {

// Turns larger than this are left out: the fuzzer looks for faults in the
// parsing, not for the memory of a picture a header claims.
constexpr std::uint64_t kMostCoefficients = 32u << 20;

void CheckExifRewrite(const std::uint8_t* data, std::size_t size) {
    // A block of exactly `size` bytes, so that any step outside it is caught.
    std::vector<unsigned char> block(data, data + size);
    skyrell::SetExifPixelSize(block.data(), block.size(), 4000, 3000);
    skyrell::DropExifThumbnail(block.data(), block.size());
    const std::vector<unsigned char> once = block;
    skyrell::SetExifPixelSize(block.data(), block.size(), 4000, 3000);
    skyrell::DropExifThumbnail(block.data(), block.size());
    if (block != once) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace skyrell;
    // The rewrite gets the EXIF block as the turn finds it in a JPEG, or the
    // whole input when it holds none.
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t exif = bytes.find(std::string_view("Exif\0\0", 6));
    if (exif == std::string_view::npos)
        CheckExifRewrite(data, size);
    else
        CheckExifRewrite(data + exif, size - exif);
    const auto photo = fuzz::InputFile("photo.jpg", data, size);
    const std::uint64_t half = DctTurnMemory(photo, DctTurn::Half);
    const std::uint64_t quarter = DctTurnMemory(photo, DctTurn::Clockwise);
    if (half == 0 ? quarter != 0 : quarter <= half || quarter > 2 * half) std::abort();
    if (half == 0 || half > kMostCoefficients) return 0;
    for (DctTurn turn : {DctTurn::Half, DctTurn::CounterClockwise}) {
        const auto turned = fuzz::Folder() / "turned.jpg";
        AtomicFile out;
        if (!out.Open(turned)) std::abort();
        if (TurnJpegLossless(photo, out, turn) != DctTurnOutcome::Done) continue;
        if (!out.Commit()) std::abort();
        if (DctTurnMemory(turned, DctTurn::None) != half) std::abort();
    }
    return 0;
}
