// Writes the seed corpus of the harnesses: one small file per case that the fast pass treats in
// its own way, encoded field by field as FuzzReader decodes it.
//   fuzz_make_seeds DIR   writes DIR/motion_blur_pass/* and DIR/motion_blur/*
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

// Appends fields in the order and width FuzzReader reads them.
class Seed {
public:
    Seed& Byte(int value) {
        bytes_.push_back(static_cast<std::uint8_t>(value));
        return *this;
    }
    Seed& Bits(std::uint32_t value, int count) {
        for (int i = 0; i < count; ++i)
            Byte(static_cast<int>(value >> (8 * i) & 0xFF));
        return *this;
    }
    Seed& Unit(double unit) { return Bits(static_cast<std::uint32_t>(unit * 4294967296.0), 4); }
    Seed& Raw(double value) {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        return Bits(static_cast<std::uint32_t>(bits), 4)
            .Bits(static_cast<std::uint32_t>(bits >> 32), 4);
    }
    Seed& Size(int value) { // small sizes take one byte, others three
        return value <= 40 ? Byte(value - 1) : Byte(224).Bits(value - 1, 2);
    }
    Seed& Nudge(int steps) { return Byte(steps + 8); }

    Seed& AngleDiagonal(int eighths) { return Byte(0).Byte(eighths); } // eighths x 45 degrees
    Seed& AngleUniform(double unit) { return Byte(1).Unit(unit); }
    Seed& AngleNearAxis(int quarters, int steps) { return Byte(2).Byte(quarters).Nudge(steps); }
    Seed& AngleRaw(double degrees) { return Byte(3).Raw(degrees); }
    Seed& AngleDegrees(int degrees) { return Byte(4).Bits(degrees + 720, 2); }

    Seed& TapUniform(double unit) { return Byte(0).Unit(unit); }
    Seed& TapRatio(int m, int b, int steps) { return Byte(1).Byte(b - 1).Bits(m, 2).Nudge(steps); }
    Seed& TapAround(int which, int steps) { return Byte(2).Byte(which).Nudge(steps); }
    Seed& TapDyadic(int numerator) { return Byte(3).Bits(numerator, 2); } // over 32768
    Seed& TapRaw(double value) { return Byte(4).Raw(value); }

    Seed& PixelsFromRest(const std::string& rest) {
        Byte(0);
        for (char c : rest)
            Byte(c);
        return *this;
    }
    Seed& PixelsNoise(std::uint32_t seed) { return Byte(1).Bits(seed, 4); }
    Seed& PixelsConstant(int value) { return Byte(2).Byte(value); }
    Seed& PixelsRamp(int step) { return Byte(3).Byte(step); }

    // The pass harness: segment count, segments, then width, height and stride padding.
    Seed& Segments(int count) { return Byte(count - 1); }
    Seed& Flat(int length) { return Byte(0).Size(length); } // a tap follows
    Seed& Each(int length) { return Byte(1).Size(length); } // `length` taps follow
    Seed& Gaussian(int length, double sigmaUnit) {          // sigma 0.05 + 40 x unit
        return Byte(2).Size(length).Unit(sigmaUnit).Byte(0);
    }
    Seed& Ramp(int length) { return Byte(3).Size(length); } // two taps follow
    Seed& Image(int width, int height, int padding) {
        return Size(width).Size(height).Byte(padding);
    }

    void Write(const std::filesystem::path& file) const {
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes_.data()),
                  static_cast<std::streamsize>(bytes_.size()));
    }

private:
    std::vector<std::uint8_t> bytes_;
};

