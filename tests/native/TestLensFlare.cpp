// The lens flare. Its literal oracle is checked against the renderer's worked examples: where
// each element lands, what the primitives touch, and which elements are left out at the limits.
// The production renderer is then checked against the oracle byte for byte: whole flares over
// many parameter sets and discs of every kind (TestEffects checks the recorded digests). Its
// bitmaps start from random bytes, fourth byte included, so that a pixel written without the
// host's fourth byte of 0 shows too.
#include "filter/LensFlareFilter.h"
#include "filter/RuntimeRandom.h"
#include "host/OrvanelBitmap.h"
#include "native/LensFlareOracle.h"
#include "support/FlareDigests.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

using namespace LensFlareOracle;
using FlareDigests::Pixels;
using FlareDigests::RandomBitmap;
using Orvanel::Filter::CLensFlareFilter;
using Orvanel::Filter::RuntimeRand;
using Orvanel::Filter::SeedRuntimeRand;

namespace {

std::mt19937 rng;

ColorValue Rgb(unsigned r, unsigned g, unsigned b) { return r | g << 8 | b << 16; }

COrvanelBitmap Filled(int width, int height, ColorValue color) {
    COrvanelBitmap bitmap(width, height, 32);
    bitmap.SetBackgroundColor(color, 0);
    return bitmap;
}

// The pixels that differ from `color`, as offsets from (cx, cy), sorted.
std::vector<std::pair<int, int>> Touched(const COrvanelBitmap& bitmap, int cx, int cy,
                                         ColorValue color) {
    std::vector<std::pair<int, int>> touched;
    for (int y = 0; y < static_cast<int>(bitmap.GetBitmapHeight()); ++y)
        for (int x = 0; x < static_cast<int>(bitmap.GetBitmapWidth()); ++x)
            if (bitmap.GetColorValue(x, y) != color)
                touched.emplace_back(x - cx, y - cy);
    std::sort(touched.begin(), touched.end());
    return touched;
}

// What the oracle's painter and the renderer each make of a copy of `bitmap`, given its first
// width x height pixels (all of them by default) to draw in: the worked examples hold for both.
template <class Draw>
std::array<COrvanelBitmap, 2> Drawn(const COrvanelBitmap& bitmap, Draw draw, int directRead = 0,
                                    int width = 0, int height = 0) {
    std::array<COrvanelBitmap, 2> drawn{bitmap, bitmap};
    Painter oracle;
    CLensFlareFilter renderer;
    oracle.target = &drawn[0];
    renderer.target = &drawn[1];
    oracle.width = renderer.width = width ? width : static_cast<int>(bitmap.GetBitmapWidth());
    oracle.height = renderer.height = height ? height : static_cast<int>(bitmap.GetBitmapHeight());
    oracle.directRead = renderer.directRead = directRead;
    draw(oracle);
    draw(renderer);
    return drawn;
}

std::string Text(const ElementTrace& e) {
    return "step " + std::to_string(e.step) + " at (" + std::to_string(e.x) + ", " +
           std::to_string(e.y) + ") radii " + std::to_string(e.radius) + ".." +
           std::to_string(e.lastRadius) + " hue " + std::to_string(e.hue);
}

std::vector<ElementTrace> Trace(int width, int height, int x, int y, int size, int brightness,
                                int hue, int intensity, Generator& generator) {
    COrvanelBitmap bitmap = Filled(width, height, Rgb(40, 80, 120));
    std::vector<ElementTrace> trace;
    Painter().LensFlare(&bitmap, x, y, size, brightness, hue, intensity, generator, &trace);
    return trace;
}

std::vector<int> Steps(const std::vector<ElementTrace>& trace) {
    std::vector<int> steps;
    for (const ElementTrace& e : trace)
        steps.push_back(e.step);
    return steps;
}

int Between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
bool OneIn(int n) { return Between(1, n) == 1; }

struct Flare {
    int width, height, x, y, size, brightness, hue, intensity;
};

// Renders `f` with both on the same random picture. The generator carries on from case to case
// on both sides, so a render that draws more or fewer numbers than the oracle shows at once.
void CheckFlare(const Flare& f, Generator& generator) {
    INFO(f.width << "x" << f.height << " source (" << f.x << ", " << f.y << ") size " << f.size
                 << " brightness " << f.brightness << " hue " << f.hue << " intensity "
                 << f.intensity);
    COrvanelBitmap fast = RandomBitmap(f.width, f.height, rng), slow = fast;
    CLensFlareFilter filter;
    filter.LensFlare(&fast, f.x, f.y, f.size, f.brightness, f.hue, f.intensity);
    Painter().LensFlare(&slow, f.x, f.y, f.size, f.brightness, f.hue, f.intensity, generator);
    CHECK(Pixels(fast) == Pixels(slow));
    CHECK(RuntimeRand() == generator.Next());
    // The renderer keeps what it drew into and with.
    CHECK((filter.width == f.width && filter.height == f.height &&
           filter.intensity == f.intensity && filter.target == &fast));
}

// A flare with random parameters on a small picture: sources inside and outside, on the centre
// column, sizes from 0 to well beyond the picture, both ends of brightness and intensity, hues
// whose sums reach 360 exactly, hues past 359 and below 0 as quillet-fx passes them on, and
// pictures narrower than 20 pixels or one row high.
Flare RandomFlare() {
    Flare f{};
    f.width = OneIn(5) ? Between(1, 19) : Between(20, 90);
    f.height = OneIn(6) ? Between(1, 2) : Between(3, 60);
    f.x = OneIn(5) ? f.width / 2 : Between(-f.width, 2 * f.width);
    f.y = Between(-f.height, 2 * f.height);
    f.size = OneIn(8) ? 0 : OneIn(4) ? Between(1, 8) : Between(9, 70);
    f.brightness = OneIn(4) ? 100 : OneIn(4) ? 0 : Between(1, 99);
    f.intensity = OneIn(4) ? 100 : OneIn(4) ? 0 : Between(1, 99);
    const int hues[] = {310, 260, 160, 0, 359, 1000, -30};
    f.hue = OneIn(3) ? hues[Between(0, 6)] : Between(0, 359);
    return f;
}

// A disc drawn by both into copies of one random picture, which may reach a little beyond the
// width and height they are given: pixels there must stay as they are.
void CheckDisc(int width, int height, int cx, int cy, int radius, bool edge, bool fill) {
    const COrvanelBitmap bitmap = RandomBitmap(width + Between(0, 2), height + Between(0, 2), rng);
    const int directRead = Between(0, 1);
    const ColorValue color = rng() & 0xFFFFFF;
    // Keep factors at the ends and beyond 1 (the disc clamps them), and anywhere between.
    const float keep = OneIn(3) ? std::array{0.0f, 1.0f, 1.5f, 0.7f, 0.8f, 0.95f}[Between(0, 5)]
                                : static_cast<float>(Between(0, 1000)) / 1000.0f;
    INFO("centre (" << cx << ", " << cy << ") radius " << radius << " edge " << edge << " fill "
                    << fill << " keep " << keep);
    const auto drawn = Drawn(
        bitmap, [&](auto& painter) { painter.DrawDisc(cx, cy, radius, color, keep, edge, fill); },
        directRead, width, height);
    CHECK(Pixels(drawn[0]) == Pixels(drawn[1]));
}

} // namespace

