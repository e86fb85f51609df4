#pragma once
// COptionsDlg: the cleaning level slider and the five switches it presets.
// OK stores the level's name and the switches; Cancel stores nothing.
#include "ui/Dialog.h"

class COptionsDlg : public CDialog {
public:
    COptionsDlg();
};
