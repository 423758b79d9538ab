#pragma once
// The colour picker's three pictures, painted into 32-bit host bitmaps: a one-colour swatch,
// the vertical hue strip, and the saturation/brightness square of one hue. Each leaves a
// bitmap without pixels (or without rows) alone.
#include "color/HSBColor.h"

class COrvanelBitmap;

namespace Orvanel::Color {

// Every pixel in the colour.
void FillColorBox(COrvanelBitmap* bitmap, ColorValue color);

// Row y (buffer order) in hue (y x 360) / height, full saturation and brightness.
void FillColorGradient(COrvanelBitmap* bitmap);

// Row y in brightness (y x 100) / width, column x in saturation (x x 100) / height: the
// divisors are swapped, which a square bitmap does not show.
void FillColorMatrix(COrvanelBitmap* bitmap, int& hue);

} // namespace Orvanel::Color
