#pragma once
// A plain, slow transcription of the colour conversions and the colour picker's fills, kept to
// check the production code against: one conversion per pixel, every value computed the long
// way, int arithmetic and int truncation as written. Only for records whose products fit an int.
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
