#include "dialog/LocalDialog.h"

namespace Orvanel::Dialog {

CLocalDialog::CLocalDialog() : backgroundBrush(nullptr), backgroundColor(0x808080) {
    backgroundBrush = CreateSolidBrush(backgroundColor);
}

CLocalDialog::~CLocalDialog() {
    if (backgroundBrush != nullptr) {
        DeleteObject(backgroundBrush);
        backgroundBrush = nullptr;
    }
}

} // namespace Orvanel::Dialog
