// The production lens flare against LensFlareOracle, byte for byte: whole flares over many
// parameter sets, and each primitive alone. The bitmaps start from random bytes, fourth byte
// included, so that a pixel written without the host's fourth byte of 0 shows too.
#include "filter/LensFlareFilter.h"
#include "filter/RuntimeRandom.h"
#include "host/OrvanelBitmap.h"
#include "native/LensFlareOracle.h"
#include "support/FlareDigests.h"

#include <doctest/doctest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <random>

using FlareDigests::Pixels;
using Orvanel::Filter::CLensFlareFilter;
using Orvanel::Filter::RuntimeRand;
using Orvanel::Filter::SeedRuntimeRand;
namespace Oracle = LensFlareOracle;
using Oracle::ColorValue;

namespace {

std::mt19937 rng;

int Between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
bool OneIn(int n) { return Between(1, n) == 1; }

COrvanelBitmap RandomBitmap(int width, int height) {
    COrvanelBitmap bitmap(width, height, 32);
    unsigned char* p = bitmap.GetPtBitmap();
    for (long i = 0; i < 4L * width * height; ++i)
        p[i] = static_cast<unsigned char>(rng());
    return bitmap;
}

struct Flare {
    int width, height, x, y, size, brightness, hue, intensity;
};

// Renders `f` with both on the same random picture. The generator carries on from case to case
// on both sides, so a render that draws more or fewer numbers than the oracle shows at once.
void CheckFlare(const Flare& f, Oracle::Generator& generator) {
    INFO(f.width << "x" << f.height << " source (" << f.x << ", " << f.y << ") size " << f.size
                 << " brightness " << f.brightness << " hue " << f.hue << " intensity "
                 << f.intensity);
    COrvanelBitmap fast = RandomBitmap(f.width, f.height), slow = fast;
    CLensFlareFilter filter;
    filter.LensFlare(&fast, f.x, f.y, f.size, f.brightness, f.hue, f.intensity);
    Oracle::Painter().LensFlare(&slow, f.x, f.y, f.size, f.brightness, f.hue, f.intensity,
                                generator);
    CHECK(Pixels(fast) == Pixels(slow));
    CHECK(RuntimeRand() == generator.Next());
    // The renderer keeps what it drew into and with.
    CHECK((filter.width == f.width && filter.height == f.height &&
           filter.intensity == f.intensity && filter.target == &fast));
}

// A flare with random parameters on a small picture: sources inside and outside, on the centre
// column, sizes from 0 to well beyond the picture, both ends of brightness and intensity, hues
// whose sums reach 360 exactly, and pictures narrower than 20 pixels or one row high.
Flare RandomFlare() {
    Flare f{};
    f.width = OneIn(5) ? Between(1, 19) : Between(20, 90);
    f.height = OneIn(6) ? Between(1, 2) : Between(3, 60);
    f.x = OneIn(5) ? f.width / 2 : Between(-f.width, 2 * f.width);
    f.y = Between(-f.height, 2 * f.height);
    f.size = OneIn(8) ? 0 : OneIn(4) ? Between(1, 8) : Between(9, 70);
    f.brightness = OneIn(4) ? 100 : OneIn(4) ? 0 : Between(1, 99);
    f.intensity = OneIn(4) ? 100 : OneIn(4) ? 0 : Between(1, 99);
    const int hues[] = {310, 260, 160, 0, 359};
    f.hue = OneIn(3) ? hues[Between(0, 4)] : Between(0, 359);
    return f;
}

// A filter and an oracle painter drawing into copies of one random picture, with the same
// fields; the picture may be larger than the width and height they draw in.
struct Pair {
    Pair(int bitmapWidth, int bitmapHeight, int width, int height)
        : fastBitmap(RandomBitmap(bitmapWidth, bitmapHeight)), slowBitmap(fastBitmap) {
        fast.target = &fastBitmap;
        slow.target = &slowBitmap;
        fast.width = slow.width = width;
        fast.height = slow.height = height;
        fast.directRead = slow.directRead = Between(0, 1);
        fast.intensity = slow.intensity = Between(0, 100);
    }
    Pair(int width, int height) : Pair(width, height, width, height) {}
    // Draws with both and compares; `draw` takes either painter.
    template <class Draw> void Check(const Draw& draw) {
        draw(fast);
        draw(slow);
        CHECK(Pixels(fastBitmap) == Pixels(slowBitmap));
    }

    COrvanelBitmap fastBitmap, slowBitmap;
    CLensFlareFilter fast;
    Oracle::Painter slow;
    const ColorValue color = rng() & 0xFFFFFF;
    // Keep factors at the ends and beyond 1 (the disc clamps them), and anywhere between.
    const float keep = OneIn(3) ? std::array{0.0f, 1.0f, 1.5f, 0.7f, 0.8f, 0.95f}[Between(0, 5)]
                                : static_cast<float>(Between(0, 1000)) / 1000.0f;
};

void CheckDisc(int width, int height, int cx, int cy, int radius, bool edge, bool fill) {
    Pair p(width, height);
    INFO("centre (" << cx << ", " << cy << ") radius " << radius << " edge " << edge << " fill "
                    << fill << " keep " << p.keep);
    p.Check([&](auto& painter) { painter.DrawDisc(cx, cy, radius, p.color, p.keep, edge, fill); });
}

} // namespace

TEST_CASE("LensFlare equals the oracle on random parameter sets") {
    rng.seed(10);
    SeedRuntimeRand(77);
    Oracle::Generator generator(77);
    for (int i = 0; i < 300; ++i)
        CheckFlare(RandomFlare(), generator);

    // Large flares (outlines by the thousand, discs far beyond the picture), kept to sizes the
    // oracle draws in reasonable time.
    for (int i = 0; i < 12; ++i) {
        Flare f = RandomFlare();
        f.size = Between(150, 400);
        f.brightness = Between(0, 25);
        CheckFlare(f, generator);
    }
}

