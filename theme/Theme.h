#pragma once

#include <string>
#include <vector>

#include "theme/ThemeXml.h"

// The Win32 headers declare COLORREF as DWORD, which is unsigned long with mingw-w64. Repeating a
// typedef with the same type is legal C++, so this line coexists with <windows.h> in either
// include order while keeping this header free of Win32. On 64-bit Linux unsigned long is wider;
// only the low 32 bits (0x00BBGGRR) are ever used.
typedef unsigned long COLORREF;

namespace Orvanel {
namespace Window {

// Colours of the child-window framework, stored in the settings file as
//   <Theme><colorBack>R;G;B</colorBack></Theme>
// final: without a virtual destructor, deleting a derived object through CTheme* would be wrong.
class CTheme final : public CThemeXml {
public:
    CTheme() = default;

    // Reads the first <Theme> child of node and within it the first <colorBack>. Anything
    // missing (including a null node) leaves the colour as it was.
    void LoadXML(rapidxml::xml_node<char>* node) override;
    // Appends a new <Theme> element to parent; a null parent is ignored.
    void SaveXML(rapidxml::xml_document<char>& doc, rapidxml::xml_node<char>* parent) override;

    COLORREF colorBack = 0x808080; // 0x00BBGGRR, mid grey
};

// "R;G;B" with each byte in decimal, red being the lowest byte of the colour.
std::string ColorToString(COLORREF color);

// Inverse of ColorToString. Each of exactly three ';'-separated fields is read like atoi (leading
// white space, optional sign, digits up to the first other character, 0 when there are none) and
// its low 8 bits are kept. Numbers beyond int are clamped to INT_MAX / INT_MIN (as strtol
// clamps), so such text gives the same colour on every platform; C runtimes disagree there and
// atoi itself is undefined. Any other field count gives 0 (black).
COLORREF StringToColor(const std::string& text);

// Every delimiter ends a field, fields may be empty, and the text after the last delimiter is
// always a field: "" -> {""}, "a;b;" -> {"a", "b", ""}.
std::vector<std::string> SplitString(const std::string& text, char delimiter);

} // namespace Window
} // namespace Orvanel
