// The Cookies to keep dialog driven from outside as a person would: typing a site in any
// form, Add and Remove, a site that names nothing, what OK and Cancel store, and a stored
// list that cannot be read; and the list purgix-cli keep stored.
#include "e2e/ChildProcess.h"
#include "e2e/E2eFixture.h"
#include "sys/Utf8.h"

#include <utility>
#include <vector>

namespace {

const std::wstring kTitle = L"Cookies to keep";

class KeepDialog : public PurgixE2e {
protected:
    // Opens the dialog from Options and waits until the sites have been looked for.
    void Open()
    {
        m_options = OpenOptionsDialog();
        ASSERT_NE(m_options, nullptr);
        m_driver.Click(IDC_KEEP_SITES, m_options);
        m_dialog = m_driver.WaitForWindow(kTitle);
        ASSERT_NE(m_dialog, nullptr) << "the Cookies to keep dialog did not appear";
        ASSERT_TRUE(
            m_driver.WaitUntil([&] { return m_driver.Text(IDC_KEEP_STATUS, m_dialog).find("Looking") != 0; }, 20000));
    }

    void Type(const std::string& text) const
    {
        m_driver.Send(IDC_KEEP_TYPED, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Widen(text).c_str()), m_dialog);
    }

    // Types the site and presses Add; the box empties once the site is in the list.
    void Add(const std::string& text) const
    {
        Type(text);
        m_driver.Click(IDC_KEEP_ADD, m_dialog);
        EXPECT_TRUE(m_driver.WaitUntil([&] { return m_driver.Text(IDC_KEEP_TYPED, m_dialog).empty(); }, 10000));
    }

    std::vector<std::string> Kept() const
    {
        std::vector<std::string> sites;
        const auto count = static_cast<int>(m_driver.Send(IDC_KEEP_LIST, LB_GETCOUNT, 0, 0, m_dialog));
        for (int item = 0; item < count; ++item) {
            wchar_t text[300] = {};
            m_driver.Send(IDC_KEEP_LIST, LB_GETTEXT, item, reinterpret_cast<LPARAM>(text), m_dialog);
            sites.push_back(Narrow(text));
        }
        return sites;
    }

    // Closes the dialog with the button, then Options with OK.
    void Close(int button)
    {
        m_driver.Click(button, m_dialog);
        ASSERT_TRUE(m_driver.WaitUntil([&] { return !::IsWindow(m_dialog); }, 10000));
        m_driver.Click(IDOK, m_options);
        ASSERT_TRUE(m_driver.WaitUntil([&] { return !::IsWindow(m_options); }, 10000));
    }

    // The stored value's type and its characters, terminators included.
    static std::pair<DWORD, std::wstring> Stored()
    {
        std::wstring text(128, L'\0');
        DWORD size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        DWORD type = 0;
        if (::RegGetValueW(HKEY_CURRENT_USER, Widen(testenv::kSettingsKey).c_str(), L"KeepSites", RRF_RT_ANY, &type,
                           text.data(), &size) != ERROR_SUCCESS)
            return {};
        text.resize(size / sizeof(wchar_t));
        return {type, text};
    }

    HWND m_options = nullptr;
    HWND m_dialog = nullptr;
};

std::pair<DWORD, std::wstring> MultiString(const wchar_t* text, std::size_t length)
{
    return {REG_MULTI_SZ, std::wstring(text, length)};
}

} // namespace

TEST_F(KeepDialog, TypedSitesAreAddedAsTheyAreKeptOkStoresThemAndCancelStoresNothing)
{
    StartPurgix();
    Open();
    EXPECT_TRUE(Kept().empty());
    Add("localhost");
    Add("https://Example.com:8443/login");
    Add(".EXAMPLE.com");
    EXPECT_EQ(Kept(), (std::vector<std::string>{"example.com", "localhost"}));

    // A typed text that names no site is said so, and nothing is added.
    Type("exa mple.com");
    m_driver.Click(IDC_KEEP_ADD, m_dialog);
    const auto box = m_driver.WaitForMessageBox(10000);
    ASSERT_TRUE(box);
    EXPECT_NE(box->text.find("'exa mple.com' names no site"), std::string::npos) << box->text;
    m_driver.Answer(*box, IDOK);
    EXPECT_EQ(Kept().size(), 2u);
    Type("");
    Close(IDOK);
    EXPECT_EQ(Stored(), MultiString(L"example.com\0localhost\0\0", 23));

    // Removed, then cancelled: the stored list stays.
    Open();
    EXPECT_EQ(Kept(), (std::vector<std::string>{"example.com", "localhost"}));
    m_driver.Send(IDC_KEEP_LIST, LB_SETSEL, TRUE, 0, m_dialog);
    m_driver.Click(IDC_KEEP_REMOVE, m_dialog);
    EXPECT_TRUE(
        m_driver.WaitUntil([&] { return m_driver.Send(IDC_KEEP_LIST, LB_GETCOUNT, 0, 0, m_dialog) == 1; }, 10000));
    EXPECT_EQ(Kept(), (std::vector<std::string>{"localhost"}));
    Close(IDCANCEL);
    EXPECT_EQ(Stored(), MultiString(L"example.com\0localhost\0\0", 23));
}

TEST_F(KeepDialog, AStoredListThatCannotBeReadIsSaidSoAndOnlyOkReplacesIt)
{
    testenv::SetString(HKEY_CURRENT_USER, testenv::kSettingsKey, "KeepSites", "example.com");
    StartPurgix();
    Open();
    EXPECT_NE(m_driver.Text(IDC_KEEP_STATUS, m_dialog).find("cannot be read"), std::string::npos);
    Close(IDCANCEL);
    EXPECT_EQ(testenv::GetString(HKEY_CURRENT_USER, testenv::kSettingsKey, "KeepSites"), "example.com");

    // A site typed and confirmed with OK, without Add, is kept too.
    Open();
    Type("example.org");
    Close(IDOK);
    EXPECT_EQ(Stored(), MultiString(L"example.org\0\0", 13));
}

TEST_F(KeepDialog, TheWindowShowsTheListTheConsoleStored)
{
    const ChildResult result = RunChild(BuiltProgram(L"purgix-cli.exe"), L"keep add https://Example.com/ localhost");
    EXPECT_EQ(result.exitCode, 0u) << result.err;
    StartPurgix();
    Open();
    EXPECT_EQ(Kept(), (std::vector<std::string>{"example.com", "localhost"}));
    Close(IDCANCEL);
}