TEST_CASE("flare elements: where each lands, its radii and hue; which are left out at the limits") {
    // step, centre, first and last radius, hue.
    const ElementTrace first[] = {
        {1, 362, 187, 75, 75, 50},   {2, 62, 87, 37, 37, 100},    {3, 250, 150, 9, 9, 0},
        {4, 287, 162, 0, 6, 100},    {5, 325, 175, 0, 8, 200},    {6, 400, 200, 275, 299, 350},
        {7, 324, 174, 55, 55, 50},   {8, 324, 174, 36, 36, 50},   {9, 332, 177, 17, 17, 50},
        {10, 211, 137, 17, 17, 50},  {11, 160, 120, 55, 55, 200}, {12, 175, 125, 29, 29, 200},
        {13, 145, 115, 14, 14, 200}, {14, 325, 175, 14, 14, 100}, {15, 100, 100, 0, 249, 0},
        {16, 100, 100, 125, 125, 0}, {17, 100, 100, 112, 112, 0}, {18, 100, 100, 125, 125, -1},
        {19, 25, 75, 299, 299, 50},
    };
    Generator generator(1);
    const auto trace = Trace(500, 300, 100, 100, 100, 25, 0, 30, generator);
    REQUIRE(trace.size() == 19);
    for (int i = 0; i < 19; ++i)
        CHECK(Text(trace[i]) == Text(first[i]));

    // The source to the right of and above the centre: sigma is -1, R0 45, G 150.
    const ElementTrace second[] = {
        {1, 137, 75, 45, 45, 350},   {2, 437, 275, 22, 22, 40},     {5, 175, 100, 0, 4, 140},
        {6, 100, 50, 155, 179, 350}, {7, 190, 109, 32, 32, 350},    {15, 400, 250, 0, 149, 300},
        {16, 400, 250, 75, 75, 300}, {19, 445, 280, 179, 179, 350},
    };
    const auto traced = Trace(500, 300, 400, 250, 60, 25, 300, 30, generator);
    REQUIRE(traced.size() == 19);
    for (const ElementTrace& want : second)
        CHECK(Text(traced[want.step - 1]) == Text(want));

    // Hue 310: 310 + 50 is 360 exactly and stays so; the sums above 360 come down by 360.
    const auto wrapped = Trace(500, 300, 100, 100, 100, 25, 310, 30, generator);
    CHECK((wrapped[0].hue == 360 && wrapped[1].hue == 50 && wrapped[4].hue == 150));

    // Without pixels, nothing is drawn and no number either, by the renderer too.
    generator.state = 7;
    COrvanelBitmap empty;
    std::vector<ElementTrace> elements;
    Painter().LensFlare(&empty, 0, 0, 100, 100, 0, 100, generator, &elements);
    CHECK(elements.empty());
    SeedRuntimeRand(3);
    CLensFlareFilter().LensFlare(&empty, 0, 0, 100, 100, 0, 100);
    CLensFlareFilter().LensFlare(nullptr, 0, 0, 100, 100, 0, 100);
    CHECK(RuntimeRand() == Generator(3).Next());

    // Size 0: every radius is 0 or below and there are no rays: not a pixel changes.
    COrvanelBitmap bitmap = Filled(64, 48, Rgb(40, 80, 120));
    Painter().LensFlare(&bitmap, 20, 20, 0, 100, 0, 100, generator, &elements);
    CHECK(Touched(bitmap, 0, 0, Rgb(40, 80, 120)).empty());
    CHECK(generator.state == 7);

    // 19 pixels wide: no halo.
    CHECK(Steps(Trace(19, 40, 3, 3, 20, 100, 0, 100, generator)) ==
          std::vector<int>{1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19});
    CHECK(Steps(Trace(20, 40, 3, 3, 20, 100, 0, 100, generator))[5] == 6);

    // G = 1 (brightness 10, size 1): no rays and no number drawn; G = 2 draws all 722.
    const std::uint32_t before = generator.state;
    CHECK(Steps(Trace(40, 40, 3, 3, 1, 10, 0, 100, generator)) ==
          std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 19});
    CHECK(generator.state == before);
    CHECK(Steps(Trace(40, 40, 3, 3, 2, 10, 0, 100, generator))[17] == 18);
    Generator counted(before);
    for (int i = 0; i < 722; ++i)
        counted.Next();
    CHECK(generator.state == counted.state);

    // On the centre column the axis line has no slope: the discs placed on it are left out,
    // the others fall on the centre column.
    const auto column = Trace(41, 30, 20, 5, 40, 50, 0, 100, generator);
    CHECK(Steps(column) == std::vector<int>{1, 2, 3, 4, 5, 6, 11, 14, 15, 16, 17, 18});
    for (const ElementTrace& e : column)
        CHECK_MESSAGE(e.x == 20, Text(e));
}

