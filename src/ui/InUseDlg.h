#pragma once
// CInUseDlg: a browser has a profile open; Retry checks again, Skip (or closing the
// dialog) leaves the browser's data this time.
#include "ui/Dialog.h"

#include <string>

class CInUseDlg : public CDialog {
public:
    explicit CInUseDlg(std::string text);
    // True for Retry.
    bool AskRetry(HWND owner) { return DoModal(owner) == IDRETRY; }

protected:
    void BindControls() override;
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;

private:
    std::string m_question;
    CStatic m_text;
};
