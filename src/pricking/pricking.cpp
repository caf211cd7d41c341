// Pricking: the hand-in photo, the sketch and the record, written together.

#include "pricking/pricking.h"

#include <algorithm>
#include <cmath>

#include "photo/image_engine.h"
#include "project/control_points.h"
#include "project/sortie_layout.h"
#include "shell/atomic_file.h"
#include "shell/files.h"
#include "shell/system_errors.h"
#include "shell/text.h"
#include "shell/text_encoding.h"

namespace skyrell {

namespace {

// Characters a point name cannot hold: it names files, is cut at "_" and "."
// by the point records and the check, and stands in a comma-separated record.
constexpr std::string_view kNameBreakers = "_.,/\\:*?\"<>|";
// Point names are short ("P" and four digits); a longer text is no point name,
// and setting it beside the mark would take memory without bound.
constexpr std::size_t kLongestPointName = 40;

std::string BadPointText(std::string_view point) {
    return "点名“" + std::string(point) +
           "”无效：点名不能为空，也不能含有空格和 _ . , / \\ : * ? \" < > | 等字符。";
}

Status CheckPointName(std::string_view point) {
    if (point.empty()) return Status::Fail(BadPointText(point));
    if (point.size() > kLongestPointName)
        return Status::Fail("点名“" + std::string(LeadingCharacters(point, kLongestPointName)) +
                            "…”太长：点名最多" + std::to_string(kLongestPointName) + "个字节。");
    for (const char c : point)
        if (kNameBreakers.find(c) != std::string_view::npos ||
            static_cast<unsigned char>(c) <= 0x20 || c == 0x7F)
            return Status::Fail(BadPointText(point));
    if (auto gbk = Utf8ToGbk(point); !gbk) return Status::Fail(BadPointText(point));
    return Status::Ok();
}

Status CheckSortie(const std::filesystem::path& sortie) {
    if (FolderExists(sortie / PathOf(kPrickedPhotoFolder)) &&
        FolderExists(sortie / PathOf(kProcessDataFolder)))
        return Status::Ok();
    return Status::Fail("“" + PathText(sortie) + "”不是架次文件夹：其中没有“" +
                        std::string(kPrickedPhotoFolder) + "”和“" +
                        std::string(kProcessDataFolder) + "”目录。");
}

// 4 x 4 samples per pixel: how much of pixel (i, j) the ring and the cross
// centred on (cx, cy) cover, 0 to 255.
unsigned char MarkCoverage(int i, int j, double cx, double cy, const MarkSize& size) {
    const double half = size.lineWidth / 2.0;
    const double gap = size.radius * 0.5;
    const double arm = size.radius * 1.6;
    int covered = 0;
    for (int sy = 0; sy < 4; ++sy) {
        for (int sx = 0; sx < 4; ++sx) {
            const double dx = i + (sx + 0.5) / 4 - cx;
            const double dy = j + (sy + 0.5) / 4 - cy;
            const double ax = std::abs(dx), ay = std::abs(dy);
            const bool ring = std::abs(std::hypot(dx, dy) - size.radius) <= half;
            const bool cross =
                (ay <= half && ax >= gap && ax <= arm) || (ax <= half && ay >= gap && ay <= arm);
            covered += ring || cross;
        }
    }
    return static_cast<unsigned char>((covered * 255 + 8) / 16);
}

CoverageMask RingAndCross(double cx, double cy, const MarkSize& size) {
    const int reach = static_cast<int>(std::ceil(size.radius * 1.6 + size.lineWidth)) + 1;
    CoverageMask mask;
    mask.left = static_cast<int>(std::floor(cx)) - reach;
    mask.top = static_cast<int>(std::floor(cy)) - reach;
    mask.width = mask.height = 2 * reach + 1;
    mask.values.resize(std::size_t(mask.width) * std::size_t(mask.height));
    for (int j = 0; j < mask.height; ++j)
        for (int i = 0; i < mask.width; ++i)
            mask.values[std::size_t(j) * std::size_t(mask.width) + std::size_t(i)] =
                MarkCoverage(mask.left + i, mask.top + j, cx, cy, size);
    return mask;
}

// The text grown by `radius` pixels in every direction, in white: a halo that
// keeps the red name readable on any ground.
CoverageMask Halo(const CoverageMask& text, int radius) {
    CoverageMask halo;
    halo.left = text.left - radius;
    halo.top = text.top - radius;
    halo.width = text.width + 2 * radius;
    halo.height = text.height + 2 * radius;
    halo.red = halo.green = halo.blue = 255;
    halo.values.assign(std::size_t(halo.width) * std::size_t(halo.height), 0);
    for (int y = 0; y < text.height; ++y)
        for (int x = 0; x < text.width; ++x) {
            const unsigned char v = text.values[std::size_t(y) * std::size_t(text.width) + x];
            if (v < 64) continue;
            for (int dy = 0; dy <= 2 * radius; ++dy) {
                unsigned char* row =
                    halo.values.data() + std::size_t(y + dy) * std::size_t(halo.width) + x;
                std::fill_n(row, 2 * std::size_t(radius) + 1, static_cast<unsigned char>(255));
            }
        }
    return halo;
}

// The masks of a mark on a picture of the given size: halo and name, then the
// ring and cross. The name stands to the upper right of the ring, or where it
// fits inside the picture.
Result<std::vector<CoverageMask>> MarkMasks(int width, int height, double cx, double cy,
                                            const std::string& point) {
    const MarkSize size = MarkSizeFor(width);
    auto text = TextCoverage(point, size.textHeight);
    if (!text) return text.status();
    const int offset = static_cast<int>(std::lround(size.radius * 1.2));
    int left = static_cast<int>(std::lround(cx)) + offset;
    if (left + text->width > width) left = static_cast<int>(std::lround(cx)) - offset - text->width;
    int top = static_cast<int>(std::lround(cy)) - offset - text->height;
    if (top < 0) top = static_cast<int>(std::lround(cy)) + offset;
    text->left = std::clamp(left, 0, std::max(0, width - text->width));
    text->top = std::clamp(top, 0, std::max(0, height - text->height));
    std::vector<CoverageMask> masks;
    masks.push_back(Halo(*text, std::max(1, size.lineWidth / 2)));
    masks.push_back(std::move(*text));
    masks.push_back(RingAndCross(cx, cy, size));
    return masks;
}

// The index of the pricking of `point` on `photo` in the record, or npos.
std::size_t FindPricking(const std::vector<Pricking>& prickings, std::string_view point,
                         std::string_view photo) {
    for (std::size_t i = 0; i < prickings.size(); ++i)
        if (EqualsNoCase(prickings[i].point, point) && prickings[i].photo == photo) return i;
    return std::string::npos;
}

std::string OldHandInText(const std::string& point, const std::string& name,
                          const std::error_code& error) {
    return "无法删除点" + point + "原有的刺点片“" + name + "”：" + SystemErrorText(error);
}

// A file written in full at Commit, or not at all.
struct PendingFile {
    AtomicFile file;
    std::filesystem::path path;
};

Status Stage(PendingFile& pending, const std::filesystem::path& path, std::string_view bytes) {
    pending.path = path;
    Status status = pending.file.Open(path);
    if (status) status = pending.file.Write(bytes);
    if (!status) return Status::Fail(WriteFailureText(path, status), status.code());
    return Status::Ok();
}

}  // namespace

PixelRect SketchRectangle(int photoWidth, int photoHeight, double x, double y, int sketchWidth) {
    photoWidth = std::max(photoWidth, 1);
    photoHeight = std::max(photoHeight, 1);
    int width = sketchWidth > 0 ? sketchWidth : std::max(photoWidth / 4, 1);
    width = std::min(width, photoWidth);
    int height = std::max((3 * width + 2) / 4, 1);
    if (height > photoHeight) {
        height = photoHeight;
        width = std::clamp((4 * height + 1) / 3, 1, photoWidth);
    }
    const auto place = [](double centre, int length, int limit) {
        const double start = std::floor(centre - length / 2.0 + 0.5);
        return static_cast<int>(std::clamp(start, 0.0, double(limit - length)));
    };
    return {place(x, width, photoWidth), place(y, height, photoHeight), width, height};
}

MarkSize MarkSizeFor(int pictureWidth) {
    MarkSize size;
    size.radius = std::max(8, static_cast<int>(std::lround(pictureWidth / 60.0)));
    size.lineWidth = std::max(2, static_cast<int>(std::lround(size.radius / 8.0)));
    size.textHeight = std::max(12, size.radius);
    return size;
}

std::string HandInPhotoName(std::string_view point, const std::filesystem::path& photo) {
    return std::string(point) + "_" + FileTitleOf(PathText(photo.filename())) + ".jpg";
}

Result<PrickOutcome> Prick(const PrickRequest& request, const Feedback& feedback) {
    const std::string point = AsciiUpper(TrimSpaces(request.point));
    if (Status sortie = CheckSortie(request.sortie); !sortie) return sortie;
    if (Status name = CheckPointName(point); !name) return name;
    const std::string photoName = PathText(request.photo.filename());
    if (photoName.find(',') != std::string::npos || !Utf8ToGbk(photoName))
        return Status::Fail("航片文件名“" + photoName + "”含有逗号或GBK不能表示的字符，无法记入" +
                            std::string(kPrickingRecordFile) + "。");
    if (!FileExists(request.photo))
        return Status::Fail("航片“" + PathText(request.photo) + "”不存在。");
    auto record = ReadPrickingRecord(request.sortie);
    if (!record) return record.status();
    const std::size_t existing = FindPricking(*record, point, photoName);
    if (request.observationOnly && existing != std::string::npos && (*record)[existing].handIn)
        return Status::Fail("航片“" + photoName + "”是点" + point +
                            "的刺点片所用航片，移动此处的刺点请重新保存刺点片。");

    PhotoImage photo;
    if (Status opened = photo.Open(request.photo); !opened) return opened;
    const auto size = photo.Size();
    if (!size) return size.status();
    photo.Close();
    if (!std::isfinite(request.x) || !std::isfinite(request.y) || request.x < 0 || request.y < 0 ||
        request.x >= size->width || request.y >= size->height)
        return Status::Fail("刺点位置（" + GeneralNumberText(request.x) + ", " +
                            GeneralNumberText(request.y) + "）不在航片“" + photoName +
                            "”内（航片为" + std::to_string(size->width) + "×" +
                            std::to_string(size->height) + "像素）。");
    feedback.Report(1, 3);

    PrickOutcome outcome;
    std::vector<std::string> jpegs;
    if (!request.observationOnly) {
        const PixelRect area =
            SketchRectangle(size->width, size->height, request.x, request.y, request.sketchWidth);
        MarkedCut sketch{area.x, area.y, area.width, area.height, {}, false};
        auto sketchMasks =
            MarkMasks(area.width, area.height, request.x - area.x, request.y - area.y, point);
        if (!sketchMasks) return sketchMasks.status();
        sketch.masks = std::move(*sketchMasks);
        MarkedCut whole;
        auto wholeMasks = MarkMasks(size->width, size->height, request.x, request.y, point);
        if (!wholeMasks) return wholeMasks.status();
        whole.masks = std::move(*wholeMasks);
        outcome.handInPhoto = request.sortie / PathOf(kPrickedPhotoFolder) /
                              PathOf(HandInPhotoName(point, photoName));
        outcome.sketch = request.sortie / PathOf(kProcessDataFolder) / PathOf(point + ".jpg");
        // A photo taken from the sortie's own files is never written over.
        for (const auto& target : {outcome.handInPhoto, outcome.sketch})
            if (Status other = CheckOutputIsNotInput(target, {request.photo}); !other) return other;
        auto encoded = EncodeMarkedCuts(request.photo, {sketch, whole});
        if (!encoded) return encoded.status();
        jpegs = std::move(*encoded);
    }
    feedback.Report(2, 3);

    // The record after this pricking: the same photo moves the point, and a
    // new hand-in makes the point's earlier hand-in an observation.
    std::vector<Pricking> prickings = std::move(*record);
    const Pricking pricking{point, photoName, request.x, request.y, !request.observationOnly};
    if (!request.observationOnly)
        for (Pricking& p : prickings)
            if (EqualsNoCase(p.point, point)) p.handIn = false;
    if (existing != std::string::npos)
        prickings[existing] = pricking;
    else
        prickings.push_back(pricking);

    // Everything is written to temporary files first and renamed only when
    // all of it was written, so a failure leaves the sortie as it was.
    PendingFile handIn, sketch;
    if (!request.observationOnly) {
        if (Status s = Stage(handIn, outcome.handInPhoto, jpegs[1]); !s) return s;
        if (Status s = Stage(sketch, outcome.sketch, jpegs[0]); !s) return s;
    }
    const std::filesystem::path recordPath = PrickingRecordPath(request.sortie);
    TextFileWriter recordFile;
    Status staged = recordFile.Open(recordPath);
    for (const std::string& line : PrickingRecordLines(prickings))
        if (staged) staged = recordFile.WriteLine(line);
    if (!staged) return Status::Fail(WriteFailureText(recordPath, staged), staged.code());
    if (feedback.Cancelled()) return Status::Fail(std::string(kCancelledText));

    if (!request.observationOnly) {
        if (Status s = handIn.file.Commit(); !s)
            return Status::Fail(WriteFailureText(handIn.path, s), s.code());
        if (Status s = sketch.file.Commit(); !s)
            return Status::Fail(WriteFailureText(sketch.path, s), s.code());
    }
    if (Status s = recordFile.Commit(); !s)
        return Status::Fail(WriteFailureText(recordPath, s), s.code());

    // One hand-in photo per point: the earlier ones of this point go.
    if (!request.observationOnly) {
        const std::filesystem::path folder = request.sortie / PathOf(kPrickedPhotoFolder);
        const std::string kept = PathText(outcome.handInPhoto.filename());
        for (const std::string& name : ListFiles(folder, "*.jpg")) {
            if (name == kept || !EqualsNoCase(PrickedPhotoPointName(name), point) ||
                IsSameFile(folder / PathOf(name), request.photo))
                continue;
            std::error_code error;
            if (!std::filesystem::remove(folder / PathOf(name), error) && error)
                return Status::Fail(OldHandInText(point, name, error));
        }
    }
    feedback.Report(3, 3);
    return outcome;
}

}  // namespace skyrell
