// The set-up and the end of a cleaning run: what it reads before the first target,
// how it opens and closes the report, the summary line, the restart question and what
// a stop skips.
#include "engine/run/RunText.h"
#include "resource.h"
#include "support/FaultyPlatform.h"
#include "support/HeldFile.h"
#include "support/RunFixture.h"
#include "support/TestEnv.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace runkeys;
using testenv::FileExists;

namespace {

const std::string kAppPaths = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\purgix.exe";
const std::string kRunOnce = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const std::string kTypedUrls = "Software\\Microsoft\\Internet Explorer\\TypedURLs";
const std::string kListKey = "Software\\Vellomar\\Purgix!\\DeleteOnWindowsRestart";

// Stands in for the Windows version and for ending the session, which a test must
// never do for real.
class CSessionStandIn : public CVisitRecorder {
public:
    std::uint32_t PlatformId() override { return platformId; }
    bool EndSession(unsigned flags) override
    {
        endSessionFlags.push_back(flags);
        return endSessionSucceeds;
    }

    std::uint32_t platformId = 2;
    bool endSessionSucceeds = true;
    std::vector<unsigned> endSessionFlags;
};

class CleaningRun : public CRunFixture {
protected:
    void SetUp() override
    {
        CRunFixture::SetUp();
        m_registry.Remove(kCu, kRunOnce, "Purgix!");
        m_registry.Remove(kLm, kAppPaths, "");
        m_registry.Remove(kCu, "Software\\Vellomar\\Purgix!", "WorkToBeDone");
        m_registry.Remove(kCu, "Software\\Vellomar\\Purgix!\\DeleteOnWindowsRestart", "FileCount");
    }

    // A run whose platform stands in for the session.
    void RunWithSession()
    {
        CCleaningEngine engine(m_sink, m_session);
        engine.Run(ReadRunOptions(CSettingsStore()));
    }

    bool HasStatus(const std::string& status) const
    {
        return std::find(m_sink.statuses.begin(), m_sink.statuses.end(), status) != m_sink.statuses.end();
    }

