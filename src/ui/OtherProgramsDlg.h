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
#include "ui/BackgroundResult.h"
#include "ui/Controls.h"
#include "ui/Dialog.h"

#include <vector>

class COtherProgramsDlg : public CDialog {
public:
    COtherProgramsDlg();

protected:
    void BindControls() override;
    BOOL OnInitDialog() override;
    bool OnNotify(const NMHDR& header) override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    void OnOK() override;

private:
    void OnLoaded();
    void FillList();
    const FoundRule& RuleOf(int item) const;
    // A box just ticked: asks about the entry's Warning, and unticks it on No.
    void OnTicked(int item);

    CListCtrl m_list;
    CStatic m_count;
    std::vector<FoundRule> m_rules; // in list order: item i is m_rules[i]
    CBackgroundResult<std::vector<FoundRule>> m_loading;
    bool m_filling = false; // the boxes change without the user
};
