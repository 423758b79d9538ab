#pragma once
// The arithmetic of the print setup dialog's page miniature: where the sheet sits in the
// window, the margins in miniature pixels, the fit of the image into what the margins leave
// free, and the margins that place the image in the middle or at the end of the page. Kept
// apart from the window system so that every figure can be checked natively.

namespace Orvanel::Layout {

struct PixelRect {
    int left;
    int top;
    int right;
    int bottom;
};

// The sheet inside a client area of cw x ch: 10 pixels from the edges along the paper's long
// side on screen (the height in portrait, orientation 1; the width otherwise), centred across,
// proportions of the paper (pw x ph millimetres) kept. An empty rectangle for a paper size
// that is not positive.
PixelRect PageRectangle(int clientWidth, int clientHeight, int paperWidthMm, int paperHeightMm,
                        int orientation);

// A margin in centimetres as miniature pixels: pageExtent x margin x 10 / paperMm in single
// precision, truncated, saturating instead of overflowing.
int MarginPixels(int pageExtent, float marginCm, int paperMm);
// The same for a margin just typed into its box, where pageExtent x 10 is formed as an
// integer first; the two orders may differ in the last bit of the float.
int TypedMarginPixels(int pageExtent, float marginCm, int paperMm);

// The free area of the page: the sheet less the four margins, in int range even for absurd
// margins (it may come out inside out, which callers treat as empty).
PixelRect FreeArea(const PixelRect& page, int leftMargin, int topMargin, int rightMargin,
                   int bottomMargin);

// The factor (miniature pixels per image pixel, double precision) that fits a width x height
// image into the free area freeWidth x freeHeight; it starts from the placement axis
// (horizontalPlacement 1: the width) and falls back to the other side when that overflows.
double FitScale(unsigned int width, unsigned int height, long long freeWidth, long long freeHeight,
                int horizontalPlacement);

// The margin in centimetres that centres an image of `imageExtent` pixels drawn at `scale` on
// a page of `pageExtent` miniature pixels and `paperMm` millimetres.
float MiddleMargin(unsigned int imageExtent, double scale, int paperMm, int pageExtent);
// The margin that makes the same image end at the opposite margin `oppositeCm`.
float EndMargin(unsigned int imageExtent, double scale, int paperMm, int pageExtent,
                float oppositeCm);

// The single-precision factor that fits a width x height picture into `area` (whose width
// and height are taken as unsigned 32-bit), starting from its longer side.
float MiniatureRatio(unsigned int width, unsigned int height, const PixelRect& area);

// Whether the miniature can draw the picture into `area` at all: the area must not be empty
// or inside out, and a copy of it must stay of a sensible size.
bool MiniatureAreaUsable(const PixelRect& area);

} // namespace Orvanel::Layout
