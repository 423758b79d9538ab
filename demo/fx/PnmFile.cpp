#include "demo/fx/PnmFile.h"

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

ReadResult Read(std::FILE* file, COrvanelBitmap& bitmap, std::string& error) {
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
    if (largest != 255)
        return ReadResult::Unsupported;
    if (!AllocateBitmap(width, height, bitmap, error))
        return ReadResult::Failed;
    const int w = static_cast<int>(width), h = static_cast<int>(height);
    const std::size_t rowBytes = static_cast<std::size_t>(w) * (colour ? 3 : 1);
    for (int y = 0; y < h; ++y) {
        unsigned char* row = BitmapRowFromTop(bitmap, y);
        if (std::fread(row, 1, rowBytes, file) != rowBytes) {
            error = "broken PNM: the pixel data ends early";
            return ReadResult::Failed;
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
