#include "shellplan/ProposedSaveName.h"

namespace Orvanel::ShellPlan {

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

} // namespace

ProposedSaveName ProposeSaveName(const wchar_t* buffer, std::size_t bufferSize) {
    std::size_t length = 0;
    while (length < bufferSize && buffer[length] != L'\0') {
        ++length;
    }
    if (length == bufferSize) {
        return {}; // not a string within the buffer the host promised
    }
    const std::wstring path(buffer, length);

    std::size_t start = 0;
    if (path.size() >= 2 && path[1] == L':') {
        start = 2; // the drive always fits its 3 characters
    }
    std::size_t nameStart = start;
    for (std::size_t i = start; i < path.size(); ++i) {
        if (IsSeparator(path[i])) {
            nameStart = i + 1;
        }
    }
    std::size_t extensionStart = path.size();
    for (std::size_t i = nameStart; i < path.size(); ++i) {
        if (path[i] == L'.') {
            extensionStart = i;
        }
    }
    const std::size_t folderLength = nameStart - start;
    const std::size_t nameLength = extensionStart - nameStart;
    const std::size_t extensionLength = path.size() - extensionStart;
    if (folderLength >= kOtherPartSize || nameLength >= kOtherPartSize ||
        extensionLength >= kOtherPartSize) {
        return {};
    }
    ProposedSaveName proposal;
    proposal.baseName = path.substr(nameStart, nameLength);
    if (extensionLength > 1) {
        proposal.defaultExtension = path.substr(extensionStart + 1);
    }
    return proposal;
}

} // namespace Orvanel::ShellPlan
