#pragma once
// Slow references for the colour conversions and the colour picker's fills, kept to check the
// production code against: one conversion per pixel, every value computed the long way.
// RGB to HSB is worked out in exact integer ratios, each single-precision step rounded to the
// nearest float by hand, so that it shares no floating-point code with production. HSB to RGB
// is the double-precision formula as written, in int arithmetic: only for records whose
// products fit an int.
#include "color/HSBColor.h"

class COrvanelBitmap;

namespace ColorOracle {

using Orvanel::Color::ColorValue;
using Orvanel::Color::HSBColor;

void RGBToHSB(HSBColor& hsb, ColorValue color);

// False when the hue's sector is none of 0 ... 5 (negative hues below -59): no colour then.
bool HSBToRGB(const HSBColor& hsb, ColorValue& color);

void FillBox(COrvanelBitmap* bitmap, ColorValue color);
void FillGradient(COrvanelBitmap* bitmap);
void FillMatrix(COrvanelBitmap* bitmap, int hue);

} // namespace ColorOracle
