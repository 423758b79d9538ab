#include "fx/ImageCodecs.h"

#include "host/OrvanelBitmap.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace QuilletFx::BmpFile {
namespace {

constexpr std::uint32_t kFileHeaderBytes = 14;
constexpr std::uint32_t kInfoHeaderBytes = 40;
constexpr std::uint32_t kUncompressed = 0;
constexpr std::uint32_t kBitFields = 3;

std::uint32_t Little32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

unsigned Little16(const unsigned char* p) { return p[0] | static_cast<unsigned>(p[1]) << 8; }

void PutLittle32(unsigned char* p, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(value >> (8 * i));
}

void PutLittle16(unsigned char* p, unsigned value) {
    p[0] = static_cast<unsigned char>(value);
    p[1] = static_cast<unsigned char>(value >> 8);
}

} // namespace

ReadResult Read(std::FILE* file, Picture& picture, std::string& error) {
    // The file header, the info header and, for bit fields, the three masks that follow it.
    unsigned char header[kFileHeaderBytes + kInfoHeaderBytes + 12] = {};
    if (std::fread(header, 1, kFileHeaderBytes + kInfoHeaderBytes, file) !=
        kFileHeaderBytes + kInfoHeaderBytes) {
        error = "broken BMP: the headers end early";
        return ReadResult::Failed;
    }
    const unsigned char* info = header + kFileHeaderBytes;
    const std::uint32_t pixelOffset = Little32(header + 10);
    const std::uint32_t infoBytes = Little32(info);
    const long long width = static_cast<std::int32_t>(Little32(info + 4));
    const long long signedHeight = static_cast<std::int32_t>(Little32(info + 8));
    const unsigned bitsPerPixel = Little16(info + 14);
    const std::uint32_t compression = Little32(info + 16);
    if (infoBytes < kInfoHeaderBytes || (bitsPerPixel != 24 && bitsPerPixel != 32))
        return ReadResult::Unsupported;
    if (compression == kBitFields) {
        // The masks follow a 40-byte header; later headers hold them in the same place.
        if (bitsPerPixel != 32 ||
            std::fread(header + kFileHeaderBytes + kInfoHeaderBytes, 1, 12, file) != 12)
            return ReadResult::Unsupported;
        const unsigned char* masks = header + kFileHeaderBytes + kInfoHeaderBytes;
        if (Little32(masks) != 0x00FF0000u || Little32(masks + 4) != 0x0000FF00u ||
            Little32(masks + 8) != 0x000000FFu)
            return ReadResult::Unsupported;
    } else if (compression != kUncompressed) {
        return ReadResult::Unsupported;
    }
    // A negative height marks rows stored top-down.
    const bool topDown = signedHeight < 0;
    const long long height = topDown ? -signedHeight : signedHeight;
    if (!AllocateBitmap(width, height, picture, error))
        return ReadResult::Failed;
    COrvanelBitmap& bitmap = *picture;
    if (std::fseek(file, static_cast<long>(pixelOffset), SEEK_SET) != 0) {
        error = "broken BMP: the pixel data offset lies outside the file";
        return ReadResult::Failed;
    }
    // Rows are padded to 4 bytes; a 24-bit row with its padding still fits a bitmap row.
    const int w = static_cast<int>(width), h = static_cast<int>(height);
    const std::size_t fileRowBytes = (static_cast<std::size_t>(bitsPerPixel) * w + 31) / 32 * 4;
    for (int i = 0; i < h; ++i) {
        unsigned char* row = topDown ? BitmapRowFromTop(bitmap, i)
                                     : bitmap.GetPtBitmap() + i * bitmap.GetWidthSize();
        if (std::fread(row, 1, fileRowBytes, file) != fileRowBytes) {
            error = "broken BMP: the pixel data ends early";
            return ReadResult::Failed;
        }
        if (bitsPerPixel == 24)
            WidenBgrRow(row, w);
        else
            ClearFourthBytes(row, w);
    }
    return ReadResult::Done;
}

bool Write(std::FILE* file, const PixelRows& rows, std::string& error) {
    const std::uint64_t rowBytes = (3 * static_cast<std::uint64_t>(rows.width) + 3) / 4 * 4;
    const std::uint64_t fileBytes =
        kFileHeaderBytes + kInfoHeaderBytes + rowBytes * static_cast<std::uint64_t>(rows.height);
    if (fileBytes > 0xFFFFFFFFu) {
        error = "BMP: the picture is too large for the format's 32-bit sizes";
        return false;
    }
    unsigned char header[kFileHeaderBytes + kInfoHeaderBytes] = {'B', 'M'};
    PutLittle32(header + 2, static_cast<std::uint32_t>(fileBytes));
    PutLittle32(header + 10, kFileHeaderBytes + kInfoHeaderBytes);
    unsigned char* info = header + kFileHeaderBytes;
    PutLittle32(info, kInfoHeaderBytes);
    PutLittle32(info + 4, static_cast<std::uint32_t>(rows.width));
    PutLittle32(info + 8, static_cast<std::uint32_t>(rows.height));
    PutLittle16(info + 12, 1);
    PutLittle16(info + 14, 24);
    PutLittle32(info + 16, kUncompressed);
    PutLittle32(info + 20, static_cast<std::uint32_t>(rowBytes * rows.height));
    PutLittle32(info + 24, 2835); // 72 dots per inch, in dots per metre
    PutLittle32(info + 28, 2835);
    std::vector<unsigned char> row(static_cast<std::size_t>(rowBytes), 0);
    bool written = std::fwrite(header, 1, sizeof header, file) == sizeof header;
    // Bottom-up, like the bitmap: row i of the file is buffer row i.
    for (int i = 0; written && i < rows.height; ++i) {
        NarrowToBgr(rows.pixels + i * rows.stride, rows.width, row.data());
        written = std::fwrite(row.data(), 1, row.size(), file) == row.size();
    }
    if (!written)
        error = "BMP: writing failed";
    return written;
}

} // namespace QuilletFx::BmpFile
