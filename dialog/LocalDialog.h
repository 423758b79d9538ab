#pragma once
#include "dialog/MessageDialog.h"

namespace Orvanel::Dialog {

// Base of every concrete dialog: adds the grey background brush and colour.
class CLocalDialog : public CMessageDialog {
public:
    CLocalDialog();
    ~CLocalDialog() override;

    CLocalDialog(const CLocalDialog&) = delete;
    CLocalDialog& operator=(const CLocalDialog&) = delete;

    HBRUSH backgroundBrush;
    COLORREF backgroundColor;
};

} // namespace Orvanel::Dialog
