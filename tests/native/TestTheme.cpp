#include <doctest/doctest.h>

#include <rapidxml/rapidxml.hpp>
#include <rapidxml/rapidxml_print.hpp>

#include <cstdlib>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "theme/Theme.h"

using namespace Orvanel::Window;
using Strings = std::vector<std::string>;

TEST_CASE("colours convert to and from R;G;B text") {
    CHECK(ColorToString(0x00FF8000) == "0;128;255");
    CHECK(ColorToString(0xFF000000) == "0;0;0"); // the unused top byte is not written
    CHECK(StringToColor("300;-1;abc") == 0x00FF2C);
    CHECK(StringToColor(" 12;\t34;+56x") == 0x38220C);
    for (const char* wrongCount : {"10;20", "1;2;3;4", "1;2;3;", "", "255"})
        CHECK(StringToColor(wrongCount) == 0);
    // Same as atoi for every int; clamped beyond, where atoi is undefined.
    for (const char* field : {"-0", "+7", "-1", "  42z", "--3", "+-3", "x9", "2147483647",
                              "-2147483648", "-2147483391", "\n\v\f\r 65"})
        CHECK_MESSAGE(StringToColor(std::string(field) + ";0;0") ==
                          (static_cast<unsigned>(std::atoi(field)) & 0xFF),
                      field);
    CHECK(StringToColor("2147483648;99999999999999999999;-99999999999999999999") == 0x00FFFF);
    CHECK(StringToColor("1;-2147483649;" + std::string(400, '9')) == 0xFF0001);
    for (COLORREF color = 0; color <= 0xFFFFFF; color += 5355) // 0xFFFFFF is 3133 x 5355
        REQUIRE(StringToColor(ColorToString(color)) == color);

    CHECK(SplitString("", ';') == Strings{""});
    CHECK(SplitString("a;b;", ';') == Strings{"a", "b", ""});
    CHECK(SplitString(";;x", ';') == Strings{"", "", "x"});
}

TEST_CASE("LoadXML reads the first Theme/colorBack only; anything missing keeps the colour") {
    const COLORREF kept = 0x123456;
    const std::pair<const char*, COLORREF> cases[] = {
        {"", kept}, // no node at all
        {"<S><Theme><colorBack> 12;34;56</colorBack></Theme></S>", 0x38220C},
        {"<S><Theme><colorBack/></Theme></S>", 0}, // present but empty is black, not missing
        {"<S/>", kept},
        {"<S><Theme/></S>", kept},
        {"<S><theme><colorBack>1;2;3</colorBack></theme></S>", kept},
        {"<S><Theme><ColorBack>1;2;3</ColorBack></Theme></S>", kept},
        {"<S><x><Theme><colorBack>1;2;3</colorBack></Theme></x></S>", kept},
        {"<S><Theme><colorBack>1;1;1</colorBack><colorBack>2;2;2</colorBack></Theme>"
         "<Theme><colorBack>3;3;3</colorBack></Theme></S>",
         0x010101},
        {"<S><Theme/><Theme><colorBack>3;3;3</colorBack></Theme></S>", kept},
    };
    for (const auto& [xml, expected] : cases) {
        std::string buffer = xml; // parsed in place: must outlive doc
        rapidxml::xml_document<char> doc;
        doc.parse<0>(&buffer[0]);
        CTheme theme;
        theme.colorBack = kept;
        theme.LoadXML(doc.first_node());
        CHECK_MESSAGE(theme.colorBack == expected, xml);
    }
}

TEST_CASE("SaveXML appends a Theme element that LoadXML reads back") {
    rapidxml::xml_document<char> doc;
    rapidxml::xml_node<char>* root = CTheme().CreateNode(doc, "Settings", "");
    doc.append_node(root);
    // The printed form; each save appends; a null parent is ignored.
    CTheme theme;
    theme.SaveXML(doc, nullptr);
    theme.SaveXML(doc, root);
    theme.colorBack = 0x010203;
    theme.SaveXML(doc, root);
    std::string text;
    rapidxml::print(std::back_inserter(text), doc, rapidxml::print_no_indenting);
    CHECK(text == "<Settings><Theme><colorBack>128;128;128</colorBack></Theme>"
                  "<Theme><colorBack>3;2;1</colorBack></Theme></Settings>");
    theme.LoadXML(root);
    CHECK(theme.colorBack == 0x808080);

    // CreateNode copies name and value into the document; null counts as empty.
    std::string name(40, 'n'), value(40, 'v');
    rapidxml::xml_node<char>* node = CTheme().CreateNode(doc, name.c_str(), value.c_str());
    name = value = std::string(40, '#');
    CHECK(std::string(node->name(), node->name_size()) == std::string(40, 'n'));
    CHECK(std::string(node->value(), node->value_size()) == std::string(40, 'v'));
    CHECK(std::string(CTheme().CreateNode(doc, nullptr, nullptr)->name()).empty());
}
