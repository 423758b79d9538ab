#pragma once
// What "associate these formats with the viewer" writes to the registry, and in which order:
// the viewer's document type and application entry, then per extension the user's Explorer
// choice and the extension's content type.
#include "shellplan/RegistryWriterInterface.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace Orvanel::ShellPlan {

// The registry's texts are formatted into buffers of this many characters, terminator
// included; a text that would not fit is not written rather than written cut short (a cut
// open command loses its closing quote).
constexpr std::size_t kRegistryTextCapacity = 260;
bool FitsRegistryText(const std::wstring& text);
// What the shell runs to open a document with the viewer: its quoted path and the document's.
std::wstring OpenCommand(const std::wstring& viewerPath);

// A check box of the association dialog and the extensions it stands for (no dot, lower case).
struct ExtensionBox {
    int boxId;
    std::vector<std::wstring> extensions;
};

// The boxes in the order they are tested on OK. Some boxes appear twice and one box of the
// dialog not at all: the list, not the dialog, decides what is registered.
const std::vector<ExtensionBox>& ExtensionBoxes();
// Every box of the dialog, in the order they are checked when it opens.
const std::vector<int>& DialogBoxIds();

class CAssociationRegistration {
public:
    explicit CAssociationRegistration(CRegistryWriterInterface& writer) : writer_(writer) {}

    // The viewer path (the application's name in the open command and the icon), then the
    // extension of each checked box. Writes nothing and answers false when the program's path
    // gives no viewer path, or one too long for its open command to fit.
    bool Register(const std::wstring& programPath, const std::function<bool(int boxId)>& isChecked);

    void RegisterViewerDocument(const std::wstring& viewerPath);
    void RegisterExtension(const std::wstring& extension);

private:
    void CreateKey(RegistryRoot root, const std::wstring& path);
    void SetString(RegistryRoot root, const std::wstring& path, const std::wstring& name,
                   const std::wstring& text);
    void AddEmptyValue(RegistryRoot root, const std::wstring& path, const std::wstring& name);

    CRegistryWriterInterface& writer_;
};

} // namespace Orvanel::ShellPlan
