#include "ui/KeepDlg.h"

#include "engine/browsers/KeepList.h"
#include "engine/core/StoredValues.h"
#include "resource.h"
#include "settings/StoredRunOptions.h"
#include "sys/TextFormat.h"

#include <algorithm>

namespace {

constexpr const char* kStatusLooking = "Looking for sites with cookies...";
constexpr const char* kStatusOne = "1 site with cookies found";
constexpr const char* kStatusMany = " sites with cookies found";
constexpr const char* kStatusUnreadable =
    "The stored list of sites to keep cannot be read: OK replaces it with the list shown here.";
constexpr const char* kNoSite = "'%s' names no site. Type a site such as example.com.";

// Posted when the sites have been looked for.
constexpr UINT kSitesFound = WM_APP + 1;

std::string FoundText(const CookieSite& found)
{
    return found.site + " (" + GroupedDigits(found.cookies) + (found.cookies == 1 ? " cookie)" : " cookies)");
}

} // namespace

CKeepDlg::CKeepDlg() : CDialog(IDD_KEEP_SITES) {}

void CKeepDlg::BindControls()
{
    Bind(IDC_KEEP_STATUS, m_status);
    Bind(IDC_KEEP_FOUND, m_foundList);
    Bind(IDC_KEEP_LIST, m_keptList);
    Bind(IDC_KEEP_TYPED, m_typed);
}

BOOL CKeepDlg::OnInitDialog()
{
    const std::optional<std::vector<std::string>> stored = ReadKeepSites(CSettingsStore(Platform()));
    m_keptUnreadable = !stored;
    m_kept = stored.value_or(std::vector<std::string>{});
    m_status.SetWindowText(m_keptUnreadable ? kStatusUnreadable : kStatusLooking);
    FillLists();
    m_finding.Start(m_hWnd, kSitesFound, [] { return FindCookieSites(Platform()); });
    return TRUE;
}

void CKeepDlg::OnFound()
{
    m_found = m_finding.Take();
    if (!m_keptUnreadable)
        m_status.SetWindowText(m_found.size() == 1 ? std::string(kStatusOne)
                                                   : std::to_string(m_found.size()) + kStatusMany);
    FillLists();
}

INT_PTR CKeepDlg::OnMessage(UINT message, WPARAM, LPARAM, bool& handled)
{
    if (message != kSitesFound)
        return 0;
    OnFound();
    handled = true;
    return 0;
}

bool CKeepDlg::OnCommand(WORD id, WORD code, HWND control)
{
    if (id == IDC_KEEP_ADD && code == BN_CLICKED) {
        AddSelected();
        return true;
    }
    if (id == IDC_KEEP_REMOVE && code == BN_CLICKED) {
        RemoveSelected();
        return true;
    }
    return CDialog::OnCommand(id, code, control);
}

bool CKeepDlg::IsKept(const std::string& site) const
{
    return std::find(m_kept.begin(), m_kept.end(), site) != m_kept.end();
}

void CKeepDlg::FillLists()
{
    m_foundList.Clear();
    for (std::size_t i = 0; i < m_found.size(); ++i) {
        if (!IsKept(m_found[i].site))
            m_foundList.AddItem(FoundText(m_found[i]), static_cast<LPARAM>(i));
    }
    m_keptList.Clear();
    for (std::size_t i = 0; i < m_kept.size(); ++i)
        m_keptList.AddItem(m_kept[i], static_cast<LPARAM>(i));
}

bool CKeepDlg::AddTyped()
{
    const std::string typed = m_typed.GetWindowText();
    if (typed.find_first_not_of(" \t") == std::string::npos)
        return true;
    const std::optional<std::string> site = NormalisedSite(typed);
    if (!site) {
        AppMessageBox(m_hWnd, FormatText(kNoSite, typed.c_str()), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    if (!IsKept(*site))
        m_kept.push_back(*site);
    m_typed.SetWindowText("");
    return true;
}

void CKeepDlg::AddSelected()
{
    if (!AddTyped())
        return;
    for (const int item : m_foundList.Selected()) {
        const std::string& site = m_found.at(static_cast<std::size_t>(m_foundList.ItemData(item))).site;
        if (!IsKept(site))
            m_kept.push_back(site);
    }
    std::sort(m_kept.begin(), m_kept.end());
    FillLists();
}

void CKeepDlg::RemoveSelected()
{
    std::vector<std::string> removed;
    for (const int item : m_keptList.Selected())
        removed.push_back(m_kept.at(static_cast<std::size_t>(m_keptList.ItemData(item))));
    std::erase_if(m_kept, [&](const std::string& site) {
        return std::find(removed.begin(), removed.end(), site) != removed.end();
    });
    FillLists();
}

void CKeepDlg::OnOK()
{
    // A site typed and then confirmed with Enter is meant to be kept.
    if (!AddTyped())
        return;
    if (!StoreKeepSites(CSettingsStore(Platform()), m_kept))
        AppMessageBox(m_hWnd, kCannotWriteRegistry, MB_OK | MB_ICONEXCLAMATION);
    EndDialog(IDOK);
}
