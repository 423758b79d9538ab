// The print arithmetic: the page miniature of the setup dialog and the placement of the image
// on the printed page, with the figures worked out by hand and the absurd inputs a user can
// type into a margin box.
#include "layout/PrintPreviewLayout.h"
#include "layout/PrintedPageLayout.h"

#include <doctest/doctest.h>

#include <climits>
#include <cmath>

using namespace Orvanel::Layout;

namespace {
bool Same(const PixelRect& a, const PixelRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
} // namespace

TEST_CASE("the sheet of paper in the miniature") {
    // A4 portrait in 256 x 256: 236 high, 236 / 297 x 210 = 166.86 wide, centred.
    CHECK(Same(PageRectangle(256, 256, 210, 297, 1), PixelRect{45, 10, 211, 246}));
    // The dialog's window: 258 x 258 inside its border.
    CHECK(Same(PageRectangle(258, 258, 210, 297, 1), PixelRect{45, 10, 213, 248}));
    // Landscape lays the long side across: 236 / 297 x 210 = 166 high.
    CHECK(Same(PageRectangle(256, 256, 297, 210, 2), PixelRect{10, 45, 246, 211}));
    // Odd leftovers go to the right or bottom (signed division truncates).
    CHECK(Same(PageRectangle(255, 256, 210, 297, 1), PixelRect{44, 10, 210, 246}));
    // No paper size: nothing to draw rather than 0 / 0.
    CHECK(Same(PageRectangle(256, 256, 0, 297, 1), PixelRect{0, 0, 0, 0}));
    CHECK(Same(PageRectangle(256, 256, 210, 0, 2), PixelRect{0, 0, 0, 0}));
}

TEST_CASE("margins as miniature pixels") {
    // 0.4 cm on a 166 x 236 miniature of A4: 166 x 4 / 210 = 3.16, 236 x 4 / 297 = 3.18.
    CHECK(MarginPixels(166, 0.4f, 210) == 3);
    CHECK(MarginPixels(236, 0.4f, 297) == 3);
    CHECK(TypedMarginPixels(166, 0.4f, 210) == 3);
    CHECK(MarginPixels(166, 10.5f, 210) == 83);
    CHECK(MarginPixels(166, -2.0f, 210) == -15); // negative margins are kept, truncated to zero
    // The two orders of the product differ in single precision: 0.7 x 166 x 10 / 210 is
    // 5.5333 either way, but some values land on either side of an integer.
    int differing = 0;
    for (int hundredths = 0; hundredths <= 3000; ++hundredths) {
        const float cm = static_cast<float>(hundredths) / 100.0f;
        differing += MarginPixels(236, cm, 297) != TypedMarginPixels(236, cm, 297);
    }
    CHECK(differing < 20);
    // "1e39" is an infinite float: the pixels saturate instead of overflowing.
    CHECK(MarginPixels(166, INFINITY, 210) == INT_MAX);
    CHECK(TypedMarginPixels(166, -INFINITY, 210) == INT_MIN);
    CHECK(MarginPixels(166, NAN, 210) == 0);
    CHECK(MarginPixels(166, 0.4f, 0) == 0);
}

TEST_CASE("the free area and the image fitted into it") {
    const PixelRect page{45, 10, 211, 246};
    const PixelRect area = FreeArea(page, 3, 3, 3, 3);
    CHECK(Same(area, PixelRect{48, 13, 208, 243}));
    CHECK(MiniatureAreaUsable(area));
    // Margins past the paper turn the area inside out; infinite ones saturate, not wrap.
    CHECK_FALSE(MiniatureAreaUsable(FreeArea(page, 100, 3, 100, 3)));
    CHECK(Same(FreeArea(page, INT_MAX, INT_MAX, INT_MIN, INT_MIN),
               PixelRect{INT_MAX, INT_MAX, INT_MAX, INT_MAX}));
    CHECK_FALSE(MiniatureAreaUsable(FreeArea(page, INT_MIN, 0, INT_MIN, 0)));
    CHECK(MiniatureAreaUsable(FreeArea(page, -1000, 0, -1000, 0))); // large but sensible

    // The window's ratio: the longer side first, the other side when that overflows.
    CHECK(MiniatureRatio(400, 200, PixelRect{10, 50, 250, 200}) == 0.6f);
    CHECK(MiniatureRatio(200, 400, PixelRect{60, 20, 200, 240}) == 0.55f);
    CHECK(MiniatureRatio(400, 100, PixelRect{0, 0, 100, 10}) == 0.1f); // the height decides
    CHECK(MiniatureRatio(100, 400, PixelRect{0, 0, 10, 100}) == 0.1f); // the width decides
    CHECK(MiniatureRatio(0, 400, PixelRect{0, 0, 10, 100}) == 0.0f);

    // The dialog's scale starts from the placement axis.
    CHECK(FitScale(300, 600, 160, 230, 1) == doctest::Approx(230.0 / 600));
    CHECK(FitScale(600, 300, 160, 230, 1) == 160.0 / 600);
    CHECK(FitScale(300, 600, 400, 230, 0) == 230.0 / 600);
    CHECK(FitScale(0, 600, 400, 230, 0) == 0.0);
    // 230 / 300 x 300 rounds up past 230 in double; the width must still be checked then,
    // or a wide image keeps a scale almost three times too large.
    CHECK(300 * (230.0 / 300) > 230.0);
    CHECK(FitScale(600, 300, 160, 230, 0) == 160.0 / 600);
    CHECK(100 * (107.0f / 100) > 107.0f);
    CHECK(MiniatureRatio(100, 100, PixelRect{0, 0, 50, 107}) == 0.5f);
}

TEST_CASE("position margins place the image in the middle or at the end") {
    // A 600 x 300 image on the 166 x 236 miniature of A4 with 3-pixel margins: scale 160 / 600.
    const double scale = FitScale(600, 300, 160, 230, 0);
    const float middle = MiddleMargin(300, scale, 297, 236);
    const double imageMm = 300 * scale * 297 / 236;
    CHECK(middle == static_cast<float>((297 - imageMm) * 0.5) / 10);
    CHECK(middle * 10 * 2 + imageMm == doctest::Approx(297.0).epsilon(1e-5)); // centred
    const float end = EndMargin(300, scale, 297, 236, 0.4f);
    CHECK(end * 10 + imageMm + 4 == doctest::Approx(297.0).epsilon(1e-5)); // ends at the margin
    CHECK(MiddleMargin(300, scale, 297, 0) == 29.7f / 2); // no page: the paper's middle
    CHECK(std::isinf(EndMargin(300, scale, 297, 236, -INFINITY)));
}

TEST_CASE("the image on the printed page") {
    // 2 cm all round on 4960 x 7016 pixels of 210 x 297 mm, a 3000 x 2000 image.
    PrintedPlacement p = PlaceImageOnPage(2, 2, 2, 2, 4960, 7016, 210, 297, 3000, 2000);
    CHECK(p.drawable);
    CHECK(p.left == 472);
    CHECK(p.top == 472);
    CHECK(p.freeWidth == 4015);
    CHECK(p.freeHeight == 6071);
    CHECK(p.width == 4015);
    CHECK(p.height == 2676);
    // 0.4 cm with a 2000 x 3000 image: the height decides.
    p = PlaceImageOnPage(0.4f, 0.4f, 0.4f, 0.4f, 4960, 7016, 210, 297, 2000, 3000);
    CHECK((p.left == 94 && p.top == 94 && p.freeWidth == 4771 && p.freeHeight == 6827));
    CHECK((p.width == 4551 && p.height == 6827));
    // A very wide image on a narrow area: the width first, then the height when it overflows.
    p = PlaceImageOnPage(0, 0, 0, 0, 100, 50, 100, 50, 400, 100);
    CHECK((p.drawable && p.width == 100 && p.height == 25));
    p = PlaceImageOnPage(0, 0, 0, 0, 100, 20, 100, 20, 400, 100);
    CHECK((p.drawable && p.width == 80 && p.height == 20));
}

TEST_CASE("nothing is printed for margins that leave no sensible area") {
    const struct {
        float left, top, right, bottom;
    } cases[] = {
        {15, 2, 15, 2},               // wider than the paper
        {2, 20, 2, 20},               // taller than the paper
        {INFINITY, 2, 2, 2},          // "1e39" read into a float
        {2, 2, 2, -INFINITY},         // the free area infinitely large
        {NAN, 2, 2, 2},               //
        {-1e5f, -1e5f, -1e5f, -1e5f}, // a kilometre outside the page
        {1e30f, 1e30f, 0.0f, 0.0f},   // finite, beyond int
    };
    for (const auto& c : cases) {
        INFO(c.left << " " << c.top << " " << c.right << " " << c.bottom);
        CHECK_FALSE(
            PlaceImageOnPage(c.left, c.top, c.right, c.bottom, 4960, 7016, 210, 297, 300, 200)
                .drawable);
    }
    CHECK_FALSE(PlaceImageOnPage(2, 2, 2, 2, 4960, 7016, 0, 297, 300, 200).drawable);
    CHECK_FALSE(PlaceImageOnPage(2, 2, 2, 2, 4960, 7016, 210, 297, 0, 200).drawable);
    // An image too flat to keep a row on the page is not drawn either.
    CHECK_FALSE(PlaceImageOnPage(0, 0, 0, 0, 100, 100, 100, 100, 100000, 1).drawable);
}
