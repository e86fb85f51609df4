#include "ui/OtherProgramsDlg.h"

#include "resource.h"
#include "settings/StoredRunOptions.h"
#include "sys/TextFormat.h"
#include "sys/Utf8.h"

#include <commctrl.h>
#include <process.h>

#include <algorithm>

namespace {

constexpr const char* kCountLoading = "Looking for programs...";
constexpr const char* kCountOne = "1 program found";
constexpr const char* kCountMany = " programs found";
constexpr const char* kWarningQuestion = "\r\n\r\nTick '%s' all the same?";

// The state image of a list view item with check boxes: 1 unchecked, 2 checked.
constexpr UINT kCheckedImage = 2;

// Posted by the loading thread when m_loaded is ready.
constexpr UINT kRulesLoaded = WM_APP + 1;

} // namespace

COtherProgramsDlg::COtherProgramsDlg() : CDialog(IDD_OTHER_PROGRAMS) {}

COtherProgramsDlg::~COtherProgramsDlg()
{
    // Closed while loading: the thread still writes m_loaded.
    if (m_loader)
        ::WaitForSingleObject(m_loader.Get(), INFINITE);
}

void COtherProgramsDlg::DoDataExchange()
{
    Bind(IDC_RULE_LIST, m_list);
    Bind(IDC_RULE_COUNT, m_count);
}

BOOL COtherProgramsDlg::OnInitDialog()
{
    m_chosen = CSettingsStore(Platform()).ReadEntriesSetTo(kRulesSection, 1);
    m_count.SetWindowText(kCountLoading);
    // OK would store an empty choice before the list is there.
    ::EnableWindow(::GetDlgItem(m_hWnd, IDOK), FALSE);
    m_loader.Reset(reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, LoadThread, this, 0, nullptr)));
    if (!m_loader)
        OnLoaded();
    return TRUE;
}

unsigned __stdcall COtherProgramsDlg::LoadThread(void* dialog)
{
    auto* self = static_cast<COtherProgramsDlg*>(dialog);
    try {
        CPlatform& sys = Platform();
        self->m_loaded = ListFoundRules(sys, sys.ProgramFolder(), self->m_chosen);
    } catch (...) {
        // Out of memory, most likely: the list stays empty rather than the program ending.
        self->m_loaded.clear();
    }
    ::PostMessageW(self->m_hWnd, kRulesLoaded, 0, 0);
    return 0;
}

void COtherProgramsDlg::OnLoaded()
{
    if (m_loader) {
        ::WaitForSingleObject(m_loader.Get(), INFINITE);
        m_loader.Reset();
    }
    m_rules = std::move(m_loaded);
    m_count.SetWindowText(m_rules.size() == 1 ? std::string(kCountOne) : std::to_string(m_rules.size()) + kCountMany);
    FillList();
    ::EnableWindow(::GetDlgItem(m_hWnd, IDOK), TRUE);
}