TEST_CASE("BlendPixel, PlotMirrored, DrawLine: keep factors, direct read, clipping, direction") {
    const struct {
        ColorValue before, color;
        float keep;
        ColorValue after;
    } cases[] = {
        {Rgb(100, 100, 100), 0xFFFFFF, 0.9f, Rgb(115, 115, 115)},
        {Rgb(1, 2, 3), Rgb(200, 100, 50), 1.0f, Rgb(1, 2, 3)},
        {Rgb(1, 2, 3), Rgb(200, 100, 50), 0.0f, Rgb(200, 100, 50)},
        {Rgb(255, 0, 10), Rgb(0, 255, 20), 0.5f, Rgb(127, 127, 15)},
    };
    for (const auto& c : cases)
        for (int directRead = 0; directRead <= 1; ++directRead)
            for (const COrvanelBitmap& bitmap : Drawn(
                     Filled(3, 2, c.before),
                     [&](auto& painter) {
                         painter.BlendPixel(2, 1, c.color, c.keep);
                         for (const auto& xy : {std::pair{-1, 0}, {3, 0}, {0, 2}, {0, -1}, {3, 2}})
                             painter.BlendPixel(xy.first, xy.second, 0xFFFFFF, 0.0f); // left out
                     },
                     directRead)) {
                CHECK(bitmap.GetColorValue(2, 1) == c.after);
                CHECK(bitmap.GetPtBitmap()[(1 * 3 + 2) * 4 + 3] == 0);
                CHECK(Touched(bitmap, 2, 1, c.before).size() <= 1);
            }
    // Mirrored plotting takes a keep factor above 1 as 1.
    for (const COrvanelBitmap& bitmap : Drawn(Filled(3, 2, Rgb(9, 9, 9)), [](auto& painter) {
             painter.PlotMirrored(1, 1, 1, 0, 0xFFFFFF, 2.0f);
         }))
        CHECK(Touched(bitmap, 0, 0, Rgb(9, 9, 9)).empty());

    // Lines go left to right only, one pixel per column.
    const struct {
        int x0, y0, x1, y1;
        std::vector<std::pair<int, int>> pixels;
    } lines[] = {
        {10, 10, 5, 20, {{10, 10}}},
        {3, 3, 3, 9, {{3, 3}}},
        {0, 0, 4, 8, {{0, 0}, {1, 2}, {2, 4}, {3, 6}, {4, 8}}},
        {2, 10, 8, 7, {{2, 10}, {3, 9}, {4, 9}, {5, 8}, {6, 8}, {7, 7}, {8, 7}}},
        {22, 1, 30, 1, {{22, 1}, {23, 1}}}, // clipped at the right edge
    };
    for (const auto& c : lines)
        for (const COrvanelBitmap& bitmap : Drawn(Filled(24, 24, 0), [&](auto& painter) {
                 painter.DrawLine(c.x0, c.y0, c.x1, c.y1, 0xFFFFFF, 0.0f);
             }))
            CHECK(Touched(bitmap, 0, 0, 0) == c.pixels);
}

