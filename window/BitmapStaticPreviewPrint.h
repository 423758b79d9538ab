#pragma once
#include "layout/PrintPreviewLayout.h"
#include "window/LocalWindow.h"

#include <memory>

class COrvanelBitmap;

namespace Orvanel::Window {

// The print setup dialog's miniature of the sheet: a grey surround, the white page and the
// image scaled into the top-left corner of the part of the page the margins leave free. The
// dialog does the layout: it writes both rectangles (client coordinates), then calls
// UpdateScaledBitmap and Redraw.
class CBitmapStaticPreviewPrint : public CLocalWindow {
public:
    explicit CBitmapStaticPreviewPrint(COrvanelBitmap* source);
    ~CBitmapStaticPreviewPrint() override;

    // The single-precision factor that fits the source into imageRect.
    float CalculateRatio();
    // Rebuilds scaledBitmap for the current imageRect and source pixels. An empty, inside-out
    // or absurdly large imageRect (margins past the paper, or typed as "1e39") leaves an empty
    // copy: the page is then shown without the image.
    void UpdateScaledBitmap();

    LRESULT OnPaint(CDrawContext* drawContext) override;

    COrvanelBitmap* sourceBitmap; // the host's, only read (the dialog may turn it in place)
    std::unique_ptr<COrvanelBitmap> scaledBitmap;
    Layout::PixelRect imageRect;
    Layout::PixelRect pageRect;
};

} // namespace Orvanel::Window