void COtherProgramsDlg::FillList()
{
    m_filling = true;
    m_list.Send(LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT,
                LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    RECT client{};
    ::GetClientRect(m_list.m_hWnd, &client);
    // The name, and its category again beside it where the list view draws no groups.
    const int width = client.right - ::GetSystemMetrics(SM_CXVSCROLL);
    for (int at : {0, 1}) {
        LVCOLUMNW column{};
        column.mask = LVCF_WIDTH;
        column.cx = at == 0 ? width * 2 / 3 : width - width * 2 / 3;
        m_list.Send(LVM_INSERTCOLUMNW, at, reinterpret_cast<LPARAM>(&column));
    }

    // One group per category, in name order; the items keep the entries' name order.
    std::vector<std::string> categories;
    for (const FoundRule& rule : m_rules) {
        if (std::find(categories.begin(), categories.end(), rule.category) == categories.end())
            categories.push_back(rule.category);
    }
    std::sort(categories.begin(), categories.end());
    m_list.Send(LVM_ENABLEGROUPVIEW, TRUE);
    for (std::size_t i = 0; i < categories.size(); ++i) {
        std::wstring header = Widen(categories[i]);
        LVGROUP group{};
        group.cbSize = sizeof(group);
        group.mask = LVGF_HEADER | LVGF_GROUPID;
        group.pszHeader = header.data();
        group.iGroupId = static_cast<int>(i);
        m_list.Send(LVM_INSERTGROUP, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&group));
    }
    for (std::size_t i = 0; i < m_rules.size(); ++i) {
        std::wstring text = Widen(m_rules[i].name);
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_GROUPID | LVIF_PARAM;
        item.iItem = static_cast<int>(i);
        item.pszText = text.data();
        item.lParam = static_cast<LPARAM>(i);
        item.iGroupId =
            static_cast<int>(std::find(categories.begin(), categories.end(), m_rules[i].category) - categories.begin());
        const int index = static_cast<int>(m_list.Send(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        std::wstring category = Widen(m_rules[i].category);
        LVITEMW sub{};
        sub.iSubItem = 1;
        sub.pszText = category.data();
        m_list.Send(LVM_SETITEMTEXTW, index, reinterpret_cast<LPARAM>(&sub));
        SetTicked(index, m_rules[i].ticked);
    }
    m_filling = false;
}

bool COtherProgramsDlg::IsTicked(int item) const
{
    return ((m_list.Send(LVM_GETITEMSTATE, item, LVIS_STATEIMAGEMASK) & LVIS_STATEIMAGEMASK) >> 12) == kCheckedImage;
}

void COtherProgramsDlg::SetTicked(int item, bool ticked) const
{
    LVITEMW state{};
    state.stateMask = LVIS_STATEIMAGEMASK;
    state.state = INDEXTOSTATEIMAGEMASK(ticked ? kCheckedImage : 1);
    m_list.Send(LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(&state));
}

INT_PTR COtherProgramsDlg::OnMessage(UINT message, WPARAM, LPARAM lParam, bool& handled)
{
    if (message == kRulesLoaded) {
        OnLoaded();
        handled = true;
        return 0;
    }
    if (message != WM_NOTIFY)
        return 0;
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->hwndFrom != m_list.m_hWnd || header->code != LVN_ITEMCHANGED)
        return 0;
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
    const UINT before = (change->uOldState & LVIS_STATEIMAGEMASK) >> 12;
    const UINT after = (change->uNewState & LVIS_STATEIMAGEMASK) >> 12;
    if (!m_filling && (change->uChanged & LVIF_STATE) && before != kCheckedImage && after == kCheckedImage)
        OnTicked(change->iItem);
    handled = true;
    return 0;
}

const FoundRule& COtherProgramsDlg::RuleOf(int item) const
{
    LVITEMW query{};
    query.mask = LVIF_PARAM;
    query.iItem = item;
    m_list.Send(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query));
    return m_rules.at(static_cast<std::size_t>(query.lParam));
}

void COtherProgramsDlg::OnTicked(int item)
{
    const FoundRule& rule = RuleOf(item);
    if (rule.warning.empty())
        return;
    const std::string question = rule.warning + FormatText(kWarningQuestion, rule.name.c_str());
    if (AppMessageBox(m_hWnd, question, MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) != IDYES)
        SetTicked(item, false);
}

void COtherProgramsDlg::OnOK()
{
    const CSettingsStore store(Platform());
    bool saved = true;
    const int count = static_cast<int>(m_list.Send(LVM_GETITEMCOUNT));
    for (int item = 0; item < count; ++item) {
        const std::string& name = RuleOf(item).name;
        saved = (IsTicked(item) ? store.WriteSettingInt(kRulesSection, name, 1)
                                : store.RemoveSetting(kRulesSection, name)) &&
                saved;
    }
    if (!saved)
        AppMessageBox(m_hWnd, kCannotWriteRegistry, MB_OK | MB_ICONEXCLAMATION);
    EndDialog(IDOK);
}
