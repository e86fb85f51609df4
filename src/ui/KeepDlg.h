#pragma once
// CKeepDlg: the sites with cookies on this computer, each with its count of cookies, and
// the sites kept; Add and Remove move sites between them, and a site not found can be
// typed. OK stores the kept sites, Cancel stores nothing. The sites are found on a thread
// of their own (every browser's stores are read), and the list fills when they are ready.
//
// Usage:
//   CKeepDlg keep;
//   keep.DoModal(optionsDialog);
#include "engine/browsers/CookieSites.h"
#include "ui/BackgroundResult.h"
#include "ui/Controls.h"
#include "ui/Dialog.h"

#include <string>
#include <vector>

class CKeepDlg : public CDialog {
public:
    CKeepDlg();

protected:
    void BindControls() override;
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    void OnOK() override;

private:
    void OnFound();
    // Both lists from m_found and m_kept: a site kept is not offered again.
    void FillLists();
    // The site in the box joins the kept ones; false, after saying so, when it names no site.
    bool AddTyped();
    void AddSelected();
    void RemoveSelected();
    bool IsKept(const std::string& site) const;

    CStatic m_status;
    CListBox m_foundList;
    CListBox m_keptList;
    CEdit m_typed;
    std::vector<CookieSite> m_found; // item data of the found list: an index here
    std::vector<std::string> m_kept; // item data of the kept list: an index here
    bool m_keptUnreadable = false;   // OK replaces a stored list that could not be read
    CBackgroundResult<std::vector<CookieSite>> m_finding;
};