// The digests and ring factors the Windows build checks its runtime against, here from both the
// renderer and the oracle (these renders are larger than the random ones).
TEST_CASE("renderer and oracle come to the digests and ring factors the Windows build checks") {
    SeedRuntimeRand(1); // a new thread's first state
    Oracle::Generator generator(1);
    for (const FlareDigests::Case& c : FlareDigests::kCases) {
        COrvanelBitmap fast = FlareDigests::Pattern(c.width, c.height), slow = fast;
        CLensFlareFilter().LensFlare(&fast, c.x, c.y, c.size, c.brightness, c.hue, c.intensity);
        Oracle::Painter().LensFlare(&slow, c.x, c.y, c.size, c.brightness, c.hue, c.intensity,
                                    generator);
        CHECK_MESSAGE(FlareDigests::Digest(fast) == c.digest, c.name);
        CHECK_MESSAGE(FlareDigests::Digest(slow) == c.digest, c.name);
    }
    for (int k = 0; k <= 100; ++k) {
        const float a = Oracle::RingSaturation(k);
        std::uint32_t bits;
        std::memcpy(&bits, &a, sizeof bits);
        CHECK_MESSAGE(bits == FlareDigests::kRingSaturationBits[k], k);
    }
}

TEST_CASE("LensFlare leaves a bitmap without pixels alone and draws no numbers") {
    SeedRuntimeRand(3);
    COrvanelBitmap empty;
    CLensFlareFilter().LensFlare(&empty, 0, 0, 100, 100, 0, 100);
    CLensFlareFilter().LensFlare(nullptr, 0, 0, 100, 100, 0, 100);
    CHECK(empty.GetPtBitmap() == nullptr);
    CHECK(RuntimeRand() == Oracle::Generator(3).Next());
}

TEST_CASE("DrawDisc equals the oracle for every radius to 40, each edge and fill") {
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
}

TEST_CASE("DrawDisc equals the oracle for radii in the thousands") {
    rng.seed(13);
    const int width = 40, height = 30;
    for (int radius : {1000, 2501}) {
        const int near = radius - 5, diagonal = radius * 7 / 10;
        const int centres[][2] = {
            {-near, 12}, {20, height + near}, {width + diagonal, -diagonal}, {-radius, -1}};
        for (const auto& c : centres)
            for (int flags = 0; flags < 4; ++flags)
                CheckDisc(width, height, c[0], c[1], radius, flags & 1, flags & 2);
    }
    // A filled disc covering the whole picture.
    CheckDisc(width, height, 20, 15, 700, true, true);
    // From radius 4096 on, distances just below R round up to R in single precision. Offset
    // (4232, 92) of radius 4233 lies sqrt(R^2 - 1) away, a distance of 4233 exactly: outside
    // the disc, so pixel (20, 15) is left alone without an edge.
    for (int edge = 0; edge <= 1; ++edge)
        CheckDisc(width, height, 20 - 4232, 15 - 92, 4233, edge, false);
}

TEST_CASE("lines, glows, rings and single pixels equal the oracle") {
    rng.seed(14);
    for (int i = 0; i < 5000; ++i) {
        if (i % 2 == 0) { // every direction, steep lines, ends outside
            Pair p(Between(1, 40), Between(1, 40));
            const int reach = OneIn(3) ? 300 : 20;
            const int x0 = Between(-reach, 40 + reach), y0 = Between(-reach, 40 + reach);
            const int x1 = OneIn(6) ? x0 : Between(-reach, 40 + reach);
            const int y1 = Between(-reach, 40 + reach);
            INFO("line from (" << x0 << ", " << y0 << ") to (" << x1 << ", " << y1 << ")");
            p.Check([&](auto& painter) { painter.DrawLine(x0, y0, x1, y1, p.color, p.keep); });
        } else if (i % 16 == 1) { // inner part on and off, width beyond radius
            Pair p(Between(1, 50), Between(1, 50));
            const int cx = Between(-40, 90), cy = Between(-40, 90), hue = Between(0, 359);
            const int radius = OneIn(4) ? Between(95, 140) : Between(-2, 60);
            const int scale = Between(0, 100), inner = Between(0, 2);
            const int ringWidth = OneIn(4) ? radius + Between(1, 10) : Between(0, 10);
            INFO("centre (" << cx << ", " << cy << ") radius " << radius << " scale " << scale
                            << " ring width " << ringWidth << " inner " << inner);
            p.Check([&](auto& painter) {
                if (i % 32 == 1)
                    painter.DrawGlow(cx, cy, radius, hue, scale);
                else
                    painter.DrawRing(cx, cy, hue, radius, ringWidth, p.keep, inner);
            });
            CHECK(p.fast.directRead == 0);
        } else {
            // The renderer's width and height may be less than the bitmap's: pixels beyond
            // them must stay as they are.
            const int bitmapWidth = Between(1, 12), bitmapHeight = Between(1, 12);
            Pair p(bitmapWidth, bitmapHeight, Between(0, bitmapWidth), Between(0, bitmapHeight));
            const int x = Between(-3, 14), y = Between(-3, 14);
            const int dx = Between(-4, 4), dy = Between(-4, 4);
            p.Check([&](auto& painter) {
                if (i % 4 == 1)
                    painter.BlendPixel(x, y, p.color, p.keep);
                else
                    painter.PlotMirrored(x, y, dx, dy, p.color, p.keep);
            });
        }
    }
}
