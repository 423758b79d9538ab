#include "window/BitmapStaticWindowSelector.h"

#include "host/OrvanelBitmap.h"
#include "layout/FitLayout.h"
#include "layout/MarginLayout.h"
#include "window/BitmapStaticWindow.h"

namespace Orvanel::Window {

using namespace Orvanel::Layout;

CBitmapStaticWindowSelector::CBitmapStaticWindowSelector(
    CBitmapStaticWindowSelectorInterface* owner)
    : markerPoint{0, 0}, markerRect{0, 0, 0, 0}, markerColor(0), penWidth(1), margin(6),
      dragging(false), owner(owner), halfMargin(0), sourceBitmap(nullptr), xPos(0), yPos(0),
      areaWidth(0), areaHeight(0) {
    doubleBuffered = true;
    halfMargin = margin / 2;
}

CBitmapStaticWindowSelector::~CBitmapStaticWindowSelector() = default;

float CBitmapStaticWindowSelector::CalculateRatio() {
    return HasPixels(sourceBitmap)
               ? FitRatio(sourceBitmap->GetBitmapWidth(), sourceBitmap->GetBitmapHeight(),
                          areaWidth, areaHeight)
               : 0.0f;
}

void CBitmapStaticWindowSelector::UpdateScaledBitmap() {
    const float ratio = CalculateRatio();
    if (ratio == 0.0f) {
        return;
    }
    const unsigned int sourceWidth = sourceBitmap->GetBitmapWidth();
    const unsigned int sourceHeight = sourceBitmap->GetBitmapHeight();
    const int scaledWidth = ScaledSize(sourceWidth, ratio);
    const int scaledHeight = ScaledSize(sourceHeight, ratio);
    // Already the size it is shown at: copied, not resampled, into a new copy all the same.
    const bool ownSize = static_cast<unsigned int>(scaledWidth) == sourceWidth &&
                         static_cast<unsigned int>(scaledHeight) == sourceHeight;
    FitBitmap(scaledBitmap, sourceBitmap, scaledWidth, scaledHeight,
              ownSize ? FitMode::CopyIntoNew : FitMode::Resample);
    xPos = MarginOffset(width, areaWidth, scaledBitmap->GetBitmapWidth(), halfMargin);
    yPos = MarginOffset(height, areaHeight, scaledBitmap->GetBitmapHeight(), halfMargin);
    // The picture may have moved: the marker follows it, and shows from the first paint on.
    UpdateMarkerRect();
}

void CBitmapStaticWindowSelector::UpdateMarkerRect() {
    if (scaledBitmap == nullptr) {
        return;
    }
    const int centreX = MarkerCentre(markerPoint.x, xPos, scaledBitmap->GetBitmapWidth());
    const int centreY = MarkerCentre(markerPoint.y, yPos, scaledBitmap->GetBitmapHeight());
    markerRect = RECT{centreX - halfMargin, centreY - halfMargin, centreX + halfMargin,
                      centreY + halfMargin};
}

bool CBitmapStaticWindowSelector::PictureShown() const {
    return scaledBitmap != nullptr && areaWidth > 0 && areaHeight > 0;
}

LRESULT CBitmapStaticWindowSelector::OnSize(unsigned int& clientWidth, unsigned int& clientHeight,
                                            unsigned int&) {
    areaWidth = MarginArea(clientWidth, margin);
    areaHeight = MarginArea(clientHeight, margin);
    if (sourceBitmap != nullptr && IsVisible()) {
        UpdateScaledBitmap();
    }
    return 0;
}

LRESULT CBitmapStaticWindowSelector::OnPaint(CDrawContext* drawContext) {
    PaintBackground(drawContext, window, theme.colorBack);
    // A client area no larger than the margin has no room for the picture.
    if (sourceBitmap != nullptr && PictureShown()) {
        DrawScaledBitmap(drawContext, xPos, yPos, scaledBitmap.get());
        DrawRectangle(drawContext->deviceContext, penWidth, markerRect, markerColor);
    }
    return 0;
}

void CBitmapStaticWindowSelector::PickAt(int x, int y) {
    int pixelX = PicturePixel(x, xPos, scaledBitmap->GetBitmapWidth());
    int pixelY = PicturePixel(y, yPos, scaledBitmap->GetBitmapHeight());
    markerPoint = POINT{pixelX, pixelY};
    UpdateMarkerRect();
    if (owner != nullptr) {
        owner->SelectPoint(pixelX, pixelY);
    }
    Redraw();
}

LRESULT CBitmapStaticWindowSelector::OnLButtonDown(unsigned int&, int& x, int& y) {
    SetCursor(LoadCursorW(nullptr, IDC_CROSS));
    dragging = true;
    if (PictureShown()) {
        PickAt(x, y);
    }
    return 0;
}

// Without a held button the pointer only hovers: nothing is picked.
LRESULT CBitmapStaticWindowSelector::OnMouseMove(unsigned int&, int& x, int& y) {
    if (dragging && PictureShown()) {
        PickAt(x, y);
    }
    return 0;
}

// The mouse is not captured: a release outside the window is not seen and the drag goes on
// until the next release inside it.
LRESULT CBitmapStaticWindowSelector::OnLButtonUp(unsigned int&, int&, int&) {
    SetCursor(LoadCursorW(nullptr, IDC_HAND));
    dragging = false;
    return 0;
}

void DrawRectangle(HDC deviceContext, int& penWidth, RECT& rectangle, COLORREF& color) {
    HPEN pen = CreatePen(PS_SOLID, penWidth, color);
    HGDIOBJ previous = SelectObject(deviceContext, pen);
    MoveToEx(deviceContext, rectangle.left, rectangle.top, nullptr);
    LineTo(deviceContext, rectangle.left, rectangle.bottom);
    LineTo(deviceContext, rectangle.right, rectangle.bottom);
    LineTo(deviceContext, rectangle.right, rectangle.top);
    LineTo(deviceContext, rectangle.left, rectangle.top);
    // A pen still selected into a device context cannot be deleted.
    SelectObject(deviceContext, previous);
    DeleteObject(pen);
}

} // namespace Orvanel::Window
