#pragma once
// Where a photo lies on the photo view's screen: the photo at a scale (screen
// pixels per photo pixel) with one photo point at the middle of the view. The
// view keeps only this state; drawing, clicks and the arrow keys go through
// the small functions below, so their arithmetic is checked without a screen.
//
// Photo coordinates are continuous, with the photo's top-left corner at 0,0,
// x to the right and y down: the pixel of column i and row j covers
// [i, i+1) x [j, j+1). Screen coordinates are the view's, with its top-left
// corner at 0,0; the middle of screen pixel (i, j) is (i + 0.5, j + 0.5).

#include <optional>

namespace skyrell {

struct ViewPoint {
    double x = 0;
    double y = 0;
    bool operator==(const ViewPoint&) const = default;
};

struct ViewState {
    double photoWidth = 0;
    double photoHeight = 0;
    double viewWidth = 0;
    double viewHeight = 0;
    double scale = 1;  // screen pixels per photo pixel
    ViewPoint centre;  // the photo point at the middle of the view
};

// The closest the view comes: 800 %.
inline constexpr double kMostViewScale = 8;

// The scale at which the whole photo fits the view (1 without a photo or view).
double FitScale(const ViewState& view);
// `scale` kept between the fit (or 800 % for a photo smaller than that) and 800 %.
double ClampScale(const ViewState& view, double scale);
// The centre kept so that the photo covers the view where it can; along a side
// where the photo is smaller than the view it stays in the middle.
ViewPoint ClampCentre(const ViewState& view);

ViewPoint ScreenToPhoto(const ViewState& view, ViewPoint screen);
ViewPoint PhotoToScreen(const ViewState& view, ViewPoint photo);

// The view at a new scale with the photo point under `screen` kept there, as
// the mouse wheel zooms; the scale and centre clamped as above.
ViewState ZoomAbout(const ViewState& view, double scale, ViewPoint screen);

// The point that a click at `screen` sets: the photo point under it, to a
// tenth of a pixel from 100 % upwards and to whole pixels' middles below (where
// one screen pixel spans several photo pixels); none outside the photo.
std::optional<ViewPoint> PointAt(const ViewState& view, ViewPoint screen);
// The mark moved by whole screen pixels (the arrow keys), kept inside the photo.
ViewPoint Nudge(const ViewState& view, ViewPoint mark, int dx, int dy);

// The part of the photo on screen, in whole photo pixels, clipped to the photo
// (width or height 0 when nothing of it shows).
struct PhotoPart {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const PhotoPart&) const = default;
};
PhotoPart VisiblePart(const ViewState& view);

}  // namespace skyrell
