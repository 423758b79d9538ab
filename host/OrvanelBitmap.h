#pragma once
#include "HalvoryApi.h"
#include "HostBitmapInfo.h"

#include <cstddef>
#include <string>
#include <vector>

// The host's 32-bit bitmap: 4 bytes per pixel (blue, green, red, fourth byte), rows bottom-up
// (buffer row 0 is the bottom line of the picture), rows GetWidthSize() bytes apart.
class HALVORY_API COrvanelBitmap {
public:
    // Describes the current pixel buffer as GDI expects it. It must stay the first data member
    // and always match the pixels: the print job passes its address to StretchDIBits.
    HostBitmapInfo bitmapInfo;

    COrvanelBitmap();
    // Zero-filled. Always 32 bits per pixel, whatever bitsPerPixel says. Sizes that are not
    // positive, or whose pixels would pass 2 GB, give an empty bitmap.
    COrvanelBitmap(const int& width, const int& height, const int& bitsPerPixel);
    COrvanelBitmap(const COrvanelBitmap& other);
    COrvanelBitmap& operator=(const COrvanelBitmap& other);
    virtual ~COrvanelBitmap();

    unsigned int GetBitmapWidth() const;
    unsigned int GetBitmapHeight() const;
    long GetWidthSize() const;
    unsigned char* GetPtBitmap();
    const unsigned char* GetPtBitmap() const;

    unsigned long GetColorValue(const int& x, const int& y) const;
    void SetColorValue(const int& x, const int& y, const unsigned long& color);

    // Replaces size and pixels with width x height packed 32-bit pixels copied from data.
    // flipVertical mirrors the rows while copying; copyData is accepted for compatibility
    // (the pixels are always copied, so the caller may free data right after the call).
    void SetBitmap(unsigned char* data, const unsigned int& width, const unsigned int& height,
                   const bool& flipVertical, const bool& copyData);
    // Fills every pixel with the packed colour 0x00BBGGRR; the int is the fourth byte.
    void SetBackgroundColor(const unsigned long& color, const int& fourthByte);

#if defined(_WIN32)
    // A new bitmap (a DIB section) holding a copy of the current pixels, owned by the caller;
    // nullptr for an empty bitmap.
    HBITMAP GetBitmap() const;
#endif

    std::wstring GetFilename() const;
    void SetFilename(const std::wstring& filename);

    // Reflects the pixels in the diagonal, in place; width and height are exchanged. Followed
    // by HorzFlipBuf it turns the picture a quarter turn.
    int Rotation90();
    // Mirrors left and right, in place.
    int HorzFlipBuf();

private:
    void Resize(unsigned int width, unsigned int height);
    // Takes over pixels (swapped in) as a width x height buffer, or as an empty bitmap when there
    // are none, and rewrites bitmapInfo to match.
    void Adopt(unsigned int width, unsigned int height, std::vector<unsigned char>& pixels);
    bool Contains(int x, int y) const;
    std::size_t Offset(int x, int y) const;

    unsigned int width_ = 0;
    unsigned int height_ = 0;
    std::vector<unsigned char> pixels_;
    std::wstring filename_;
};