void PassSeeds(const std::filesystem::path& dir) {
    auto write = [&](const char* name, const Seed& s) { s.Write(dir / name); };
    // A normalised Gaussian: summed pass, multipliers and tables; then enough work for threads.
    write("gaussian-39",
          Seed().Segments(1).Gaussian(39, 0.024).Image(40, 30, 0).AngleDegrees(30).PixelsNoise(7));
    write("gaussian-bands",
          Seed().Segments(1).Gaussian(21, 0.2).Image(150, 97, 3).AngleDegrees(117).PixelsNoise(11));
    // 1 x the second tap is just below 1: after acc = 1 the double sum rounds up to 2.
    write("exact-tap-rounds-up",
          Seed()
              .Segments(3)
              .Flat(1)
              .TapRatio(1, 2, 0)
              .Flat(1)
              .TapRatio(1, 1, -1)
              .Flat(1)
              .TapUniform(0.0)
              .Image(3, 1, 0)
              .AngleDiagonal(2)
              .PixelsFromRest(std::string("\2\2\2\x9\1\1\1\x9\xc8\3\0\x9", 12)));
    // 300 taps of 1: the sum can pass 16 bits, so taps run in order per pixel.
    write("ordered-by-bound", Seed()
                                  .Segments(1)
                                  .Flat(300)
                                  .TapRatio(1, 1, 0)
                                  .Image(320, 2, 1)
                                  .AngleDiagonal(2)
                                  .PixelsConstant(255));
    // 2100 taps near 2 in one row: the accumulator could pass 2^20, every tap as written.
    write("all-taps-exact", Seed()
                                .Segments(2)
                                .Flat(2099)
                                .TapRatio(2, 1, -1)
                                .Flat(1)
                                .TapRatio(2, 1, 0)
                                .Image(2100, 1, 0)
                                .AngleDiagonal(2)
                                .PixelsNoise(3));
    // Taps around 1/255, dropped below the edge and kept above it.
    Seed around = Seed().Segments(6).Flat(1).TapUniform(0.3);
    for (int steps : {-2, -1, 0, 1, 2})
        around.Flat(2).TapAround(0, steps);
    write("around-one-255th", around.Image(12, 9, 0).AngleDegrees(0).PixelsRamp(1));
    // m / b: for 256/255 the product of byte 255 reaches 256.
    write("near-integer-products", Seed()
                                       .Segments(4)
                                       .Flat(1)
                                       .TapRatio(256, 255, 0)
                                       .Flat(1)
                                       .TapRatio(3, 7, 1)
                                       .Flat(1)
                                       .TapRatio(100, 51, -1)
                                       .Flat(2)
                                       .TapRatio(1, 255, 0)
                                       .Image(9, 9, 0)
                                       .AngleDegrees(90)
                                       .PixelsRamp(1));
    write("multipliers-and-tables", Seed()
                                        .Segments(2)
                                        .Each(4)
                                        .TapRatio(1, 3, 0)
                                        .TapDyadic(4096)
                                        .TapRatio(2, 7, 0)
                                        .TapUniform(0.01)
                                        .Ramp(9)
                                        .TapUniform(0.05)
                                        .TapUniform(0.0)
                                        .Image(33, 17, 5)
                                        .AngleDegrees(-45)
                                        .PixelsNoise(5));
    Seed unnormalised = Seed().Segments(1).Each(7);
    for (double u : {0.9, 0.4, 0.7, 0.05, 0.6, 0.95, 0.2})
        unnormalised.TapUniform(u);
    write("unnormalised", unnormalised.Image(25, 20, 13).AngleDegrees(225).PixelsNoise(9));
    write("tiny-and-two", Seed()
                              .Segments(3)
                              .Flat(1)
                              .TapRaw(2.0)
                              .Flat(3)
                              .TapRaw(4.9e-324)
                              .Flat(2)
                              .TapRaw(1e-3)
                              .Image(16, 16, 0)
                              .AngleUniform(0.3)
                              .PixelsConstant(255));
    // Borders: one row, one column, blurring towards lower indices; an angle next to an axis.
    const Seed gaussian = Seed().Segments(1).Gaussian(15, 0.1);
    write("one-row", Seed(gaussian).Image(37, 1, 2).AngleDegrees(180).PixelsRamp(3));
    write("one-column", Seed(gaussian).Image(1, 37, 7).AngleDegrees(270).PixelsRamp(5));
    write("near-axis", Seed(gaussian).Image(20, 20, 0).AngleNearAxis(1, -3).PixelsNoise(1));
    // One tap has a direction only on the axes; angles infinite in radians or NaN are refused.
    const Seed one = Seed().Segments(1).Flat(1).TapRatio(1, 1, 0).Image(4, 4, 0);
    write("one-tap-axis", Seed(one).AngleDiagonal(0).PixelsNoise(2));
    write("one-tap-diagonal", Seed(one).AngleDiagonal(1).PixelsNoise(2));
    const Seed five = Seed().Segments(1).Gaussian(5, 0.05).Image(6, 6, 0);
    write("angle-overflows", Seed(five).AngleRaw(1e308).PixelsNoise(4));
    write("angle-nan", Seed(five).AngleRaw(std::nan("")).PixelsNoise(4));
    write("angle-huge-finite", Seed(five).AngleRaw(1e300).PixelsNoise(4));
}

