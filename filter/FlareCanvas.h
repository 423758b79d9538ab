#pragma once
class COrvanelBitmap;

namespace Orvanel::Filter {

// The pixels a lens flare may change: the target's buffer, limited to the renderer's width and
// height (never beyond the bitmap's own). Pixels outside are left alone, as the renderer leaves
// every pixel outside its width and height.
class CFlareCanvas {
public:
    // Empty when the bitmap is null or has no pixels.
    CFlareCanvas(COrvanelBitmap* bitmap, int width, int height);
    // A plain buffer of width x height pixels, rows `stride` bytes apart; the caller makes sure
    // they are all there.
    CFlareCanvas(unsigned char* pixels, long long stride, int width, int height)
        : pixels_(pixels), stride_(stride), width_(width), height_(height) {}

    bool Empty() const { return width_ <= 0 || height_ <= 0; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    bool HasRow(long long y) const { return y >= 0 && y < height_; }
    bool HasColumn(long long x) const { return x >= 0 && x < width_; }
    bool Contains(long long x, long long y) const { return HasColumn(x) && HasRow(y); }

    // Row y's first pixel; y must be one of the canvas's rows.
    unsigned char* Row(long long y) const { return pixels_ + y * stride_; }
    unsigned char* Pixel(long long x, long long y) const { return Row(y) + 4 * x; }

private:
    unsigned char* pixels_ = nullptr;
    long long stride_ = 0;
    int width_ = 0;
    int height_ = 0;
};

} // namespace Orvanel::Filter
