// The layout arithmetic: fitting a picture into a preview window and its picking margin, the
// print setup dialog's page miniature and the placement of the image on the printed page, with
// figures worked out by hand and the absurd inputs a user can type into a margin box.
#include "layout/FitLayout.h"
#include "layout/MarginLayout.h"
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

TEST_CASE("preview windows: pictures fitted whole and centred; margins, picked pixels, markers") {
    const struct {
        unsigned int w, h, windowWidth, windowHeight;
        float ratio;
        int width, height;
        unsigned int x, y;
    } cases[] = {
        {400, 200, 260, 260, 260.0f / 400.0f, 260, 130, 0, 65}, // wide picture, square window
        {100, 300, 30, 260, 30.0f / 100.0f, 30, 90, 0, 85},     // narrow window: width decides
        {50, 50, 50, 50, 1.0f, 50, 50, 0, 0},
        {20, 10, 200, 200, 200.0f / 20.0f, 200, 100, 0, 50},       // small pictures are enlarged
        {4000, 3000, 550, 300, 300.0f / 3000.0f, 400, 300, 75, 0}, // the preview of a photo
        {3000, 4, 550, 300, 550.0f / 3000.0f, 550, 1, 0, 149},     // a flat picture keeps one row
        {2, 5000, 550, 300, 300.0f / 5000.0f, 1, 300, 274, 0},     // a narrow one one column
        {400, 200, 0, 300, 0.0f, 1, 1, 0, 149},                    // no window: still a pixel
        {400, 200, 550, 0, 0.0f, 1, 1, 274, 0},
    };
    for (const auto& c : cases) {
        INFO(c.w << "x" << c.h << " in " << c.windowWidth << "x" << c.windowHeight);
        const float ratio = FitRatio(c.w, c.h, c.windowWidth, c.windowHeight);
        const int width = ScaledSize(c.w, ratio), height = ScaledSize(c.h, ratio);
        CHECK(ratio == c.ratio);
        CHECK((width == c.width && height == c.height));
        CHECK(CentredOffset(c.windowWidth, static_cast<unsigned int>(width)) == c.x);
        CHECK(CentredOffset(c.windowHeight, static_cast<unsigned int>(height)) == c.y);
    }
    // Above, odd leftovers round down (the flat and the narrow picture) and a picture larger
    // than its window starts at 0 (no window). Sizes saturate.
    CHECK(ScaledSize(4000000000u, 1.0f) == 2147483647);

    // 260 x 260 around a 254 x 254 picture, 500 x 200 around 291 x 194.
    CHECK((MarginArea(260, 6) == 254 && MarginArea(200, 6) == 194));
    CHECK((MarginOffset(260, 254, 254, 3) == 3 && MarginOffset(500, 494, 291, 3) == 104));
    // No room: an empty area, not a wrapped-around one.
    CHECK((MarginArea(6, 6) == 0 && MarginArea(5, 6) == 0 && MarginArea(0, 6) == 0));
    CHECK(MarginOffset(100, 300, 300, 3) == 0); // a picture as wide as the client starts at 0

    // Client coordinates to pixels of a 254-pixel picture at 3, clamped onto it.
    CHECK((PicturePixel(2, 3, 254) == 0 && PicturePixel(259, 3, 254) == 253));
    CHECK((PicturePixel(130, 3, 254) == 127 && PicturePixel(-32768, 3, 254) == 0));
    CHECK((PicturePixel(2147483647, 3, 254) == 253 && PicturePixel(5, 4000000000u, 254) == 0));
    // Pixels back to the marker's centre in client coordinates, kept on the picture.
    CHECK((MarkerCentre(0, 3, 254) == 3 && MarkerCentre(127, 3, 254) == 130));
    CHECK((MarkerCentre(-5, 104, 291) == 104 && MarkerCentre(400, 104, 291) == 394));
    CHECK(MarkerCentre(100, 104, 291) == 204);
}

