// The Options dialog driven from outside as a person would: the level slider, the
// clickable labels, the six boxes, the favourites and free-space warnings, the keyboard, what OK and
// Cancel store, and what the next run makes of it.
#include "e2e/ChildProcess.h"
#include "e2e/E2eFixture.h"

#include <cctype>

#include <commctrl.h>

namespace {

const std::string kOptionsKey = testenv::kSettingsKey + "\\Options";
// The stored switches in the order the tests spell them: newsgroups, cookies,
// favourites, wipe clean, game scores.
const char* const kSwitchNames[] = {"DeleteNewsgroupSubscriptions", "DeleteCookies", "DeleteFavorites", "WipeClean",
                                    "ResetGameScores"};

// True when the window has a static child that shows an icon.
bool ShowsAnIcon(HWND window)
{
    bool found = false;
    ::EnumChildWindows(
        window,
        [](HWND child, LPARAM result) {
            wchar_t className[16] = {};
            ::GetClassNameW(child, className, 16);
            if (_wcsicmp(className, L"Static") == 0 && (::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
                *reinterpret_cast<bool*>(result) = true;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

class OptionsDialog : public PurgixE2e {
protected:
    // Opens the dialog from the main window and waits until it has finished loading.
    void Open()
    {
        m_dialog = OpenOptionsDialog();
        ASSERT_NE(m_dialog, nullptr);
        Level(); // a sent message is answered only once the dialog's loop runs
    }

    int Level() const { return static_cast<int>(m_driver.Send(IDC_LEVEL_SLIDER, TBM_GETPOS, 0, 0, m_dialog)); }

    // The boxes as "1" and "0" for newsgroups, cookies, favourites, wipe clean, game scores.
    std::string Boxes() const
    {
        std::string boxes;
        for (int id : {IDC_NEWSGROUPS, IDC_COOKIES, IDC_FAVORITES, IDC_WIPE_CLEAN, IDC_RESET_SCORES})
            boxes += m_driver.Send(id, BM_GETCHECK, 0, 0, m_dialog) == BST_CHECKED ? '1' : '0';
        return boxes;
    }

    // Waits for the slider and the boxes to show this state.
    bool Shows(int level, const std::string& boxes) const
    {
        const bool shown = m_driver.WaitUntil([&] { return Level() == level && Boxes() == boxes; }, 10000);
        if (!shown)
            ADD_FAILURE() << "shows level " << Level() << " with boxes " << Boxes();
        return shown;
    }

    void AnswerFavoritesWarning() const
    {
        auto box = m_driver.WaitForMessageBox(10000);
        ASSERT_TRUE(box) << "no favourites warning";
        EXPECT_EQ(box->text, Text(IDS_FAVORITES_WARNING));
        EXPECT_TRUE(ShowsAnIcon(box->window));
        EXPECT_EQ(::GetDlgItem(box->window, IDNO), nullptr) << "the warning offers OK alone";
        m_driver.Answer(*box, IDOK);
    }

    bool NoMessageBoxAppears() const { return !m_driver.WaitForMessageBox(700); }

    // A key press as the dialog's own message loop sees it.
    void PressKey(HWND target, UINT key) const
    {
        ::PostMessageW(target, WM_KEYDOWN, key, 1);
        ::PostMessageW(target, WM_KEYUP, key, 0xC0000001);
    }
    HWND Focus() const
    {
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        ::GetGUIThreadInfo(::GetWindowThreadProcessId(m_dialog, nullptr), &info);
        return info.hwndFocus;
    }
    int FocusId() const { return ::GetDlgCtrlID(Focus()); }

    // Repaints a level area alone and counts the dark (text) pixels on screen within it.
    int DarkPixelsAfterRepainting(int areaId) const
    {
        const HWND area = ::GetDlgItem(m_dialog, areaId);
        ::RedrawWindow(area, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        m_driver.Send(areaId, WM_NULL, 0, 0, m_dialog); // the repaint has been done
        RECT rect;
        ::GetWindowRect(area, &rect);
        const HDC screen = ::GetDC(nullptr);
        int dark = 0;
        for (int y = rect.top; y < rect.bottom; ++y) {
            for (int x = rect.left; x < rect.right; ++x) {
                const COLORREF pixel = ::GetPixel(screen, x, y);
                dark += GetRValue(pixel) + GetGValue(pixel) + GetBValue(pixel) < 200;
            }
        }
        ::ReleaseDC(nullptr, screen);
        return dark;
    }

    // The slider thumb's rectangle in the slider's client coordinates; the message
    // writes into the program's own memory.
    RECT ThumbRect() const
    {
        RECT rect{};
        const CRemoteMemory remote(m_driver.ProcessId(), sizeof(rect));
        m_driver.Send(IDC_LEVEL_SLIDER, TBM_GETTHUMBRECT, 0, remote.At(), m_dialog);
        remote.Read(&rect, sizeof(rect));
        return rect;
    }

    bool Closed() const
    {
        return m_driver.WaitUntil([&] { return !::IsWindow(m_dialog); }, 10000);
    }

    static std::string StoredLevel() { return testenv::GetString(HKEY_CURRENT_USER, kOptionsKey, "TypeOfPurgix"); }
    static std::string StoredSwitches()
    {
        std::string switches;
        for (const char* name : kSwitchNames) {
            const DWORD value = testenv::GetDword(HKEY_CURRENT_USER, kOptionsKey, name, 9);
            switches += value == 9 ? '-' : static_cast<char>('0' + value);
        }
        return switches;
    }
    // level nullptr: none stored; a switch '-': absent.
    static void StoreOptions(const char* level, const std::string& switches)
    {
        testenv::DeleteTree(HKEY_CURRENT_USER, kOptionsKey);
        if (level)
            testenv::SetString(HKEY_CURRENT_USER, kOptionsKey, "TypeOfPurgix", level);
        for (size_t i = 0; i < switches.size(); ++i) {
            if (switches[i] != '-')
                testenv::SetDword(HKEY_CURRENT_USER, kOptionsKey, kSwitchNames[i],
                                  static_cast<DWORD>(switches[i] - '0'));
        }
    }

    HWND m_dialog = nullptr;
};

} // namespace

TEST_F(OptionsDialog, FirstOpeningShowsStandardAndOkStoresIt)
{
    StartPurgix();
    Open();
    EXPECT_TRUE(Shows(2, "11000"));
    EXPECT_EQ(m_driver.Send(IDC_LEVEL_SLIDER, TBM_GETRANGEMIN, 0, 0, m_dialog), 1);
    EXPECT_EQ(m_driver.Send(IDC_LEVEL_SLIDER, TBM_GETRANGEMAX, 0, 0, m_dialog), 4);
    EXPECT_EQ(m_driver.Text(IDC_FAVORITES, m_dialog), "Delete &Favorites Places / Bookmarks");
    for (int id : {IDC_NEWSGROUPS, IDC_COOKIES, IDC_FAVORITES, IDC_WIPE_CLEAN, IDC_RESET_SCORES})
        EXPECT_TRUE(m_driver.Enabled(id, m_dialog));
    EXPECT_TRUE(NoMessageBoxAppears());

    m_driver.Click(IDOK, m_dialog);
    ASSERT_TRUE(Closed());
    EXPECT_EQ(StoredLevel(), "Standard");
    EXPECT_EQ(StoredSwitches(), "11000");
    EXPECT_EQ(m_driver.Status(), "Click the Purgix! button to perform Standard clean up now.");
}

TEST_F(OptionsDialog, TheWindowOptionsAndTheConsoleShowTheSwitchesTheRunUses)
{
    struct Row {
        const char* level;
        const char* switches;
        int position;
        const char* boxes;
        std::string name;
    };
    const Row rows[] = {
        {nullptr, "--1--", 4, "11100", "Custom"},      // favourites alone, as the demo's seed stored it
        {"Thorough", "-----", 1, "11111", "Thorough"}, // an older version's level, kept by setup
        {"THOROUGH", "00000", 4, "00000", "Custom"},   // the switches decide; the name disagrees
    };
    StartPurgix();
    for (const Row& row : rows) {
        StoreOptions(row.level, row.switches);
        const std::string label = std::string(row.level ? row.level : "(none)") + " " + row.switches;
        Open();
        EXPECT_TRUE(Shows(row.position, row.boxes)) << label;
        if (row.position == 1) {
            EXPECT_TRUE(NoMessageBoxAppears()) << "a warning while loading";
        }
        m_driver.PressEscape(m_dialog);
        ASSERT_TRUE(Closed());
        const std::string status = "Click the Purgix! button to perform " + row.name + " clean up now.";
        EXPECT_TRUE(m_driver.WaitUntil([&] { return m_driver.Status() == status; }, 10000))
            << label << ": " << m_driver.Status();

        std::string inUse = "in use\t";
        for (std::size_t i = 0; i < 5; ++i)
            inUse += std::string(i ? " " : "") + kSwitchNames[i] + "=" + row.boxes[i];
        inUse += " WipeFreeSpace=0"; // no row stores it, and no level sets it
        std::string lowered = row.name;
        lowered[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(lowered[0])));
        const ChildResult levels = RunChild(BuiltProgram(L"purgix-cli.exe"), L"levels");
        EXPECT_NE(levels.out.find(inUse + " (" + lowered + ")"), std::string::npos) << label << "\n" << levels.out;
    }
}

TEST_F(OptionsDialog, ClickingALabelChoosesItsLevelAndThoroughWarnsOnceBeforeCheckingFavourites)
{
    StartPurgix();
    Open();
    m_driver.Click(IDC_THOROUGH_AREA, m_dialog);
    auto box = m_driver.WaitForMessageBox(10000);
    ASSERT_TRUE(box);
    EXPECT_EQ(Boxes(), "11000") << "favourites is checked only after the warning";
    AnswerFavoritesWarning();
    EXPECT_TRUE(Shows(1, "11111"));
    EXPECT_TRUE(NoMessageBoxAppears()) << "a second warning";

    m_driver.Click(IDC_BASIC_AREA, m_dialog);
    EXPECT_TRUE(Shows(3, "00000"));
    m_driver.Click(IDC_STANDARD_AREA, m_dialog);
    EXPECT_TRUE(Shows(2, "11000"));

    // Checking the last box of the Thorough set moves there; the Thorough label then
    // finds favourites checked and warns no more.
    m_driver.Click(IDC_FAVORITES, m_dialog);
    AnswerFavoritesWarning();
    m_driver.Click(IDC_WIPE_CLEAN, m_dialog);
    EXPECT_TRUE(Shows(4, "11110"));
    m_driver.Click(IDC_RESET_SCORES, m_dialog);
    EXPECT_TRUE(Shows(1, "11111"));
    m_driver.Click(IDC_THOROUGH_AREA, m_dialog);
    EXPECT_TRUE(NoMessageBoxAppears());

    // The Custom label keeps the boxes as they are.
    m_driver.Click(IDC_COOKIES, m_dialog);
    EXPECT_TRUE(Shows(4, "10111"));
    m_driver.Click(IDC_STANDARD_AREA, m_dialog);
    EXPECT_TRUE(Shows(2, "11000"));
    m_driver.Click(IDC_WIPE_CLEAN, m_dialog);
    EXPECT_TRUE(Shows(4, "11010"));
    m_driver.Click(IDC_CUSTOM_AREA, m_dialog);
    EXPECT_TRUE(Shows(4, "11010"));
}

TEST_F(OptionsDialog, WipingFreeSpaceWarnsOnceBelongsToNoLevelAndOkStoresIt)
{
    StartPurgix();
    Open();
    const auto wipeChecked = [&] {
        return m_driver.Send(IDC_WIPE_FREE_SPACE, BM_GETCHECK, 0, 0, m_dialog) == BST_CHECKED;
    };
    m_driver.Click(IDC_WIPE_FREE_SPACE, m_dialog);
    auto box = m_driver.WaitForMessageBox(10000);
    ASSERT_TRUE(box) << "no warning that the wipe takes long";
    EXPECT_EQ(box->text, Text(IDS_WIPE_FREE_SPACE_WARNING));
    m_driver.Answer(*box, IDOK);
    EXPECT_TRUE(Shows(4, "11000"));

    // Off and on again: the user has been told once.
    m_driver.Click(IDC_WIPE_FREE_SPACE, m_dialog);
    EXPECT_TRUE(Shows(2, "11000"));
    m_driver.Click(IDC_WIPE_FREE_SPACE, m_dialog);
    EXPECT_TRUE(NoMessageBoxAppears()) << "a second warning";
    EXPECT_TRUE(Shows(4, "11000"));

    // Thorough turns it off like every level; Custom keeps it.
    m_driver.Click(IDC_THOROUGH_AREA, m_dialog);
    AnswerFavoritesWarning();
    EXPECT_TRUE(Shows(1, "11111"));
    EXPECT_FALSE(wipeChecked());
    m_driver.Click(IDC_WIPE_FREE_SPACE, m_dialog);
    EXPECT_TRUE(Shows(4, "11111"));
    EXPECT_TRUE(wipeChecked());
    m_driver.Click(IDOK, m_dialog);
    EXPECT_TRUE(m_driver.WaitUntil(
        [&] { return testenv::GetDword(HKEY_CURRENT_USER, kOptionsKey, "WipeFreeSpace") == 1; }, 10000));
    EXPECT_EQ(testenv::GetString(HKEY_CURRENT_USER, kOptionsKey, "TypeOfPurgix"), "Custom");
}

TEST_F(OptionsDialog, TheLabelsStayVisibleWhenTheirClickAreasRepaint)
{
    StartPurgix();
    Open();
    for (int area : {IDC_THOROUGH_AREA, IDC_STANDARD_AREA, IDC_BASIC_AREA, IDC_CUSTOM_AREA})
        // A dialog just shown may not be on the screen yet: each try repaints the area again.
        EXPECT_TRUE(m_driver.WaitUntil([&] { return DarkPixelsAfterRepainting(area) > 20; }, 5000))
            << "the label under area " << area << " was painted over";
}

TEST_F(OptionsDialog, DraggingTheSliderToThoroughWarnsOnce)
{
    StartPurgix();
    Open();
    const HWND slider = ::GetDlgItem(m_dialog, IDC_LEVEL_SLIDER);
    const RECT thumb = ThumbRect();
    ASSERT_GT(thumb.bottom, thumb.top);
    const int x = (thumb.left + thumb.right) / 2;
    ::PostMessageW(slider, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, (thumb.top + thumb.bottom) / 2));
    // The drag goes on while the warning is open, as a hand on the mouse would.
    for (int y = thumb.top; y >= 0; y -= 4)
        ::PostMessageW(slider, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y));
    AnswerFavoritesWarning();
    ::PostMessageW(slider, WM_LBUTTONUP, 0, MAKELPARAM(x, 0));
    EXPECT_TRUE(Shows(1, "11111"));
    EXPECT_TRUE(NoMessageBoxAppears()) << "a second warning";
}

TEST_F(OptionsDialog, CheckingFavouritesByHandWarnsAndUncheckingItDoesNot)
{
    StartPurgix();
    Open();
    m_driver.Click(IDC_FAVORITES, m_dialog);
    AnswerFavoritesWarning();
    EXPECT_TRUE(Shows(4, "11100"));
    EXPECT_TRUE(NoMessageBoxAppears());

    m_driver.Click(IDC_FAVORITES, m_dialog);
    EXPECT_TRUE(Shows(2, "11000"));
    EXPECT_TRUE(NoMessageBoxAppears());
}

TEST_F(OptionsDialog, TheKeyboardMovesThroughTheBoxesAndTheSlider)
{
    StartPurgix();
    Open();
    // The template's order: the four boxes, OK, Cancel, the slider, the game scores box.
    ASSERT_TRUE(m_driver.WaitUntil([&] { return FocusId() == IDC_NEWSGROUPS; }, 10000)) << FocusId();
    for (int next : {IDC_COOKIES, IDC_FAVORITES, IDC_WIPE_CLEAN, IDOK, IDCANCEL, IDC_LEVEL_SLIDER}) {
        PressKey(Focus(), VK_TAB);
        EXPECT_TRUE(m_driver.WaitUntil([&] { return FocusId() == next; }, 10000)) << next << " " << FocusId();
    }
    const HWND slider = ::GetDlgItem(m_dialog, IDC_LEVEL_SLIDER);
    ASSERT_EQ(Focus(), slider);

    PressKey(slider, VK_DOWN);
    EXPECT_TRUE(Shows(3, "00000"));
    PressKey(slider, VK_NEXT);
    EXPECT_TRUE(Shows(4, "00000")) << "Custom keeps the boxes";
    PressKey(slider, VK_NEXT);
    EXPECT_TRUE(Shows(4, "00000")) << "the bottom of the range";
    PressKey(slider, VK_PRIOR);
    EXPECT_TRUE(Shows(3, "00000"));
    PressKey(slider, VK_PRIOR);
    EXPECT_TRUE(Shows(2, "11000"));
    PressKey(slider, VK_UP);
    AnswerFavoritesWarning();
    EXPECT_TRUE(Shows(1, "11111"));
    EXPECT_TRUE(NoMessageBoxAppears());

    // Enter is OK wherever the focus is.
    PressKey(slider, VK_RETURN);
    ASSERT_TRUE(Closed());
    EXPECT_EQ(StoredLevel(), "Thorough");
    EXPECT_EQ(StoredSwitches(), "11111");

    // Esc is Cancel.
    Open();
    PressKey(Focus(), VK_ESCAPE);
    ASSERT_TRUE(Closed());
}

TEST_F(OptionsDialog, CancelAfterChangesStoresNothing)
{
    StoreOptions("Custom", "01101");
    StartPurgix();
    Open();
    m_driver.Click(IDC_BASIC_AREA, m_dialog);
    m_driver.Click(IDC_COOKIES, m_dialog);
    EXPECT_TRUE(Shows(4, "01000"));
    m_driver.Click(IDCANCEL, m_dialog);
    ASSERT_TRUE(Closed());
    EXPECT_EQ(StoredLevel(), "Custom");
    EXPECT_EQ(StoredSwitches(), "01101");
    EXPECT_EQ(testenv::ValueNames(HKEY_CURRENT_USER, kOptionsKey).size(), 6u);
    EXPECT_EQ(m_driver.Status(), "Click the Purgix! button to perform Custom clean up now.");
}

TEST_F(OptionsDialog, OkAfterChoosingThoroughNamesItInTheIdleStatus)
{
    StartPurgix();
    Open();
    m_driver.Click(IDC_THOROUGH_AREA, m_dialog);
    AnswerFavoritesWarning();
    EXPECT_TRUE(Shows(1, "11111"));
    m_driver.Click(IDOK, m_dialog);
    ASSERT_TRUE(Closed());
    // The window composes its status once the dialog has gone.
    EXPECT_TRUE(m_driver.WaitUntil(
        [&] { return m_driver.Status() == "Click the Purgix! button to perform Thorough clean up now."; }, 10000))
        << m_driver.Status();
    EXPECT_EQ(StoredLevel(), "Thorough");
    EXPECT_EQ(StoredSwitches(), "11111");
}

TEST_F(OptionsDialog, TheNextRunUsesTheStoredSwitches)
{
    const std::string cookie = m_places + "\\Cookies\\someone@example.txt";
    testenv::WriteFile(cookie, "session=1");

    StartPurgix();
    Open();
    m_driver.Click(IDC_COOKIES, m_dialog);
    EXPECT_TRUE(Shows(4, "10000"));
    m_driver.Click(IDOK, m_dialog);
    ASSERT_TRUE(Closed());
    EXPECT_EQ(StoredSwitches(), "10000");
    std::string report = RunAndDeclineRestart();
    EXPECT_TRUE(testenv::FileExists(cookie)) << "cookies are off";
    EXPECT_EQ(report.find("Cookie"), std::string::npos) << report;

    Open();
    m_driver.Click(IDC_COOKIES, m_dialog);
    EXPECT_TRUE(Shows(2, "11000"));
    m_driver.Click(IDOK, m_dialog);
    ASSERT_TRUE(Closed());
    report = RunAndDeclineRestart();
    EXPECT_FALSE(testenv::FileExists(cookie)) << report;
    EXPECT_NE(report.find(cookie), std::string::npos) << report;
}
