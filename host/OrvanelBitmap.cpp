#include "host/OrvanelBitmap.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

namespace {

constexpr std::uint64_t kBytesPerPixel = 4;

// Callers on Windows compute y * GetWidthSize() in a 32-bit long, and biSizeImage is 32 bits,
// so a bitmap stops at 2 GB. Larger sizes are refused (the bitmap stays empty) instead of being
// allocated with a byte count that wrapped around.
constexpr std::uint64_t kMaxBytes = 0x7fffffffu;

bool ByteCount(std::uint64_t width, std::uint64_t height, std::size_t& bytes) {
    if (width == 0 || height == 0 || width > kMaxBytes / kBytesPerPixel)
        return false;
    const std::uint64_t rowBytes = width * kBytesPerPixel;
    if (height > kMaxBytes / rowBytes)
        return false;
    bytes = static_cast<std::size_t>(rowBytes * height);
    return true;
}

} // namespace

COrvanelBitmap::COrvanelBitmap() { Adopt(0, 0, pixels_); }

// Every bitmap of the host is 32 bits per pixel; other depths are built as 32 bits too, so that
// code reading GetWidthSize() and the four-byte pixels never meets a layout it does not expect.
COrvanelBitmap::COrvanelBitmap(const int& width, const int& height, const int& /*bitsPerPixel*/) {
    if (width > 0 && height > 0)
        Resize(static_cast<unsigned int>(width), static_cast<unsigned int>(height));
    else
        Adopt(0, 0, pixels_);
}

COrvanelBitmap::COrvanelBitmap(const COrvanelBitmap& other) = default;
COrvanelBitmap& COrvanelBitmap::operator=(const COrvanelBitmap& other) = default;
COrvanelBitmap::~COrvanelBitmap() = default;

unsigned int COrvanelBitmap::GetBitmapWidth() const { return width_; }
unsigned int COrvanelBitmap::GetBitmapHeight() const { return height_; }
long COrvanelBitmap::GetWidthSize() const { return static_cast<long>(width_ * kBytesPerPixel); }
unsigned char* COrvanelBitmap::GetPtBitmap() { return pixels_.empty() ? nullptr : pixels_.data(); }
const unsigned char* COrvanelBitmap::GetPtBitmap() const {
    return pixels_.empty() ? nullptr : pixels_.data();
}

bool COrvanelBitmap::Contains(int x, int y) const {
    return x >= 0 && y >= 0 && static_cast<unsigned int>(x) < width_ &&
           static_cast<unsigned int>(y) < height_;
}

std::size_t COrvanelBitmap::Offset(int x, int y) const {
    return (static_cast<std::size_t>(y) * width_ + static_cast<std::size_t>(x)) * kBytesPerPixel;
}

unsigned long COrvanelBitmap::GetColorValue(const int& x, const int& y) const {
    if (!Contains(x, y))
        return 0;
    const unsigned char* p = pixels_.data() + Offset(x, y);
    // The buffer is blue, green, red; the packed value has red in the lowest byte.
    return static_cast<unsigned long>(p[2]) | (static_cast<unsigned long>(p[1]) << 8) |
           (static_cast<unsigned long>(p[0]) << 16);
}

void COrvanelBitmap::SetColorValue(const int& x, const int& y, const unsigned long& color) {
    if (!Contains(x, y))
        return;
    unsigned char* p = pixels_.data() + Offset(x, y);
    p[0] = static_cast<unsigned char>(color >> 16);
    p[1] = static_cast<unsigned char>(color >> 8);
    p[2] = static_cast<unsigned char>(color);
    p[3] = 0;
}

void COrvanelBitmap::SetBitmap(unsigned char* data, const unsigned int& width,
                               const unsigned int& height, const bool& flipVertical,
                               const bool& /*copyData*/) {
    // Values first, and the new pixels are built aside: data, width or height may all live
    // inside this very bitmap.
    const unsigned int newWidth = width;
    const unsigned int newHeight = height;
    const bool flip = flipVertical;
    std::size_t bytes = 0;
    std::vector<unsigned char> copy;
    if (data != nullptr && ByteCount(newWidth, newHeight, bytes)) {
        try {
            if (!flip) {
                copy.assign(data, data + bytes);
            } else {
                const std::size_t rowBytes = newWidth * kBytesPerPixel;
                copy.reserve(bytes);
                for (std::size_t row = newHeight; row-- > 0;)
                    copy.insert(copy.end(), data + row * rowBytes, data + (row + 1) * rowBytes);
            }
        } catch (const std::bad_alloc&) {
            copy = std::vector<unsigned char>();
        }
    }
    Adopt(newWidth, newHeight, copy);
}

