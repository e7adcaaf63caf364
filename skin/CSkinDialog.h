#pragma once

#include "platform/ui/CDialog.h"

// A dialog whose face is made of skin controls. (Filled in by the skin
// toolkit: bitmaps, the control ring, factories, painting and stylus routing.)
class CSkinDialog : public CDialog {
public:
    using CDialog::CDialog;
};
