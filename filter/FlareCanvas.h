#pragma once
class COrvanelBitmap;

namespace Orvanel::Filter {

// The pixels a lens flare may change: the target's buffer, limited to the renderer's width and
// height (never beyond the bitmap's own) and to a band of rows. Pixels outside are left alone,
// as the renderer leaves every pixel outside its width and height.
class CFlareCanvas {
public:
    // The whole of width x height; empty when the bitmap is null or has no pixels.
    CFlareCanvas(COrvanelBitmap* bitmap, int width, int height);

    // The same pixels, rows [firstRow, endRow) only.
    CFlareCanvas Rows(int firstRow, int endRow) const;

    bool Empty() const { return width_ <= 0 || endRow_ <= firstRow_; }
    int Width() const { return width_; }
    int FirstRow() const { return firstRow_; }
    int EndRow() const { return endRow_; }
    bool HasRow(long long y) const { return y >= firstRow_ && y < endRow_; }
    bool HasColumn(long long x) const { return x >= 0 && x < width_; }
    bool Contains(long long x, long long y) const { return HasColumn(x) && HasRow(y); }

    // Row y's first pixel; y must be one of the canvas's rows.
    unsigned char* Row(long long y) const { return pixels_ + y * stride_; }
    unsigned char* Pixel(long long x, long long y) const { return Row(y) + 4 * x; }

private:
    CFlareCanvas() = default;

    unsigned char* pixels_ = nullptr;
    long long stride_ = 0;
    int width_ = 0;
    int firstRow_ = 0;
    int endRow_ = 0;
};

} // namespace Orvanel::Filter
