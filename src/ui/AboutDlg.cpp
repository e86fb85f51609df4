#include "ui/AboutDlg.h"

#include "resource.h"

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

void CAboutDlg::BindControls()
{
    Bind(IDC_DESCRIPTION, m_description);
    Bind(IDC_VERSION, m_version);
    Bind(IDC_NOTICE, m_notice);
}

BOOL CAboutDlg::OnInitDialog()
{
    m_description.SetWindowText(LoadResourceString(IDS_DESCRIPTION));
    m_version.SetWindowText(LoadResourceString(IDS_PRODUCT_NAME) + " Version " + LoadResourceString(IDS_VERSION));
    m_notice.SetWindowText(LoadResourceString(IDS_NOTICE));
    return TRUE;
}
