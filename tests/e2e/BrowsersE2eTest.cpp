// Browser profiles on this machine as the programs find them: a Firefox that has its
// profile open is asked about in the window and left alone by purgix-cli, and the sites
// with cookies in a Chrome profile are offered in the Cookies to keep dialog.
#include "e2e/ChildProcess.h"
#include "e2e/E2eFixture.h"
#include "support/FixtureDatabase.h"
#include "support/HeldFile.h"
#include "sys/Utf8.h"

#include <filesystem>

namespace {

std::string KnownFolder(const wchar_t* variable)
{
    wchar_t path[MAX_PATH] = {};
    ::GetEnvironmentVariableW(variable, path, MAX_PATH);
    return Narrow(path);
}

class BrowsersE2e : public PurgixE2e {
protected:
    void TearDown() override
    {
        for (const std::string& folder : m_seeded)
            std::filesystem::remove_all(std::filesystem::path(Widen(folder)));
        PurgixE2e::TearDown();
    }

    // A Firefox profile listed in profiles.ini, with a history of two visits and one bookmark.
    std::string SeedFirefox()
    {
        const std::string firefox = KnownFolder(L"APPDATA") + "\\Mozilla\\Firefox";
        m_seeded.push_back(KnownFolder(L"APPDATA") + "\\Mozilla");
        const std::string profile = firefox + "\\Profiles\\e2e.default";
        testenv::MakeFolder(profile);
        testenv::WriteFile(firefox + "\\profiles.ini",
                           "[Profile0]\r\nName=e2e\r\nIsRelative=1\r\nPath=Profiles/e2e.default\r\nDefault=1\r\n");
        testenv::WriteFile(profile + "\\parent.lock", "");
        CreateFixtureDatabase(profile + "\\places.sqlite", IDR_FIXTURE_FIREFOX_PLACES);
        return profile;
    }

    std::vector<std::string> m_seeded;
};

} // namespace

TEST_F(BrowsersE2e, TheConsoleLeavesAFirefoxThatHasItsProfileOpenByteForByteAndExitsOne)
{
    const std::string places = SeedFirefox() + "\\places.sqlite";
    const std::string before = testenv::ReadFile(places);
    const std::wstring arguments = L"clean --rules \"Mozilla Firefox History (bookmarks kept)\" --accept-warnings";
    {
        CHeldFile firefox(places.substr(0, places.rfind('\\')) + "\\parent.lock");
        ASSERT_TRUE(firefox.IsHeld());
        const ChildResult open = RunChild(BuiltProgram(L"purgix-cli.exe"), arguments);
        EXPECT_EQ(open.exitCode, 1u) << open.out;
        EXPECT_NE(open.out.find("INFO: Firefox has " + places + " open, so it was left as it was"), std::string::npos)
            << open.out;
        EXPECT_EQ(testenv::ReadFile(places), before);
    }
    // Closed, as Firefox leaves its lock file behind: no false "in use".
    const ChildResult closed = RunChild(BuiltProgram(L"purgix-cli.exe"), arguments);
    EXPECT_NE(closed.out.find(places + " - "), std::string::npos) << closed.out;
    EXPECT_EQ(QueryTexts(places, "SELECT count(*) FROM moz_historyvisits"), std::vector<std::string>{"0"});
}

TEST_F(BrowsersE2e, TheWindowAsksWhileFirefoxHasItsProfileOpenAndSkipLeavesItsHistory)
{
    const std::string places = SeedFirefox() + "\\places.sqlite";
    const std::string before = testenv::ReadFile(places);
    testenv::SetDword(HKEY_CURRENT_USER, testenv::kSettingsKey + "\\Rules", "Mozilla Firefox History (bookmarks kept)",
                      1);
    CHeldFile firefox(places.substr(0, places.rfind('\\')) + "\\parent.lock");
    ASSERT_TRUE(firefox.IsHeld());

    StartPurgix();
    m_driver.Click(IDC_RUN);
    const auto question = m_driver.WaitForMessageBox(60000);
    ASSERT_TRUE(question);
    EXPECT_EQ(m_driver.Text(IDC_IN_USE_TEXT, question->window),
              "Firefox is open. Close it and press Retry, or press Skip to leave its data this time.");
    m_driver.Answer(*question, IDC_SKIP);
    const std::string report = DeclineRestart();
    EXPECT_NE(report.find("INFO: Firefox has " + places + " open, so it was left as it was\r\n"), std::string::npos)
        << report;
    EXPECT_EQ(testenv::ReadFile(places), before);
}

TEST_F(BrowsersE2e, TheKeepDialogOffersTheSitesWithCookiesInAChromeProfileWithTheirCount)
{
    const std::string chrome = KnownFolder(L"LOCALAPPDATA") + "\\Google";
    m_seeded.push_back(chrome);
    testenv::MakeFolder(chrome + "\\Chrome\\User Data\\Default\\Network");
    CreateFixtureDatabase(chrome + "\\Chrome\\User Data\\Default\\Network\\Cookies", IDR_FIXTURE_CHROMIUM_COOKIES,
                          "INSERT INTO cookies VALUES"
                          " (1, '.example.com', '', 'a', '', x'', '/', 0, 1, 0, 0, 0, 0, 1, -1, 2, 443, 0, 0, 0),"
                          " (2, 'example.com', '', 'b', '', x'', '/', 0, 1, 0, 0, 0, 0, 1, -1, 2, 443, 0, 0, 0)");

    StartPurgix();
    const HWND options = OpenOptionsDialog();
    ASSERT_NE(options, nullptr);
    m_driver.Click(IDC_KEEP_SITES, options);
    const HWND dialog = m_driver.WaitForWindow(L"Cookies to keep");
    ASSERT_NE(dialog, nullptr);
    const auto found = [&] {
        wchar_t text[300] = {};
        if (m_driver.Send(IDC_KEEP_FOUND, LB_GETCOUNT, 0, 0, dialog) != 1)
            return std::string();
        m_driver.Send(IDC_KEEP_FOUND, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(text), dialog);
        return Narrow(text);
    };
    EXPECT_TRUE(m_driver.WaitUntil([&] { return found() == "example.com (2 cookies)"; }, 20000)) << found();
    m_driver.Click(IDCANCEL, dialog);
    EXPECT_TRUE(m_driver.WaitUntil([&] { return !::IsWindow(dialog); }, 10000));
    m_driver.Click(IDCANCEL, options);
}
