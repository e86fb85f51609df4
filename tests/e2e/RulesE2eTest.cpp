// Cleaning rules in the real window: a rules file beside the program with two ticked
// entries cleaned in the same report, and the Other programs dialog driven from
// outside, ticking an entry that warns first.
#include "e2e/E2eFixture.h"
#include "sys/Utf8.h"

#include <commctrl.h>

namespace {

const std::string kRulesKey = testenv::kSettingsKey + "\\Rules";
const std::string kBesideExe = "C:\\Program Files\\Windows Purgix\\winapp2.ini";
const std::string kE2eKey = "Software\\PurgixE2e";

class Rules : public PurgixE2e {
protected:
    void TearDown() override
    {
        ::DeleteFileW(Widen(kBesideExe).c_str());
        testenv::DeleteTree(HKEY_CURRENT_USER, kE2eKey);
        PurgixE2e::TearDown();
    }

    static void Tick(const std::string& entry) { testenv::SetDword(HKEY_CURRENT_USER, kRulesKey, entry, 1); }
    static DWORD Stored(const std::string& entry) { return testenv::GetDword(HKEY_CURRENT_USER, kRulesKey, entry, 0); }
};

// The Other programs dialog, opened from Options.
class OtherPrograms : public Rules {
protected:
    void Open()
    {
        m_options = OpenOptionsDialog();
        ASSERT_NE(m_options, nullptr);
        m_driver.Click(IDC_OTHER_PROGRAMS, m_options);
        m_dialog = m_driver.WaitForWindow(L"Other programs");
        ASSERT_NE(m_dialog, nullptr) << "the Other programs dialog did not appear";
        // The entries are found on a thread of their own; the list fills when they are.
        for (int wait = 0; wait < 200 && Count() == 0; ++wait)
            ::Sleep(50);
        ASSERT_GT(Count(), 0);
    }

    int Count() const { return static_cast<int>(m_driver.Send(IDC_RULE_LIST, LVM_GETITEMCOUNT, 0, 0, m_dialog)); }

    std::string ItemText(int item) const
    {
        constexpr int kChars = 260;
        const CRemoteMemory remote(m_driver.ProcessId(), sizeof(LVITEMW) + kChars * sizeof(wchar_t));
        LVITEMW query{};
        query.pszText = reinterpret_cast<LPWSTR>(remote.At(sizeof(LVITEMW)));
        query.cchTextMax = kChars;
        remote.Write(&query, sizeof(query));
        const auto length =
            static_cast<std::size_t>(m_driver.Send(IDC_RULE_LIST, LVM_GETITEMTEXTW, item, remote.At(), m_dialog));
        std::wstring text(length, L'\0');
        remote.Read(text.data(), length * sizeof(wchar_t), sizeof(LVITEMW));
        return Narrow(text);
    }

    int Find(const std::string& name) const
    {
        for (int item = 0; item < Count(); ++item) {
            if (ItemText(item) == name)
                return item;
        }
        ADD_FAILURE() << name << " is not listed";
        return -1;
    }

    bool Ticked(int item) const
    {
        const auto state = m_driver.Send(IDC_RULE_LIST, LVM_GETITEMSTATE, item, LVIS_STATEIMAGEMASK, m_dialog);
        return ((state & LVIS_STATEIMAGEMASK) >> 12) == 2;
    }

    // Focuses the item and presses the space bar, as a person toggles a check box.
    void PressSpaceOn(int item) const
    {
        const CRemoteMemory remote(m_driver.ProcessId(), sizeof(LVITEMW));
        LVITEMW state{};
        state.stateMask = state.state = LVIS_FOCUSED | LVIS_SELECTED;
        remote.Write(&state, sizeof(state));
        m_driver.Send(IDC_RULE_LIST, LVM_SETITEMSTATE, item, remote.At(), m_dialog);
        const HWND list = ::GetDlgItem(m_dialog, IDC_RULE_LIST);
        ::PostMessageW(list, WM_KEYDOWN, VK_SPACE, 0x00390001);
        ::PostMessageW(list, WM_KEYUP, VK_SPACE, 0xC0390001);
    }

    bool Closed() const
    {
        return m_driver.WaitUntil([&] { return !::IsWindow(m_dialog); }, 10000);
    }

    HWND m_options = nullptr;
    HWND m_dialog = nullptr;
};

} // namespace

