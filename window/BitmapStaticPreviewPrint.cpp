#include "window/BitmapStaticPreviewPrint.h"

#include "host/OrvanelBitmap.h"
#include "layout/SaturatedInt.h"
#include "window/BitmapStaticWindow.h"

namespace Orvanel::Window {

namespace {

constexpr COLORREF kSurroundColor = 0x009D9DA1; // red 161, green 157, blue 157
constexpr COLORREF kPageColor = 0x00FFFFFF;

void FillArea(HDC deviceContext, const RECT& area, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(deviceContext, &area, brush);
    DeleteObject(brush);
}

} // namespace

CBitmapStaticPreviewPrint::CBitmapStaticPreviewPrint(COrvanelBitmap* source)
    : sourceBitmap(source),
      scaledBitmap(std::make_unique<COrvanelBitmap>()), imageRect{}, pageRect{} {
    doubleBuffered = true;
}

CBitmapStaticPreviewPrint::~CBitmapStaticPreviewPrint() = default;

float CBitmapStaticPreviewPrint::CalculateRatio() {
    if (!HasPixels(sourceBitmap)) {
        return 0.0f;
    }
    return Layout::MiniatureRatio(sourceBitmap->GetBitmapWidth(), sourceBitmap->GetBitmapHeight(),
                                  imageRect);
}

void CBitmapStaticPreviewPrint::UpdateScaledBitmap() {
    int scaledWidth = 0;
    int scaledHeight = 0;
    if (HasPixels(sourceBitmap) && Layout::MiniatureAreaUsable(imageRect)) {
        const float ratio = CalculateRatio();
        scaledWidth =
            Layout::SaturatedInt(static_cast<float>(sourceBitmap->GetBitmapWidth()) * ratio);
        scaledHeight =
            Layout::SaturatedInt(static_cast<float>(sourceBitmap->GetBitmapHeight()) * ratio);
    }
    if (scaledWidth > 0 && scaledHeight > 0) {
        FitBitmap(scaledBitmap, sourceBitmap, scaledWidth, scaledHeight, FitMode::Resample);
    } else {
        scaledBitmap = std::make_unique<COrvanelBitmap>();
    }
}

LRESULT CBitmapStaticPreviewPrint::OnPaint(CDrawContext* drawContext) {
    HDC deviceContext = drawContext->deviceContext;
    RECT client{};
    GetClientRect(window, &client);
    FillArea(deviceContext, client, kSurroundColor);
    FillArea(deviceContext, RECT{pageRect.left, pageRect.top, pageRect.right, pageRect.bottom},
             kPageColor);
    // The copy always fits imageRect, so copying just its own pixels draws the same picture
    // without reading past the copy's bitmap.
    DrawBitmap(drawContext, imageRect.left, imageRect.top,
               static_cast<int>(scaledBitmap->GetBitmapWidth()),
               static_cast<int>(scaledBitmap->GetBitmapHeight()), scaledBitmap.get());
    return 0;
}

} // namespace Orvanel::Window
