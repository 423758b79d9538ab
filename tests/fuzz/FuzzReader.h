#pragma once
#include <cstddef>
#include <cstdint>

// Decodes a fuzzer's byte string front to back into the filter's parameters. Every field takes
// a fixed number of bytes, so mutating one byte moves one field, and past the end every field
// reads as zero, so any string decodes to some case. The value kinds aim at the arithmetic the
// fast path special-cases: products of a byte and a tap that land on or next to an integer,
// taps around 1/255, angles on and next to the axes.
class FuzzReader {
public:
    FuzzReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint8_t Byte();
    std::uint32_t Bits(int bytes); // little-endian, 1 to 4 bytes
    double Unit();                 // [0, 1), four bytes
    double Raw();                  // any double bit pattern, NaN and infinities included
    double Nudge(double value);    // value moved by -8 to +8 units in the last place
    int Size(int max);             // 1..max, mostly small

    double Angle(); // degrees: axes, diagonals, near-axes, anything
    double Tap();   // a weight in [0, 2]
    // Fills n pixel bytes: the rest of the input repeated, noise, one value, or ramps that
    // bring every byte value.
    void Pixels(unsigned char* out, std::size_t n);

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};
