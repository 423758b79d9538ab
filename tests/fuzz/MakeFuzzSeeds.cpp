// Writes the seed corpus of the harnesses: one small file per case that the fast pass treats in
// its own way, encoded field by field as FuzzReader decodes it.
//   fuzz_make_seeds DIR   writes DIR/motion_blur_pass/* and DIR/motion_blur/*
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

    void Write(const std::filesystem::path& file) const {
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes_.data()),
                  static_cast<std::streamsize>(bytes_.size()));
    }

private:
    std::vector<std::uint8_t> bytes_;
};

// Kernel segments of the pass harness.
Seed Segments(int count) { return Seed().Byte(count - 1); }
Seed& Flat(Seed& s, int length) { return s.Byte(0).Size(length); } // a Tap follows
Seed& Each(Seed& s, int length) { return s.Byte(1).Size(length); } // length Taps follow
Seed& Gaussian(Seed& s, int length, double sigmaUnit, double scaleUnit = -1.0) {
    s.Byte(2).Size(length).Unit(sigmaUnit); // sigma 0.05 + 40 x unit
    return scaleUnit < 0 ? s.Byte(0) : s.Byte(128).Unit(scaleUnit);
}
Seed& Ramp(Seed& s, int length) { return s.Byte(3).Size(length); } // two Taps follow
// The kernel followed by the image of the pass harness: width, height, stride padding.
Seed Image(Seed s, int width, int height, int padding) {
    s.Size(width).Size(height).Byte(padding);
    return s;
}

