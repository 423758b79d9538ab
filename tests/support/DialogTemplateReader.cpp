#include "support/DialogTemplateReader.h"

#include <cwctype>

namespace QuilletTest {

namespace {

class Cursor {
public:
    Cursor(const BYTE* data, size_t size) : data_(data), size_(size) {}

    bool Failed() const { return failed_; }
    size_t Offset() const { return offset_; }

    template <class T> T Read() {
        T value{};
        if (offset_ + sizeof(T) > size_) {
            failed_ = true;
            return value;
        }
        memcpy(&value, data_ + offset_, sizeof(T));
        offset_ += sizeof(T);
        return value;
    }

    // A null-terminated UTF-16 string.
    std::wstring String() {
        std::wstring text;
        for (;;) {
            const WCHAR c = Read<WCHAR>();
            if (failed_ || c == 0)
                return text;
            text.push_back(c);
        }
    }

    // A string or, after 0xFFFF, an ordinal; 0x0000 alone is "none".
    std::wstring StringOrOrdinal(WORD& ordinal) {
        ordinal = 0;
        if (offset_ + sizeof(WORD) > size_) {
            failed_ = true;
            return {};
        }
        WORD first = 0;
        memcpy(&first, data_ + offset_, sizeof(WORD));
        if (first == 0xFFFF) {
            offset_ += sizeof(WORD);
            ordinal = Read<WORD>();
            return {};
        }
        return String();
    }

    void AlignToDword() { offset_ = (offset_ + 3) & ~static_cast<size_t>(3); }
    void Skip(size_t bytes) {
        if (offset_ + bytes > size_)
            failed_ = true;
        else
            offset_ += bytes;
    }

private:
    const BYTE* data_;
    size_t size_;
    size_t offset_ = 0;
    bool failed_ = false;
};

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

std::wstring PredefinedClass(WORD ordinal) {
    switch (ordinal) {
    case 0x80:
        return L"button";
    case 0x81:
        return L"edit";
    case 0x82:
        return L"static";
    case 0x83:
        return L"listbox";
    case 0x84:
        return L"scrollbar";
    case 0x85:
        return L"combobox";
    default:
        return L"#" + std::to_wstring(ordinal);
    }
}

} // namespace

bool ParseDialogTemplate(const void* data, size_t size, DialogTemplate& parsed,
                         std::string& error) {
    parsed = DialogTemplate{};
    Cursor in(static_cast<const BYTE*>(data), size);
    const WORD version = in.Read<WORD>();
    const WORD signature = in.Read<WORD>();
    if (in.Failed() || version != 1 || signature != 0xFFFF) {
        error = "not an extended dialog template";
        return false;
    }
    parsed.helpId = in.Read<DWORD>();
    parsed.exStyle = in.Read<DWORD>();
    parsed.style = in.Read<DWORD>();
    const WORD count = in.Read<WORD>();
    parsed.x = in.Read<short>();
    parsed.y = in.Read<short>();
    parsed.cx = in.Read<short>();
    parsed.cy = in.Read<short>();
    WORD ordinal = 0;
    parsed.menu = in.StringOrOrdinal(ordinal);
    if (ordinal != 0)
        parsed.menu = L"#" + std::to_wstring(ordinal);
    parsed.className = in.StringOrOrdinal(ordinal);
    if (ordinal != 0)
        parsed.className = L"#" + std::to_wstring(ordinal);
    parsed.title = in.String();
    if (parsed.style & (DS_SETFONT | DS_SHELLFONT)) {
        parsed.pointSize = in.Read<WORD>();
        parsed.weight = in.Read<WORD>();
        parsed.italic = in.Read<BYTE>();
        parsed.charset = in.Read<BYTE>();
        parsed.typeface = in.String();
    }
    if (in.Failed()) {
        error = "the dialog header runs past the end of the resource";
        return false;
    }
    for (WORD i = 0; i < count; ++i) {
        in.AlignToDword();
        DialogTemplateItem item;
        item.helpId = in.Read<DWORD>();
        item.exStyle = in.Read<DWORD>();
        item.style = in.Read<DWORD>();
        item.x = in.Read<short>();
        item.y = in.Read<short>();
        item.cx = in.Read<short>();
        item.cy = in.Read<short>();
        item.id = static_cast<int>(in.Read<DWORD>());
        item.className = Lower(in.StringOrOrdinal(ordinal));
        if (ordinal != 0)
            item.className = PredefinedClass(ordinal);
        item.text = in.StringOrOrdinal(ordinal);
        if (ordinal != 0)
            item.text = L"#" + std::to_wstring(ordinal);
        item.extraBytes = in.Read<WORD>();
        in.Skip(item.extraBytes);
        if (in.Failed()) {
            error = "item " + std::to_string(i) + " runs past the end of the resource";
            return false;
        }
        parsed.items.push_back(item);
    }
    return true;
}

bool LoadDialogTemplate(HMODULE module, int id, DialogTemplate& parsed, std::string& error) {
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), RT_DIALOG);
    HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (data == nullptr) {
        error = "dialog resource " + std::to_string(id) + " not found";
        return false;
    }
    return ParseDialogTemplate(data, SizeofResource(module, resource), parsed, error);
}

} // namespace QuilletTest
