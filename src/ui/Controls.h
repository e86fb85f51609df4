#pragma once
// Typed wrappers for the common controls the dialogs use, so that a dialog says what it
// does to a control rather than which message it sends. Like CWnd, they own no window.
//
// Usage:
//   CSliderCtrl slider;  Bind(IDC_LEVEL_SLIDER, slider);  slider.SetRange(1, 4);
//   CListCtrl list;      Bind(IDC_RULE_LIST, list);       list.SetChecked(list.InsertItem(0, "name", 0, 0), true);
//   CListBox sites;      Bind(IDC_KEEP_LIST, sites);      sites.AddItem("example.com", 0);
#include "ui/Dialog.h"

#include <commctrl.h>

#include <string>
#include <vector>

// A track bar.
class CSliderCtrl : public CWnd {
public:
    void SetRange(int minimum, int maximum) const;
    // The step of an arrow key and of a page key alike.
    void SetSteps(int line, int page) const;
    int GetPos() const;
    void SetPos(int position) const;
};

// A report-style list view with check boxes, in groups.
class CListCtrl : public CWnd {
public:
    void UseCheckBoxesAndFullRowSelect() const;
    void InsertColumn(int at, int width) const;
    void EnableGroupView() const;
    void InsertGroup(int id, const std::string& header) const;
    // Returns the new item's index; `data` comes back from ItemData.
    int InsertItem(int at, const std::string& text, int groupId, LPARAM data) const;
    void SetItemText(int item, int column, const std::string& text) const;
    int ItemCount() const;
    LPARAM ItemData(int item) const;
    bool IsChecked(int item) const;
    void SetChecked(int item, bool checked) const;
};

// A list box with several selections; each item carries a number of the caller's.
class CListBox : public CWnd {
public:
    void Clear() const;
    void AddItem(const std::string& text, LPARAM data) const;
    LPARAM ItemData(int item) const;
    std::vector<int> Selected() const;
};

// A list view's check box as its state image: 1 unchecked, 2 checked.
inline constexpr UINT kUncheckedImage = 1;
inline constexpr UINT kCheckedImage = 2;
// The state image index held in an item's state bits.
constexpr UINT StateImage(UINT state)
{
    return (state & LVIS_STATEIMAGEMASK) >> 12;
}
