#include "shell/RegistryWriter.h"

#include <windows.h>

namespace Orvanel::Shell {

namespace {

HKEY RootKey(Orvanel::ShellPlan::RegistryRoot root) {
    return root == Orvanel::ShellPlan::RegistryRoot::ClassesRoot ? HKEY_CLASSES_ROOT
                                                                 : HKEY_CURRENT_USER;
}

HKEY CreateKey(Orvanel::ShellPlan::RegistryRoot root, const std::wstring& path) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(RootKey(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return nullptr;
    }
    return key;
}

} // namespace

bool CRegistryWriter::CreateRegistryKey(RegistryRoot root, const std::wstring& path) {
    HKEY key = CreateKey(root, path);
    if (key == nullptr) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

bool CRegistryWriter::SetRegistryString(RegistryRoot root, const std::wstring& path,
                                        const std::wstring& name, const std::wstring& text) {
    // Only a key made before: a value is never the reason a key appears.
    HKEY key = nullptr;
    if (RegOpenKeyExW(RootKey(root), path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
        return false;
    }
    // The size is in bytes and counts the terminator, which readers of REG_SZ rely on.
    const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    const LONG status = RegSetValueExW(key, name.c_str(), 0, REG_SZ,
                                       reinterpret_cast<const BYTE*>(text.c_str()), bytes);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

bool CRegistryWriter::AddRegistryEmptyValue(RegistryRoot root, const std::wstring& path,
                                            const std::wstring& name) {
    HKEY key = CreateKey(root, path);
    if (key == nullptr) {
        return false;
    }
    const LONG status = RegSetValueExW(key, name.c_str(), 0, REG_NONE, nullptr, 0);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

} // namespace Orvanel::Shell