void PassSeeds(const std::filesystem::path& dir) {
    auto write = [&](const char* name, const Seed& s) { s.Write(dir / name); };
    { // a normalised Gaussian: summed pass, multipliers and tables
        Seed s = Segments(1);
        Gaussian(s, 39, 0.024);
        write("gaussian-39", Image(s, 40, 30, 0).AngleDegrees(30).PixelsNoise(7));
    }
    { // enough work to share the rows out between threads
        Seed s = Segments(1);
        Gaussian(s, 21, 0.2);
        write("gaussian-bands", Image(s, 150, 97, 3).AngleDegrees(117).PixelsNoise(11));
    }
    { // 1 x the second tap is just below 1: after acc = 1 the double sum rounds up
        Seed s = Segments(3);
        Flat(s, 1).TapRatio(1, 2, 0);
        Flat(s, 1).TapRatio(1, 1, -1);
        Flat(s, 1).TapUniform(0.0);
        write("exact-tap-rounds-up",
              Image(s, 3, 1, 0)
                  .AngleDiagonal(2)
                  .PixelsFromRest(std::string("\2\2\2\x9\1\1\1\x9\xc8\3\0\x9", 12)));
    }
    { // 300 taps of 1: the sum can pass 16 bits, so taps run in order per pixel
        Seed s = Segments(1);
        Flat(s, 300).TapRatio(1, 1, 0);
        write("ordered-by-bound", Image(s, 320, 2, 1).AngleDiagonal(2).PixelsConstant(255));
    }
    { // 2100 taps near 2 in one long row: the accumulator could pass 2^20, all taps as written
        Seed s = Segments(2);
        Flat(s, 2099).TapRatio(2, 1, -1);
        Flat(s, 1).TapRatio(2, 1, 0);
        write("all-taps-exact", Image(s, 2100, 1, 0).AngleDiagonal(2).PixelsNoise(3));
    }
    { // taps around 1/255: dropped below the edge, kept above it
        Seed s = Segments(6);
        Flat(s, 1).TapUniform(0.3);
        for (int steps : {-2, -1, 0, 1, 2})
            Flat(s, 2).TapAround(0, steps);
        write("around-one-255th", Image(s, 12, 9, 0).AngleDegrees(0).PixelsRamp(1));
    }
    { // b x m / b an integer: for 256/255 the product of 255 reaches 256
        Seed s = Segments(4);
        Flat(s, 1).TapRatio(256, 255, 0);
        Flat(s, 1).TapRatio(3, 7, 1);
        Flat(s, 1).TapRatio(100, 51, -1);
        Flat(s, 2).TapRatio(1, 255, 0);
        write("near-integer-products", Image(s, 9, 9, 0).AngleDegrees(90).PixelsRamp(1));
    }
    { // multipliers and tables side by side, summed
        Seed s = Segments(2);
        Each(s, 4).TapRatio(1, 3, 0).TapDyadic(4096).TapRatio(2, 7, 0).TapUniform(0.01);
        Ramp(s, 9).TapUniform(0.05).TapUniform(0.0);
        write("multipliers-and-tables", Image(s, 33, 17, 5).AngleDegrees(-45).PixelsNoise(5));
    }
    { // unnormalised random kernel on a padded, odd stride, blurring down and left
        Seed s = Segments(1);
        Each(s, 7);
        for (double u : {0.9, 0.4, 0.7, 0.05, 0.6, 0.95, 0.2})
            s.TapUniform(u);
        write("unnormalised", Image(s, 25, 20, 13).AngleDegrees(225).PixelsNoise(9));
    }
    { // borders: one row, one column, blur towards lower indices
        Seed s = Segments(1);
        Gaussian(s, 15, 0.1);
        write("one-row", Image(s, 37, 1, 2).AngleDegrees(180).PixelsRamp(3));
        write("one-column", Image(s, 1, 37, 7).AngleDegrees(270).PixelsRamp(5));
        write("near-axis", Image(s, 20, 20, 0).AngleNearAxis(1, -3).PixelsNoise(1));
    }
    { // a single tap: a direction only on the axes
        Seed s = Segments(1);
        Flat(s, 1).TapRatio(1, 1, 0);
        write("one-tap-axis", Image(s, 4, 4, 0).AngleDiagonal(0).PixelsNoise(2));
        write("one-tap-diagonal", Image(s, 4, 4, 0).AngleDiagonal(1).PixelsNoise(2));
    }
    { // angles the fast pass refuses with the oracle: infinite in radians, or NaN
        Seed s = Segments(1);
        Gaussian(s, 5, 0.05);
        write("angle-overflows", Image(s, 6, 6, 0).AngleRaw(1e308).PixelsNoise(4));
        write("angle-nan", Image(s, 6, 6, 0).AngleRaw(std::nan("")).PixelsNoise(4));
        write("angle-huge-finite", Image(s, 6, 6, 0).AngleRaw(1e300).PixelsNoise(4));
    }
    { // subnormal and tiny taps beside a tap of exactly 2
        Seed s = Segments(3);
        Flat(s, 1).TapRaw(2.0);
        Flat(s, 3).TapRaw(4.9e-324);
        Flat(s, 2).TapRaw(1e-3);
        write("tiny-and-two", Image(s, 16, 16, 0).AngleUniform(0.3).PixelsConstant(255));
    }
}

// The filter harness: shape, size, radius, sigma, angle, a second kernel width, pixels.
Seed Blur(int width, int height) { return Seed().Byte(1).Size(width).Size(height); }
Seed& RadiusZero(Seed& s) { return s.Byte(0); }
Seed& RadiusNaN(Seed& s) { return s.Byte(2); }
Seed& RadiusMinusInfinity(Seed& s) { return s.Byte(3); }
Seed& RadiusWhole(Seed& s, int r) { return s.Byte(5).Byte(r - 1); }
Seed& RadiusRaw(Seed& s, double r) { return s.Byte(6).Raw(r); }
Seed& SigmaSpecial(Seed& s, int index) { return s.Byte(1).Byte(index); }
Seed& SigmaQuarters(Seed& s, double sigma) {
    return s.Byte(3).Byte(static_cast<int>(sigma * 4) + 128);
}

