#include "ui/OtherProgramsDlg.h"

#include "resource.h"
#include "settings/StoredRunOptions.h"
#include "sys/TextFormat.h"

#include <commctrl.h>

#include <algorithm>

namespace {

constexpr const char* kCountLoading = "Looking for programs...";
constexpr const char* kCountOne = "1 program found";
constexpr const char* kCountMany = " programs found";
constexpr const char* kWarningQuestion = "\r\n\r\nTick '%s' all the same?";

// Posted when the entries have been read and detected.
constexpr UINT kRulesLoaded = WM_APP + 1;

} // namespace

COtherProgramsDlg::COtherProgramsDlg() : CDialog(IDD_OTHER_PROGRAMS) {}

void COtherProgramsDlg::BindControls()
{
    Bind(IDC_RULE_LIST, m_list);
    Bind(IDC_RULE_COUNT, m_count);
}

BOOL COtherProgramsDlg::OnInitDialog()
{
    std::vector<std::string> chosen = CSettingsStore(Platform()).ReadEntriesSetTo(kRulesSection, 1);
    m_count.SetWindowText(kCountLoading);
    // OK would store an empty choice before the list is there.
    ::EnableWindow(::GetDlgItem(m_hWnd, IDOK), FALSE);
    m_loading.Start(m_hWnd, kRulesLoaded, [chosen = std::move(chosen)] {
        CPlatform& sys = Platform();
        return ListFoundRules(sys, sys.ProgramFolder(), chosen);
    });
    return TRUE;
}

void COtherProgramsDlg::OnLoaded()
{
    m_rules = m_loading.Take();
    m_count.SetWindowText(m_rules.size() == 1 ? std::string(kCountOne) : std::to_string(m_rules.size()) + kCountMany);
    FillList();
    ::EnableWindow(::GetDlgItem(m_hWnd, IDOK), TRUE);
}

void COtherProgramsDlg::FillList()
{
    m_filling = true;
    m_list.UseCheckBoxesAndFullRowSelect();
    RECT client{};
    ::GetClientRect(m_list.m_hWnd, &client);
    // The name, and its category again beside it where the list view draws no groups.
    const int width = client.right - ::GetSystemMetrics(SM_CXVSCROLL);
    m_list.InsertColumn(0, width * 2 / 3);
    m_list.InsertColumn(1, width - width * 2 / 3);

    // One group per category, in name order; the items keep the entries' name order.
    std::vector<std::string> categories;
    for (const FoundRule& rule : m_rules) {
        if (std::find(categories.begin(), categories.end(), rule.category) == categories.end())
            categories.push_back(rule.category);
    }
    std::sort(categories.begin(), categories.end());
    m_list.EnableGroupView();
    for (std::size_t i = 0; i < categories.size(); ++i)
        m_list.InsertGroup(static_cast<int>(i), categories[i]);
    for (std::size_t i = 0; i < m_rules.size(); ++i) {
        const int group =
            static_cast<int>(std::find(categories.begin(), categories.end(), m_rules[i].category) - categories.begin());
        const int index = m_list.InsertItem(static_cast<int>(i), m_rules[i].name, group, static_cast<LPARAM>(i));
        m_list.SetItemText(index, 1, m_rules[i].category);
        m_list.SetChecked(index, m_rules[i].ticked);
    }
    m_filling = false;
}

INT_PTR COtherProgramsDlg::OnMessage(UINT message, WPARAM, LPARAM, bool& handled)
{
    if (message != kRulesLoaded)
        return 0;
    OnLoaded();
    handled = true;
    return 0;
}

bool COtherProgramsDlg::OnNotify(const NMHDR& header)
{
    if (header.hwndFrom != m_list.m_hWnd || header.code != LVN_ITEMCHANGED)
        return false;
    const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
    const UINT before = StateImage(change.uOldState);
    const UINT after = StateImage(change.uNewState);
    if (!m_filling && (change.uChanged & LVIF_STATE) && before != kCheckedImage && after == kCheckedImage)
        OnTicked(change.iItem);
    return true;
}

const FoundRule& COtherProgramsDlg::RuleOf(int item) const
{
    return m_rules.at(static_cast<std::size_t>(m_list.ItemData(item)));
}

void COtherProgramsDlg::OnTicked(int item)
{
    const FoundRule& rule = RuleOf(item);
    if (rule.warning.empty())
        return;
    const std::string question = rule.warning + FormatText(kWarningQuestion, rule.name.c_str());
    if (AppMessageBox(m_hWnd, question, MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) != IDYES)
        m_list.SetChecked(item, false);
}

void COtherProgramsDlg::OnOK()
{
    const CSettingsStore store(Platform());
    bool saved = true;
    const int count = m_list.ItemCount();
    for (int item = 0; item < count; ++item) {
        const std::string& name = RuleOf(item).name;
        saved = (m_list.IsChecked(item) ? store.WriteSettingInt(kRulesSection, name, 1)
                                        : store.RemoveSetting(kRulesSection, name)) &&
                saved;
    }
    if (!saved)
        AppMessageBox(m_hWnd, kCannotWriteRegistry, MB_OK | MB_ICONEXCLAMATION);
    EndDialog(IDOK);
}
