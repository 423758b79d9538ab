#pragma once
// How a picture is fitted into a window: plain arithmetic, shared by the bitmap windows and
// testable without a window system.

namespace Orvanel::Layout {

// The single-precision factor at which the whole picture fits the window, proportions kept;
// above 1 when the picture is smaller than the window. 0 for a window of zero width or
// height. The window size is taken as signed 32-bit, as the windows store it.
float FitRatio(unsigned int pictureWidth, unsigned int pictureHeight, unsigned int windowWidth,
               unsigned int windowHeight);

// A picture scaled by a factor, truncated toward zero, but never below one pixel: a very
// flat picture keeps one row.
int ScaledSize(unsigned int size, float ratio);

// Offset that centres `size` in `space`, rounded down; 0 when it does not fit.
unsigned int CentredOffset(unsigned int space, unsigned int size);

} // namespace Orvanel::Layout
