#pragma once
// The three registry operations the file association needs, behind an interface so that the
// order and content of the writes can be recorded without a registry.
#include <string>

namespace Orvanel::ShellPlan {

enum class RegistryRoot { ClassesRoot, CurrentUser };

class CRegistryWriterInterface {
public:
    virtual ~CRegistryWriterInterface() = default;

    // Creates the key (and any missing parent); writes nothing.
    virtual bool CreateRegistryKey(RegistryRoot root, const std::wstring& path) = 0;
    // Writes a string value into an existing key; an empty name is the key's default value.
    virtual bool SetRegistryString(RegistryRoot root, const std::wstring& path,
                                   const std::wstring& name, const std::wstring& text) = 0;
    // Creates the key if needed and writes a value of no type and no data under the name.
    virtual bool AddRegistryEmptyValue(RegistryRoot root, const std::wstring& path,
                                       const std::wstring& name) = 0;
};

} // namespace Orvanel::ShellPlan
