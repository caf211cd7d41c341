#include "photo/jpeg_dct_turn.h"

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>
// After jpeglib.h: the error codes and ERREXIT.
#include <jerror.h>

#include "shell/atomic_file.h"

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
    static constexpr std::size_t kSize = std::size_t{64} * 1024;
    jpeg_destination_mgr pub;
    AtomicFile* file;
    Status* failure;  // the first failed write
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
        if (failure->ok() && length)
            *failure = file->Write(std::string_view(reinterpret_cast<const char*>(buffer), length));
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

// Reads the photo in 64 KiB pieces. libjpeg decodes an MCU on its fast path
// only while a few hundred bytes are buffered, and its own stdio reader
// buffers 4 KiB, so one MCU in eight would take the slow path.
struct Source {
    static constexpr std::size_t kSize = std::size_t{64} * 1024;
    jpeg_source_mgr pub;
    std::FILE* file = nullptr;
    JOCTET buffer[kSize];

    static Source* Of(j_decompress_ptr info) { return reinterpret_cast<Source*>(info->src); }
    static void Init(j_decompress_ptr) {}
    static void Term(j_decompress_ptr) {}
    // At the end of the file libjpeg is warned (which ends the work here) and
    // handed an end marker, as its own reader does.
    static boolean Fill(j_decompress_ptr info) {
        Source* self = Of(info);
        std::size_t got = std::fread(self->buffer, 1, kSize, self->file);
        if (got == 0) {
            WARNMS(info, JWRN_JPEG_EOF);
            self->buffer[0] = JOCTET(0xFF);
            self->buffer[1] = JOCTET(JPEG_EOI);
            got = 2;
        }
        self->pub.next_input_byte = self->buffer;
        self->pub.bytes_in_buffer = got;
        return TRUE;
    }
    static void Skip(j_decompress_ptr info, long count) {
        Source* self = Of(info);
        if (count <= 0) return;
        while (std::size_t(count) > self->pub.bytes_in_buffer) {
            count -= long(self->pub.bytes_in_buffer);
            Fill(info);
        }
        self->pub.next_input_byte += count;
        self->pub.bytes_in_buffer -= std::size_t(count);
    }
    void Attach(j_decompress_ptr info, std::FILE* from) {
        file = from;
        pub.init_source = Init;
        pub.fill_input_buffer = Fill;
        pub.skip_input_data = Skip;
        pub.resync_to_restart = jpeg_resync_to_restart;
        pub.term_source = Term;
        pub.bytes_in_buffer = 0;
        pub.next_input_byte = nullptr;
        info->src = &pub;
    }
};

// -1 for the coefficients whose horizontal and vertical frequencies add up to
// an odd number, 0 for the others: (x ^ mask) - mask changes the sign of just
// those.
constexpr auto kOddFrequencies = [] {
    std::array<JCOEF, DCTSIZE2> mask{};
    for (int k = 0; k < DCTSIZE2; ++k) mask[k] = ((k & 7) + (k >> 3)) & 1 ? -1 : 0;
    return mask;
}();

