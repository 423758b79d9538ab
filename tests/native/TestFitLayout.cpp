// Fitting a picture into a preview window: factor, scaled size and centring.
#include "window/FitLayout.h"

#include <doctest/doctest.h>

using namespace Orvanel::Window;

namespace {

struct Fitted {
    float ratio;
    int width;
    int height;
    unsigned int x;
    unsigned int y;
};

Fitted Fit(unsigned int w, unsigned int h, unsigned int windowWidth, unsigned int windowHeight) {
    const float ratio = FitRatio(w, h, windowWidth, windowHeight);
    const int width = ScaledSize(w, ratio);
    const int height = ScaledSize(h, ratio);
    return {ratio, width, height, CentredOffset(windowWidth, static_cast<unsigned int>(width)),
            CentredOffset(windowHeight, static_cast<unsigned int>(height))};
}

} // namespace

TEST_CASE("pictures are fitted whole, proportions kept, and centred") {
    SUBCASE("wide picture in a square window") {
        const Fitted f = Fit(400, 200, 260, 260);
        CHECK(f.ratio == 260.0f / 400.0f);
        CHECK((f.width == 260 && f.height == 130 && f.x == 0 && f.y == 65));
    }
    SUBCASE("tall picture in a narrow window: the width decides") {
        const Fitted f = Fit(100, 300, 30, 260);
        CHECK(f.ratio == 30.0f / 100.0f);
        CHECK((f.width == 30 && f.height == 90 && f.x == 0 && f.y == 85));
    }
    SUBCASE("same size: factor exactly 1") {
        const Fitted f = Fit(50, 50, 50, 50);
        CHECK(f.ratio == 1.0f);
        CHECK((f.width == 50 && f.height == 50 && f.x == 0 && f.y == 0));
    }
    SUBCASE("small pictures are enlarged") {
        const Fitted f = Fit(20, 10, 200, 200);
        CHECK((f.width == 200 && f.height == 100 && f.x == 0 && f.y == 50));
    }
    SUBCASE("the preview of a 4000 x 3000 photo") {
        const Fitted f = Fit(4000, 3000, 550, 300);
        CHECK((f.width == 400 && f.height == 300 && f.x == 75 && f.y == 0));
    }
}

TEST_CASE("edges of the fitting arithmetic") {
    CHECK(CentredOffset(260, 259) == 0); // odd leftovers round down
    CHECK(CentredOffset(261, 258) == 1);
    CHECK(CentredOffset(100, 300) == 0);
    CHECK(FitRatio(400, 200, 0, 300) == 0.0f);
    CHECK(FitRatio(400, 200, 550, 0) == 0.0f);

    // A very flat picture keeps at least one row (and a very narrow one one column).
    const Fitted flat = Fit(3000, 4, 550, 300);
    CHECK(flat.width == 550);
    CHECK(flat.height == 1);
    CHECK(flat.y == 149);
    const Fitted narrow = Fit(2, 5000, 550, 300);
    CHECK(narrow.width == 1);
    CHECK(narrow.height == 300);
    CHECK(ScaledSize(4000000000u, 1.0f) == 2147483647);
}
