#pragma once
// CAboutDlg: names the program, its version and what it is for.
#include "ui/Dialog.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();

protected:
    void BindControls() override;
    BOOL OnInitDialog() override;

private:
    CStatic m_description;
    CStatic m_version;
    CStatic m_notice;
};
