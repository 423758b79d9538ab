#include "fuzz/FuzzReader.h"

#include <algorithm>
#include <cmath>
#include <cstring>

std::uint8_t FuzzReader::Byte() { return at_ < size_ ? data_[at_++] : 0; }

std::uint32_t FuzzReader::Bits(int bytes) {
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i)
        value |= static_cast<std::uint32_t>(Byte()) << (8 * i);
    return value;
}

double FuzzReader::Unit() { return Bits(4) / 4294967296.0; }

double FuzzReader::Raw() {
    const std::uint64_t bits = Bits(4) | static_cast<std::uint64_t>(Bits(4)) << 32;
    double value = 0.0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

double FuzzReader::Nudge(double value) {
    const int steps = Byte() % 17 - 8;
    const double toward = steps < 0 ? -INFINITY : INFINITY;
    for (int i = 0; i < std::abs(steps); ++i)
        value = std::nextafter(value, toward);
    return value;
}

int FuzzReader::Size(int max) {
    const std::uint8_t small = Byte();
    if (small < 224)
        return 1 + small % std::min(max, 40);
    return 1 + static_cast<int>(Bits(2) % static_cast<std::uint32_t>(max));
}

double FuzzReader::Angle() {
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

double FuzzReader::Tap() {
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

void FuzzReader::Pixels(unsigned char* out, std::size_t n) {
    switch (Byte() % 4) {
    case 0: {
        const std::size_t rest = size_ - at_;
        for (std::size_t i = 0; i < n; ++i)
            out[i] = rest == 0 ? 0 : data_[at_ + i % rest];
        at_ = size_;
        break;
    }
    case 1: {
        std::uint32_t state = Bits(4) | 1;
        for (std::size_t i = 0; i < n; ++i) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            out[i] = static_cast<unsigned char>(state >> 24);
        }
        break;
    }
    case 2:
        std::memset(out, Byte(), n);
        break;
    default: {
        const unsigned step = Byte() | 1u;
        for (std::size_t i = 0; i < n; ++i)
            out[i] = static_cast<unsigned char>(i * step);
        break;
    }
    }
}
