#pragma once
// What the harnesses share: a decoder of the fuzzer's bytes and the report of a difference.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

// When the fast filter and the oracle disagree: print the case and what differs, then abort,
// which makes the fuzzer keep the input as a crash file.
[[noreturn]] inline void FuzzFail(const std::string& what, const std::string& context) {
    std::fprintf(stderr, "\n*** fast filter and oracle disagree: %s\n%s\n", what.c_str(),
                 context.c_str());
    std::abort();
}

template <class... Values> std::string FuzzText(const char* format, Values... values) {
    char text[256];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

// Compares two packed 32-bit images `width` pixels wide byte for byte; describe() tells the case.
template <class Describe>
void FuzzSameBytes(const std::vector<unsigned char>& fast, const std::vector<unsigned char>& oracle,
                   int width, Describe describe) {
    if (fast.size() != oracle.size())
        FuzzFail(FuzzText("%zu bytes, oracle %zu", fast.size(), oracle.size()), describe());
    const std::size_t i = std::mismatch(fast.begin(), fast.end(), oracle.begin()).first -
                          fast.begin(),
                      row = 4 * static_cast<std::size_t>(width);
    if (i < fast.size())
        FuzzFail(FuzzText("byte %zu (x %zu, y %zu, channel %zu): fast %d, oracle %d", i,
                          i % row / 4, i / row, i % 4, fast[i], oracle[i]),
                 describe());
}

// Decodes a fuzzer's byte string front to back into the filter's parameters. Every field takes
// a fixed number of bytes, so mutating one byte moves one field, and past the end every field
// reads as zero, so any string decodes to some case. The value kinds aim at the arithmetic the
// fast path special-cases: products of a byte and a tap that land on or next to an integer,
// taps around 1/255, angles on and next to the axes.
class FuzzReader {
public:
    FuzzReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }

    std::uint32_t Bits(int bytes) { // little-endian
        std::uint32_t value = 0;
        for (int i = 0; i < bytes; ++i)
            value |= static_cast<std::uint32_t>(Byte()) << (8 * i);
        return value;
    }

    double Unit() { return Bits(4) / 4294967296.0; } // [0, 1)

    double Raw() { // any double, NaN and infinities included
        const std::uint64_t low = Bits(4), bits = low | static_cast<std::uint64_t>(Bits(4)) << 32;
        double value = 0.0;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

    double Nudge(double value) { // moved by -8 to +8 units in the last place
        const int steps = Byte() % 17 - 8;
        for (int i = 0; i < std::abs(steps); ++i)
            value = std::nextafter(value, steps < 0 ? -INFINITY : INFINITY);
        return value;
    }

    int Size(int max) { // 1..max, mostly small
        if (const std::uint8_t small = Byte(); small < 224)
            return 1 + small % std::min(max, 40);
        return 1 + static_cast<int>(Bits(2) % static_cast<std::uint32_t>(max));
    }

    double Angle() { // degrees: diagonals, anything, near the axes, any double, whole degrees
        switch (Byte() % 5) {
        case 0:
            return static_cast<std::int8_t>(Byte()) * 45.0;
        case 1:
            return Unit() * 1440.0 - 720.0;
        case 2:
            return Nudge(static_cast<std::int8_t>(Byte()) * 90.0);
        case 3:
            return Raw();
        default:
            return static_cast<int>(Bits(2) % 1441) - 720;
        }
    }

    double Tap() { // a weight in [0, 2]
        switch (Byte() % 5) {
        case 0:
            return 2.0 * Unit();
        case 1: { // m / b: b times the tap is an integer, or next to one once nudged
            const int b = 1 + Byte() % 255;
            const int m = static_cast<int>(Bits(2) % static_cast<std::uint32_t>(2 * b + 1));
            return std::clamp(Nudge(static_cast<double>(m) / b), 0.0, 2.0);
        }
        case 2: { // where 255 times the tap stops being able to add anything
            const double around[] = {(1.0 - 1.0 / 4294967296.0) / 255.0, 1.0 / 255.0, 1.0 / 256.0,
                                     0.5 / 255.0};
            return Nudge(around[Byte() % 4]);
        }
        case 3:
            return Bits(2) / 32768.0;
        default: { // any bit pattern folded into range: subnormals, exact powers of two
            const double raw = std::fabs(Raw());
            return std::isnan(raw) ? 0.0 : raw > 2.0 ? std::fmod(raw, 2.0) : raw;
        }
        }
    }

    // n pixel bytes: the rest of the input repeated, noise, one value, or a ramp.
    void Pixels(unsigned char* out, std::size_t n) {
        const int kind = Byte() % 4;
        std::uint32_t state = kind == 1 ? Bits(4) | 1 : 0;
        const std::size_t step = kind == 2 ? Byte() : kind == 3 ? Byte() | 1u : 0;
        for (std::size_t i = 0; i < n; ++i) {
            if (kind == 0) {
                out[i] = at_ == size_ ? 0 : data_[at_ + i % (size_ - at_)];
            } else if (kind == 1) {
                state ^= state << 13;
                state ^= state >> 17;
                state ^= state << 5;
                out[i] = static_cast<unsigned char>(state >> 24);
            } else { // one value, or a ramp
                out[i] = static_cast<unsigned char>(kind == 2 ? step : i * step);
            }
        }
        if (kind == 0)
            at_ = size_;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};