void BlurSeeds(const std::filesystem::path& dir) {
    auto write = [&](const char* name, Seed& s, int otherWidth) {
        s.Byte(otherWidth + 4)
            .PixelsNoise(static_cast<std::uint32_t>(otherWidth) + 17)
            .Write(dir / name);
    };
    {
        Seed s = Blur(40, 30);
        SigmaQuarters(RadiusZero(s), 1.0).AngleDegrees(0);
        write("adaptive-sigma-1", s, 3);
    }
    {
        Seed s = Blur(12, 12);
        SigmaQuarters(RadiusRaw(s, 3.0), 1.5).AngleDegrees(60);
        write("radius-3", s, 0);
    }
    {
        Seed s = Blur(12, 12);
        SigmaQuarters(RadiusRaw(s, 3.01), 1.5).AngleDegrees(60);
        write("radius-3.01", s, -3);
    }
    {
        Seed s = Blur(8, 5);
        SigmaQuarters(RadiusRaw(s, 0.4), 1.0).AngleDegrees(90);
        write("radius-0.4", s, 8);
    }
    {
        Seed s = Blur(9, 8);
        SigmaQuarters(RadiusWhole(s, 3), -2.0).AngleDegrees(20);
        write("negative-sigma", s, 5);
    }
    {
        Seed s = Blur(7, 6);
        SigmaQuarters(RadiusNaN(s), 2.0).AngleDegrees(135);
        write("radius-nan", s, 2);
    }
    {
        Seed s = Blur(7, 6);
        SigmaQuarters(RadiusMinusInfinity(s), 0.5).AngleDegrees(-90);
        write("radius-minus-inf", s, 1);
    }
    {
        Seed s = Blur(8, 8);
        SigmaQuarters(RadiusZero(s), 12.0).AngleDegrees(300);
        write("adaptive-sigma-12", s, 67);
    }
    {
        Seed s = Blur(9, 13);
        SigmaSpecial(RadiusWhole(s, 200), 13).AngleDegrees(45);
        write("radius-200-sigma-100", s, 60);
    }
    {
        Seed s = Blur(150, 97);
        SigmaQuarters(RadiusWhole(s, 20), 12.0).AngleDegrees(117);
        write("bands", s, 41);
    }
    {
        Seed s = Blur(5, 4);
        SigmaSpecial(RadiusWhole(s, 2), 4).AngleDegrees(0);
        write("sigma-1e-155", s, 3);
    }
    {
        Seed s = Blur(5, 4);
        SigmaSpecial(RadiusWhole(s, 2), 14).AngleDegrees(0);
        write("sigma-1e300-flat", s, 3);
    }
    // Refused with the bitmap untouched.
    {
        Seed s = Blur(5, 4);
        SigmaSpecial(RadiusWhole(s, 2), 0).AngleDegrees(30);
        write("sigma-zero", s, 3);
    }
    {
        Seed s = Blur(5, 4);
        SigmaSpecial(RadiusZero(s), 1).AngleDegrees(30);
        write("sigma-nan", s, 3);
    }
    {
        Seed s = Blur(5, 4);
        SigmaSpecial(RadiusWhole(s, 2), 2).AngleDegrees(30);
        write("sigma-inf", s, 3);
    }
    {
        Seed s = Blur(5, 4);
        SigmaSpecial(RadiusWhole(s, 2), 5).AngleDegrees(30);
        write("sigma-1e-160", s, 3);
    }
    {
        Seed s = Blur(5, 4);
        SigmaQuarters(RadiusRaw(s, INFINITY), 1.0).AngleDegrees(30);
        write("radius-inf", s, 3);
    }
    {
        Seed s = Blur(5, 4);
        SigmaQuarters(RadiusWhole(s, 2), 1.0).AngleRaw(1e308);
        write("angle-overflows", s, 3);
    }
    {
        Seed s = Seed().Byte(0).Size(1).Size(1);
        SigmaQuarters(RadiusWhole(s, 2), 1.0).AngleDegrees(10);
        write("no-pixels", s, 3);
    }
    { // no pixels: no direction needed, so even a NaN angle gives true
        Seed s = Seed().Byte(0).Size(1).Size(1);
        SigmaQuarters(RadiusMinusInfinity(s), 1.0).AngleRaw(std::nan(""));
        write("no-pixels-nan-angle", s, 3);
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
