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

CBitmapStaticWindow::~CBitmapStaticWindow() {
    delete scaledBitmap;
    scaledBitmap = nullptr;
}

float CBitmapStaticWindow::CalculateRatio() {
    return FitRatio(sourceBitmap->GetBitmapWidth(), sourceBitmap->GetBitmapHeight(), width, height);
}

void CBitmapStaticWindow::UpdateScaledBitmap() {
    if (!HasPixels(sourceBitmap)) {
        return;
    }
    const float ratio = CalculateRatio();
    if (ratio == 0.0f) {
        return;
    }
    if (ratio == 1.0f) {
        if (scaledBitmap == nullptr) {
            scaledBitmap = new COrvanelBitmap();
        }
        scaledBitmap->SetBitmap(sourceBitmap->GetPtBitmap(), sourceBitmap->GetBitmapWidth(),
                                sourceBitmap->GetBitmapHeight(), false, true);
    } else {
        const int scaledWidth = ScaledSize(sourceBitmap->GetBitmapWidth(), ratio);
        const int scaledHeight = ScaledSize(sourceBitmap->GetBitmapHeight(), ratio);
        const int bitsPerPixel = 32;
        auto* resampled = new COrvanelBitmap(scaledWidth, scaledHeight, bitsPerPixel);
        {
            CInterpolationBicubic resampler;
            resampler.Execute(sourceBitmap, resampled);
        }
        delete scaledBitmap;
        scaledBitmap = resampled;
    }
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
        DrawScaledBitmap(drawContext, xPos, yPos, scaledBitmap);
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
