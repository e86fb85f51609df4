#include "ui/OptionsDlg.h"

#include "resource.h"

COptionsDlg::COptionsDlg() : CDialog(IDD_OPTIONS) {}