// Moves block a to b's place and b to a's, both turned: a coefficient of
// horizontal frequency u and vertical frequency v changes sign when u + v is
// odd. Both are copied first, so that the loops run over whole rows of
// coefficients at once.
void SwapTurned(JCOEF* a, JCOEF* b) {
    JCOEF first[DCTSIZE2], second[DCTSIZE2];
    std::memcpy(first, a, sizeof first);
    std::memcpy(second, b, sizeof second);
    for (int k = 0; k < DCTSIZE2; ++k)
        a[k] = JCOEF((second[k] ^ kOddFrequencies[k]) - kOddFrequencies[k]);
    for (int k = 0; k < DCTSIZE2; ++k)
        b[k] = JCOEF((first[k] ^ kOddFrequencies[k]) - kOddFrequencies[k]);
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

// A source block transposed into `to` and turned a quarter: a clockwise turn
// mirrors the transposed block left to right, so the coefficients of odd
// horizontal frequency change sign; a counter-clockwise turn mirrors it top
// to bottom, so those of odd vertical frequency do.
void TransposeTurned(const JCOEF* from, JCOEF* to, bool clockwise) {
    for (int v = 0; v < DCTSIZE; ++v) {
        for (int u = 0; u < DCTSIZE; ++u) {
            const JCOEF value = from[u * DCTSIZE + v];
            to[v * DCTSIZE + u] = ((clockwise ? u : v) & 1) ? JCOEF(-value) : value;
        }
    }
}

// One component of a quarter-turned picture, made a band of block rows at a
// time when the writer asks for it: a quarter turn holds the source's
// coefficients and this band rather than a second, turned set. A turned row
// is a column of the source, one block from every source row, so a band of
// many rows is made at once: each source row then gives a run of adjacent
// blocks, read in the order they lie in memory.
struct TurnedBand {
    std::vector<JBLOCKROW> source;  // every block row of the source component
    JDIMENSION columns = 0;         // of the source: the turned picture's rows
    bool clockwise = true;
    std::unique_ptr<JBLOCK[]> blocks;  // `size` rows of the turned width
    std::vector<JBLOCKROW> rows;
    JDIMENSION size = 0;    // rows in the band
    JDIMENSION start = 0;   // the turned row the band begins with
    JDIMENSION filled = 0;  // rows made, 0 before the first request

    // The turned rows first..first + count - 1, made when the band does not
    // hold them: turned clockwise, the block in row r and column c comes
    // from source row (rows - 1 - c) and column r; counter-clockwise, from
    // source row c and column (columns - 1 - r). Rows past the picture are
    // left blank.
    JBLOCKARRAY Rows(JDIMENSION first, JDIMENSION count) {
        if (filled == 0 || first < start || first + count > start + filled) {
            const JDIMENSION width = JDIMENSION(source.size());
            start = first;
            filled = size;
            const JDIMENSION inside = first < columns ? std::min(size, columns - first) : 0;
            for (JDIMENSION column = 0; column < width; ++column) {
                const JBLOCKROW from = source[clockwise ? width - 1 - column : column];
                for (JDIMENSION k = 0; k < inside; ++k) {
                    const JDIMENSION row = first + k;
                    TransposeTurned(from[clockwise ? row : columns - 1 - row], rows[k][column],
                                    clockwise);
                }
            }
            for (JDIMENSION k = inside; k < size; ++k)
                std::memset(rows[k], 0, sizeof(JBLOCK) * width);
        }
        return rows.data() + (first - start);
    }
};

// The writer reaches its coefficient arrays only through its memory manager's
// access_virt_barray, so a quarter turn hands it stand-ins for the turned
// arrays and this method in place of the manager's, found through the
// writer's client_data: it makes the asked rows of a stand-in and passes any
// other array on to the manager.
struct TurnedPicture {
    TurnedBand bands[MAX_COMPONENTS];
    JBLOCKARRAY(*manager)
    (j_common_ptr, jvirt_barray_ptr, JDIMENSION, JDIMENSION, boolean) = nullptr;

    jvirt_barray_ptr Array(int component) {
        return reinterpret_cast<jvirt_barray_ptr>(&bands[component]);
    }

    static JBLOCKARRAY Access(j_common_ptr info, jvirt_barray_ptr array, JDIMENSION first,
                              JDIMENSION count, boolean writable) {
        auto* self = static_cast<TurnedPicture*>(info->client_data);
        for (TurnedBand& band : self->bands) {
            if (array != reinterpret_cast<jvirt_barray_ptr>(&band)) continue;
            // The band was sized before writing began; nothing is
            // allocated inside libjpeg.
            if (writable || count > band.size) ERREXIT(info, JERR_BAD_VIRTUAL_ACCESS);
            return band.Rows(first, count);
        }
        return self->manager(info, array, first, count, writable);
    }
};

// Turned rows in a component's band: a whole number of the turned rows of an
// MCU (the source's horizontal sampling factor), up to 8 MCUs or some 1 MiB,
// whichever is less, and no more than the turned picture has.
JDIMENSION BandRows(const jpeg_component_info& component) {
    const JDIMENSION perMcu = JDIMENSION(component.h_samp_factor);
    const std::uint64_t rowBytes = std::uint64_t(component.height_in_blocks) * sizeof(JBLOCK);
    const std::uint64_t mcus =
        std::clamp<std::uint64_t>((std::uint64_t{1} << 20) / (rowBytes * perMcu + 1), 1, 8);
    return std::min(perMcu * JDIMENSION(mcus), component.width_in_blocks);
}

std::uint64_t BandBytes(const jpeg_component_info& component) {
    return std::uint64_t(BandRows(component)) * component.height_in_blocks * sizeof(JBLOCK);
}

// Sets up the component's band: the source rows, read from the source's
// arrays (wholly in memory, so they stay valid together), and room for its
// turned rows.
void PrepareBand(j_decompress_ptr info, jvirt_barray_ptr from, const jpeg_component_info& component,
                 bool clockwise, TurnedBand& band) {
    const auto common = reinterpret_cast<j_common_ptr>(info);
    band.source.assign(component.height_in_blocks, nullptr);
    for (JDIMENSION row = 0; row < component.height_in_blocks; ++row)
        band.source[row] = (*info->mem->access_virt_barray)(common, from, row, 1, FALSE)[0];
    band.columns = component.width_in_blocks;
    band.clockwise = clockwise;
    band.size = BandRows(component);
    band.blocks = std::make_unique<JBLOCK[]>(std::size_t(band.size) * component.height_in_blocks);
    band.rows.assign(band.size, nullptr);
    for (JDIMENSION k = 0; k < band.size; ++k)
        band.rows[k] = band.blocks.get() + std::size_t(k) * component.height_in_blocks;
}

// True when every coefficient of the blocks can be coded with the standard
// Huffman tables of 8-bit data: AC values within +-1023 and DC values within
// -1024..1023, so that no DC difference, whichever block comes before,
// exceeds 2047. The smallest and largest value of all are found first (a
// loop the compiler runs on whole vectors); only a row that reaches -1024 is
// looked at again, since there it matters whether the value is a DC one.
bool RowFitsStandardTables(const JBLOCKROW blocks, JDIMENSION count) {
    JCOEF low = 0, high = 0;
    for (JDIMENSION column = 0; column < count; ++column) {
        const JCOEF* block = blocks[column];
        for (int k = 0; k < DCTSIZE2; ++k) {
            low = std::min(low, block[k]);
            high = std::max(high, block[k]);
        }
    }
    if (high > 1023 || low < -1024) return false;
    if (low > -1024) return true;
    for (JDIMENSION column = 0; column < count; ++column)
        for (int k = 1; k < DCTSIZE2; ++k)
            if (blocks[column][k] < -1023) return false;
    return true;
}

// True when the standard tables code the whole picture. Those tables then
// serve, and writing is a single pass; anything else needs tables made for
// the photo, or libjpeg would write codes the tables lack.
bool FitsStandardTables(j_decompress_ptr info, jvirt_barray_ptr* coefficients) {
    if (info->data_precision != 8) return false;
    const auto common = reinterpret_cast<j_common_ptr>(info);
    for (int c = 0; c < info->num_components; ++c) {
        const jpeg_component_info& component = info->comp_info[c];
        for (JDIMENSION row = 0; row < component.height_in_blocks; ++row)
            if (!RowFitsStandardTables(
                    (*info->mem->access_virt_barray)(common, coefficients[c], row, 1, FALSE)[0],
                    component.width_in_blocks))
                return false;
    }
    return true;
}

// A quarter turn transposes the frequencies, so the decoder must find each
// coefficient's quantizer at the transposed place too.
void TransposeQuantTables(j_compress_ptr info) {
    for (JQUANT_TBL* table : info->quant_tbl_ptrs) {
        if (!table) continue;
        for (int i = 0; i < DCTSIZE; ++i)
            for (int j = 0; j < i; ++j)
                std::swap(table->quantval[i * DCTSIZE + j], table->quantval[j * DCTSIZE + i]);
    }
}

// One JPEG read through libjpeg and, for a turn, the one written from it: the
// file, the error manager both share, and the clean-up however the work ends.
// The caller sets the jump point (setjmp must be in the frame that does the
// work) before the first libjpeg call, after the session is made.
class JpegSession {
  public:
    JpegSession() {
        std::memset(&src, 0, sizeof src);
        std::memset(&dst, 0, sizeof dst);
        src.err = dst.err = jpeg_std_error(&errors_.pub);
        errors_.pub.error_exit = OnError;
        errors_.pub.emit_message = OnMessage;
    }
    ~JpegSession() {
        jpeg_destroy_compress(&dst);
        jpeg_destroy_decompress(&src);
        if (file_) std::fclose(file_);
    }
    JpegSession(const JpegSession&) = delete;
    JpegSession& operator=(const JpegSession&) = delete;

    bool OpenFile(const std::filesystem::path& source) {
        file_ = std::fopen(source.c_str(), "rb");
        return file_ != nullptr;
    }
    std::jmp_buf& Jump() { return errors_.jump; }

    // Reads the header; with `keepMarkers` every APPn and COM marker is kept
    // for copying into the turned file.
    void ReadHeader(bool keepMarkers) {
        jpeg_create_decompress(&src);
        input_.Attach(&src, file_);
        if (keepMarkers) {
            jpeg_save_markers(&src, JPEG_COM, 0xFFFF);
            for (int n = 0; n < 16; ++n) jpeg_save_markers(&src, JPEG_APP0 + n, 0xFFFF);
        }
        jpeg_read_header(&src, TRUE);
    }

    // Only pictures of whole MCUs turn without a ragged edge.
    bool WholeMcus() const {
        return src.image_width % (unsigned(src.max_h_samp_factor) * DCTSIZE) == 0 &&
               src.image_height % (unsigned(src.max_v_samp_factor) * DCTSIZE) == 0 &&
               src.num_components <= MAX_COMPONENTS;
    }

    // The writer of the turned file, with the source's tables and sampling.
    void StartWriting(Destination& destination) {
        jpeg_create_compress(&dst);
        dst.dest = &destination.pub;
        jpeg_copy_critical_parameters(&src, &dst);
    }

    // Copies the saved markers after the header libjpeg writes itself.
    void CopyMarkers() {
        for (jpeg_saved_marker_ptr marker = src.marker_list; marker; marker = marker->next) {
            if (dst.write_JFIF_header && IsMarker(marker, JPEG_APP0, "JFIF\0", 5)) continue;
            if (dst.write_Adobe_marker && IsMarker(marker, JPEG_APP0 + 14, "Adobe", 5)) continue;
            jpeg_write_marker(&dst, marker->marker, marker->data, marker->data_length);
        }
    }

    static bool IsMarker(const jpeg_saved_marker_ptr marker, int code, const char* tag,
                         std::size_t length) {
        return marker->marker == code && marker->data_length >= length &&
               std::memcmp(marker->data, tag, length) == 0;
    }

    jpeg_decompress_struct src;
    jpeg_compress_struct dst;
    // The bands of a quarter turn, kept here so that a jump out of the turn
    // frees them.
    TurnedPicture turned;

  private:
    ErrorManager errors_;
    std::FILE* file_ = nullptr;
    Source input_;
};

}  // namespace

