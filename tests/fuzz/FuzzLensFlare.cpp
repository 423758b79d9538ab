// The lens flare renderer against the oracle: a small random bitmap, a source inside, beside or
// far outside it, sizes up to 300, any brightness, hue and intensity, and the same generator
// state for both. The oracle draws every disc in full, so the source glow's G = brightness x
// size / 10 outlines are bounded to keep each input within milliseconds.
#include "filter/LensFlareFilter.h"
#include "filter/RuntimeRandom.h"
#include "fuzz/FuzzSupport.h"
#include "host/OrvanelBitmap.h"
#include "native/LensFlareOracle.h"
#include "support/FlareDigests.h"

namespace {

constexpr int kLargestSide = 64;
constexpr int kLargestSize = 300;
constexpr int kLargestGlow = 300; // outlines of the source glow

// A coordinate inside the bitmap, within 200 pixels of it, or up to 10000 away.
int ReadCoordinate(FuzzReader& in, int side) {
    const int kind = in.Byte() % 3;
    const auto bits = static_cast<int>(in.Bits(2));
    return kind == 0 ? bits % side : kind == 1 ? bits % (side + 400) - 200 : bits % 20001 - 10000;
}

// A byte (mostly small once mutated), anything up to the largest size, or where a radius or a
// count changes: R0 / 8, R0 / 10, trunc(R0 x 0.75) ...
int ReadSize(FuzzReader& in) {
    const int special[] = {0, 1, 2, 3, 10, 11, 13, 14, 20, 27, 40, 107, 108, 300};
    const int kind = in.Byte() % 3;
    return kind == 0   ? in.Byte()
           : kind == 1 ? static_cast<int>(in.Bits(2) % (kLargestSize + 1))
                       : special[in.Byte() % 14];
}

// Any hue, sums of exactly 360, wrapping or negative, or far out either way.
int ReadHue(FuzzReader& in) {
    const int special[] = {0, 160, 260, 309, 310, 311, 359, 360, 361, 719, 720, -1, -30, -360};
    const int kind = in.Byte() % 3;
    return kind == 0   ? static_cast<int>(in.Bits(2) % 360)
           : kind == 1 ? special[in.Byte() % 14]
                       : static_cast<int>(in.Bits(4) % 200001) - 100000;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzReader in(data, size);
    const bool empty = in.Byte() % 32 == 0; // a bitmap without pixels
    const int width = in.Size(kLargestSide), height = in.Size(kLargestSide);
    const int x = ReadCoordinate(in, width), y = ReadCoordinate(in, height);
    const int flareSize = ReadSize(in);
    int brightness = in.Byte() % 101;
    const int hue = ReadHue(in);
    const int intensity = in.Byte() % 101;
    const std::uint32_t seed = in.Bits(4);
    if (flareSize > 0 && brightness * flareSize > 10 * kLargestGlow)
        brightness = 10 * kLargestGlow / flareSize;
    const auto describe = [&] {
        return FuzzText("%d x %d, x %d, y %d, size %d, brightness %d, hue %d, intensity %d, "
                        "generator state %u",
                        empty ? 0 : width, empty ? 0 : height, x, y, flareSize, brightness, hue,
                        intensity, seed);
    };

    COrvanelBitmap image;
    if (!empty) {
        image = COrvanelBitmap(width, height, 32);
        in.Pixels(image.GetPtBitmap(), 4 * static_cast<std::size_t>(width) * height);
    }
    COrvanelBitmap fast = image, oracle = image;
    Orvanel::Filter::SeedRuntimeRand(seed);
    Orvanel::Filter::CLensFlareFilter().LensFlare(&fast, x, y, flareSize, brightness, hue,
                                                  intensity);
    LensFlareOracle::Generator generator(seed);
    LensFlareOracle::Painter().LensFlare(&oracle, x, y, flareSize, brightness, hue, intensity,
                                         generator);
    // Both drew as many numbers: the next ones agree.
    if (Orvanel::Filter::RuntimeRand() != generator.Next())
        FuzzFail("numbers drawn from the generator", describe());
    FuzzSameBytes(FlareDigests::Pixels(fast), FlareDigests::Pixels(oracle), width, describe);
    return 0;
}
