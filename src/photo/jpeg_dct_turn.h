#pragma once
// Right-angle turns of a JPEG in its DCT data. The file is streamed in through
// libjpeg's coefficient API and the result streamed out into the atomic file,
// so neither file is ever held in memory.
//
// A half turn works in place: every block moves to the opposite position and
// its odd-frequency coefficients change sign, so it holds one set of
// coefficients (3 bytes per pixel at 4:2:0). A quarter turn transposes every
// block into a second set of the turned size and so holds two (6 bytes per
// pixel at 4:2:0, 120 MB for 20 megapixels).

#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace skyrell {

class AtomicFile;

// None rewrites the same blocks (turns that add up to nothing).
enum class DctTurn { None, Half, Clockwise, CounterClockwise };

enum class DctTurnOutcome {
    Done,      // the turned photo is in `out`, ready to commit
    Declined,  // not whole MCUs (or not a JPEG libjpeg reads): nothing written
    Failed,    // data libjpeg warns about: left to the decoding path to judge
    WriteFailed,
};

// Writes the JPEG `source`, turned by `turn`, into the opened `out`. Every
// APPn and COM marker (EXIF, XMP, ICC) is copied; after a quarter turn the
// EXIF pixel width and height say the new size.
DctTurnOutcome TurnJpegLossless(const std::filesystem::path& source, AtomicFile& out, DctTurn turn);

// Bytes of coefficients TurnJpegLossless holds for `source` and `turn`, read
// from its header; 0 when it would decline the photo or cannot read its header.
std::uint64_t DctTurnMemory(const std::filesystem::path& source, DctTurn turn);

// Sets the EXIF pixel width and height (tags 0xA002 and 0xA003 in the EXIF
// directory) of an APP1 "Exif" marker's body to the given size, each written
// as one LONG. Anything malformed is left as it is; nothing outside the
// `length` bytes is read or written.
void SetExifPixelSize(unsigned char* data, std::size_t length, unsigned width, unsigned height);

}  // namespace skyrell
