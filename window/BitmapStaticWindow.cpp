#include "window/BitmapStaticWindow.h"

#include "host/InterpolationBicubic.h"
#include "host/OrvanelBitmap.h"
#include "layout/FitLayout.h"

namespace Orvanel::Window {

using namespace Orvanel::Layout;

CBitmapStaticWindow::CBitmapStaticWindow()
    : sourceBitmap(nullptr), scaledBitmap(nullptr), xPos(0), yPos(0) {
    doubleBuffered = true;
    // Near-black, not black: 4 is red 4, green 0, blue 0.
    theme.colorBack = 4;
}

CBitmapStaticWindow::~CBitmapStaticWindow() = default;

float CBitmapStaticWindow::CalculateRatio() {
    return HasPixels(sourceBitmap) ? FitRatio(sourceBitmap->GetBitmapWidth(),
                                              sourceBitmap->GetBitmapHeight(), width, height)
                                   : 0.0f;
}

void CBitmapStaticWindow::UpdateScaledBitmap() {
    const float ratio = CalculateRatio();
    if (ratio == 0.0f) {
        return;
    }
    // At a factor of exactly 1 the pixels are copied into the copy already there.
    FitBitmap(scaledBitmap, sourceBitmap, ScaledSize(sourceBitmap->GetBitmapWidth(), ratio),
              ScaledSize(sourceBitmap->GetBitmapHeight(), ratio),
              ratio == 1.0f ? FitMode::CopyInPlace : FitMode::Resample);
    xPos = CentredOffset(width, scaledBitmap->GetBitmapWidth());
    yPos = CentredOffset(height, scaledBitmap->GetBitmapHeight());
}

LRESULT CBitmapStaticWindow::OnCreate() { return 0; }

LRESULT CBitmapStaticWindow::OnSize(unsigned int&, unsigned int&, unsigned int&) {
    if (sourceBitmap != nullptr && IsVisible()) {
        UpdateScaledBitmap();
    }
    return 0;
}

LRESULT CBitmapStaticWindow::OnPaint(CDrawContext* drawContext) {
    PaintBackground(drawContext, window, theme.colorBack);
    if (sourceBitmap != nullptr && scaledBitmap != nullptr) {
        DrawScaledBitmap(drawContext, xPos, yPos, scaledBitmap.get());
    }
    return 0;
}

// A click and a double click on the picture both reach the parent as a double click.
LRESULT CBitmapStaticWindow::OnLButtonDown(unsigned int& keyState, int& x, int& y) {
    if (parent != nullptr) {
        parent->OnLButtonDblClk(keyState, x, y);
    }
    return 0;
}

LRESULT CBitmapStaticWindow::OnLButtonDblClk(unsigned int& keyState, int& x, int& y) {
    if (parent != nullptr) {
        parent->OnLButtonDblClk(keyState, x, y);
    }
    return 0;
}

void FitBitmap(std::unique_ptr<COrvanelBitmap>& fitted, COrvanelBitmap* source, int width,
               int height, FitMode mode) {
    if (mode == FitMode::Resample) {
        // The resampler may hand back another bitmap than the one it was given: that one is kept.
        COrvanelBitmap* resampled = std::make_unique<COrvanelBitmap>(width, height, 32).release();
        CInterpolationBicubic().Execute(source, resampled);
        fitted.reset(resampled);
        return;
    }
    if (mode == FitMode::CopyIntoNew || fitted == nullptr) {
        fitted = std::make_unique<COrvanelBitmap>();
    }
    CopyPixels(source, fitted.get());
}

void CopyPixels(COrvanelBitmap* from, COrvanelBitmap* to) {
    if (from != nullptr && to != nullptr) {
        to->SetBitmap(from->GetPtBitmap(), from->GetBitmapWidth(), from->GetBitmapHeight(), false,
                      true);
    }
}

void DrawBitmap(CDrawContext* drawContext, int x, int y, int width, int height,
                COrvanelBitmap* bitmap) {
    if (bitmap == nullptr) {
        return;
    }
    HBITMAP picture = bitmap->GetBitmap();
    if (picture == nullptr) {
        return;
    }
    HDC memory = CreateCompatibleDC(drawContext->deviceContext);
    HGDIOBJ previous = SelectObject(memory, picture);
    BitBlt(drawContext->deviceContext, x, y, width, height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(picture);
}

void DrawScaledBitmap(CDrawContext* drawContext, unsigned int x, unsigned int y,
                      COrvanelBitmap* scaledBitmap) {
    DrawBitmap(drawContext, static_cast<int>(x), static_cast<int>(y),
               static_cast<int>(scaledBitmap->GetBitmapWidth()),
               static_cast<int>(scaledBitmap->GetBitmapHeight()), scaledBitmap);
}

void PaintBackground(CDrawContext* drawContext, HWND window, COLORREF color) {
    RECT client{};
    GetClientRect(window, &client);
    HBRUSH background = CreateSolidBrush(color);
    FillRect(drawContext->deviceContext, &client, background);
    DeleteObject(background);
}

bool HasPixels(COrvanelBitmap* bitmap) {
    return bitmap != nullptr && bitmap->GetPtBitmap() != nullptr && bitmap->GetBitmapWidth() != 0 &&
           bitmap->GetBitmapHeight() != 0;
}

} // namespace Orvanel::Window