void COrvanelBitmap::SetBackgroundColor(const unsigned long& color, const int& fourthByte) {
    const unsigned char pixel[4] = {
        static_cast<unsigned char>(color >> 16), static_cast<unsigned char>(color >> 8),
        static_cast<unsigned char>(color), static_cast<unsigned char>(fourthByte)};
    for (std::size_t i = 0; i < pixels_.size(); i += kBytesPerPixel)
        std::memcpy(pixels_.data() + i, pixel, sizeof pixel);
}

std::wstring COrvanelBitmap::GetFilename() const { return filename_; }
void COrvanelBitmap::SetFilename(const std::wstring& filename) { filename_ = filename; }

int COrvanelBitmap::Rotation90() {
    if (pixels_.empty())
        return 0;
    std::vector<unsigned char> rotated;
    try {
        rotated.resize(pixels_.size());
    } catch (const std::bad_alloc&) {
        return 0;
    }
    // Reflects the buffer in its diagonal: pixel (x, y) moves to (y, x) of a picture height
    // wide. The print setup dialog turns the image with Rotation90 followed by HorzFlipBuf and
    // turns it back with the two in the opposite order. A reflection followed by a mirror is a
    // true quarter turn (counter-clockwise on screen) and the reverse order undoes it exactly;
    // a true quarter turn here would make those two calls print a mirror image.
    // Tiles keep both the reads and the scattered writes within cache.
    const std::size_t w = width_, h = height_;
    constexpr std::size_t kTile = 64;
    for (std::size_t y0 = 0; y0 < h; y0 += kTile) {
        const std::size_t y1 = std::min(h, y0 + kTile);
        for (std::size_t x0 = 0; x0 < w; x0 += kTile) {
            const std::size_t x1 = std::min(w, x0 + kTile);
            for (std::size_t y = y0; y < y1; ++y)
                for (std::size_t x = x0; x < x1; ++x)
                    std::memcpy(rotated.data() + (x * h + y) * kBytesPerPixel,
                                pixels_.data() + (y * w + x) * kBytesPerPixel, kBytesPerPixel);
        }
    }
    Adopt(height_, width_, rotated);
    return 1;
}

int COrvanelBitmap::HorzFlipBuf() {
    if (pixels_.empty())
        return 0;
    const std::size_t rowBytes = width_ * kBytesPerPixel;
    for (std::size_t y = 0; y < height_; ++y) {
        unsigned char* left = pixels_.data() + y * rowBytes;
        unsigned char* right = left + rowBytes - kBytesPerPixel;
        for (; left < right; left += kBytesPerPixel, right -= kBytesPerPixel)
            std::swap_ranges(left, left + kBytesPerPixel, right);
    }
    return 1;
}

void COrvanelBitmap::Resize(unsigned int width, unsigned int height) {
    std::size_t bytes = 0;
    std::vector<unsigned char> pixels;
    if (ByteCount(width, height, bytes)) {
        try {
            pixels.assign(bytes, 0);
        } catch (const std::bad_alloc&) {
            pixels = std::vector<unsigned char>();
        }
    }
    Adopt(width, height, pixels);
}

void COrvanelBitmap::Adopt(unsigned int width, unsigned int height,
                           std::vector<unsigned char>& pixels) {
    if (&pixels != &pixels_)
        pixels_.swap(pixels);
    // No pixels (none given, or no memory for them) make an empty bitmap, whatever the size.
    width_ = pixels_.empty() ? 0 : width;
    height_ = pixels_.empty() ? 0 : height;
    bitmapInfo = HostBitmapInfo{};
    HostBitmapInfoHeader& header = bitmapInfo.bmiHeader;
    header.biSize = sizeof(HostBitmapInfoHeader);
    header.biWidth = static_cast<std::int32_t>(width_);
    header.biHeight = static_cast<std::int32_t>(height_); // positive: rows bottom-up
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = 0; // uncompressed RGB
    header.biSizeImage = static_cast<std::uint32_t>(pixels_.size());
}
