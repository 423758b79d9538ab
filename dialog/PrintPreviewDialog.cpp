#include "dialog/PrintPreviewDialog.h"

#include "host/MargeData.h"
#include "host/OrvanelBitmap.h"
#include "layout/SaturatedInt.h"
#include "print/DefaultPrinter.h"
#include "resources/resource.h"

#include <strsafe.h>

#include <cstdlib>
#include <memory>

namespace Orvanel::Dialog {

using namespace Orvanel::Layout;

namespace {

const Window::CWindowPlacement kPreviewPlacement{20, 45, 260, 260};
constexpr DWORD kPreviewStyle = WS_CHILD | WS_VISIBLE | WS_BORDER;
constexpr float kDefaultMargin = 0.4f;

bool SameMargins(const PixelRect& a, const PixelRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

} // namespace

CPrintPreviewDialog::CPrintPreviewDialog()
    : result(0), textBuffer{}, paperWidth(0),
      paperHeight(0), marginPixels{}, pageRect{}, previewClientRect{}, marginData(nullptr),
      bitmap(nullptr), orientation(0), scale(0.0) {}

// The miniature's window went with the dialog window; its object and then the wrapper go now,
// the members' own order backwards.
CPrintPreviewDialog::~CPrintPreviewDialog() = default;

int CPrintPreviewDialog::Show(CMargeData* layout, COrvanelBitmap* picture) {
    if (layout == nullptr || picture == nullptr || picture->GetPtBitmap() == nullptr) {
        return 0;
    }
    auto dialog = std::make_unique<CPrintPreviewDialog>();
    dialog->previewWindow = std::make_unique<Window::CBitmapStaticPreviewPrint>(picture);
    dialog->marginData = layout;
    dialog->bitmap = picture;
    dialog->ownerWindow = nullptr;
    dialog->RunModal(IDD_PRINT_PREVIEW, nullptr);
    return dialog->result;
}

bool CPrintPreviewDialog::ReadPaper() {
    // The device context made on the printer is enough to learn the paper; it goes right after.
    Print::CDefaultPrinter printer;
    if (Print::GetDefaultPrinterOrientation(printer) != 0) {
        return false;
    }
    orientation = printer.orientation;
    paperWidth = printer.paperWidth;
    paperHeight = printer.paperHeight;
    return paperWidth > 0 && paperHeight > 0;
}

INT_PTR CPrintPreviewDialog::OnInitDialog(HWND dialog, UINT, WPARAM, LPARAM) {
    hostWindow = std::make_unique<Window::CLocalWindow>(dialog);
    // Without a printer whose paper is known there is nothing to lay out: the dialog closes as
    // it opens, answering "Annuler" rather than a print the user never confirmed.
    if (!ReadPaper()) {
        result = 0;
        EndDialog(dialog, 0);
        return 0;
    }
    previewWindow->CreateLocalWindow(hostWindow.get(), kPreviewStyle, L"PreviewPrint",
                                     &kPreviewPlacement);
    RECT client{};
    GetClientRect(previewWindow->Handle(), &client);
    previewClientRect = PixelRect{client.left, client.top, client.right, client.bottom};

    const int position = marginData->position;
    if (position >= 0 && position <= 2) {
        CheckDlgButton(dialog, IDC_PRINT_POSITION_START + position, BST_CHECKED);
    }
    if (marginData->rotate) {
        CheckDlgButton(dialog, IDC_PRINT_ROTATE, BST_CHECKED);
        bitmap->Rotation90();
        bitmap->HorzFlipBuf();
    } else {
        CheckDlgButton(dialog, IDC_PRINT_ROTATE, BST_UNCHECKED);
    }
    pageRect = PageRectangle(previewClientRect.right, previewClientRect.bottom, paperWidth,
                             paperHeight, orientation);
    if (bitmap->GetBitmapHeight() > bitmap->GetBitmapWidth()) {
        SetDlgItemTextW(dialog, IDC_PRINT_POSITION_START, L"Gauche");
        SetDlgItemTextW(dialog, IDC_PRINT_POSITION_END, L"Droite");
        marginData->horizontalPlacement = 1;
    } else {
        marginData->horizontalPlacement = 0;
    }
    ComputeMarginPixels();
    UpdatePreview(marginPixels);
    UpdateScale();
    WriteMarginTexts(dialog);
    return 0;
}

INT_PTR CPrintPreviewDialog::OnCommand(HWND dialog, UINT, WPARAM wParam, LPARAM) {
    const PixelRect previousMargins = marginPixels;
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    if (id == IDC_PRINT_MARGIN_TOP || id == IDC_PRINT_MARGIN_BOTTOM ||
        id == IDC_PRINT_MARGIN_RIGHT || id == IDC_PRINT_MARGIN_LEFT) {
        // Every notification of a margin box re-reads it, also the change that writing its
        // text raises: the position and rotation handlers refresh the miniature that way.
        ReadMarginText(dialog, id);
        UpdatePreview(previousMargins);
        return 0;
    }
    if (EndOnOkOrCancel(dialog, static_cast<WORD>(id), &result)) {
        return 1;
    }
    if (code != 0) {
        return 0;
    }
    switch (id) {
    case IDC_PRINT_POSITION_START:
        SetPositionStart(dialog);
        break;
    case IDC_PRINT_POSITION_MIDDLE:
        SetPositionMiddle(dialog);
        break;
    case IDC_PRINT_POSITION_END:
        SetPositionEnd(dialog);
        break;
    case IDC_PRINT_ROTATE:
        ToggleRotation(dialog);
        break;
    default:
        break;
    }
    return 0;
}

void CPrintPreviewDialog::ComputeMarginPixels() {
    marginPixels.left = MarginPixels(PageWidth(), marginData->marginLeft, paperWidth);
    marginPixels.right = MarginPixels(PageWidth(), marginData->marginRight, paperWidth);
    marginPixels.top = MarginPixels(PageHeight(), marginData->marginTop, paperHeight);
    marginPixels.bottom = MarginPixels(PageHeight(), marginData->marginBottom, paperHeight);
}

void CPrintPreviewDialog::UpdateScale() {
    const long long freeWidth =
        static_cast<long long>(PageWidth()) - marginPixels.right - marginPixels.left;
    const long long freeHeight =
        static_cast<long long>(PageHeight()) - marginPixels.bottom - marginPixels.top;
    scale = FitScale(bitmap->GetBitmapWidth(), bitmap->GetBitmapHeight(), freeWidth, freeHeight,
                     marginData->horizontalPlacement);
}

void CPrintPreviewDialog::UpdatePreview(const PixelRect& previousMargins) {
    previewWindow->pageRect = pageRect;
    previewWindow->imageRect = FreeArea(pageRect, marginPixels.left, marginPixels.top,
                                        marginPixels.right, marginPixels.bottom);
    previewWindow->UpdateScaledBitmap();
    if (!SameMargins(previousMargins, marginPixels)) {
        previewWindow->Redraw();
    }
}

void CPrintPreviewDialog::WriteMarginText(HWND dialog, int id, float margin) {
    StringCchPrintfW(textBuffer, sizeof textBuffer / sizeof textBuffer[0], L"%f",
                     static_cast<double>(margin));
    SetDlgItemTextW(dialog, id, textBuffer);
}

void CPrintPreviewDialog::WriteMarginTexts(HWND dialog) {
    WriteMarginText(dialog, IDC_PRINT_MARGIN_TOP, marginData->marginTop);
    WriteMarginText(dialog, IDC_PRINT_MARGIN_BOTTOM, marginData->marginBottom);
    WriteMarginText(dialog, IDC_PRINT_MARGIN_RIGHT, marginData->marginRight);
    WriteMarginText(dialog, IDC_PRINT_MARGIN_LEFT, marginData->marginLeft);
}

void CPrintPreviewDialog::ReadMarginText(HWND dialog, int id) {
    // The buffer's real capacity: a longer text is cut, never written past the buffer.
    SendDlgItemMessageW(dialog, id, WM_GETTEXT, sizeof textBuffer / sizeof textBuffer[0],
                        reinterpret_cast<LPARAM>(textBuffer));
    const float margin = NarrowedFloat(_wtof(textBuffer));
    const bool horizontal = marginData->horizontalPlacement == 1;
    switch (id) {
    case IDC_PRINT_MARGIN_TOP:
        marginData->marginTop = margin;
        marginPixels.top = TypedMarginPixels(PageHeight(), margin, paperHeight);
        break;
    case IDC_PRINT_MARGIN_BOTTOM:
        marginData->marginBottom = margin;
        marginPixels.bottom = TypedMarginPixels(PageHeight(), margin, paperHeight);
        break;
    case IDC_PRINT_MARGIN_RIGHT:
        marginData->marginRight = margin;
        marginPixels.right = TypedMarginPixels(PageWidth(), margin, paperWidth);
        break;
    default:
        marginData->marginLeft = margin;
        marginPixels.left = TypedMarginPixels(PageWidth(), margin, paperWidth);
        break;
    }
    // The margin on the placement axis carries the position; only the other two change the
    // room the image is fitted into.
    const bool acrossPlacement = id == IDC_PRINT_MARGIN_TOP || id == IDC_PRINT_MARGIN_BOTTOM;
    if (acrossPlacement == horizontal) {
        UpdateScale();
    }
}

void CPrintPreviewDialog::SetPositionStart(HWND dialog) {
    marginData->position = 0;
    if (marginData->horizontalPlacement == 1) {
        marginData->marginLeft = kDefaultMargin;
        WriteMarginText(dialog, IDC_PRINT_MARGIN_LEFT, marginData->marginLeft);
    } else {
        marginData->marginTop = kDefaultMargin;
        WriteMarginText(dialog, IDC_PRINT_MARGIN_TOP, marginData->marginTop);
    }
}

void CPrintPreviewDialog::SetPositionMiddle(HWND dialog) {
    marginData->position = 1;
    if (marginData->horizontalPlacement == 1) {
        marginData->marginLeft =
            MiddleMargin(bitmap->GetBitmapWidth(), scale, paperWidth, PageWidth());
        WriteMarginText(dialog, IDC_PRINT_MARGIN_LEFT, marginData->marginLeft);
    } else {
        marginData->marginTop =
            MiddleMargin(bitmap->GetBitmapHeight(), scale, paperHeight, PageHeight());
        WriteMarginText(dialog, IDC_PRINT_MARGIN_TOP, marginData->marginTop);
    }
}

void CPrintPreviewDialog::SetPositionEnd(HWND dialog) {
    marginData->position = 2;
    if (marginData->horizontalPlacement == 1) {
        marginData->marginLeft = EndMargin(bitmap->GetBitmapWidth(), scale, paperWidth, PageWidth(),
                                           marginData->marginRight);
        WriteMarginText(dialog, IDC_PRINT_MARGIN_LEFT, marginData->marginLeft);
    } else {
        marginData->marginTop = EndMargin(bitmap->GetBitmapHeight(), scale, paperHeight,
                                          PageHeight(), marginData->marginBottom);
        WriteMarginText(dialog, IDC_PRINT_MARGIN_TOP, marginData->marginTop);
    }
}

void CPrintPreviewDialog::ApplyPosition(HWND dialog) {
    switch (marginData->position) {
    case 0:
        SetPositionStart(dialog);
        break;
    case 1:
        SetPositionMiddle(dialog);
        break;
    case 2:
        SetPositionEnd(dialog);
        break;
    default:
        return;
    }
    CheckDlgButton(dialog, IDC_PRINT_POSITION_START + marginData->position, BST_CHECKED);
}

void CPrintPreviewDialog::ToggleRotation(HWND dialog) {
    marginData->marginTop = kDefaultMargin;
    marginData->marginBottom = kDefaultMargin;
    marginData->marginRight = kDefaultMargin;
    marginData->marginLeft = kDefaultMargin;
    if (IsDlgButtonChecked(dialog, IDC_PRINT_ROTATE) == BST_CHECKED) {
        bitmap->Rotation90();
        bitmap->HorzFlipBuf();
        marginData->rotate = true;
    } else {
        bitmap->HorzFlipBuf(); // the turn undone, in the opposite order
        bitmap->Rotation90();
        marginData->rotate = false;
    }
    if (marginData->horizontalPlacement == 0) {
        SetDlgItemTextW(dialog, IDC_PRINT_POSITION_START, L"Gauche");
        SetDlgItemTextW(dialog, IDC_PRINT_POSITION_END, L"Droite");
        marginData->horizontalPlacement = 1;
    } else {
        SetDlgItemTextW(dialog, IDC_PRINT_POSITION_START, L"Haut");
        SetDlgItemTextW(dialog, IDC_PRINT_POSITION_END, L"Bas");
        marginData->horizontalPlacement = 0;
    }
    ComputeMarginPixels();
    UpdateScale();
    WriteMarginTexts(dialog);
    ApplyPosition(dialog);
    // The margin boxes redraw the miniature only when a margin moves; the picture itself has
    // turned, so it is shown even when every margin stays where it was.
    previewWindow->UpdateScaledBitmap();
    previewWindow->Redraw();
}

} // namespace Orvanel::Dialog
