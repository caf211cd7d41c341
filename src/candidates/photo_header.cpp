#include "candidates/photo_header.h"

#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include "shell/files.h"

namespace skyrell {

namespace {

// A photo larger than this is no camera's JPEG.
constexpr std::uint64_t kMostPhotoBytes = std::uint64_t{1} << 31;
constexpr std::size_t kFirstBlock = std::size_t{16} * 1024;

// Bounds-checked reading of a TIFF structure (the body of an EXIF block) in
// either byte order.
class Tiff {
  public:
    explicit Tiff(std::string_view data) : data_(data) {}
    bool Init() {
        if (data_.size() < 8) return false;
        if (data_.substr(0, 2) == "II")
            little_ = true;
        else if (data_.substr(0, 2) == "MM")
            little_ = false;
        else
            return false;
        return U16(2) == 42;
    }
    std::optional<std::uint32_t> FirstIfd() const { return U32Opt(4); }

    std::uint16_t U16(std::size_t at) const {
        const auto* b = reinterpret_cast<const unsigned char*>(data_.data() + at);
        return little_ ? static_cast<std::uint16_t>(b[0] | b[1] << 8)
                       : static_cast<std::uint16_t>(b[0] << 8 | b[1]);
    }
    std::uint32_t U32(std::size_t at) const {
        const std::uint32_t hi = U16(at), lo = U16(at + 2);
        return little_ ? (lo << 16 | hi) : (hi << 16 | lo);
    }
    std::optional<std::uint32_t> U32Opt(std::size_t at) const {
        if (at > data_.size() || data_.size() - at < 4) return std::nullopt;
        return U32(at);
    }

    struct Entry {
        std::uint16_t tag = 0, type = 0;
        std::uint32_t count = 0;
        std::size_t value = 0;  // offset of the value's bytes in data_
    };

    // The entries of the directory at `offset`; entries whose value lies
    // outside the data are left out.
    std::vector<Entry> Directory(std::uint32_t offset) const {
        std::vector<Entry> entries;
        if (offset > data_.size() || data_.size() - offset < 2) return entries;
        const std::size_t count = U16(offset);
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t at = offset + 2 + i * 12;
            if (at > data_.size() || data_.size() - at < 12) break;
            Entry entry{U16(at), U16(at + 2), U32(at + 4), at + 8};
            const std::uint64_t size = std::uint64_t{TypeSize(entry.type)} * entry.count;
            if (size == 0) continue;
            if (size > 4) entry.value = U32(at + 8);
            if (entry.value > data_.size() || data_.size() - entry.value < size) continue;
            entries.push_back(entry);
        }
        return entries;
    }

    // The index-th value of an entry as a number: unsigned integers and
    // unsigned rationals (a zero denominator gives nothing).
    std::optional<double> Number(const Entry& entry, std::size_t index = 0) const {
        if (index >= entry.count) return std::nullopt;
        switch (entry.type) {
            case 1:
            case 7:
                return static_cast<unsigned char>(data_[entry.value + index]);
            case 3:
                return U16(entry.value + 2 * index);
            case 4:
                return U32(entry.value + 4 * index);
            case 5: {
                const double num = U32(entry.value + 8 * index);
                const double den = U32(entry.value + 8 * index + 4);
                if (den == 0) return std::nullopt;
                return num / den;
            }
            default:
                return std::nullopt;
        }
    }
    char FirstChar(const Entry& entry) const { return entry.type == 2 ? data_[entry.value] : '\0'; }

  private:
    static std::uint32_t TypeSize(std::uint16_t type) {
        switch (type) {
            case 1:
            case 2:
            case 6:
            case 7:
                return 1;
            case 3:
            case 8:
                return 2;
            case 4:
            case 9:
            case 11:
                return 4;
            case 5:
            case 10:
            case 12:
                return 8;
            default:
                return 0;
        }
    }