namespace {

// The TIFF structure inside an APP1 "Exif" marker's body: its byte order and
// its directories, read and written only inside the body's bytes.
class ExifTiff {
  public:
    ExifTiff(unsigned char* data, std::size_t length) {
        if (length < 6 + 8) return;
        tiff_ = data + 6;
        size_ = length - 6;
        big_ = tiff_[0] == 'M' && tiff_[1] == 'M';
        if (!big_ && !(tiff_[0] == 'I' && tiff_[1] == 'I')) tiff_ = nullptr;
    }
    bool Valid() const { return tiff_ != nullptr; }

    std::uint32_t Get(std::size_t at, int bytes) const {
        std::uint32_t value = 0;
        for (int k = 0; k < bytes; ++k)
            value |= std::uint32_t(tiff_[at + (big_ ? bytes - 1 - k : k)]) << (8 * k);
        return value;
    }
    void Put(std::size_t at, int bytes, std::uint32_t value) {
        for (int k = 0; k < bytes; ++k)
            tiff_[at + (big_ ? bytes - 1 - k : k)] = (unsigned char)((value >> (8 * k)) & 0xFF);
    }
    std::size_t First() const { return Get(4, 4); }
    // The entries of the directory at `at`, or 0 when it and the offset of
    // the next directory do not fit.
    std::size_t Entries(std::size_t at) const {
        if (at < 8 || at + 2 > size_) return 0;
        const std::size_t count = Get(at, 2);
        return at + 2 + count * 12 + 4 <= size_ ? count : 0;
    }
    // Whether the directories at `a` and `b`, each with its next-directory
    // offset, share a byte: a damaged block can make them overlap, and a
    // write into one would then change what the other says.
    bool Overlap(std::size_t a, std::size_t b) const {
        const std::size_t aEnd = a + 2 + Entries(a) * 12 + 4;
        const std::size_t bEnd = b + 2 + Entries(b) * 12 + 4;
        return a < bEnd && b < aEnd;
    }
    // The value field of the tag's entry in the directory at `at`, or 0.
    std::size_t Value(std::size_t at, std::uint32_t tag) const {
        for (std::size_t n = 0, count = Entries(at); n < count; ++n)
            if (Get(at + 2 + n * 12, 2) == tag) return at + 2 + n * 12 + 8;
        return 0;
    }
    // Writes the tag, when the directory holds it, as one LONG.
    void SetLong(std::size_t at, std::uint32_t tag, std::uint32_t value) {
        if (const std::size_t field = Value(at, tag)) {
            Put(field - 6, 2, 4);  // LONG
            Put(field - 4, 4, 1);
            Put(field, 4, value);
        }
    }

