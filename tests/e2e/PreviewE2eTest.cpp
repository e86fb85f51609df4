// "Pre&view" in the main window, pressed as a person would: it lists what the run would
// remove, removes nothing, asks nothing, and the run that follows removes what it listed.
#include "e2e/E2eFixture.h"

#include <regex>

class PreviewWindow : public PurgixE2e {};

TEST_F(PreviewWindow, ListsWhatARunWouldRemoveChangesNothingAndAsksNoQuestion)
{
    const std::string file = m_places + "\\Cache\\page\\visited.htm";
    testenv::WriteFile(file, "<html></html>");
    StartPurgix();
    EXPECT_EQ(m_driver.Text(IDC_PREVIEW), "Pre&view");
    EXPECT_TRUE(m_driver.Enabled(IDC_PREVIEW));

    m_driver.Click(IDC_PREVIEW);
    ASSERT_TRUE(m_driver.WaitForIdleAfterRun());
    EXPECT_FALSE(m_driver.FindMessageBox()); // no restart question
    EXPECT_EQ(m_driver.Status(), "Preview done. Press Purgix! to clean.");
    EXPECT_TRUE(m_driver.Enabled(IDC_PREVIEW));
    const std::string preview = m_driver.Report();
    EXPECT_NE(preview.find(file + " - would be deleted\r\n"), std::string::npos) << preview;
    EXPECT_NE(preview.find(m_places + "\\Cache\\page\\ - would be deleted\r\n"), std::string::npos) << preview;
    EXPECT_TRUE(std::regex_search(preview, std::regex("Purgix! would recover 13 bytes of disk space from 1 files\\.\r\n"
                                                      "Purgix! preview finished on .+\\.\r\n$")))
        << preview;
    EXPECT_TRUE(testenv::FileExists(file));
    EXPECT_FALSE(testenv::ValueExists(HKEY_CURRENT_USER, kRunOnceKey, "Purgix!"));

    const std::string run = RunAndDeclineRestart();
    EXPECT_NE(run.find(file + " - deleted\r\n"), std::string::npos) << run;
    EXPECT_NE(run.find("Purgix! recovered 13 bytes of disk space from 1 files.\r\n"), std::string::npos) << run;
    EXPECT_FALSE(testenv::FileExists(file));
}

TEST_F(PreviewWindow, IsDisabledWithTheRunButtonWhileARunIsActive)
{
    for (int i = 0; i < 300; ++i)
        testenv::WriteFile(m_places + "\\Cache\\many\\" + std::to_string(i) + ".tmp", "x");
    StartPurgix();
    m_driver.Click(IDC_PREVIEW);
    ASSERT_TRUE(m_driver.WaitUntil([&] { return !m_driver.Enabled(IDC_RUN); }, 30000));
    EXPECT_FALSE(m_driver.Enabled(IDC_PREVIEW));
    EXPECT_FALSE(m_driver.Enabled(IDC_OPTIONS));
    ASSERT_TRUE(m_driver.WaitForIdleAfterRun());
    EXPECT_TRUE(m_driver.Enabled(IDC_PREVIEW));
}
