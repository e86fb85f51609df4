// The main window and the cleaning run, driven from outside as a person would.
#include "PurgixVersion.h"
#include "e2e/E2eFixture.h"
#include "sys/Utf8.h"
#include "ui/MainDlgMessages.h"

#include <regex>

class MainWindow : public PurgixE2e {
protected:
    // Presses "&Purgix!" and at once Esc or the close box; returns the cancel question.
    MessageBoxInfo StartRunAndAskToCancel(void (CPurgixDriver::*cancel)(HWND) const)
    {
        m_driver.Click(IDC_RUN);
        (m_driver.*cancel)(nullptr);
        auto box = m_driver.WaitForMessageBox();
        EXPECT_TRUE(box) << "no cancel question";
        EXPECT_EQ(box.value_or(MessageBoxInfo{}).text, Text(IDS_CANCEL_QUESTION));
        return box.value_or(MessageBoxInfo{});
    }
};

TEST_F(MainWindow, HelpSwitchShowsTheHelpMessageAndNoWindow)
{
    for (const wchar_t* help : {L"/HELP", L"-h", L"/?", L"-Help /WindowsRestart"}) {
        ASSERT_TRUE(m_driver.StartProcessOnly(Widen(kInstalledExe), help));
        auto box = m_driver.WaitForMessageBox();
        ASSERT_TRUE(box) << "no help message for " << Narrow(help);
        EXPECT_EQ(box->text, Text(IDS_HELP_TEXT));
        m_driver.Answer(*box, IDOK);
        // Had it gone on to its main window, it would not end here.
        EXPECT_TRUE(m_driver.WaitForExit());
        m_driver.Kill();
    }
}

TEST_F(MainWindow, OrdinaryStartShowsTheIdleStateWithTheStoredLevel)
{
    StartPurgix();
    EXPECT_EQ(m_driver.Status(), "Click the Purgix! button to perform Standard clean up now.");
    EXPECT_EQ(WindowText(m_driver.MainWindow()), "Windows Purgix!");
    EXPECT_EQ(m_driver.Text(IDC_RUN), "&Purgix!");
    EXPECT_EQ(m_driver.Text(IDCANCEL), "Cancel");
    EXPECT_EQ(m_driver.Text(IDC_OPTIONS), "&Options");
    EXPECT_FALSE(m_driver.Visible(IDC_HELP_BUTTON));
    EXPECT_EQ(m_driver.Report(), "");
    // The first start creates the settings key.
    EXPECT_TRUE(testenv::KeyExists(HKEY_CURRENT_USER, testenv::kSettingsKey));

    // A level stored without switches is shown as that level, whose switches the run takes.
    m_driver.Kill();
    testenv::SetString(HKEY_CURRENT_USER, testenv::kSettingsKey + "\\Options", "TypeOfPurgix", "Thorough");
    StartPurgix();
    EXPECT_EQ(m_driver.Status(), "Click the Purgix! button to perform Thorough clean up now.");
}

TEST_F(MainWindow, ARunOverNothingEndsWithTheSummaryAndTheRestartQuestion)
{
    StartPurgix();
    const std::string report = RunAndDeclineRestart();
    EXPECT_TRUE(std::regex_search(report, std::regex("^Purgix! started on .+\\.\r\n"))) << report;
    EXPECT_NE(report.find("Purgix! recovered 0 bytes of disk space from 0 files.\r\n"), std::string::npos) << report;
    EXPECT_TRUE(std::regex_search(report, std::regex("Purgix! finished on .+\\.\r\n$"))) << report;
    EXPECT_EQ(m_driver.Status(), "Initial Purgix! done. Now restart Windows to complete Purgix!");
    EXPECT_EQ(m_driver.Text(IDCANCEL), "C&lose");
    EXPECT_TRUE(m_driver.Enabled(IDC_OPTIONS));
    // A completed run arms the finishing run.
    EXPECT_EQ(testenv::GetDword(HKEY_CURRENT_USER, testenv::kSettingsKey, "WorkToBeDone"), 1u);

    // Esc after a run closes the window.
    m_driver.PressEscape();
    EXPECT_TRUE(m_driver.WaitForExit());
}

TEST_F(MainWindow, CancellingBeforeTheFirstTargetReportsOnlyTheStartAndTheCancel)
{
    StartPurgix();
    // The click and the Esc arrive together, so the run is paused before its first target.
    m_driver.Answer(StartRunAndAskToCancel(&CPurgixDriver::PressEscape), IDYES);
    ASSERT_TRUE(m_driver.WaitUntil([&] { return m_driver.Status() == "Purgix! cancelled"; }));
    ASSERT_TRUE(m_driver.WaitUntil([&] { return m_driver.Report().find("cancelled by user") != std::string::npos; }));
    EXPECT_TRUE(std::regex_match(m_driver.Report(),
                                 std::regex("Purgix! started on .+\\.\r\nPurgix! cancelled by user\\.\r\n")))
        << m_driver.Report();
    EXPECT_EQ(m_driver.FindMessageBox(), std::nullopt) << "a cancelled run asks no restart question";
    EXPECT_FALSE(testenv::ValueExists(HKEY_CURRENT_USER, testenv::kSettingsKey, "WorkToBeDone"));

    // A run after a cancelled run runs in full.
    const std::string report = RunAndDeclineRestart();
    EXPECT_NE(report.find("Purgix! recovered 0 bytes"), std::string::npos) << report;
}

