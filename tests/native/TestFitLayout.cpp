// Fitting a picture into a preview window: factor, scaled size and centring.
#include "layout/FitLayout.h"

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
