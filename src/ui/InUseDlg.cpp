#include "ui/InUseDlg.h"

#include "resource.h"

CInUseDlg::CInUseDlg(std::string text) : CDialog(IDD_BROWSER_IN_USE), m_question(std::move(text)) {}

void CInUseDlg::BindControls()
{
    Bind(IDC_IN_USE_TEXT, m_text);
}

BOOL CInUseDlg::OnInitDialog()
{
    m_text.SetWindowText(m_question);
    return TRUE;
}

bool CInUseDlg::OnCommand(WORD id, WORD code, HWND control)
{
    if (id == IDRETRY || id == IDC_SKIP) {
        EndDialog(id);
        return true;
    }
    return CDialog::OnCommand(id, code, control);
}