TEST_CASE("the miniature: the sheet of paper, its margins, the free area and the image in it") {
    // A4 portrait in 256 x 256: 236 high, 236 / 297 x 210 = 166.86 wide, centred.
    CHECK(Same(PageRectangle(256, 256, 210, 297, 1), PixelRect{45, 10, 211, 246}));
    // Landscape lays the long side across: 236 / 297 x 210 = 166 high.
    CHECK(Same(PageRectangle(256, 256, 297, 210, 2), PixelRect{10, 45, 246, 211}));
    // Odd leftovers go to the right or bottom (signed division truncates).
    CHECK(Same(PageRectangle(255, 256, 210, 297, 1), PixelRect{44, 10, 210, 246}));
    // No paper size: nothing to draw rather than 0 / 0.
    CHECK(Same(PageRectangle(256, 256, 0, 297, 1), PixelRect{0, 0, 0, 0}));
    CHECK(Same(PageRectangle(256, 256, 210, 0, 2), PixelRect{0, 0, 0, 0}));

    // 0.4 cm across a 166-pixel-wide miniature of A4: 166 x 4 / 210 = 3.16.
    CHECK((MarginPixels(166, 0.4f, 210) == 3 && TypedMarginPixels(166, 0.4f, 210) == 3));
    CHECK(MarginPixels(166, 10.5f, 210) == 83);
    CHECK(MarginPixels(166, -2.0f, 210) == -15); // negative margins are kept, truncated to zero
    // Where the product is a whole number, the order of the single-precision products shows:
    // 100 x 2.1 x 10 / 210 and 105 x 13.86 x 10 / 297 are 10 and 49 exactly. 2.1 and 13.86 are
    // a hair below as floats; left to right the product stays below, while 1000 x 2.1 and
    // 1050 x 13.86 round up onto the whole number.
    CHECK((MarginPixels(100, 2.1f, 210) == 9 && TypedMarginPixels(100, 2.1f, 210) == 10));
    CHECK((MarginPixels(105, 13.86f, 297) == 48 && TypedMarginPixels(105, 13.86f, 297) == 49));
    // "1e39" is an infinite float: the pixels saturate instead of overflowing.
    CHECK(MarginPixels(166, INFINITY, 210) == INT_MAX);
    CHECK(TypedMarginPixels(166, -INFINITY, 210) == INT_MIN);
    CHECK((MarginPixels(166, NAN, 210) == 0 && MarginPixels(166, 0.4f, 0) == 0));

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
    CHECK(FitScale(300, 600, 160, 230, 1) == 230.0 / 600);
    CHECK(FitScale(600, 300, 160, 230, 1) == 160.0 / 600);
    CHECK(FitScale(300, 600, 400, 230, 0) == 230.0 / 600);
    CHECK(FitScale(0, 600, 400, 230, 0) == 0.0);
    // 230 / 300 x 300 rounds up past 230 in double; the width must still be checked then, or a
    // wide image keeps a scale almost three times too large. The same in single precision.
    static_assert(300 * (230.0 / 300) > 230.0 && 100 * (107.0f / 100) > 107.0f);
    CHECK(FitScale(600, 300, 160, 230, 0) == 160.0 / 600);
    CHECK(MiniatureRatio(100, 100, PixelRect{0, 0, 50, 107}) == 0.5f);

    // Placing that 600 x 300 image at scale 160 / 600 on the 236-pixel A4 page: it is
    // 80 x 297 / 236 = 100.678 mm high, so the middle leaves (297 - 100.678) / 2 mm above it,
    // and the end 297 - 4 - 100.678 mm above it with 0.4 cm below.
    const double scale = 160.0 / 600;
    CHECK(MiddleMargin(300, scale, 297, 236) == 9.81610203f);
    CHECK(EndMargin(300, scale, 297, 236, 0.4f) == 19.2322025f);
    CHECK(MiddleMargin(300, scale, 297, 0) == 14.85f); // no page: the paper's middle
    CHECK(std::isinf(EndMargin(300, scale, 297, 236, -INFINITY)));
}