    std::string_view data_;
    bool little_ = true;
};

constexpr std::uint16_t kExifIfdTag = 0x8769;
constexpr std::uint16_t kGpsIfdTag = 0x8825;
constexpr std::uint16_t kFocalLengthTag = 0x920A;
constexpr std::uint16_t kFocalPlaneXResolutionTag = 0xA20E;
constexpr std::uint16_t kFocalPlaneResolutionUnitTag = 0xA210;
constexpr std::uint16_t kFocalLength35mmTag = 0xA405;

// Degrees of a GPS latitude or longitude: three rationals.
std::optional<double> GpsDegrees(const Tiff& tiff, const Tiff::Entry& entry) {
    const auto d = tiff.Number(entry, 0), m = tiff.Number(entry, 1), s = tiff.Number(entry, 2);
    if (!d || !m || !s) return std::nullopt;
    return *d + *m / 60 + *s / 3600;
}

void ParseExif(std::string_view body, PhotoHeader& header) {
    Tiff tiff(body);
    if (!tiff.Init()) return;
    const auto first = tiff.FirstIfd();
    if (!first) return;
    std::optional<std::uint32_t> exifIfd, gpsIfd;
    // A directory pointer is a LONG (or a SHORT); anything else is ignored.
    auto pointer = [&tiff](const Tiff::Entry& entry) -> std::optional<std::uint32_t> {
        if (entry.type != 3 && entry.type != 4) return std::nullopt;
        return static_cast<std::uint32_t>(*tiff.Number(entry));
    };
    for (const auto& entry : tiff.Directory(*first)) {
        if (entry.tag == kExifIfdTag) exifIfd = pointer(entry);
        if (entry.tag == kGpsIfdTag) gpsIfd = pointer(entry);
    }
    auto positive = [](std::optional<double> value) {
        return value && *value > 0 ? value : std::nullopt;
    };
    if (exifIfd) {
        for (const auto& entry : tiff.Directory(*exifIfd)) {
            switch (entry.tag) {
                case kFocalLengthTag:
                    header.focalLengthMm = positive(tiff.Number(entry));
                    break;
                case kFocalPlaneXResolutionTag:
                    header.focalPlaneXResolution = positive(tiff.Number(entry));
                    break;
                case kFocalPlaneResolutionUnitTag:
                    if (auto unit = tiff.Number(entry); unit && *unit < 256)
                        header.focalPlaneResolutionUnit = static_cast<int>(*unit);
                    break;
                case kFocalLength35mmTag:
                    header.focalLength35mm = positive(tiff.Number(entry));
                    break;
                default:
                    break;
            }
        }
    }
    if (gpsIfd) {
        char latRef = 0, lonRef = 0;
        std::optional<double> lat, lon, alt;
        bool below = false;
        for (const auto& entry : tiff.Directory(*gpsIfd)) {
            switch (entry.tag) {
                case 1:
                    latRef = tiff.FirstChar(entry);
                    break;
                case 2:
                    lat = GpsDegrees(tiff, entry);
                    break;
                case 3:
                    lonRef = tiff.FirstChar(entry);
                    break;
                case 4:
                    lon = GpsDegrees(tiff, entry);
                    break;
                case 5:
                    below = tiff.Number(entry) == 1.0;
                    break;
                case 6:
                    alt = tiff.Number(entry);
                    break;
                default:
                    break;
            }
        }
        // A position needs both angles and both hemisphere letters: a camera
        // without a fix writes zeros and no letters.
        const bool refs = (latRef == 'N' || latRef == 'S') && (lonRef == 'E' || lonRef == 'W');
        if (lat && lon && refs && *lat <= 90 && *lon <= 180) {
            GpsPosition gps{latRef == 'S' ? -*lat : *lat, lonRef == 'W' ? -*lon : *lon, {}};
            if (alt) gps.altitude = below ? -*alt : *alt;
            header.gps = gps;
        }
    }
}

bool IsFrameHeader(unsigned char marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

std::string NotJpegText(const std::filesystem::path& file) {
    return "无法读取航片 " + PathText(file) + " 的JPEG文件头。";
}

// Walks the segments of a JPEG through `read(offset, length)`, which returns
// the bytes there (fewer at the end of the data).
template <class Read>
Result<PhotoHeader> WalkSegments(Read&& read, const std::filesystem::path& file) {
    PhotoHeader header;
    std::size_t at = 2;
    if (read(0, 2) != "\xFF\xD8") return Status::Fail(NotJpegText(file));
    bool exifSeen = false;
    for (;;) {
        std::string mark = read(at, 4);
        // Fill bytes (0xFF) may stand before a marker.
        while (mark.size() >= 2 && static_cast<unsigned char>(mark[1]) == 0xFF &&
               static_cast<unsigned char>(mark[0]) == 0xFF) {
            ++at;
            mark = read(at, 4);
        }
        if (mark.size() < 4 || static_cast<unsigned char>(mark[0]) != 0xFF)
            return Status::Fail(NotJpegText(file));
        const auto marker = static_cast<unsigned char>(mark[1]);
        const std::size_t length =
            static_cast<unsigned char>(mark[2]) << 8 | static_cast<unsigned char>(mark[3]);
        if (marker == 0xD9 || marker == 0xDA || length < 2) return Status::Fail(NotJpegText(file));
        if (IsFrameHeader(marker)) {
            const std::string sof = read(at + 4, 5);
            if (sof.size() < 5) return Status::Fail(NotJpegText(file));
            header.height =
                static_cast<unsigned char>(sof[1]) << 8 | static_cast<unsigned char>(sof[2]);
            header.width =
                static_cast<unsigned char>(sof[3]) << 8 | static_cast<unsigned char>(sof[4]);
            if (header.width == 0 || header.height == 0) return Status::Fail(NotJpegText(file));
            return header;
        }
        if (marker == 0xE1 && !exifSeen && length >= 8) {
            const std::string body = read(at + 4, length - 2);
            if (body.size() == length - 2 &&
                body.compare(0, 6, std::string_view("Exif\0\0", 6)) == 0) {
                exifSeen = true;
                ParseExif(std::string_view(body).substr(6), header);
            }
        }
        at += 2 + length;
    }
}

}  // namespace

Result<PhotoHeader> ParsePhotoHeader(std::string_view bytes) {
    return WalkSegments(
        [bytes](std::size_t offset, std::size_t length) {
            if (offset >= bytes.size()) return std::string();
            return std::string(bytes.substr(offset, length));
        },
        std::filesystem::path());
}

Result<PhotoHeader> ReadPhotoHeader(const std::filesystem::path& file) {
    auto opened = OpenInputFile(file, kMostPhotoBytes);
    if (!opened)
        return Status::Fail(ReadFailureText(file, opened.status()), opened.status().code());
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{*opened};
    // The first block usually holds every segment up to the frame header; a
    // segment that reaches past it is read where it stands.
    std::string first(kFirstBlock, '\0');
    const ssize_t got = ::pread(closer.fd, first.data(), first.size(), 0);
    first.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    auto read = [&](std::size_t offset, std::size_t length) {
        if (offset + length <= first.size() || first.size() < kFirstBlock) {
            if (offset >= first.size()) return std::string();
            return first.substr(offset, length);
        }
        std::string bytes(length, '\0');
        const ssize_t n = ::pread(closer.fd, bytes.data(), length, static_cast<off_t>(offset));
        bytes.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
        return bytes;
    };
    return WalkSegments(read, file);
}

}  // namespace skyrell
