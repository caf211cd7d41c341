#pragma once
// The half turn of a JPEG in its DCT data, in place: every block moves to the
// opposite position and its odd-frequency coefficients change sign. Unlike a
// quarter turn it needs no second copy of the coefficients, and the file is
// streamed in and out, so it holds only the coefficients (3 bytes per pixel at
// 4:2:0): two 20-megapixel photos fit in the batch's memory budget at once.

#include <filesystem>

namespace skyrell {

class AtomicFile;

enum class HalfTurnOutcome {
    Done,      // the turned photo is in `out`, ready to commit
    Declined,  // not whole MCUs (or not a JPEG libjpeg reads): nothing written
    Failed,    // data libjpeg warns about: left to the decoding path to judge
    WriteFailed,
};

// Writes the JPEG `source`, turned by 180 degrees, into the opened `out`.
// Every APPn and COM marker (EXIF, XMP, ICC) is copied unchanged.
HalfTurnOutcome TurnJpegHalf(const std::filesystem::path& source, AtomicFile& out);

}  // namespace skyrell