TEST_CASE("the image on the printed page; nothing for margins that leave no sensible area") {
    const struct {
        float left, top, right, bottom;
        unsigned int width, height;
        PrintedPlacement placed; // drawable, left, top, free width and height, width, height
        int pixelsWide = 4960, pixelsHigh = 7016, mmWide = 210, mmHigh = 297; // A4
    } cases[] = {
        // 2 cm all round, a 3000 x 2000 image; 0.4 cm with a 2000 x 3000 one: the height decides.
        {2, 2, 2, 2, 3000, 2000, {true, 472, 472, 4015, 6071, 4015, 2676}},
        {.4f, .4f, .4f, .4f, 2000, 3000, {true, 94, 94, 4771, 6827, 4551, 6827}},
        // A very wide image on a narrow area: the width first, the height when it overflows.
        {0, 0, 0, 0, 400, 100, {true, 0, 0, 100, 50, 100, 25}, 100, 50, 100, 50},
        {0, 0, 0, 0, 400, 100, {true, 0, 0, 100, 20, 80, 20}, 100, 20, 100, 20},
        // 320 million pixels: printed, from a smaller copy.
        {0, 0, 0, 0, 500, 400, {true, 0, 0, 20000, 28000, 20000, 16000}, 20000, 28000, 200, 280},
        {15, 2, 15, 2, 300, 200, {}},       // wider than the paper
        {2, 20, 2, 20, 300, 200, {}},       // taller than the paper
        {INFINITY, 2, 2, 2, 300, 200, {}},  // "1e39" read into a float
        {2, 2, 2, -INFINITY, 300, 200, {}}, // infinitely large
        {NAN, 2, 2, 2, 300, 200, {}},
        {-1e5f, -1e5f, -1e5f, -1e5f, 300, 200, {}},      // a kilometre out
        {1e30f, 1e30f, 0, 0, 300, 200, {}},              // beyond int
        {2, 2, 2, 2, 300, 200, {}, 4960, 7016, 0},       // no paper size
        {2, 2, 2, 2, 0, 200, {}},                        // no image
        {0, 0, 0, 0, 100000, 1, {}, 100, 100, 100, 100}, // too flat to keep a row on the page
    };
    for (const auto& c : cases) {
        INFO(c.left << " " << c.top << " " << c.right << " " << c.bottom << " image " << c.width
                    << "x" << c.height);
        const PrintedPlacement p =
            PlaceImageOnPage(c.left, c.top, c.right, c.bottom, c.pixelsWide, c.pixelsHigh, c.mmWide,
                             c.mmHigh, c.width, c.height);
        const PrintedPlacement& e = c.placed;
        CHECK(p.drawable == e.drawable);
        if (e.drawable)
            CHECK((p.left == e.left && p.top == e.top && p.freeWidth == e.freeWidth &&
                   p.freeHeight == e.freeHeight && p.width == e.width && p.height == e.height));
    }
}

TEST_CASE("the printed copy: the printed size up to 2^26 pixels, beyond that the largest alike") {
    // Printed width and height, the copy's: a page-filling A4 at 600 dpi first.
    const int cases[][4] = {
        {4961, 7016, 4961, 7016},   {8192, 8192, 8192, 8192},   {8193, 8192, 8192, 8191},
        {16384, 16384, 8192, 8192}, {16384, 8192, 11585, 5792}, {8192, 16384, 5792, 11585},
        {20000, 16000, 9159, 7327}, {1 << 20, 64, 1 << 20, 64}, {1 << 20, 65, (1 << 20) - 1, 64}};
    for (const auto& c : cases) {
        const CopySize copy = BoundedCopySize(c[0], c[1]);
        CHECK_MESSAGE((copy.width == c[2] && copy.height == c[3]),
                      c[0] << "x" << c[1] << " copied " << copy.width << "x" << copy.height);
    }
}
