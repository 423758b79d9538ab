#pragma once
#include "color/HSBColor.h"
#include "dialog/LocalDialog.h"
#include "window/BitmapStaticWindow.h"
#include "window/BitmapStaticWindowSelector.h"

#include <memory>

namespace Orvanel::Dialog {

// Dialog 285: picks a colour on the saturation/brightness square of one hue (clicked or
// dragged), the hue chosen on a vertical slider beside the hue strip; a swatch, six value boxes
// and a hexadecimal box show the current colour. The caller's colour changes only on OK.
class CColorBoxPicker : public CLocalDialog, private Window::CBitmapStaticWindowSelectorInterface {
public:
    CColorBoxPicker();
    ~CColorBoxPicker() override;

    // Runs the dialog over the owner with the colour; writes the colour back only after OK.
    // Answers 1 after OK and after Cancel alike. Also opened, nested, by the lens flare dialog.
    static int Show(HWND owner, Color::ColorValue& color);

    INT_PTR OnInitDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
    INT_PTR OnNotify(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
    INT_PTR OnCommand(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
    INT_PTR OnVScroll(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;

    std::unique_ptr<Window::CLocalWindow> hostWindow; // wraps the dialog window
    std::unique_ptr<COrvanelBitmap> matrixBitmap;
    std::unique_ptr<COrvanelBitmap> gradientBitmap;
    std::unique_ptr<COrvanelBitmap> boxBitmap;
    std::unique_ptr<Window::CBitmapStaticWindowSelector> matrixWindow;
    std::unique_ptr<Window::CBitmapStaticWindow> gradientWindow;
    std::unique_ptr<Window::CBitmapStaticWindow> boxWindow;
    Color::HSBColor hsb;
    Color::ColorValue color;
    int result;

private:
    // A pixel picked on the matrix as shown (origin top-left): the current colour, the swatch
    // and the record follow it.
    int SelectPoint(int& x, int& y) override;
    // The matrix pixel under a point given top-down, kept on the bitmap.
    Color::ColorValue MatrixColorAt(int x, int y);
    void TakeColor(Color::ColorValue picked);
    void RefreshValueBoxes(HWND dialog);
};

} // namespace Orvanel::Dialog
