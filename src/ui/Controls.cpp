#include "ui/Controls.h"

#include "sys/Utf8.h"

void CSliderCtrl::SetRange(int minimum, int maximum) const
{
    Send(TBM_SETRANGEMIN, FALSE, minimum);
    Send(TBM_SETRANGEMAX, TRUE, maximum);
}

void CSliderCtrl::SetSteps(int line, int page) const
{
    Send(TBM_SETLINESIZE, 0, line);
    Send(TBM_SETPAGESIZE, 0, page);
}

int CSliderCtrl::GetPos() const
{
    return static_cast<int>(Send(TBM_GETPOS));
}

void CSliderCtrl::SetPos(int position) const
{
    Send(TBM_SETPOS, TRUE, position);
}

void CListCtrl::UseCheckBoxesAndFullRowSelect() const
{
    Send(LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT,
         LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
}

void CListCtrl::InsertColumn(int at, int width) const
{
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = width;
    Send(LVM_INSERTCOLUMNW, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&column));
}

void CListCtrl::EnableGroupView() const
{
    Send(LVM_ENABLEGROUPVIEW, TRUE);
}

void CListCtrl::InsertGroup(int id, const std::string& header) const
{
    std::wstring text = Widen(header);
    LVGROUP group{};
    group.cbSize = sizeof(group);
    group.mask = LVGF_HEADER | LVGF_GROUPID;
    group.pszHeader = text.data();
    group.iGroupId = id;
    Send(LVM_INSERTGROUP, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&group));
}

int CListCtrl::InsertItem(int at, const std::string& text, int groupId, LPARAM data) const
{
    std::wstring wide = Widen(text);
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_GROUPID | LVIF_PARAM;
    item.iItem = at;
    item.pszText = wide.data();
    item.lParam = data;
    item.iGroupId = groupId;
    return static_cast<int>(Send(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

void CListCtrl::SetItemText(int item, int column, const std::string& text) const
{
    std::wstring wide = Widen(text);
    LVITEMW sub{};
    sub.iSubItem = column;
    sub.pszText = wide.data();
    Send(LVM_SETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&sub));
}

int CListCtrl::ItemCount() const
{
    return static_cast<int>(Send(LVM_GETITEMCOUNT));
}

LPARAM CListCtrl::ItemData(int item) const
{
    LVITEMW query{};
    query.mask = LVIF_PARAM;
    query.iItem = item;
    Send(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query));
    return query.lParam;
}

bool CListCtrl::IsChecked(int item) const
{
    return StateImage(static_cast<UINT>(Send(LVM_GETITEMSTATE, static_cast<WPARAM>(item), LVIS_STATEIMAGEMASK))) ==
           kCheckedImage;
}

void CListCtrl::SetChecked(int item, bool checked) const
{
    LVITEMW state{};
    state.stateMask = LVIS_STATEIMAGEMASK;
    state.state = INDEXTOSTATEIMAGEMASK(checked ? kCheckedImage : kUncheckedImage);
    Send(LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&state));
}

void CListBox::Clear() const
{
    Send(LB_RESETCONTENT);
}

void CListBox::AddItem(const std::string& text, LPARAM data) const
{
    const LRESULT index = Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(text).c_str()));
    if (index >= 0)
        Send(LB_SETITEMDATA, static_cast<WPARAM>(index), data);
}

LPARAM CListBox::ItemData(int item) const
{
    return Send(LB_GETITEMDATA, static_cast<WPARAM>(item));
}

std::vector<int> CListBox::Selected() const
{
    const LRESULT count = Send(LB_GETSELCOUNT);
    std::vector<int> items(count > 0 ? static_cast<std::size_t>(count) : 0);
    if (!items.empty())
        Send(LB_GETSELITEMS, items.size(), reinterpret_cast<LPARAM>(items.data()));
    return items;
}
