#include "theme/Theme.h"

#include <climits>
#include <cstdio>

namespace Orvanel {
namespace Window {

namespace {

const char* const kThemeElement = "Theme";
const char* const kColorBackElement = "colorBack";

// White space as isspace() sees it in the "C" locale, spelled out so the active locale cannot
// change how a settings file is read.
bool IsAsciiSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// atoi without its undefined behaviour on overflow: equal to atoi for everything in int range,
// clamped to INT_MAX / INT_MIN beyond it.
int ParseInt(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && IsAsciiSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Magnitude in long long, capped just past INT_MIN's magnitude so it cannot overflow.
    const long long limit = static_cast<long long>(INT_MAX) + 1;
    long long magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > limit)
            magnitude = limit;
    }
    const long long value = negative ? -magnitude : magnitude;
    if (value > INT_MAX)
        return INT_MAX;
    return static_cast<int>(value);
}

COLORREF LowByte(int value) { return static_cast<COLORREF>(static_cast<unsigned>(value) & 0xFFu); }

} // namespace

void CTheme::LoadXML(rapidxml::xml_node<char>* node) {
    if (!node)
        return;
    rapidxml::xml_node<char>* theme = node->first_node(kThemeElement);
    if (!theme)
        return;
    rapidxml::xml_node<char>* back = theme->first_node(kColorBackElement);
    if (!back)
        return;
    colorBack = StringToColor(std::string(back->value(), back->value_size()));
}

void CTheme::SaveXML(rapidxml::xml_document<char>& doc, rapidxml::xml_node<char>* parent) {
    if (!parent)
        return;
    rapidxml::xml_node<char>* theme = CreateNode(doc, kThemeElement, "");
    rapidxml::xml_node<char>* back =
        CreateNode(doc, kColorBackElement, ColorToString(colorBack).c_str());
    theme->append_node(back);
    parent->append_node(theme);
}

std::string ColorToString(COLORREF color) {
    char buffer[255];
    std::snprintf(buffer, sizeof buffer, "%d;%d;%d", static_cast<int>(color & 0xFF),
                  static_cast<int>((color >> 8) & 0xFF), static_cast<int>((color >> 16) & 0xFF));
    return buffer;
}

COLORREF StringToColor(const std::string& text) {
    const std::vector<std::string> fields = SplitString(text, ';');
    if (fields.size() != 3)
        return 0;
    return LowByte(ParseInt(fields[0])) | (LowByte(ParseInt(fields[1])) << 8) |
           (LowByte(ParseInt(fields[2])) << 16);
}

std::vector<std::string> SplitString(const std::string& text, char delimiter) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t pos = text.find(delimiter); pos != std::string::npos;
         pos = text.find(delimiter, start)) {
        fields.push_back(text.substr(start, pos - start));
        start = pos + 1;
    }
    fields.push_back(text.substr(start));
    return fields;
}

} // namespace Window
} // namespace Orvanel
