#include "shell/CommonFileDialogs.h"

#include "shellplan/FileDialogFilters.h"
#include "shellplan/ProposedSaveName.h"
#include "win32/ModuleInstance.h"

#include <commdlg.h>
#include <shlobj.h>

#include <cwchar>
#include <vector>

namespace Orvanel::Shell {

namespace {

using Orvanel::ShellPlan::kPathBufferSize;

// The dialogs take a writable list: each call works on its own copy of the constant one.
std::vector<wchar_t> FilterCopy(const wchar_t* list) {
    return std::vector<wchar_t>(list, list + Orvanel::ShellPlan::FilterListLength(list));
}

// The dialogs have no owner window: the host's is deliberately not passed on.
OPENFILENAMEW FileDialogRecord(wchar_t* filter) {
    OPENFILENAMEW record{};
    static_assert(sizeof(OPENFILENAMEW) == 152, "the full-size record of 64-bit Windows");
    record.lStructSize = sizeof(OPENFILENAMEW);
    record.hwndOwner = nullptr;
    record.hInstance = Orvanel::Win32::GetModuleInstance();
    record.lpstrFilter = filter;
    record.nMaxFile = kPathBufferSize;
    return record;
}

int ShowOpenDialog(wchar_t* path, const wchar_t* list) {
    std::vector<wchar_t> filter = FilterCopy(list);
    wchar_t chosen[kPathBufferSize] = {};
    OPENFILENAMEW record = FileDialogRecord(filter.data());
    record.nFilterIndex = 1;
    record.lpstrFile = chosen;
    record.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    if (GetOpenFileNameW(&record) != TRUE) {
        return 0;
    }
    wcscpy_s(path, kPathBufferSize, chosen);
    return 1;
}

} // namespace

int ShowImageOpenDialog(wchar_t* path) {
    return ShowOpenDialog(path, Orvanel::ShellPlan::kImageOpenFilter);
}

int ShowVideoOpenDialog(wchar_t* path) {
    return ShowOpenDialog(path, Orvanel::ShellPlan::kVideoOpenFilter);
}

int ShowImageSaveDialog(wchar_t* path) {
    // The runtime's own splitter would end the process on a part longer than its buffers;
    // the portable split refuses such a name and proposes nothing instead.
    const Orvanel::ShellPlan::ProposedSaveName proposal = Orvanel::ShellPlan::ProposeSaveName(path);
    wcscpy_s(path, kPathBufferSize, proposal.baseName.c_str());

    std::vector<wchar_t> filter = FilterCopy(Orvanel::ShellPlan::kSaveFilter);
    wchar_t title[kPathBufferSize] = {};
    OPENFILENAMEW record = FileDialogRecord(filter.data());
    record.nFilterIndex = 0;
    record.lpstrFile = path;
    record.lpstrFileTitle = title;
    record.nMaxFileTitle = kPathBufferSize;
    record.Flags = OFN_OVERWRITEPROMPT;
    // Never null, also when the proposed name has no extension: an empty default extension
    // still has the system append the selected type's to a name typed without one.
    record.lpstrDefExt = proposal.defaultExtension.c_str();
    return GetSaveFileNameW(&record) != 0 ? 1 : 0;
}

int ShowFolderDialog(wchar_t* path, HWND owner) {
    wchar_t displayName[kPathBufferSize] = {};
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.pidlRoot = nullptr;
    info.pszDisplayName = displayName;
    info.lpszTitle = L"Select a Folder";
    info.ulFlags = 0;
    PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&info);
    if (item == nullptr) {
        return 0;
    }
    // A virtual item (the computer, the network) has no path: nothing was chosen on disk.
    wchar_t folder[kPathBufferSize] = {};
    const BOOL converted = SHGetPathFromIDListW(item, folder);
    CoTaskMemFree(item);
    if (!converted || folder[0] == L'\0') {
        return 0;
    }
    wcscpy_s(path, kPathBufferSize, folder);
    return 1;
}

} // namespace Orvanel::Shell
