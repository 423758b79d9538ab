#include "support/DialogTemplateReader.h"

#include <cstring>
#include <cwctype>

namespace QuilletTest {

namespace {

// Reads front to back; a read past the end sets `failed` and gives zeros.
class Cursor {
public:
    Cursor(const BYTE* data, size_t size) : data_(data), size_(size) {}
    bool failed = false;

    template <class T> T Read() {
        T value{};
        if (offset_ + sizeof(T) > size_) {
            failed = true;
            return value;
        }
        std::memcpy(&value, data_ + offset_, sizeof(T));
        offset_ += sizeof(T);
        return value;
    }
    std::wstring String() {
        std::wstring text;
        for (WCHAR c = Read<WCHAR>(); !failed && c != 0; c = Read<WCHAR>())
            text.push_back(c);
        return text;
    }
    // A string, or 0xFFFF followed by an ordinal ("#<number>"); a lone 0 is none.
    std::wstring StringOrOrdinal(WORD& ordinal) {
        ordinal = 0;
        WORD first = 0;
        if (offset_ + sizeof(WORD) <= size_)
            std::memcpy(&first, data_ + offset_, sizeof(WORD));
        if (first != 0xFFFF)
            return String();
        Read<WORD>();
        ordinal = Read<WORD>();
        return L"#" + std::to_wstring(ordinal);
    }
    void AlignToDword() { offset_ = (offset_ + 3) & ~static_cast<size_t>(3); }
    void Skip(size_t bytes) {
        failed = failed || offset_ + bytes > size_;
        offset_ += bytes;
    }

private:
    const BYTE* data_;
    size_t size_;
    size_t offset_ = 0;
};

std::wstring ClassName(const std::wstring& name, WORD ordinal) {
    static const wchar_t* const kPredefined[] = {L"button",  L"edit",      L"static",
                                                 L"listbox", L"scrollbar", L"combobox"};
    if (ordinal >= 0x80 && ordinal <= 0x85)
        return kPredefined[ordinal - 0x80];
    std::wstring lower = name;
    for (wchar_t& c : lower)
        c = static_cast<wchar_t>(std::towlower(c));
    return lower;
}

} // namespace

bool LoadDialogTemplate(HMODULE module, int id, DialogTemplate& parsed, std::string& error) {
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), RT_DIALOG);
    HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (data == nullptr) {
        error = "dialog resource " + std::to_string(id) + " not found";
        return false;
    }
    parsed = DialogTemplate{};
    Cursor in(static_cast<const BYTE*>(data), SizeofResource(module, resource));
    if (in.Read<WORD>() != 1 || in.Read<WORD>() != 0xFFFF) {
        error = "not an extended dialog template";
        return false;
    }
    in.Read<DWORD>(); // help id
    parsed.exStyle = in.Read<DWORD>();
    parsed.style = in.Read<DWORD>();
    const WORD count = in.Read<WORD>();
    parsed.x = in.Read<short>(), parsed.y = in.Read<short>();
    parsed.cx = in.Read<short>(), parsed.cy = in.Read<short>();
    WORD ordinal = 0;
    parsed.menu = in.StringOrOrdinal(ordinal);
    parsed.className = in.StringOrOrdinal(ordinal);
    parsed.title = in.String();
    if (parsed.style & (DS_SETFONT | DS_SHELLFONT)) {
        parsed.pointSize = in.Read<WORD>();
        in.Skip(4); // weight, italic, character set
        parsed.typeface = in.String();
    }
    for (WORD i = 0; i < count && !in.failed; ++i) {
        in.AlignToDword();
        DialogTemplateItem item;
        in.Read<DWORD>(); // help id
        item.exStyle = in.Read<DWORD>();
        item.style = in.Read<DWORD>();
        item.x = in.Read<short>(), item.y = in.Read<short>();
        item.cx = in.Read<short>(), item.cy = in.Read<short>();
        item.id = static_cast<int>(in.Read<DWORD>());
        const std::wstring name = in.StringOrOrdinal(ordinal);
        item.className = ClassName(name, ordinal);
        item.text = in.StringOrOrdinal(ordinal);
        item.extraBytes = in.Read<WORD>();
        in.Skip(item.extraBytes);
        parsed.items.push_back(item);
    }
    if (in.failed)
        error = "dialog " + std::to_string(id) + " runs past the end of its resource";
    return !in.failed;
}

} // namespace QuilletTest
