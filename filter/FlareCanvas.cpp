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
    height_ = std::max(0, std::min(height, static_cast<int>(bitmap->GetBitmapHeight())));
}

} // namespace Orvanel::Filter
