#pragma once
// The two representations of a colour used by the colour picker and the lens flare: the packed
// value 0x00BBGGRR (red in the lowest byte, as COLORREF and the host's GetColorValue give it)
// and a hue/saturation/brightness record, with the conversions between them.

namespace Orvanel::Color {

// The packed colour value, 0x00BBGGRR. unsigned long, like the host's colour values, so that
// the same variables pass to both without conversion.
using ColorValue = unsigned long;

// Hue in degrees (0 ... 359), saturation and brightness in percent (0 ... 100).
struct HSBColor {
    int hue;
    int saturation;
    int brightness;
};

// Writes the record for the colour, in single precision. On black only the brightness is
// written: hue and saturation keep what the record held.
void ConvertRGBToHSB(HSBColor& hsb, ColorValue& color);

// Writes the colour for the record, in double precision. A hue outside 0 ... 359 is taken modulo
// 360 into that range (negative hues too: -30 gives the colour of 330). Saturations and
// brightnesses outside 0 ... 100 give the low 8 bits of each truncated component.
void ConvertHSBToRGB(HSBColor& hsb, ColorValue& color);

} // namespace Orvanel::Color
