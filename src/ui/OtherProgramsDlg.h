#pragma once
// COtherProgramsDlg: the rule entries found on this machine, grouped by category, each
// with a check box; ticking one with a Warning asks first. OK stores the choice under
// "Rules", Cancel stores nothing.
//
// Usage:
//   COtherProgramsDlg programs;
//   programs.DoModal(optionsDialog);
#include "engine/RuleSources.h"
#include "ui/Dialog.h"

#include <vector>

class COtherProgramsDlg : public CDialog {
public:
    COtherProgramsDlg();

protected:
    void DoDataExchange() override;
    BOOL OnInitDialog() override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    void OnOK() override;

private:
    void FillList();
    bool IsTicked(int item) const;
    const FoundRule& RuleOf(int item) const;
    void SetTicked(int item, bool ticked) const;
    // A box just ticked: asks about the entry's Warning, and unticks it on No.
    void OnTicked(int item);

    CWnd m_list;
    CStatic m_count;
    std::vector<FoundRule> m_rules; // in list order: item i is m_rules[i]
    bool m_filling = false;         // the boxes change without the user
};
