#include "pricking/view_geometry.h"

#include <algorithm>
#include <cmath>

namespace skyrell {

double FitScale(const ViewState& view) {
    if (view.photoWidth <= 0 || view.photoHeight <= 0 || view.viewWidth <= 0 ||
        view.viewHeight <= 0)
        return 1;
    return std::min(view.viewWidth / view.photoWidth, view.viewHeight / view.photoHeight);
}

double ClampScale(const ViewState& view, double scale) {
    // A photo smaller than the view fits at up to the largest scale.
    return std::clamp(scale, std::min(FitScale(view), kMostViewScale), kMostViewScale);
}

ViewPoint ClampCentre(const ViewState& view) {
    auto clamp = [scale = view.scale](double centre, double photo, double screen) {
        const double half = screen / 2 / scale;
        return photo <= 2 * half ? photo / 2 : std::clamp(centre, half, photo - half);
    };
    return {clamp(view.centre.x, view.photoWidth, view.viewWidth),
            clamp(view.centre.y, view.photoHeight, view.viewHeight)};
}

ViewPoint ScreenToPhoto(const ViewState& view, ViewPoint screen) {
    return {view.centre.x + (screen.x - view.viewWidth / 2) / view.scale,
            view.centre.y + (screen.y - view.viewHeight / 2) / view.scale};
}

ViewPoint PhotoToScreen(const ViewState& view, ViewPoint photo) {
    return {view.viewWidth / 2 + (photo.x - view.centre.x) * view.scale,
            view.viewHeight / 2 + (photo.y - view.centre.y) * view.scale};
}

ViewState ZoomAbout(const ViewState& view, double scale, ViewPoint screen) {
    const ViewPoint anchor = ScreenToPhoto(view, screen);
    ViewState zoomed = view;
    zoomed.scale = ClampScale(view, scale);
    zoomed.centre = {anchor.x - (screen.x - view.viewWidth / 2) / zoomed.scale,
                     anchor.y - (screen.y - view.viewHeight / 2) / zoomed.scale};
    zoomed.centre = ClampCentre(zoomed);
    return zoomed;
}

namespace {

// A coordinate to the precision a click has at `scale`.
double Rounded(double value, double scale) {
    if (scale >= 1) return std::round(value * 10) / 10;
    return std::floor(value) + 0.5;
}

ViewPoint Inside(const ViewState& view, ViewPoint point) {
    // The last tenth of a pixel inside the photo, so a mark at the far edge
    // still lies on the photo's last pixel.
    return {std::clamp(point.x, 0.0, std::max(0.0, view.photoWidth - 0.1)),
            std::clamp(point.y, 0.0, std::max(0.0, view.photoHeight - 0.1))};
}

}  // namespace

std::optional<ViewPoint> PointAt(const ViewState& view, ViewPoint screen) {
    const ViewPoint photo = ScreenToPhoto(view, screen);
    if (photo.x < 0 || photo.y < 0 || photo.x >= view.photoWidth || photo.y >= view.photoHeight)
        return std::nullopt;
    return Inside(view, {Rounded(photo.x, view.scale), Rounded(photo.y, view.scale)});
}

ViewPoint Nudge(const ViewState& view, ViewPoint mark, int dx, int dy) {
    const ViewPoint moved{mark.x + dx / view.scale, mark.y + dy / view.scale};
    // Tenths at every scale: a step of 1/scale is at least an eighth of a pixel.
    return Inside(view, {std::round(moved.x * 10) / 10, std::round(moved.y * 10) / 10});
}

PhotoPart VisiblePart(const ViewState& view) {
    const ViewPoint topLeft = ScreenToPhoto(view, {0, 0});
    const ViewPoint bottomRight = ScreenToPhoto(view, {view.viewWidth, view.viewHeight});
    const double left = std::max(0.0, std::floor(topLeft.x));
    const double top = std::max(0.0, std::floor(topLeft.y));
    const double right = std::min(view.photoWidth, std::ceil(bottomRight.x));
    const double bottom = std::min(view.photoHeight, std::ceil(bottomRight.y));
    if (right <= left || bottom <= top) return {};
    return {static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
            static_cast<int>(bottom - top)};
}

}  // namespace skyrell
