#pragma once
// Where the print job draws the image on the printer's page: the top-left corner of the area
// the margins leave free, scaled to fit it, in printer pixels.

namespace Orvanel::Layout {

struct PrintedPlacement {
    bool drawable; // false: nothing fits (margins past the paper, absurd or infinite values)
    int left;
    int top;
    int freeWidth;
    int freeHeight;
    int width; // the image's size on the page
    int height;
};

// Margins in centimetres; the page as the printer reports it (HORZRES x VERTRES pixels,
// HORZSIZE x VERTSIZE millimetres); the image's size in pixels. Single precision throughout,
// every conversion to pixels truncating toward zero.
PrintedPlacement PlaceImageOnPage(float marginLeft, float marginTop, float marginRight,
                                  float marginBottom, int pagePixelsWide, int pagePixelsHigh,
                                  int pageMmWide, int pageMmHigh, unsigned int imageWidth,
                                  unsigned int imageHeight);

// No side of the printed image may exceed this many pixels: ten metres of paper at 2400 dots
// per inch stay below it, a negative margin of kilometres does not.
constexpr int kMaxPrintedExtent = 1 << 20;

// The resampled copy the printer is given holds at most this many pixels (256 MB at 4 bytes
// each): a page-filling A4 at 600 dots per inch stays below it.
constexpr long long kMaxCopyPixels = 1LL << 26;

struct CopySize {
    int width;
    int height;
};

// The size to resample an image to that is printed `width` x `height` (both positive): that
// size when it holds at most `maxPixels`, otherwise the largest of the same shape that does,
// which the printer then stretches over the printed size. The same shape: the longer side
// chosen, the shorter one in proportion, truncated, at least 1.
CopySize BoundedCopySize(int width, int height, long long maxPixels = kMaxCopyPixels);

} // namespace Orvanel::Layout
