#include "pricking/view_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

namespace skyrell {
namespace {

// A 20-megapixel photo in an 800 x 600 view: at fit one screen pixel spans
// 5472 / 800 = 6.84 photo pixels and the photo's top edge lies at screen
// y = 300 - 1824 / 6.84 = 33.33.
ViewState Photo20Mp(double scale, ViewPoint centre) {
    return {5472, 3648, 800, 600, scale, centre};
}

TEST(ViewGeometry, ClickLandsOnThePhotoPixelUnderIt) {
    const double fit = 800.0 / 5472;
    struct Case {
        const char* what;
        ViewState view;
        int screenX, screenY;               // the screen pixel clicked
        std::optional<ViewPoint> expected;  // the point set
    };
    const Case cases[] = {
        {"fit, left edge", Photo20Mp(fit, {2736, 1824}), 0, 300, ViewPoint{3.5, 1827.5}},
        {"fit, first row inside", Photo20Mp(fit, {2736, 1824}), 400, 33, ViewPoint{2739.5, 1.5}},
        {"fit, band above the photo", Photo20Mp(fit, {2736, 1824}), 400, 32, std::nullopt},
        {"100 %, top-left", Photo20Mp(1, {2736, 1824}), 0, 0, ViewPoint{2336.5, 1524.5}},
        {"100 %, bottom-right", Photo20Mp(1, {2736, 1824}), 799, 599, ViewPoint{3135.5, 2123.5}},
        {"800 %, just right of the centre", Photo20Mp(8, {1000, 500}), 400, 300,
         ViewPoint{1000.1, 500.1}},
        {"800 %, last screen pixel of photo pixel 1000", Photo20Mp(8, {1000, 500}), 407, 307,
         ViewPoint{1000.9, 500.9}},
        {"800 %, first screen pixel of photo pixel 1001", Photo20Mp(8, {1000, 500}), 408, 299,
         ViewPoint{1001.1, 499.9}},
        {"800 %, left of the centre", Photo20Mp(8, {1000, 500}), 399, 299, ViewPoint{999.9, 499.9}},
        {"odd sizes at 100 %", ViewState{1001, 751, 333, 247, 1, {500.5, 375.5}}, 0, 246,
         ViewPoint{334.5, 498.5}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto point = PointAt(c.view, {c.screenX + 0.5, c.screenY + 0.5});
        ASSERT_EQ(point.has_value(), c.expected.has_value());
        if (!point) continue;
        EXPECT_NEAR(point->x, c.expected->x, 1e-9);
        EXPECT_NEAR(point->y, c.expected->y, 1e-9);
        // The point drawn back lies inside the screen pixel clicked.
        const ViewPoint back = PhotoToScreen(c.view, *point);
        EXPECT_EQ(std::floor(back.x), c.screenX);
        EXPECT_EQ(std::floor(back.y), c.screenY);
    }
}

TEST(ViewGeometry, ZoomKeepsThePointUnderThePointerWithinFitAnd800Percent) {
    const double fit = 800.0 / 5472;
    const ViewState start = Photo20Mp(1, {2000, 1500});
    struct Case {
        double asked, expected;
    };
    for (const Case c : {Case{0.01, fit}, Case{fit, fit}, Case{2.5, 2.5}, Case{8, 8}, Case{9, 8}}) {
        const ViewState zoomed = ZoomAbout(start, c.asked, {100.5, 500.5});
        EXPECT_DOUBLE_EQ(zoomed.scale, c.expected);
        if (c.expected <= fit) {
            // The whole photo in view: centred, whatever the pointer.
            EXPECT_NEAR(zoomed.centre.x, 2736, 1e-6);
            EXPECT_NEAR(zoomed.centre.y, 1824, 1e-6);
        } else {
            const ViewPoint before = ScreenToPhoto(start, {100.5, 500.5});
            const ViewPoint after = ScreenToPhoto(zoomed, {100.5, 500.5});
            EXPECT_NEAR(after.x, before.x, 1e-9);
            EXPECT_NEAR(after.y, before.y, 1e-9);
        }
    }
    // A photo that would fit only beyond 800 % stays at 800 %.
    const ViewState tiny{50, 30, 800, 600, 8, {25, 15}};
    EXPECT_DOUBLE_EQ(ClampScale(tiny, 1), 8);
    EXPECT_DOUBLE_EQ(ClampScale(tiny, 40), 8);
}

TEST(ViewGeometry, ArrowKeysMoveTheMarkOneScreenPixelAndStayInsideThePhoto) {
    struct Case {
        ViewState view;
        ViewPoint mark;
        int dx, dy;
        ViewPoint expected;
    };
    const Case cases[] = {
        {Photo20Mp(8, {1000, 500}), {1000.1, 500.1}, 1, 0, {1000.2, 500.1}},
        {Photo20Mp(8, {1000, 500}), {1000.1, 500.1}, 0, -1, {1000.1, 500.0}},
        {Photo20Mp(1, {1000, 500}), {10.5, 20.5}, -1, 1, {9.5, 21.5}},
        {Photo20Mp(800.0 / 5472, {2736, 1824}), {100, 100}, 1, 0, {106.8, 100}},
        {Photo20Mp(1, {1000, 500}), {0.3, 3647.5}, -1, 1, {0, 3647.9}},
        {Photo20Mp(1, {1000, 500}), {5471.5, 0.5}, 1, -1, {5471.9, 0}},
    };
    for (const auto& c : cases) {
        const ViewPoint moved = Nudge(c.view, c.mark, c.dx, c.dy);
        EXPECT_NEAR(moved.x, c.expected.x, 1e-9);
        EXPECT_NEAR(moved.y, c.expected.y, 1e-9);
    }
}

TEST(ViewGeometry, OnlyThePartInViewIsDrawn) {
    const double fit = 800.0 / 5472;
    struct Case {
        ViewState view;
        PhotoPart expected;
    };
    const Case cases[] = {
        {Photo20Mp(fit, {2736, 1824}), {0, 0, 5472, 3648}},
        {Photo20Mp(1, {2736, 1824}), {2336, 1524, 800, 600}},
        // 800 % shows 100 x 75 photo pixels; 462.5 and 537.5 widen to whole pixels.
        {Photo20Mp(8, {1000, 500}), {950, 462, 100, 76}},
        // A view running past the photo's corner is cut at the photo.
        {Photo20Mp(1, {5400, 3600}), {5000, 3300, 472, 348}},
        {Photo20Mp(1, {-1000, 500}), {0, 0, 0, 0}},
    };
    for (const auto& c : cases) EXPECT_EQ(VisiblePart(c.view), c.expected);
}

}  // namespace
}  // namespace skyrell