TEST_F(Rules, TwoTickedEntriesBesideTheProgramAreCleanedInNameOrderAndKeepWhatTheyExclude)
{
    const std::string& p = m_places;
    testenv::WriteFile(kBesideExe, "; rules of this test\r\n"
                                   "[Zeta Cleaner]\r\n"
                                   "FileKey1=" +
                                       p +
                                       "\\zeta|*.log|RECURSE\r\n"
                                       "ExcludeKey1=FILE|" +
                                       p +
                                       "\\zeta\\|keep.log\r\n"
                                       "RegKey1=HKCU\\" +
                                       kE2eKey +
                                       "\\Zeta\r\n"
                                       "[Alpha Tool]\r\n"
                                       "DetectFile=" +
                                       p +
                                       "\\alpha\r\n"
                                       "FileKey1=" +
                                       p +
                                       "\\alpha\\cache|*|REMOVESELF\r\n"
                                       "ExcludeKey1=PATH|" +
                                       p +
                                       "\\alpha\\cache\\pinned\\\r\n"
                                       "[Not Ticked]\r\n"
                                       "FileKey1=" +
                                       p + "\\other|*\r\n");
    for (const char* file : {"\\zeta\\x.log", "\\zeta\\keep.log", "\\zeta\\deep\\y.log", "\\alpha\\cache\\a.dat",
                             "\\alpha\\cache\\sub\\b.dat", "\\alpha\\cache\\pinned\\p.dat", "\\other\\o.dat"})
        testenv::WriteFile(p + file, "x");
    testenv::SetString(HKEY_CURRENT_USER, kE2eKey + "\\Zeta\\Recent", "1", "a.txt");
    Tick("Zeta Cleaner");
    Tick("Alpha Tool");

    StartPurgix();
    const std::string report = RunAndDeclineRestart();

    const std::string expected = "\r\n" + p + "\\alpha\\cache\\a.dat - deleted\r\n" + //
                                 p + "\\alpha\\cache\\sub\\b.dat - deleted\r\n" +     //
                                 p + "\\alpha\\cache\\sub\\ - deleted\r\n" +          //
                                 p + "\\zeta\\x.log - deleted\r\n" +                  //
                                 p + "\\zeta\\deep\\y.log - deleted\r\n" +            //
                                 "'Zeta Cleaner' HKCU\\" + kE2eKey + "\\Zeta - removed from the registry.\r\n";
    // Right after the start line (the empty profile gives the groups before nothing to
    // say), and before the registry step's lines.
    ASSERT_EQ(report.rfind("Purgix! started on ", 0), 0u) << report;
    EXPECT_EQ(report.substr(report.find("\r\n"), expected.size()), expected) << report;
    EXPECT_NE(report.find("\r\nPurgix! recovered 4 bytes of disk space from 4 files.\r\n"), std::string::npos);
    EXPECT_TRUE(testenv::FileExists(p + "\\zeta\\keep.log"));
    EXPECT_TRUE(testenv::FileExists(p + "\\alpha\\cache\\pinned\\p.dat"));
    EXPECT_TRUE(testenv::FileExists(p + "\\other\\o.dat"));
    EXPECT_FALSE(testenv::KeyExists(HKEY_CURRENT_USER, kE2eKey + "\\Zeta"));
}

TEST_F(OtherPrograms, TickingAnEntryWithAWarningAsksFirstAndOkStoresTheChoice)
{
    testenv::WriteFile(kBesideExe, "[Alpha Tool]\r\nFileKey1=" + m_places +
                                       "\\alpha|*\r\n"
                                       "[Session Keeper]\r\nWarning=You will lose your open tabs.\r\n"
                                       "FileKey1=" +
                                       m_places +
                                       "\\session|*\r\n"
                                       "[Missing Program]\r\nDetectFile=" +
                                       m_places + "\\nowhere\r\n");
    Tick("Alpha Tool");
    StartPurgix();
    Open();
    EXPECT_EQ(m_driver.Text(IDC_RULE_COUNT, m_dialog), std::to_string(Count()) + " programs found");
    const int alpha = Find("Alpha Tool");
    const int session = Find("Session Keeper");
    EXPECT_LT(alpha, session) << "sorted by name";
    for (int item = 0; item < Count(); ++item)
        EXPECT_NE(ItemText(item), "Missing Program") << "an entry not found on this machine is listed";
    EXPECT_TRUE(Ticked(alpha));
    EXPECT_FALSE(Ticked(session));

    // No leaves it unticked; Yes ticks it.
    const std::string question = "You will lose your open tabs.\r\n\r\nTick 'Session Keeper' all the same?";
    for (int answer : {IDNO, IDYES}) {
        PressSpaceOn(session);
        auto box = m_driver.WaitForMessageBox(10000);
        ASSERT_TRUE(box) << "no warning";
        EXPECT_EQ(box->text, question);
        m_driver.Answer(*box, answer);
        EXPECT_TRUE(m_driver.WaitUntil([&] { return Ticked(session) == (answer == IDYES); }, 10000));
    }
    // Unticking asks nothing.
    PressSpaceOn(alpha);
    EXPECT_TRUE(m_driver.WaitUntil([&] { return !Ticked(alpha); }, 10000));
    EXPECT_FALSE(m_driver.WaitForMessageBox(700));

    m_driver.Click(IDOK, m_dialog);
    ASSERT_TRUE(Closed());
    EXPECT_EQ(Stored("Session Keeper"), 1u);
    EXPECT_FALSE(testenv::ValueExists(HKEY_CURRENT_USER, kRulesKey, "Alpha Tool"));

    // Cancel keeps what is stored.
    m_driver.Click(IDC_OTHER_PROGRAMS, m_options);
    m_dialog = m_driver.WaitForWindow(L"Other programs");
    ASSERT_NE(m_dialog, nullptr);
    ASSERT_TRUE(m_driver.WaitUntil([&] { return Count() > 0; }, 10000));
    const int again = Find("Session Keeper");
    EXPECT_TRUE(Ticked(again));
    PressSpaceOn(again);
    EXPECT_TRUE(m_driver.WaitUntil([&] { return !Ticked(again); }, 10000));
    m_driver.PressEscape(m_dialog);
    ASSERT_TRUE(Closed());
    EXPECT_EQ(Stored("Session Keeper"), 1u);
}
