#pragma once
#include "dialog/LocalDialog.h"
#include "window/BitmapStaticPreviewPrint.h"

#include <memory>

class CMargeData;

namespace Orvanel::Dialog {

// Dialog 286: lays the image out on a sheet of the default printer's paper (four margins in
// centimetres, the position on the page, a quarter turn) over a live miniature of the page.
// The choices go straight into the host's layout record, and the turn into the host's bitmap
// itself; the print job later reads both.
class CPrintPreviewDialog : public CLocalDialog {
public:
    CPrintPreviewDialog();
    ~CPrintPreviewDialog() override;

    // Runs the dialog; 1 after "Imprimer", 0 after "Annuler", and 0 without showing anything
    // when there is no usable default printer or no picture.
    static int Show(CMargeData* layout, COrvanelBitmap* picture);

    INT_PTR OnInitDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
    INT_PTR OnCommand(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;

    int result;
    wchar_t textBuffer[50];
    int paperWidth;  // millimetres
    int paperHeight; // millimetres
    Layout::PixelRect marginPixels;
    Layout::PixelRect pageRect;
    Layout::PixelRect previewClientRect;
    std::unique_ptr<Window::CLocalWindow> hostWindow; // wraps the dialog window
    std::unique_ptr<Window::CBitmapStaticPreviewPrint> previewWindow;
    CMargeData* marginData; // the host's
    COrvanelBitmap* bitmap; // the host's, turned in place
    int orientation;        // the paper's: 1 portrait
    double scale;           // miniature pixels per image pixel in the free area

private:
    // The paper of the default printer, or false when there is none to lay out on.
    bool ReadPaper();
    void ComputeMarginPixels();
    void UpdateScale();
    void UpdatePreview(const Layout::PixelRect& previousMargins);
    void WriteMarginText(HWND dialog, int id, float margin);
    void WriteMarginTexts(HWND dialog);
    void ReadMarginText(HWND dialog, int id);
    void SetPositionStart(HWND dialog);
    void SetPositionMiddle(HWND dialog);
    void SetPositionEnd(HWND dialog);
    void ApplyPosition(HWND dialog);
    void ToggleRotation(HWND dialog);
    int PageWidth() const { return pageRect.right - pageRect.left; }
    int PageHeight() const { return pageRect.bottom - pageRect.top; }
};

} // namespace Orvanel::Dialog
