#pragma once
// What the Save As dialog proposes from the name the host hands in: the base name alone
// (drive, folder and extension dropped) and the extension, without its dot, that the dialog
// appends to a name typed without one.
//
// The name is split as the runtime's bounded path splitter splits it: the drive is "X:" at the
// start, the folder runs to the last '\' or '/', the extension from the last '.' after it. That
// splitter refuses a part longer than its buffer (3 characters for the drive with its
// terminator, 256 for each other part) and then, with the runtime's default handler, ends the
// process; here such a name simply proposes nothing.
#include <cstddef>
#include <string>

namespace Orvanel::ShellPlan {

struct ProposedSaveName {
    std::wstring baseName;
    std::wstring defaultExtension; // without the dot; empty for none
};

// Buffer sizes of the parts, terminator included.
constexpr std::size_t kDrivePartSize = 3;
constexpr std::size_t kOtherPartSize = 256;
// The path buffer every file export exchanges with its host.
constexpr std::size_t kPathBufferSize = 260;

// Proposal for the first `bufferSize` characters of the host's buffer. A buffer without a
// terminator in that span, or with a part too long to split, proposes nothing.
ProposedSaveName ProposeSaveName(const wchar_t* buffer, std::size_t bufferSize = kPathBufferSize);

} // namespace Orvanel::ShellPlan
