#pragma once
// Pricking a control point on an aerial photo and what it leaves in the sortie
// folder:
//
//   刺点片\<point>_<photo title>.jpg   the hand-in photo: the whole photo at its
//                                      own size with a red ring and cross centred
//                                      on the point and the point name beside
//                                      it; EXIF (GPS included) kept. One per
//                                      point: a new one replaces the earlier.
//   过程数据\<point>.jpg               the sketch: a 4:3 cut centred on the
//                                      point (shifted inside the photo near an
//                                      edge, never padded), marked the same way.
//   过程数据\刺点记录.csv              the record of every pricking (GBK, CR LF):
//                                      a heading line, then point, photo file
//                                      name, x, y and whether that photo is the
//                                      point's hand-in photo (是/否).
//
// Pixel positions are measured in the upright photo from its top-left corner:
// the pixel in column i and row j covers [i, i+1) x [j, j+1), so its centre is
// (i + 0.5, j + 0.5). A point has at most one hand-in photo and any number of
// further observations (one per photo) for aerial triangulation.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "shell/feedback.h"
#include "shell/status.h"

namespace skyrell {

inline constexpr std::string_view kPrickingRecordFile = "刺点记录.csv";

struct Pricking {
    std::string point;
    std::string photo;  // file name as on disk
    double x = 0;
    double y = 0;
    bool handIn = false;
    bool operator==(const Pricking&) const = default;
};

std::filesystem::path PrickingRecordPath(const std::filesystem::path& sortie);
// 过程数据\刺点记录.csv of a sortie; no file = no prickings. A line that is not
// a pricking fails with a message naming the file and the line.
Result<std::vector<Pricking>> ReadPrickingRecord(const std::filesystem::path& sortie);
// The lines of the record file (heading first), as UTF-8.
std::vector<std::string> PrickingRecordLines(const std::vector<Pricking>& prickings);
// Replaces the record of a sortie (atomically) by these prickings in order.
Status WritePrickingRecord(const std::filesystem::path& sortie,
                           const std::vector<Pricking>& prickings);

struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const PixelRect&) const = default;
};

// The 4:3 sketch rectangle around (x, y), shifted inside the photo near an
// edge; sketchWidth 0 = a quarter of the photo's width. A rectangle larger than
// the photo is made smaller, keeping 4:3 as nearly as whole pixels allow.
PixelRect SketchRectangle(int photoWidth, int photoHeight, double x, double y, int sketchWidth);

// The sizes of the mark drawn on a picture of that width, in its pixels: the
// ring's radius, the width of its lines and the height of the point name.
struct MarkSize {
    int radius = 0;
    int lineWidth = 0;
    int textHeight = 0;
};
MarkSize MarkSizeFor(int pictureWidth);

// "<point>_<photo title>.jpg", the name of a point's hand-in photo.
std::string HandInPhotoName(std::string_view point, const std::filesystem::path& photo);

struct PrickRequest {
    std::filesystem::path sortie;
    std::string point;
    std::filesystem::path photo;
    double x = 0;
    double y = 0;
    bool observationOnly = false;
    int sketchWidth = 0;
};
struct PrickOutcome {
    std::filesystem::path handInPhoto;  // both empty for observation only
    std::filesystem::path sketch;
};

// Writes the hand-in photo and the sketch (unless observation only) and
// records the pricking, all atomically; refusals change nothing. The point
// name is written upper-cased. Pricking a point again on the same photo moves
// it; a hand-in on another photo replaces the earlier hand-in photo (whose
// pricking stays in the record as an observation). An observation-only
// pricking on the photo that holds the point's hand-in is refused: the hand-in
// photo would no longer show it.
Result<PrickOutcome> Prick(const PrickRequest& request, const Feedback& feedback);

}  // namespace skyrell
