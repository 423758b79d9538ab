#pragma once
#include "window/BitmapStaticWindowSelectorInterface.h"
#include "window/LocalWindow.h"

#include <memory>

class COrvanelBitmap;

namespace Orvanel::Window {

// A bitmap window on which the user picks a point: the picture fitted inside a margin, a
// small square marker, and while the left button is held, the pixel under the pointer
// reported to the owner. The picked pixel is kept in markerPoint, so the marker stays on it.
class CBitmapStaticWindowSelector : public CLocalWindow {
public:
    explicit CBitmapStaticWindowSelector(CBitmapStaticWindowSelectorInterface* owner);
    ~CBitmapStaticWindowSelector() override;

    // Rebuilds scaledBitmap, xPos and yPos from sourceBitmap and the area inside the margin.
    void UpdateScaledBitmap();
    // The single-precision factor that fits the source into the area inside the margin; 0
    // (nothing to fit) without a source that has pixels.
    float CalculateRatio();
    // The marker square around markerPoint, kept on the picture.
    void UpdateMarkerRect();

    LRESULT OnSize(unsigned int& clientWidth, unsigned int& clientHeight,
                   unsigned int& sizeType) override;
    LRESULT OnPaint(CDrawContext* drawContext) override;
    LRESULT OnLButtonDown(unsigned int& keyState, int& x, int& y) override;
    LRESULT OnLButtonUp(unsigned int& keyState, int& x, int& y) override;
    LRESULT OnMouseMove(unsigned int& keyState, int& x, int& y) override;

    // The selected pixel of the picture as shown (origin top-left); the marker's centre.
    POINT markerPoint;
    RECT markerRect;
    COLORREF markerColor;
    int penWidth;
    int margin;
    bool dragging;
    CBitmapStaticWindowSelectorInterface* owner; // not owned
    int halfMargin;
    COrvanelBitmap* sourceBitmap; // not owned
    std::unique_ptr<COrvanelBitmap> scaledBitmap;
    unsigned int xPos;
    unsigned int yPos;
    unsigned int areaWidth;
    unsigned int areaHeight;

private:
    // Whether a picture is on screen to point at: a scaled copy inside a non-empty area.
    bool PictureShown() const;
    // Reports the pixel under the client position (x, y) and moves the marker onto it.
    void PickAt(int x, int y);
};

// Outlines the rectangle (not filled) with a solid pen of the width and colour.
void DrawRectangle(HDC deviceContext, int& penWidth, RECT& rectangle, COLORREF& color);

} // namespace Orvanel::Window
