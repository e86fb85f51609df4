#include "ui/OptionsDlg.h"

#include "resource.h"
#include "ui/OptionsRules.h"
#include "ui/KeepDlg.h"
#include "ui/OtherProgramsDlg.h"
#include "sys/Utf8.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>

namespace {

struct LevelArea {
    int id;
    int position;
};
constexpr LevelArea kLevelAreas[] = {{IDC_THOROUGH_AREA, kThorough},
                                     {IDC_STANDARD_AREA, kStandard},
                                     {IDC_BASIC_AREA, kBasic},
                                     {IDC_CUSTOM_AREA, kCustom}};

struct ControlTip {
    int controlId;
    UINT textId;
};
constexpr ControlTip kLevelToolTips[] = {
    {IDC_THOROUGH_AREA, IDS_TIP_THOROUGH}, {IDC_STANDARD_AREA, IDS_TIP_STANDARD}, {IDC_BASIC_AREA, IDS_TIP_BASIC}};

// Each switch's box and its tip, row for row with kSwitches: the control and text ids are
// the window's own, and the settings and the console, which have no window, never see them.
constexpr ControlTip kSwitchBoxes[] = {
    {IDC_NEWSGROUPS, IDS_TIP_NEWSGROUPS},     {IDC_COOKIES, IDS_TIP_COOKIES},
    {IDC_FAVORITES, IDS_TIP_FAVORITES},       {IDC_WIPE_CLEAN, IDS_TIP_WIPE_CLEAN},
    {IDC_RESET_SCORES, IDS_TIP_RESET_SCORES}, {IDC_WIPE_FREE_SPACE, IDS_TIP_WIPE_FREE_SPACE}};
static_assert(std::size(kSwitchBoxes) == std::size(kSwitches));

bool IsSwitchBox(int id)
{
    return std::any_of(std::begin(kSwitchBoxes), std::end(kSwitchBoxes),
                       [id](const ControlTip& box) { return box.controlId == id; });
}

} // namespace

COptionsDlg::COptionsDlg() : CDialog(IDD_OPTIONS) {}

void COptionsDlg::BindControls()
{
    for (std::size_t row = 0; row < std::size(kSwitchBoxes); ++row)
        Bind(kSwitchBoxes[row].controlId, m_switchBoxes[row]);
    Bind(IDC_LEVEL_SLIDER, m_levelSlider);
}

BOOL COptionsDlg::OnInitDialog()
{
    m_levelSlider.SetRange(kThorough, kCustom);
    m_levelSlider.SetSteps(1, 1);

    // The dialog is not on screen yet, so a stored Thorough level raises no warning.
    const LoadedOptions loaded = LoadOptions(CSettingsStore());
    for (std::size_t row = 0; row < std::size(kSwitches); ++row)
        m_switchBoxes[row].SetCheck(loaded.switches.*kSwitches[row].member);
    SelectLevel(loaded.position);
    // Whoever chose the wipe before has been told what it takes.
    m_wipeWarned = loaded.switches.wipeFreeSpace;

    CreateToolTips();
    return TRUE;
}

void COptionsDlg::CreateToolTips()
{
    m_toolTip = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, m_hWnd, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (!m_toolTip)
        return;
    ::SendMessageW(m_toolTip, TTM_ACTIVATE, TRUE, 0);
    for (const ControlTip& tip : kLevelToolTips)
        AddToolTip(tip.controlId, tip.textId);
    for (const ControlTip& tip : kSwitchBoxes)
        AddToolTip(tip.controlId, tip.textId);
}

