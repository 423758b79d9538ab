#pragma once
#include <optional>
#include <string>

namespace Orvanel::ShellPlan {

// The association program lives beside the viewer and carries its name with one word changed:
// the viewer's path is the program's own path with the first "OrvanelAssociation" (exactly so
// cased) turned into "OrvanelViewer". Nothing when the program's path does not contain it.
std::optional<std::wstring> ViewerPathFromAssociationPath(const std::wstring& programPath);

} // namespace Orvanel::ShellPlan