// The filter harness: a case per row, each value written in the field kind that gives it.
struct BlurSeed {
    const char* name;
    int width, height; // 0: no pixels
    double radius, sigma, angle;
    int otherWidth;
};

const double kNaN = std::nan(""), kInf = INFINITY;
const BlurSeed kBlurSeeds[] = {
    {"adaptive-sigma-1", 40, 30, 0.0, 1.0, 0.0, 3},
    {"radius-3", 12, 12, 3.0, 1.5, 60.0, 0},
    {"radius-3.01", 12, 12, 3.01, 1.5, 60.0, -3},
    {"radius-0.4", 8, 5, 0.4, 1.0, 90.0, 8},
    {"negative-sigma", 9, 8, 3.0, -2.0, 20.0, 5},
    {"radius-nan", 7, 6, kNaN, 2.0, 135.0, 2},
    {"radius-minus-inf", 7, 6, -kInf, 0.5, -90.0, 1},
    {"adaptive-sigma-12", 8, 8, 0.0, 12.0, 300.0, 67},
    {"radius-200-sigma-100", 9, 13, 200.0, 100.0, 45.0, 60},
    {"bands", 150, 97, 20.0, 12.0, 117.0, 41}, // enough work for threads
    {"sigma-1e-155", 5, 4, 2.0, 1e-155, 0.0, 3},
    {"sigma-1e300-flat", 5, 4, 2.0, 1e300, 0.0, 3},
    // Refused, the bitmap untouched.
    {"sigma-zero", 5, 4, 2.0, 0.0, 30.0, 3},
    {"sigma-nan", 5, 4, 0.0, kNaN, 30.0, 3},
    {"sigma-inf", 5, 4, 2.0, kInf, 30.0, 3},
    {"sigma-1e-160", 5, 4, 2.0, 1e-160, 30.0, 3},
    {"radius-inf", 5, 4, kInf, 1.0, 30.0, 3},
    {"angle-overflows", 5, 4, 2.0, 1.0, 1e308, 3},
    // Without pixels: true, and no direction is needed, so even a NaN angle is fine.
    {"no-pixels", 0, 0, 2.0, 1.0, 10.0, 3},
    {"no-pixels-nan-angle", 0, 0, -kInf, 1.0, kNaN, 3},
};

void BlurSeeds(const std::filesystem::path& dir) {
    const double specialSigma[] = {0.0,  kNaN, kInf, -kInf, 1e-155, 1e-160, 1e-300, 5e-324,
                                   1e-3, 0.1,  1.0,  2.0,   -2.0,   100.0,  1e300,  -0.0};
    for (const BlurSeed& b : kBlurSeeds) {
        Seed s;
        s.Byte(b.width == 0 ? 0 : 1).Size(std::max(b.width, 1)).Size(std::max(b.height, 1));
        if (b.radius == 0.0)
            s.Byte(0);
        else if (std::isnan(b.radius))
            s.Byte(2);
        else if (b.radius == -kInf)
            s.Byte(3);
        else if (b.radius == std::floor(b.radius) && b.radius >= 1 && b.radius <= 200)
            s.Byte(5).Byte(static_cast<int>(b.radius) - 1);
        else
            s.Byte(6).Raw(b.radius);
        int special = 0;
        while (special < 16 && std::memcmp(&specialSigma[special], &b.sigma, sizeof(double)) != 0)
            ++special;
        if (special < 16)
            s.Byte(1).Byte(special);
        else
            s.Byte(3).Byte(static_cast<int>(b.sigma * 4) + 128); // quarters
        if (b.angle == std::floor(b.angle) && std::fabs(b.angle) <= 720)
            s.AngleDegrees(static_cast<int>(b.angle));
        else
            s.AngleRaw(b.angle);
        s.Byte(b.otherWidth + 4).PixelsNoise(static_cast<std::uint32_t>(b.otherWidth) + 17);
        s.Write(dir / b.name);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS_DIR\n", argv[0]);
        return 2;
    }
    const std::filesystem::path root = argv[1];
    for (const char* harness : {"motion_blur_pass", "motion_blur"})
        std::filesystem::create_directories(root / harness);
    PassSeeds(root / "motion_blur_pass");
    BlurSeeds(root / "motion_blur");
    return 0;
}
