// Fitting a picture into a preview window: factor, scaled size, centring, and the margin of
// the picking window.
#include "layout/FitLayout.h"
#include "layout/MarginLayout.h"

#include <doctest/doctest.h>

using namespace Orvanel::Layout;

TEST_CASE("pictures are fitted whole, proportions kept, and centred") {
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
}

TEST_CASE("edges of the fitting arithmetic") {
    CHECK(CentredOffset(260, 259) == 0); // odd leftovers round down
    CHECK(CentredOffset(261, 258) == 1);
    CHECK(CentredOffset(100, 300) == 0);
    CHECK(FitRatio(400, 200, 0, 300) == 0.0f);
    CHECK(FitRatio(400, 200, 550, 0) == 0.0f);
    CHECK(ScaledSize(4000000000u, 1.0f) == 2147483647);
}

TEST_CASE("a picture inside a margin: area, offset, picked pixel and marker centre") {
    // 260 x 260 around a 254 x 254 picture, 500 x 200 around 291 x 194.
    CHECK((MarginArea(260, 6) == 254 && MarginArea(200, 6) == 194));
    CHECK((MarginOffset(260, 254, 254, 3) == 3 && MarginOffset(500, 494, 291, 3) == 104));
    CHECK(MarginOffset(200, 194, 194, 3) == 3);
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
