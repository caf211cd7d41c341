#include "photo/image_engine_turn180.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <string_view>

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

#include "shell/textfile.h"

namespace skyrell {

namespace {

// Errors and warnings of libjpeg (a truncated or corrupt file) jump back to
// the start of the turn instead of ending the program.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void OnError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

void OnMessage(j_common_ptr info, int level) {
    if (level < 0) OnError(info);
}

// Hands the compressed bytes to the atomic file in 64 KiB pieces.
struct Destination {
    static constexpr std::size_t kSize = 64 * 1024;
    jpeg_destination_mgr pub;
    AtomicFile* file;
    bool failed;
    JOCTET buffer[kSize];

    static Destination* Of(j_compress_ptr info) {
        return reinterpret_cast<Destination*>(info->dest);
    }
    static void Init(j_compress_ptr info) {
        Destination* self = Of(info);
        self->pub.next_output_byte = self->buffer;
        self->pub.free_in_buffer = kSize;
    }
    void Put(std::size_t length) {
        if (!failed && length)
            failed = !file->Write(std::string_view(reinterpret_cast<const char*>(buffer), length));
        pub.next_output_byte = buffer;
        pub.free_in_buffer = kSize;
    }
    static boolean Empty(j_compress_ptr info) {
        Of(info)->Put(kSize);
        return TRUE;
    }
    static void Term(j_compress_ptr info) {
        Destination* self = Of(info);
        self->Put(kSize - self->pub.free_in_buffer);
    }
};

bool IsMarker(const jpeg_saved_marker_ptr marker, int code, const char* tag, std::size_t length) {
    return marker->marker == code && marker->data_length >= length &&
           std::memcmp(marker->data, tag, length) == 0;
}

// Moves block a to b's place and b to a's, both turned: a coefficient of
// horizontal frequency u and vertical frequency v changes sign when u + v is odd.
void SwapTurned(JCOEF* a, JCOEF* b) {
    for (int k = 0; k < DCTSIZE2; ++k) {
        const bool flip = ((k & 7) + (k >> 3)) & 1;
        const JCOEF first = a[k];
        a[k] = flip ? JCOEF(-b[k]) : b[k];
        b[k] = flip ? JCOEF(-first) : first;
    }
}

void TurnComponent(j_decompress_ptr info, jvirt_barray_ptr array, JDIMENSION rows,
                   JDIMENSION columns) {
    for (JDIMENSION top = 0, bottom = rows - 1; top <= bottom; ++top, --bottom) {
        // The arrays are wholly in memory, so both rows stay valid together.
        JBLOCKROW upper = (*info->mem->access_virt_barray)(reinterpret_cast<j_common_ptr>(info),
                                                           array, top, 1, TRUE)[0];
        JBLOCKROW lower = (*info->mem->access_virt_barray)(reinterpret_cast<j_common_ptr>(info),
                                                           array, bottom, 1, TRUE)[0];
        if (top != bottom) {
            for (JDIMENSION column = 0; column < columns; ++column)
                SwapTurned(upper[column], lower[columns - 1 - column]);
        } else {
            JDIMENSION left = 0, right = columns - 1;
            for (; left < right; ++left, --right) SwapTurned(upper[left], upper[right]);
            if (left == right) {
                JCOEF copy[DCTSIZE2];
                std::memcpy(copy, upper[left], sizeof copy);
                SwapTurned(upper[left], copy);
            }
        }
        if (bottom == 0) break;
    }
}

}  // namespace

HalfTurnOutcome TurnJpegHalf(const std::filesystem::path& source, AtomicFile& out) {
    std::FILE* in = std::fopen(source.c_str(), "rb");
    if (!in) return HalfTurnOutcome::Failed;
    jpeg_decompress_struct src;
    jpeg_compress_struct dst;
    ErrorManager errors;
    Destination destination;
    std::memset(&src, 0, sizeof src);
    std::memset(&dst, 0, sizeof dst);
    destination.file = &out;
    destination.failed = false;
    destination.pub.init_destination = Destination::Init;
    destination.pub.empty_output_buffer = Destination::Empty;
    destination.pub.term_destination = Destination::Term;
    src.err = dst.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = OnError;
    errors.pub.emit_message = OnMessage;
    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&dst);
        jpeg_destroy_decompress(&src);
        std::fclose(in);
        return HalfTurnOutcome::Failed;
    }
    jpeg_create_decompress(&src);
    jpeg_create_compress(&dst);
    jpeg_stdio_src(&src, in);
    jpeg_save_markers(&src, JPEG_COM, 0xFFFF);
    for (int n = 0; n < 16; ++n) jpeg_save_markers(&src, JPEG_APP0 + n, 0xFFFF);
    jpeg_read_header(&src, TRUE);
    const unsigned mcuWidth = unsigned(src.max_h_samp_factor) * DCTSIZE;
    const unsigned mcuHeight = unsigned(src.max_v_samp_factor) * DCTSIZE;
    if (src.image_width % mcuWidth != 0 || src.image_height % mcuHeight != 0) {
        jpeg_destroy_compress(&dst);
        jpeg_destroy_decompress(&src);
        std::fclose(in);
        return HalfTurnOutcome::Declined;
    }
    jvirt_barray_ptr* coefficients = jpeg_read_coefficients(&src);
    for (int c = 0; c < src.num_components; ++c)
        TurnComponent(&src, coefficients[c], src.comp_info[c].height_in_blocks,
                      src.comp_info[c].width_in_blocks);

    dst.dest = &destination.pub;
    jpeg_copy_critical_parameters(&src, &dst);
    // An EXIF block must stay the first marker after SOI.
    if (src.marker_list && IsMarker(src.marker_list, JPEG_APP0 + 1, "Exif\0", 6))
        dst.write_JFIF_header = FALSE;
    jpeg_write_coefficients(&dst, coefficients);
    for (jpeg_saved_marker_ptr marker = src.marker_list; marker; marker = marker->next) {
        // The header libjpeg writes itself is not copied a second time.
        if (dst.write_JFIF_header && IsMarker(marker, JPEG_APP0, "JFIF\0", 5)) continue;
        if (dst.write_Adobe_marker && IsMarker(marker, JPEG_APP0 + 14, "Adobe", 5)) continue;
        jpeg_write_marker(&dst, marker->marker, marker->data, marker->data_length);
    }
    jpeg_finish_compress(&dst);
    jpeg_finish_decompress(&src);
    jpeg_destroy_compress(&dst);
    jpeg_destroy_decompress(&src);
    std::fclose(in);
    return destination.failed ? HalfTurnOutcome::WriteFailed : HalfTurnOutcome::Done;
}

}  // namespace skyrell