TEST_CASE("DrawDisc, DrawRing: radius-1 multiplicities, the outline band, the saturation profile") {
    // Radius 1 with its rim: the centre eight times, each neighbour twice (rim at e = 0). Each
    // blend in black with keep 0.99 truncates 0.99 x the value: 255, 252, 249, 246, 243, 240,
    // 237, 234, 231.
    for (const COrvanelBitmap& bitmap : Drawn(Filled(21, 21, 0xFFFFFF), [](auto& painter) {
             painter.DrawDisc(10, 10, 1, 0, 0.99f, true, false);
         })) {
        CHECK(Touched(bitmap, 10, 10, 0xFFFFFF).size() == 5);
        CHECK(bitmap.GetColorValue(10, 10) == 0x010101u * 231);
        for (const auto& d : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
            CHECK(bitmap.GetColorValue(10 + d.first, 10 + d.second) == 0x010101u * 249);
    }

    // Radius 5 with its rim, no fill: exactly the pixels at distance 4 up to below 6. Radii 0 and
    // below draw nothing, whatever the flags (as radius 1 or 50 they would show).
    std::vector<std::pair<int, int>> band;
    for (int dx = -10; dx <= 10; ++dx)
        for (int dy = -10; dy <= 10; ++dy)
            if (dx * dx + dy * dy >= 16 && dx * dx + dy * dy < 36)
                band.emplace_back(dx, dy);
    for (const COrvanelBitmap& bitmap : Drawn(Filled(21, 21, 0xFFFFFF), [](auto& painter) {
             painter.DrawDisc(10, 10, 5, 0, 0.0f, true, false);
             for (int radius : {0, -1, -50})
                 for (int flags = 0; flags < 4; ++flags)
                     painter.DrawDisc(10, 10, radius, 0, 0.0f, flags & 1, flags & 2);
         }))
        CHECK(Touched(bitmap, 10, 10, 0xFFFFFF) == band);

    // 0 at the centre, about 0.55 at 50, 0.87 at 100, 1 beyond.
    CHECK(RingSaturation(0) == 0.0f);
    CHECK(RingSaturation(50) == doctest::Approx(0.55).epsilon(0.02));
    CHECK(RingSaturation(100) == doctest::Approx(0.87).epsilon(0.01));
    CHECK(RingSaturation(101) == 1.0f);

    // R = 3, W = 5: radii -2 to 0 draw nothing and there is no inner part, only the outline of
    // radius 1, then the one of radius 2 with its rim, in the colours of their saturation.
    const auto colour = [](int k) {
        Orvanel::Color::HSBColor hsb{0, static_cast<int>(100.0f * RingSaturation(k)), 100};
        ColorValue c = 0;
        Orvanel::Color::ConvertHSBToRGB(hsb, c);
        return c;
    };
    const COrvanelBitmap outlines = Drawn(Filled(11, 11, 0), [&](auto& painter) {
        painter.DrawDisc(5, 5, 1, colour(1), 0.7f, false, false);
        painter.DrawDisc(5, 5, 2, colour(2), 0.7f, true, false);
    })[0];
    for (const COrvanelBitmap& ring :
         Drawn(Filled(11, 11, 0), [](auto& painter) { painter.DrawRing(5, 5, 0, 3, 5, 0.7f, 1); }))
        CHECK(Pixels(ring) == Pixels(outlines));
}

TEST_CASE("LensFlare equals the oracle on random parameter sets") {
    rng.seed(10);
    SeedRuntimeRand(77);
    Generator generator(77);
    for (int i = 0; i < 300; ++i)
        CheckFlare(RandomFlare(), generator);
    // A large flare (outlines by the thousand, discs far beyond the picture) whose source lies
    // thousands of pixels off the picture, as quillet-fx passes it on.
    CheckFlare({64, 64, -9000, 9000, 300, 10, 200, 100}, generator);
}

// From radius 4096 on, distances just below R round up to R in single precision. Offset
// (4232, 92) of radius 4233 lies sqrt(R^2 - 1) away, a distance of 4233 exactly: outside the
// disc, so pixel (20, 15) is left alone without an edge.
TEST_CASE("DrawDisc equals the oracle at every radius to 40 and where a distance rounds up to R") {
    rng.seed(12);
    const int width = 23, height = 17;
    for (int radius = -1; radius <= 40; ++radius)
        for (int flags = 0; flags < 4; ++flags) {
            // Inside, on each border, and outside at distances around the radius.
            const int reach = radius + 2;
            const int centres[][2] = {{11, 8},
                                      {0, Between(0, height - 1)},
                                      {width - 1, height - 1},
                                      {Between(-reach, -1), Between(-reach, height + reach)},
                                      {Between(width, width + reach), Between(0, height - 1)},
                                      {Between(0, width - 1), Between(height, height + reach)},
                                      {-radius, -radius}};
            for (const auto& c : centres)
                CheckDisc(width, height, c[0], c[1], radius, flags & 1, flags & 2);
        }
    for (int edge = 0; edge <= 1; ++edge)
        CheckDisc(40, 30, 20 - 4232, 15 - 92, 4233, edge, false);
}
