#pragma once
// Reads a dialog template compiled into a module (DLGTEMPLATEEX and its items) as the dialog
// manager will: the template checks compare what ships, not the resource script.
#include <windows.h>

#include <string>
#include <vector>

namespace QuilletTest {

struct DialogTemplateItem {
    DWORD exStyle = 0;
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    int id = 0;
    // Predefined classes stored as ordinals come back by name, lower case ("button", "edit",
    // "static"...); other classes as written, lower case. An ordinal text reads "#<number>".
    std::wstring className;
    std::wstring text;
    WORD extraBytes = 0;
};

struct DialogTemplate {
    DWORD exStyle = 0;
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::wstring menu;      // empty when none, "#<number>" for an ordinal
    std::wstring className; // empty for the standard dialog class
    std::wstring title;
    WORD pointSize = 0; // the font, present with DS_SETFONT or DS_SHELLFONT
    std::wstring typeface;
    std::vector<DialogTemplateItem> items;
};

// Finds dialog resource `id` in a loaded module and parses it. False, with `error` saying
// why, when there is none or its bytes are not an extended template that ends where they do.
bool LoadDialogTemplate(HMODULE module, int id, DialogTemplate& parsed, std::string& error);

} // namespace QuilletTest
