#pragma once
#include "window/LocalWindow.h"

#include <memory>

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
    // The single-precision factor that fits the source into the client area; 0 (nothing to
    // fit) without a source that has pixels.
    float CalculateRatio();

    LRESULT OnCreate() override;
    LRESULT OnSize(unsigned int& clientWidth, unsigned int& clientHeight,
                   unsigned int& sizeType) override;
    LRESULT OnPaint(CDrawContext* drawContext) override;
    LRESULT OnLButtonDown(unsigned int& keyState, int& x, int& y) override;
    LRESULT OnLButtonDblClk(unsigned int& keyState, int& x, int& y) override;

    COrvanelBitmap* sourceBitmap; // not owned
    std::unique_ptr<COrvanelBitmap> scaledBitmap;
    unsigned int xPos;
    unsigned int yPos;
};

// Shows a bitmap in a bitmap window: fitted anew and painted at once.
template <class BitmapWindow> void ShowBitmap(BitmapWindow& window, COrvanelBitmap* bitmap) {
    window.sourceBitmap = bitmap;
    window.UpdateScaledBitmap();
    window.Redraw();
}

// What FitBitmap makes of the source.
enum class FitMode {
    Resample,    // a new bitmap of the given size, resampled bicubically
    CopyIntoNew, // a new bitmap with the source's own pixels and size
    CopyInPlace, // the source's pixels and size in the fitted bitmap already there, if any
};

// Rebuilds the fitted copy of a bitmap window from its source (which has pixels).
void FitBitmap(std::unique_ptr<COrvanelBitmap>& fitted, COrvanelBitmap* source, int width,
               int height, FitMode mode);

// Copies a bitmap's pixels and size into another; nothing when either is missing.
void CopyPixels(COrvanelBitmap* from, COrvanelBitmap* to);

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
