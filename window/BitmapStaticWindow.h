#pragma once
#include "window/LocalWindow.h"

class COrvanelBitmap;

namespace Orvanel::Window {

// Shows one host bitmap fitted into the client area (proportions kept, centred) on the theme
// colour. The owner sets sourceBitmap, calls UpdateScaledBitmap and Redraw; a resize rebuilds
// the scaled copy by itself.
class CBitmapStaticWindow : public CLocalWindow {
public:
    CBitmapStaticWindow();
    ~CBitmapStaticWindow() override;

    // Rebuilds scaledBitmap, xPos and yPos from sourceBitmap and the client size.
    void UpdateScaledBitmap();
    // The single-precision factor that fits the source into the client area.
    float CalculateRatio();

    LRESULT OnCreate() override;
    LRESULT OnSize(unsigned int& clientWidth, unsigned int& clientHeight,
                   unsigned int& sizeType) override;
    LRESULT OnPaint(CDrawContext* drawContext) override;
    LRESULT OnLButtonDown(unsigned int& keyState, int& x, int& y) override;
    LRESULT OnLButtonDblClk(unsigned int& keyState, int& x, int& y) override;

    COrvanelBitmap* sourceBitmap; // not owned
    COrvanelBitmap* scaledBitmap; // owned
    unsigned int xPos;
    unsigned int yPos;
};

// Puts a host bitmap on the draw context's device context at (x, y), unscaled.
void DrawBitmap(CDrawContext* drawContext, int x, int y, int width, int height,
                COrvanelBitmap* bitmap);

// The whole of a fitted copy at its place in the client area.
void DrawScaledBitmap(CDrawContext* drawContext, unsigned int x, unsigned int y,
                      COrvanelBitmap* scaledBitmap);

// Fills the window's client area on the draw context with the colour.
void PaintBackground(CDrawContext* drawContext, HWND window, COLORREF color);

// Whether a bitmap has pixels, and so proportions to fit.
bool HasPixels(COrvanelBitmap* bitmap);

} // namespace Orvanel::Window
