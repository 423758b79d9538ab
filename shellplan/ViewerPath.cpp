#include "shellplan/ViewerPath.h"

namespace Orvanel::ShellPlan {

std::optional<std::wstring> ViewerPathFromAssociationPath(const std::wstring& programPath) {
    static const std::wstring association = L"OrvanelAssociation";
    const std::size_t at = programPath.find(association);
    if (at == std::wstring::npos) {
        return std::nullopt;
    }
    std::wstring viewer = programPath;
    viewer.replace(at, association.size(), L"OrvanelViewer");
    return viewer;
}

} // namespace Orvanel::ShellPlan