  private:
    unsigned char* tiff_ = nullptr;
    std::size_t size_ = 0;
    bool big_ = false;
};

}  // namespace

void SetExifPixelSize(unsigned char* data, std::size_t length, unsigned width, unsigned height) {
    ExifTiff tiff(data, length);
    if (!tiff.Valid()) return;
    const std::size_t first = tiff.First();
    std::size_t exif = 0;
    if (const std::size_t field = tiff.Value(first, 0x8769)) exif = tiff.Get(field, 4);
    if (exif != 0 && tiff.Overlap(first, exif)) exif = 0;
    tiff.SetLong(first, 0x0100, width);
    tiff.SetLong(first, 0x0101, height);
    tiff.SetLong(exif, 0xA002, width);
    tiff.SetLong(exif, 0xA003, height);
}

void DropExifThumbnail(unsigned char* data, std::size_t length) {
    ExifTiff tiff(data, length);
    if (!tiff.Valid()) return;
    const std::size_t first = tiff.First();
    if (const std::size_t count = tiff.Entries(first)) tiff.Put(first + 2 + count * 12, 4, 0);
}

DctTurnOutcome TurnJpegLossless(const std::filesystem::path& source, AtomicFile& out, DctTurn turn,
                                Status* writeFailure) {
    JpegSession jpeg;
    Destination destination;
    Status written;
    destination.file = &out;
    destination.failure = &written;
    destination.pub.init_destination = Destination::Init;
    destination.pub.empty_output_buffer = Destination::Empty;
    destination.pub.term_destination = Destination::Term;
    if (!jpeg.OpenFile(source)) return DctTurnOutcome::Failed;
    if (setjmp(jpeg.Jump())) return DctTurnOutcome::Failed;
    jpeg_decompress_struct& src = jpeg.src;
    jpeg_compress_struct& dst = jpeg.dst;
    jpeg.ReadHeader(true);
    if (!jpeg.WholeMcus()) return DctTurnOutcome::Declined;
    const bool quarter = turn == DctTurn::Clockwise || turn == DctTurn::CounterClockwise;
    jvirt_barray_ptr* coefficients = jpeg_read_coefficients(&src);
    if (turn == DctTurn::Half) {
        for (int c = 0; c < src.num_components; ++c)
            TurnComponent(&src, coefficients[c], src.comp_info[c].height_in_blocks,
                          src.comp_info[c].width_in_blocks);
    }

    jpeg.StartWriting(destination);
    jvirt_barray_ptr turned[MAX_COMPONENTS] = {};
    if (quarter) {
        dst.image_width = src.image_height;
        dst.image_height = src.image_width;
        for (int c = 0; c < dst.num_components; ++c) {
            std::swap(dst.comp_info[c].h_samp_factor, dst.comp_info[c].v_samp_factor);
            PrepareBand(&src, coefficients[c], src.comp_info[c], turn == DctTurn::Clockwise,
                        jpeg.turned.bands[c]);
            turned[c] = jpeg.turned.Array(c);
        }
        TransposeQuantTables(&dst);
        jpeg.turned.manager = dst.mem->access_virt_barray;
        dst.mem->access_virt_barray = TurnedPicture::Access;
        dst.client_data = &jpeg.turned;
    }
    // The standard tables code the coefficients of almost every photo in one
    // pass; those they have no code for would be written as corrupt data, so
    // such a photo gets tables made for its coefficients (or libjpeg refuses
    // it).
    dst.optimize_coding = FitsStandardTables(&src, coefficients) ? FALSE : TRUE;
    // An EXIF block must stay the first marker after SOI.
    if (src.marker_list && JpegSession::IsMarker(src.marker_list, JPEG_APP0 + 1, "Exif\0", 6))
        dst.write_JFIF_header = FALSE;
    // Readers take the first EXIF block, wherever it stands.
    for (jpeg_saved_marker_ptr marker = src.marker_list; marker; marker = marker->next) {
        if (!JpegSession::IsMarker(marker, JPEG_APP0 + 1, "Exif\0", 6)) continue;
        if (quarter)
            SetExifPixelSize(marker->data, marker->data_length, dst.image_width, dst.image_height);
        if (turn != DctTurn::None) DropExifThumbnail(marker->data, marker->data_length);
        break;
    }
    jpeg_write_coefficients(&dst, quarter ? turned : coefficients);
    jpeg.CopyMarkers();
    jpeg_finish_compress(&dst);
    jpeg_finish_decompress(&src);
    if (!written) {
        if (writeFailure) *writeFailure = written;
        return DctTurnOutcome::WriteFailed;
    }
    return DctTurnOutcome::Done;
}

std::uint64_t DctTurnMemory(const std::filesystem::path& source, DctTurn turn) {
    JpegSession jpeg;
    if (!jpeg.OpenFile(source)) return 0;
    if (setjmp(jpeg.Jump())) return 0;
    jpeg.ReadHeader(false);
    if (!jpeg.WholeMcus()) return 0;
    std::uint64_t bytes = 0;
    for (int c = 0; c < jpeg.src.num_components; ++c)
        bytes += std::uint64_t(jpeg.src.comp_info[c].width_in_blocks) *
                 jpeg.src.comp_info[c].height_in_blocks * sizeof(JBLOCK);
    if (turn == DctTurn::Clockwise || turn == DctTurn::CounterClockwise)
        for (int c = 0; c < jpeg.src.num_components; ++c) bytes += BandBytes(jpeg.src.comp_info[c]);
    return bytes;
}

}  // namespace skyrell
