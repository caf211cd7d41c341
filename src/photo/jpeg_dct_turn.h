#pragma once
// Right-angle turns of a JPEG in its DCT data. The file is streamed in through
// libjpeg's coefficient API and the result streamed out into the atomic file,
// so neither file is ever held in memory.
//
// A half turn works in place: every block moves to the opposite position and
// its odd-frequency coefficients change sign. A quarter turn makes the turned
// blocks a band of block rows at a time, as the writer asks for them, from
// the source's. Either holds one set of coefficients (3 bytes per pixel at
// 4:2:0, 60 MB for 20 megapixels; 6 at 4:4:4) and a few rows.

#include <cstddef>
#include <cstdint>
#include <filesystem>

#include "shell/status.h"

namespace skyrell {

class AtomicFile;

// None rewrites the same blocks (turns that add up to nothing).
enum class DctTurn { None, Half, Clockwise, CounterClockwise };

enum class DctTurnOutcome {
    Done,      // the turned photo is in `out`, ready to commit
    Declined,  // not whole MCUs (or not a JPEG libjpeg reads): nothing written
    Failed,    // data libjpeg warns about, read or written: left to the decoding path
    WriteFailed,
};

// Writes the JPEG `source`, turned by `turn`, into the opened `out`, with the
// standard Huffman tables when they code every coefficient (one pass) and
// tables made for its coefficients otherwise (a photo may hold coefficients
// the standard tables have no code for). Every APPn and COM marker (EXIF,
// XMP, ICC) is copied; in the EXIF block, wherever it stands, a quarter
// turn's pixel width and height say the new size, and a turned photo's
// thumbnail is dropped. On WriteFailed, `writeFailure` (when given) gets the
// file's error.
DctTurnOutcome TurnJpegLossless(const std::filesystem::path& source, AtomicFile& out, DctTurn turn,
                                Status* writeFailure = nullptr);

// Bytes of coefficients TurnJpegLossless holds for `source` and `turn` (the
// source's, and a quarter turn's band), read from its header; 0 when it would
// decline the photo or cannot read its header.
std::uint64_t DctTurnMemory(const std::filesystem::path& source, DctTurn turn);

// Sets the pixel width and height of an APP1 "Exif" marker's body to the
// given size in every directory of the picture that holds them: ImageWidth
// and ImageLength (0x0100, 0x0101) in the first directory, PixelXDimension and
// PixelYDimension (0xA002, 0xA003) in the EXIF directory, each written as one
// LONG. Anything malformed is left as it is; nothing outside the `length`
// bytes is read or written.
void SetExifPixelSize(unsigned char* data, std::size_t length, unsigned width, unsigned height);

// Unlinks the thumbnail's directory (the one after the first) from the same
// body, so that no reader finds a thumbnail that no longer matches the turned
// picture. The same bounds hold.
void DropExifThumbnail(unsigned char* data, std::size_t length);

}  // namespace skyrell
