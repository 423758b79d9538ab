#include "fx/ImageCodecs.h"

#include "host/OrvanelBitmap.h"

#include <vector>

namespace QuilletFx::PnmFile {
namespace {

// The next header number: whitespace and '#' comments up to the end of their line come
// before it. False when none follows or it passes `limit`.
bool ReadHeaderNumber(std::FILE* file, long long limit, long long& value) {
    int c = std::fgetc(file);
    while (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f' || c == '#') {
        if (c == '#') {
            while (c != '\n' && c != '\r' && c != EOF)
                c = std::fgetc(file);
        }
        c = std::fgetc(file);
    }
    if (c < '0' || c > '9')
        return false;
    value = 0;
    for (; c >= '0' && c <= '9'; c = std::fgetc(file)) {
        value = value * 10 + (c - '0');
        if (value > limit)
            return false;
    }
    // Exactly one whitespace character ends the number; after the largest value, the data
    // begins right behind it.
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

} // namespace

ReadResult Read(std::FILE* file, Picture& picture, std::string& error) {
    char magic[2] = {};
    if (std::fread(magic, 1, 2, file) != 2 || magic[0] != 'P' ||
        (magic[1] != '5' && magic[1] != '6'))
        return ReadResult::Unsupported;
    const bool colour = magic[1] == '6';
    long long width = 0, height = 0, largest = 0;
    if (!ReadHeaderNumber(file, 0x7fffffff, width) || !ReadHeaderNumber(file, 0x7fffffff, height) ||
        !ReadHeaderNumber(file, 65535, largest)) {
        error = "broken PNM: the header does not give width, height and largest value";
        return ReadResult::Failed;
    }
    if (largest == 0) {
        error = "broken PNM: the largest value is 0";
        return ReadResult::Failed;
    }
    if (!AllocateBitmap(width, height, picture, error))
        return ReadResult::Failed;
    COrvanelBitmap& bitmap = *picture;
    const int w = static_cast<int>(width), h = static_cast<int>(height);
    const std::size_t samples = static_cast<std::size_t>(w) * (colour ? 3 : 1);
    // Samples of one byte land in the bitmap row and are widened there; two-byte samples
    // (big-endian, for largest values above 255) and other scales pass through one row.
    const std::size_t sampleBytes = largest > 255 ? 2 : 1;
    std::vector<unsigned char> scaled;
    if (largest != 255)
        scaled.resize(samples * sampleBytes);
    for (int y = 0; y < h; ++y) {
        unsigned char* row = BitmapRowFromTop(bitmap, y);
        unsigned char* in = largest == 255 ? row : scaled.data();
        if (std::fread(in, 1, samples * sampleBytes, file) != samples * sampleBytes) {
            error = "broken PNM: the pixel data ends early";
            return ReadResult::Failed;
        }
        if (largest != 255) {
            for (std::size_t i = 0; i < samples; ++i) {
                const long long sample = sampleBytes == 2 ? in[2 * i] << 8 | in[2 * i + 1] : in[i];
                // Rounded to the nearest of 0..255; samples above the largest value saturate.
                const long long value = (sample * 255 + largest / 2) / largest;
                row[i] = static_cast<unsigned char>(value > 255 ? 255 : value);
            }
        }
        if (colour)
            WidenRgbRow(row, w);
        else
            WidenGrayRow(row, w);
    }
    return ReadResult::Done;
}

bool Write(std::FILE* file, const PixelRows& rows, std::string& error) {
    bool written = std::fprintf(file, "P6\n%d %d\n255\n", rows.width, rows.height) > 0;
    std::vector<unsigned char> row(3 * static_cast<std::size_t>(rows.width));
    for (int y = 0; written && y < rows.height; ++y) {
        NarrowToRgb(rows.FromTop(y), rows.width, row.data());
        written = std::fwrite(row.data(), 1, row.size(), file) == row.size();
    }
    if (!written)
        error = "PNM: writing failed";
    return written;
}

} // namespace QuilletFx::PnmFile
