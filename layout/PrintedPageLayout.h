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

// No side of the printed image may exceed this many pixels: a metre of paper at 1200 dots per
// inch stays below it, a negative margin of kilometres does not.
constexpr int kMaxPrintedExtent = 65536;

} // namespace Orvanel::Layout
