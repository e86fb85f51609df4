#pragma once
// COtherProgramsDlg: the rule entries found on this machine, grouped by category, each
// with a check box; ticking one with a Warning asks first. OK stores the choice under
// "Rules", Cancel stores nothing. The entries are read and detected on a thread of their
// own (a large rules file takes a while), and the list is filled when they are ready.
//
// Usage:
//   COtherProgramsDlg programs;
//   programs.DoModal(optionsDialog);
#include "engine/rules/RuleSources.h"
#include "sys/Win32Handles.h"
#include "ui/Controls.h"
#include "ui/Dialog.h"

#include <vector>

class COtherProgramsDlg : public CDialog {
public:
    COtherProgramsDlg();
    ~COtherProgramsDlg() override;

protected:
    void BindControls() override;
    BOOL OnInitDialog() override;
    bool OnNotify(const NMHDR& header) override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    void OnOK() override;

private:
    static unsigned __stdcall LoadThread(void* dialog);
    void OnLoaded();
    void FillList();
    const FoundRule& RuleOf(int item) const;
    // A box just ticked: asks about the entry's Warning, and unticks it on No.
    void OnTicked(int item);

    CListCtrl m_list;
    CStatic m_count;
    std::vector<FoundRule> m_rules; // in list order: item i is m_rules[i]
    CHandle m_loader;               // the thread that fills m_loaded, then posts to the window
    std::vector<std::string> m_chosen;
    std::vector<FoundRule> m_loaded;
    bool m_filling = false; // the boxes change without the user
};
