#pragma once
#include "shellplan/RegistryWriterInterface.h"

namespace Orvanel::Shell {

// The association's writes made in the system registry. Each operation opens its key with full
// access and closes it before returning; a failure is answered false and nothing else.
class CRegistryWriter : public Orvanel::ShellPlan::CRegistryWriterInterface {
public:
    using RegistryRoot = Orvanel::ShellPlan::RegistryRoot;

    bool CreateRegistryKey(RegistryRoot root, const std::wstring& path) override;
    bool SetRegistryString(RegistryRoot root, const std::wstring& path, const std::wstring& name,
                           const std::wstring& text) override;
    bool AddRegistryEmptyValue(RegistryRoot root, const std::wstring& path,
                               const std::wstring& name) override;
};

} // namespace Orvanel::Shell
