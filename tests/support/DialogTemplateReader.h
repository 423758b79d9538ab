#pragma once
// Reads a compiled extended dialog template (DLGTEMPLATEEX and its items) as the dialog
// manager will: the checks of the templates compare what was compiled into the DLL, not the
// resource script.
#include <windows.h>

#include <string>
#include <vector>

namespace QuilletTest {

struct DialogTemplateItem {
    DWORD helpId = 0;
    DWORD exStyle = 0;
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    int id = 0;
    // Predefined classes stored as ordinals come back by name, lower case ("button", "edit",
    // "static", "listbox", "scrollbar", "combobox"); other classes as written, lower case.
    std::wstring className;
    std::wstring text; // an ordinal text (an icon id) comes back as "#<number>"
    WORD extraBytes = 0;
};

struct DialogTemplate {
    DWORD helpId = 0;
    DWORD exStyle = 0;
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::wstring menu;      // empty when none
    std::wstring className; // empty for the standard dialog class
    std::wstring title;
    WORD pointSize = 0; // the font, present with DS_SETFONT or DS_SHELLFONT
    WORD weight = 0;
    BYTE italic = 0;
    BYTE charset = 0;
    std::wstring typeface;
    std::vector<DialogTemplateItem> items;
};

// Parses `size` bytes of an extended template. False, with `error` saying where, when the
// bytes are not one (wrong signature, a string or an item running past the end).
bool ParseDialogTemplate(const void* data, size_t size, DialogTemplate& parsed, std::string& error);

// Finds dialog resource `id` in a loaded module and parses it.
bool LoadDialogTemplate(HMODULE module, int id, DialogTemplate& parsed, std::string& error);

} // namespace QuilletTest