    CSessionStandIn m_session;
};

TEST_F(CleaningRun, TheNetscapeProfileNeedsBothTheUserAndItsFolder)
{
    const std::string status = "Deleting Netscape Navigator 4.x cache";
    SetLocation(kLm, kNetscapeUsers, "CurrentUser", "cat");
    RunClean();
    EXPECT_FALSE(HasStatus(status));

    SetLocation(kLm, kNetscapeUsers + "\\cat", "DirRoot", m_root);
    m_sink = CStoppingSink();
    RunClean();
    EXPECT_TRUE(HasStatus(status));
}

TEST_F(CleaningRun, OptionsAreReadAgainAtEveryRun)
{
    const std::string favoritesInfo = "INFO: Unable to read Internet Explorer's Favorites directory from the registry";
    CCleaningEngine engine(m_sink, m_sys);
    SetOption("DeleteFavorites", 1);
    engine.Run(ReadRunOptions(CSettingsStore()));
    EXPECT_NE(m_sink.report.find(favoritesInfo), std::string::npos);

    SetOption("DeleteFavorites", 0);
    engine.Run(ReadRunOptions(CSettingsStore()));
    EXPECT_EQ(m_sink.report.find(favoritesInfo), std::string::npos);
}

TEST_F(CleaningRun, TheCachePathCountSetsTheProgressRange)
{
    RunClean();
    EXPECT_EQ(m_sink.progressMax, 10);

    // Internet Explorer writes the count as four bytes of binary data.
    testenv::SetBinary(kLm, kCachePaths, "Paths", {4, 0, 0, 0});
    RunClean();
    EXPECT_EQ(m_sink.progressMax, 14);

    m_registry.SetDword(kLm, kCachePaths, "Paths", 0xFFFFFFFF);
    RunClean();
    EXPECT_EQ(m_sink.progressMax, 10); // a negative count means no numbered caches
}

TEST_F(CleaningRun, TheReportOpensWithTheStartLineAndClosesWithSummaryAndFinishLine)
{
    SetLocation(kCu, kShellFolders, "Cache", m_root + "\\cache");
    Put(m_root + "\\cache\\a.htm", std::string(100, 'a'));
    Put(m_root + "\\cache\\b.htm", std::string(23, 'b'));
    m_sink.report = "left over from the last run\r\n";
    m_sink.answers = {false};

    RunWithSession();

    const Lines lines = m_sink.Lines();
    ASSERT_EQ(lines.size() >= 5, true);
    EXPECT_EQ(lines[0].rfind("Purgix! started on ", 0), 0u) << lines[0];
    EXPECT_EQ(lines[lines.size() - 2], "Purgix! recovered 123 bytes of disk space from 2 files.");
    EXPECT_EQ(lines.back().rfind("Purgix! finished on ", 0), 0u) << lines.back();
    EXPECT_EQ(m_sink.busy, (std::vector<bool>{true, false}));
    EXPECT_TRUE(m_sink.progressReset);
    EXPECT_EQ(m_sink.statuses.back(), "Initial Purgix! done. Now restart Windows to complete Purgix!");
    EXPECT_EQ(m_sink.finished, 1);
}

TEST(RunSummary, ChoosesItsUnitAtTenKilobytesOneMegabyteAndOneGigabyte)
{
    const auto load = [](unsigned id) { return Platform().LoadText(id); };
    EXPECT_EQ(FormatSummary(10239, 3, load), "Purgix! recovered 10239 bytes of disk space from 3 files.");
    EXPECT_EQ(FormatSummary(10240, 3, load), "Purgix! recovered 10.0 KB of disk space from 3 files.");
    EXPECT_EQ(FormatSummary(1048575, 3, load), "Purgix! recovered 1024.0 KB of disk space from 3 files.");
    EXPECT_EQ(FormatSummary(1048576, 3, load), "Purgix! recovered 1.0 MB of disk space from 3 files.");
    EXPECT_EQ(FormatSummary(1073741824, 3, load),
              "Purgix! recovered 1.00 GB of disk space from 3 files. Wow! You needed that.");
    // Past 4 GiB the total keeps counting instead of wrapping.
    EXPECT_EQ(FormatSummary(5ull << 30, 70000, load),
              "Purgix! recovered 5.00 GB of disk space from 70000 files. Wow! You needed that.");
}

struct QuestionCase {
    const char* name;
    std::uint32_t platformId;
    bool answer; // Yes
    bool endSessionSucceeds;
    unsigned question;                // string-table entry of the question
    std::vector<unsigned> endSession; // the flags ExitWindowsEx received
};

class RestartQuestion : public CleaningRun, public ::testing::WithParamInterface<QuestionCase> {};

TEST_P(RestartQuestion, LogsOffOnNtRestartsElsewhereAndSaysWhenItCannot)
{
    const QuestionCase& c = GetParam();
    m_session.platformId = c.platformId;
    m_session.endSessionSucceeds = c.endSessionSucceeds;
    m_sink.answers = {c.answer};

    RunWithSession();

    EXPECT_EQ(m_sink.questions, Lines{Platform().LoadText(c.question)});
    EXPECT_EQ(m_session.endSessionFlags, c.endSession);
    if (c.endSessionSucceeds) {
        EXPECT_TRUE(m_sink.messages.empty());
    } else {
        EXPECT_EQ(m_sink.messages, Lines{Platform().LoadText(IDS_SHUTDOWN_FAILED)});
    }
    ASSERT_EQ(m_sink.outcomes.size(), 1u);
    EXPECT_EQ(m_sink.outcomes[0].end, RunEnd::Done);
    // A session that would not end is a failure the console's exit code must see.
    EXPECT_EQ(m_sink.outcomes[0].tally.failures, c.endSessionSucceeds ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, RestartQuestion,
    ::testing::Values(QuestionCase{"NtYesLogsOff", 2, true, true, IDS_LOGOFF_QUESTION, {0}},
                      QuestionCase{"Windows95YesRestarts", 1, true, true, IDS_RESTART_QUESTION, {2}},
                      QuestionCase{"NoDoesNothing", 2, false, true, IDS_LOGOFF_QUESTION, {}},
                      QuestionCase{"FailedRestartIsReported", 1, true, false, IDS_RESTART_QUESTION, {2}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CleaningRun, AStopBeforeTheFirstTargetLeavesOnlyTheStartAndCancelLines)
{
    m_registry.SetString(kLm, kAppPaths, "", "C:\\Program Files\\Windows Purgix\\purgix.exe");
    m_sink.onLine = [](const std::string&) { g_stopFlag = 1; };

    RunWithSession();

    const Lines lines = m_sink.Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], "Purgix! cancelled by user.");
    EXPECT_EQ(m_sink.statuses, Lines{"Purgix! cancelled"});
    EXPECT_TRUE(m_sink.questions.empty());
    EXPECT_TRUE(m_session.endSessionFlags.empty());
    EXPECT_FALSE(testenv::ValueExists(kCu, kRunOnce, "Purgix!"));
    EXPECT_EQ(m_sink.busy, (std::vector<bool>{true, false}));
    ASSERT_EQ(m_sink.outcomes.size(), 1u);
    EXPECT_EQ(m_sink.outcomes[0].end, RunEnd::Stopped);
}

TEST_F(CleaningRun, AStopDuringTheRegistryStepLetsItFinishButArmsNothingAndTakesBackItsPromise)
{
    m_registry.SetString(kLm, kAppPaths, "", "C:\\Program Files\\Windows Purgix\\purgix.exe");
    m_registry.SetString(kCu, kTypedUrls, "url1", "http://example.com/");
    const std::string temp = m_root + "\\Temp";
    Put(temp + "\\held.dat", "12345");
    CHeldFile held(temp + "\\held.dat");
    ASSERT_TRUE(held.IsHeld());
    SetEnv("TEMP", temp);
    m_sink.stopAtStatus = "Cleaning up the registry";

    RunWithSession();

    EXPECT_FALSE(testenv::ValueExists(kCu, kTypedUrls, "url1")); // group 10 ran to its end
    EXPECT_FALSE(testenv::ValueExists(kCu, kRunOnce, "Purgix!"));
    const Lines lines = m_sink.Lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "Purgix! cancelled by user.");
    EXPECT_EQ(lines.back(),
              "INFO: The run was cancelled, so the files in use listed above stay until a later run removes them");
    EXPECT_TRUE(m_sink.questions.empty());
}

TEST_F(CleaningRun, TempAndTmpNamingOneFolderReportListAndCountAHeldFileOnce)
{
    m_registry.SetString(kLm, kAppPaths, "", "C:\\Program Files\\Windows Purgix\\purgix.exe");
    const std::string temp = m_root + "\\Temp";
    Put(temp + "\\held.dat", "12345");
    Put(temp + "\\free.dat", "12345");
    CHeldFile held(temp + "\\held.dat");
    ASSERT_TRUE(held.IsHeld());
    SetEnv("TEMP", temp);
    SetEnv("TMP", temp);
    m_sink.answers = {false};

    RunWithSession();

    const Lines lines = m_sink.Lines();
    Lines own;
    std::copy_if(lines.begin(), lines.end(), std::back_inserter(own),
                 [&](const std::string& line) { return line.rfind(temp, 0) == 0; });
    std::sort(own.begin(), own.end());
    EXPECT_EQ(own, (Lines{temp + "\\free.dat - deleted",
                          temp + "\\held.dat currently in use. Will be deleted when Windows is restarted."}));
    EXPECT_EQ(lines[lines.size() - 2], "Purgix! recovered 10 bytes of disk space from 2 files.");
    EXPECT_EQ(testenv::GetDword(kCu, kListKey, "FileCount"), 1u);
    EXPECT_EQ(testenv::GetString(kCu, kListKey, "File_0"), temp + "\\held.dat");
    ASSERT_EQ(m_sink.outcomes.size(), 1u);
    EXPECT_EQ(m_sink.outcomes[0].tally.deferred, 1);
    EXPECT_EQ(m_sink.outcomes[0].tally.failures, 0);
}

TEST_F(CleaningRun, AFinishedRunArmsTheFinishingRun)
{
    m_registry.SetString(kLm, kAppPaths, "", "C:\\Program Files\\Windows Purgix\\purgix.exe");
    m_sink.answers = {false};

    RunWithSession();

    EXPECT_TRUE(testenv::ValueExists(kCu, kRunOnce, "Purgix!"));
}

TEST_F(CleaningRun, AFailureTheRunCannotHandleStopsItAndSaysSo)
{
    CFaultyPlatform outOfMemory;
    outOfMemory.searchesRunOutOfMemory = true;

    RunGuarded(m_sink, [&] { CCleaningEngine(m_sink, outOfMemory).Run(RunOptions{}); });

    EXPECT_EQ(m_sink.Lines().back(), "INFO: The run stopped: std::bad_alloc");
    EXPECT_EQ(m_sink.statuses.back(), "Purgix! stopped");
    EXPECT_EQ(m_sink.busy, (std::vector<bool>{true, false}));
    EXPECT_TRUE(m_sink.progressReset);
    ASSERT_EQ(m_sink.outcomes.size(), 1u);
    EXPECT_EQ(m_sink.outcomes[0].end, RunEnd::Failed);
    EXPECT_TRUE(m_sink.questions.empty());
}

TEST_F(CleaningRun, AFailureThatNamesNothingIsReportedAsUnexpected)
{
    RunGuarded(m_sink, [] { throw CResourceException(); });

    EXPECT_EQ(m_sink.Lines(), Lines{"INFO: The run stopped: unexpected error"});
    EXPECT_EQ(m_sink.finished, 1);
}

} // namespace