TEST_F(MainWindow, AnsweringNoToTheCancelQuestionLetsTheRunFinish)
{
    StartPurgix();
    m_driver.Answer(StartRunAndAskToCancel(&CPurgixDriver::PressEscape), IDNO);
    auto restart = m_driver.WaitForMessageBox(120000);
    ASSERT_TRUE(restart);
    EXPECT_EQ(restart->text, Text(IDS_LOGOFF_QUESTION));
    m_driver.Answer(*restart, IDNO);
    ASSERT_TRUE(m_driver.WaitForIdleAfterRun());
    EXPECT_NE(m_driver.Report().find("Purgix! recovered 0 bytes"), std::string::npos);
    EXPECT_EQ(m_driver.Report().find("cancelled"), std::string::npos);
}

TEST_F(MainWindow, TheCloseBoxDuringARunAsksInsteadOfClosing)
{
    StartPurgix();
    m_driver.Answer(StartRunAndAskToCancel(&CPurgixDriver::CloseBox), IDYES);
    ASSERT_TRUE(m_driver.WaitUntil([&] { return m_driver.Text(IDCANCEL) == "C&lose"; }));
    EXPECT_TRUE(m_driver.Running());
    m_driver.CloseBox();
    EXPECT_TRUE(m_driver.WaitForExit());
}

TEST_F(MainWindow, TheAboutBoxNamesTheProgramAndItsVersion)
{
    StartPurgix();
    m_driver.SystemCommand(IDM_ABOUTBOX);
    HWND about = m_driver.WaitForWindow(L"About Windows Purgix!");
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(m_driver.Text(IDC_VERSION, about), std::string("Windows Purgix! Version ") + PURGIX_VERSION);
    EXPECT_EQ(m_driver.Text(IDC_DESCRIPTION, about), Text(IDS_DESCRIPTION));
    EXPECT_NE(m_driver.Text(IDC_DESCRIPTION, about).find("surfing!\r\n\r\nIt protects"), std::string::npos);
    EXPECT_FALSE(m_driver.Text(IDC_NOTICE, about).empty());
    m_driver.PressEscape(about);
    EXPECT_TRUE(m_driver.WaitUntil([&] { return !::IsWindow(about); }, 10000));
    EXPECT_TRUE(m_driver.Running());
}

TEST_F(MainWindow, CallMessagesFromAnotherProcessRunNothingInTheWindow)
{
    // The window's private call message, as any process on the desktop can send it:
    // every number the window's own calls might carry, with a pointer that is not one.
    const auto forge = [&] {
        for (WPARAM number = 0; number < 100; ++number) {
            for (LPARAM garbage : {LPARAM{1}, LPARAM{0x7FFF0000}})
                ::SendMessageTimeoutW(m_driver.MainWindow(), kRunOnUiMessage, number, garbage, SMTO_ABORTIFHUNG, 2000,
                                      nullptr);
        }
    };
    StartPurgix();
    forge();
    m_driver.Click(IDC_RUN);
    ASSERT_TRUE(m_driver.WaitUntil(
        [&] {
            forge();
            return m_driver.FindMessageBox().has_value();
        },
        120000));
    const std::string report = DeclineRestart();
    EXPECT_NE(report.find("Purgix! recovered 0 bytes of disk space from 0 files.\r\n"), std::string::npos) << report;
    EXPECT_EQ(m_driver.Status(), "Initial Purgix! done. Now restart Windows to complete Purgix!");
    EXPECT_TRUE(m_driver.Running());
}

TEST_F(MainWindow, OptionsClickedAsARunStartsOpensOnlyAfterTheRun)
{
    StartPurgix();
    // Both clicks are queued before the run has disabled its buttons.
    m_driver.Click(IDC_RUN);
    m_driver.Click(IDC_OPTIONS);
    bool optionsOpened = false;
    ASSERT_TRUE(m_driver.WaitUntil(
        [&] {
            optionsOpened = optionsOpened || m_driver.FindDialog(L"Purgix! Options");
            return m_driver.FindMessageBox().has_value();
        },
        120000));
    EXPECT_FALSE(optionsOpened) << "Options opened during the run";
    DeclineRestart();

    m_driver.Click(IDC_OPTIONS);
    const HWND options = m_driver.WaitForWindow(L"Purgix! Options");
    ASSERT_NE(options, nullptr) << "Options did not open after the run";
    m_driver.PressEscape(options);
}