void COptionsDlg::AddToolTip(int controlId, UINT textId)
{
    std::wstring text = Widen(LoadResourceString(textId));
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    // TTF_SUBCLASS relays each tool's mouse messages to the tooltip: the dialog's
    // modal loop is the system's, so there is no loop of ours to relay from.
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = m_hWnd;
    tool.uId = reinterpret_cast<UINT_PTR>(::GetDlgItem(m_hWnd, controlId));
    tool.lpszText = text.data();
    ::SendMessageW(m_toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

bool COptionsDlg::OnCommand(WORD id, WORD code, HWND control)
{
    if (code == BN_CLICKED) {
        for (const LevelArea& area : kLevelAreas) {
            if (area.id == id) {
                SelectLevel(area.position);
                return true;
            }
        }
        switch (id) {
        case IDC_FAVORITES: {
            const bool nowOn = ReadBoxes().favorites;
            if (FavoritesWarningDue(!nowOn, nowOn, ::IsWindowVisible(m_hWnd) != FALSE))
                ShowFavoritesWarning();
            DeriveLevel();
            return true;
        }
        case IDC_WIPE_FREE_SPACE:
            if (ReadBoxes().wipeFreeSpace && !m_wipeWarned) {
                m_wipeWarned = true;
                AppMessageBox(m_hWnd, LoadResourceString(IDS_WIPE_FREE_SPACE_WARNING), MB_OK | MB_ICONINFORMATION);
            }
            DeriveLevel();
            return true;
        case IDC_KEEP_SITES: {
            CKeepDlg keep;
            keep.DoModal(m_hWnd);
            return true;
        }
        case IDC_OTHER_PROGRAMS: {
            COtherProgramsDlg programs;
            programs.DoModal(m_hWnd);
            return true;
        }
        default:
            if (!IsSwitchBox(id))
                break;
            DeriveLevel();
            return true;
        }
    }
    return CDialog::OnCommand(id, code, control);
}

INT_PTR COptionsDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    const HWND control = reinterpret_cast<HWND>(lParam);
    switch (message) {
    case WM_VSCROLL:
        // Mouse and keyboard movements of the slider alike.
        if (control != m_levelSlider.m_hWnd)
            return 0;
        handled = true;
        ApplyLevel();
        return 0;
    case WM_CTLCOLORBTN:
        // The level areas lie over the labels and must leave them showing: their
        // background is erased with a brush that paints nothing.
        if (!IsLevelArea(control))
            return 0;
        handled = true;
        return reinterpret_cast<INT_PTR>(::GetStockObject(NULL_BRUSH));
    case WM_DRAWITEM:
        if (wParam < IDC_THOROUGH_AREA || wParam > IDC_CUSTOM_AREA)
            return 0;
        handled = true;
        return TRUE;
    default:
        return 0;
    }
}

bool COptionsDlg::IsLevelArea(HWND control) const
{
    for (const LevelArea& area : kLevelAreas) {
        if (::GetDlgItem(m_hWnd, area.id) == control)
            return true;
    }
    return false;
}

void COptionsDlg::OnOK()
{
    const OptionSwitches boxes = ReadBoxes();
    // A failed save has told the user; the dialog still closes with OK.
    SaveOptions(Platform(), m_hWnd, m_levelSlider.GetPos(), boxes);
    EndDialog(IDOK);
}

void COptionsDlg::SelectLevel(int position)
{
    m_levelSlider.SetPos(position);
    ApplyLevel();
}

void COptionsDlg::ApplyLevel()
{
    const int position = m_levelSlider.GetPos();
    const OptionSwitches current = ReadBoxes();
    const OptionSwitches next = ::ApplyLevel(position, current);
    for (std::size_t row = 0; row < std::size(kSwitches); ++row) {
        const bool OptionSwitches::*member = kSwitches[row].member;
        // The warning comes before favourites is checked, so the user sees what is about to change.
        if (member == &OptionSwitches::favorites &&
            FavoritesWarningDue(current.favorites, next.favorites, ::IsWindowVisible(m_hWnd) != FALSE))
            ShowFavoritesWarning();
        m_switchBoxes[row].SetCheck(next.*member);
    }
}

void COptionsDlg::DeriveLevel()
{
    SelectLevel(::DeriveLevel(ReadBoxes()));
}

OptionSwitches COptionsDlg::ReadBoxes() const
{
    OptionSwitches boxes;
    for (std::size_t row = 0; row < std::size(kSwitches); ++row)
        boxes.*kSwitches[row].member = m_switchBoxes[row].IsChecked();
    return boxes;
}

void COptionsDlg::ShowFavoritesWarning()
{
    // A slider drag can deliver another movement while the box is open; one warning is enough.
    if (m_bWarningOpen)
        return;
    const std::string text = LoadResourceString(IDS_FAVORITES_WARNING);
    m_bWarningOpen = true;
    AppMessageBox(m_hWnd, text, MB_OK | MB_ICONEXCLAMATION);
    m_bWarningOpen = false;
}
