// The free-space wipe as the run's last group, on W:, the test drive that the tests'
// fixture mounts (a small ext4 image). Only W: reads as a fixed drive here, so no run
// of these tests fills any other drive. The console's wipe-free and what the image's
// bytes show are checked from the host (tests/wipe).
#include "engine/removal/FreeSpaceText.h"
#include "support/FaultyPlatform.h"
#include "support/RunFixture.h"
#include "support/TestEnv.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace runkeys;

namespace {

const std::string kTestDrive = "w:\\";
constexpr unsigned kDriveRemote = 4;

// The run's platform with every drive but the test drive read as a network drive, and the
// test drive, when asked, as a solid-state drive (which no drive says under Wine).
class COnlyTestDriveFixed : public CPlatformDecorator {
public:
    COnlyTestDriveFixed(CPlatform& inner, bool solidState) : CPlatformDecorator(inner), m_solidState(solidState) {}
    unsigned DriveType(const std::string& root) override
    {
        return SameIgnoringAsciiCase(root, kTestDrive) ? CPlatformDecorator::DriveType(root) : kDriveRemote;
    }
    bool VolumeOnSolidState(const std::string&) override { return m_solidState; }

private:
    const bool m_solidState;
};

// Counts the progress steps from the wipe's first status on, and may request a stop after some.
class CWipeWatchSink : public CRecordingSink {
public:
    void SetStatusText(const std::string& text, bool repaintNow) override
    {
        CRecordingSink::SetStatusText(text, repaintNow);
        if (!wiping && text.rfind("Wiping free space on ", 0) == 0) {
            wiping = true;
            stepsBeforeWipe = progressSteps;
        }
    }
    void StepProgress() override
    {
        CRecordingSink::StepProgress();
        if (wiping && progressSteps - stepsBeforeWipe == stopAtWipeStep)
            g_stopFlag = 1;
    }

    bool wiping = false;
    int stepsBeforeWipe = 0;
    int stopAtWipeStep = -1;
};

class FreeSpaceWipeRun : public CRunFixture {
protected:
    void SetUp() override
    {
        CRunFixture::SetUp();
        ASSERT_EQ(Platform().DriveType(kTestDrive), kDriveFixed) << "the test drive W: is not there";
        ASSERT_EQ(Platform().FreeSpace(kTestDrive, m_freeBefore), 0u);
        // Without the image mounted, W: is a folder on the host's disk, which no test may fill.
        ASSERT_LT(m_freeBefore, 64u << 20) << "W: is not the test image";
        SetOption("WipeFreeSpace", 1);
    }

    void Run(CPlatform& inner, bool preview = false, bool solidState = false)
    {
        COnlyTestDriveFixed sys(inner, solidState);
        CCleaningEngine engine(m_watch, sys);
        RunOptions options = ReadRunOptions(CSettingsStore());
        options.preview = preview;
        engine.Run(options);
    }

    // The test drive holds nothing the wipe made, and its free space is back.
    void ExpectNothingLeft() const
    {
        EXPECT_FALSE(testenv::FolderExists(WipeFolder(kTestDrive)));
        std::uint64_t freeAfter = 0;
        EXPECT_EQ(Platform().FreeSpace(kTestDrive, freeAfter), 0u);
        EXPECT_EQ(freeAfter, m_freeBefore);
    }

    std::uint64_t m_freeBefore = 0;
    CWipeWatchSink m_watch;
};

TEST_F(FreeSpaceWipeRun, TheLastGroupWipesTheDriveWithItsStatusItsShareOfTheBarAndTheSolidStateNote)
{
    Run(m_sys, false, true);

    const Lines lines = m_watch.Lines();
    const auto wiped = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
        return line.rfind("W: - free space wiped: ", 0) == 0;
    });
    ASSERT_NE(wiped, lines.end()) << m_watch.report;
    // Last: only the summary and the finishing line follow it.
    EXPECT_EQ(lines.end() - wiped, 3) << m_watch.report;
    EXPECT_EQ(*(wiped - 1) + "\r\n", SolidStateLine("W:"));
    const std::string status = WipeStatus("W:", 0, m_freeBefore);
    EXPECT_NE(std::find(m_watch.statuses.begin(), m_watch.statuses.end(), status), m_watch.statuses.end())
        << "no status reads " << status;
    EXPECT_EQ(m_watch.progressMax, 10 + 20);
    EXPECT_EQ(m_watch.progressSteps - m_watch.stepsBeforeWipe, 20);
    EXPECT_EQ(m_watch.outcomes.back().tally.failures, 0);
    ExpectNothingLeft();
}

TEST_F(FreeSpaceWipeRun, APreviewListsTheDriveWithItsFreeSpaceAndWritesNothing)
{
    Run(m_sys, true);

    EXPECT_NE(m_watch.report.find("W: - free space would be wiped (" + SizeText(m_freeBefore) + " free)\r\n"),
              std::string::npos)
        << m_watch.report;
    EXPECT_TRUE(std::none_of(m_watch.statuses.begin(), m_watch.statuses.end(),
                             [](const std::string& status) { return status.rfind("Wiping", 0) == 0; }));
    ExpectNothingLeft();
}

TEST_F(FreeSpaceWipeRun, AStopWithinTheWipeEndsItSaysHowFarItGotAndLeavesNothing)
{
    m_watch.stopAtWipeStep = 2; // a tenth of the free space written
    Run(m_sys);

    EXPECT_NE(m_watch.report.find("W: - free space wipe stopped after "), std::string::npos) << m_watch.report;
    EXPECT_NE(m_watch.report.find("Purgix! cancelled by user.\r\n"), std::string::npos);
    EXPECT_EQ(m_watch.report.find("free space wiped"), std::string::npos);
    ExpectNothingLeft();
}

TEST_F(FreeSpaceWipeRun, AWriteErrorIsReportedWithItsReasonAndCountedAsAFailureNeverAsWiped)
{
    CFaultyPlatform sys;
    constexpr OsError kErrorWriteFault = 29;
    sys.writeFault = {WipeFolder(kTestDrive) + "\\filler", 8u << 20, kErrorWriteFault};
    Run(sys);

    EXPECT_NE(m_watch.report.find("W: - free space not wiped (ERROR_WRITE_FAULT)\r\n"), std::string::npos)
        << m_watch.report;
    EXPECT_EQ(m_watch.report.find("free space wiped"), std::string::npos);
    EXPECT_EQ(m_watch.outcomes.back().tally.failures, 1);
    ExpectNothingLeft();
}

} // namespace
