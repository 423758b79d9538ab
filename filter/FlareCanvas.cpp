#include "filter/FlareCanvas.h"

#include "host/OrvanelBitmap.h"

#include <algorithm>

namespace Orvanel::Filter {

CFlareCanvas::CFlareCanvas(COrvanelBitmap* bitmap, int width, int height) {
    if (bitmap == nullptr || bitmap->GetPtBitmap() == nullptr)
        return;
    pixels_ = bitmap->GetPtBitmap();
    stride_ = bitmap->GetWidthSize();
    width_ = std::max(0, std::min(width, static_cast<int>(bitmap->GetBitmapWidth())));
    endRow_ = std::max(0, std::min(height, static_cast<int>(bitmap->GetBitmapHeight())));
}

CFlareCanvas CFlareCanvas::Rows(int firstRow, int endRow) const {
    CFlareCanvas band = *this;
    band.firstRow_ = std::max(firstRow_, firstRow);
    band.endRow_ = std::min(endRow_, endRow);
    return band;
}

} // namespace Orvanel::Filter
