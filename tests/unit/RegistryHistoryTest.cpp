// The registry step against a seeded registry: which lists go, which lines the report
// gets and in what order, the game-score gate, the Telnet countdown, and that every
// block runs whatever happens to the others.
#include "engine/run/CleaningEngine.h"
#include "support/FaultyPlatform.h"
#include "support/RecordingSink.h"
#include "support/RunFixture.h"
#include "support/TestEnv.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace testenv;

namespace {

const HKEY kCu = HKEY_CURRENT_USER;
const std::string kTypedUrls = "Software\\Microsoft\\Internet Explorer\\TypedURLs";
const std::string kNetscape3History = "Software\\Netscape\\Netscape Navigator\\URL History";
const std::string kNews = "Software\\Microsoft\\Internet Mail and News\\News";
const std::string kFreeCell = "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\FreeCell";
const std::string kHearts = "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Hearts";
const std::string kPinball = "Software\\Microsoft\\Plus!\\Pinball\\SpaceCadet";
const std::string kRunMru = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";
const std::string kDocFindMru = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Doc Find Spec MRU";
const std::string kFindComputerMru = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FindComputerMRU";
const std::string kTelnet = "Software\\Microsoft\\Telnet";

const std::string kIeLine = "'Typed URLs' (Internet Explorer) - removed from the registry.";
const std::string kMsnLine = "'Typed URLs' (MSN) - removed from the registry.";
const std::string kNetscape3Line = "'URL History' (Netscape Navigator 3.x) - removed from the registry.";
const std::string kNetscape4Line = "'URL History' (Netscape Navigator 4.x) - removed from the registry.";
const std::string kRunMruLine = "'Run MRU' list - removed from the registry.";
const std::string kDocFindLine = "'Doc Find Spec MRU' list - removed from the registry.";
const std::string kFindComputerLine = "'FindComputerMRU' list - removed from the registry.";
const std::string kRunMruFailed = "'Run MRU' list - unable to delete from the registry.";
const std::string kDocFindFailed = "'Doc Find Spec MRU' list - unable to delete from the registry.";
const std::string kFindComputerFailed = "'FindComputerMRU' list - unable to delete from the registry.";
const std::string kTelnetLine = "Telnet's MRU list - removed from the registry.";

void RemoveSeededKeys()
{
    for (const std::string& key : {kTypedUrls, kNetscape3History, kNews, kFreeCell, kHearts, kPinball, kRunMru,
                                   kDocFindMru, kFindComputerMru, kTelnet})
        DeleteTree(kCu, key);
    // Parents that only the seeding creates; a parent that still holds subkeys stays.
    for (const wchar_t* parent : {L"Software\\Netscape\\Netscape Navigator", L"Software\\Netscape",
                                  L"Software\\Microsoft\\Internet Mail and News",
                                  L"Software\\Microsoft\\Plus!\\Pinball", L"Software\\Microsoft\\Plus!"})
        RegDeleteKeyW(kCu, parent);
}

void SeedList(const std::string& key, int values)
{
    for (int i = 0; i < values; ++i)
        SetString(kCu, key, std::string(1, static_cast<char>('a' + i)), "entry " + std::to_string(i));
}

class RegistryHistory : public ::testing::Test {
protected:
    void SetUp() override { RemoveSeededKeys(); }
    void TearDown() override { RemoveSeededKeys(); }

    void Clean(const std::string& netscapeDir = "", CPlatform& sys = Platform())
    {
        CCleaningEngine engine(m_sink, sys);
        engine.UseOptions({.switches = {.resetScores = m_resetGameScores != 0}});
        engine.CleanRegistryHistory(m_windowsDir, netscapeDir);
    }

    CRecordingSink m_sink;
    int m_resetGameScores = 0;
    std::string m_windowsDir = FreshFolder();
};

} // namespace

TEST_F(RegistryHistory, ReportsOnlyTheShellListsWhenNothingIsThere)
{
    Clean();

    EXPECT_EQ(m_sink.statuses, Lines{"Cleaning up the registry"});
    EXPECT_EQ(m_sink.Lines(), (Lines{kRunMruFailed, kDocFindFailed, kFindComputerFailed}));
}

TEST_F(RegistryHistory, EmptiesEveryListInOrder)
{
    SeedList(kTypedUrls, 3);
    SeedList(kNetscape3History, 2);
    SetString(kCu, kNews, "Last Group", "alt.test");
    SetString(kCu, kNews, "Last Server", "news.test");
    SetString(kCu, kNews, "Other", "kept");
    SeedList(kRunMru, 3);
    SetString(kCu, kRunMru + "\\Sub", "inner", "kept");
    SeedList(kDocFindMru, 1);
    SeedList(kFindComputerMru, 2);
    SetString(kCu, kTelnet, "LastMachine", "host.test");

    Clean();

    EXPECT_EQ(m_sink.Lines(),
              (Lines{kIeLine, kMsnLine, kNetscape3Line, kRunMruLine, kDocFindLine, kFindComputerLine, kTelnetLine}));
    for (const std::string& key : {kTypedUrls, kNetscape3History, kRunMru, kDocFindMru, kFindComputerMru, kTelnet}) {
        EXPECT_TRUE(KeyExists(kCu, key)) << key;
        EXPECT_TRUE(ValueNames(kCu, key).empty()) << key;
    }
    EXPECT_EQ(ValueNames(kCu, kNews), Lines{"Other"});
    EXPECT_EQ(GetString(kCu, kRunMru + "\\Sub", "inner"), "kept");
}

TEST_F(RegistryHistory, WritesBothTypedAddressLinesForAnEmptyList)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyW(kCu, L"Software\\Microsoft\\Internet Explorer\\TypedURLs", &key), ERROR_SUCCESS);
    RegCloseKey(key);

    Clean();

    const Lines lines = m_sink.Lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], kIeLine);
    EXPECT_EQ(lines[1], kMsnLine);
}

TEST_F(RegistryHistory, NeverReportsAListRemovedWhileAValueRemains)
{
    SeedList(kTypedUrls, 2);
    SetString(kCu, kTypedUrls, "stuck", "x");
    SeedList(kRunMru, 2);
    SetString(kCu, kRunMru, "stuck", "x");
    SeedList(kDocFindMru, 1);
    CFaultyPlatform sys;
    sys.removeValueFault = {"stuck", ERROR_ACCESS_DENIED};

    Clean("", sys);

    EXPECT_EQ(m_sink.Lines(), (Lines{kRunMruFailed, kDocFindLine, kFindComputerFailed}));
    EXPECT_EQ(ValueNames(kCu, kRunMru), Lines{"stuck"});
    // The same line for both, but only the list that stayed full failed: the other is not there.
    ASSERT_EQ(m_sink.items.size(), 3u);
    EXPECT_EQ(m_sink.items[0].action, RunAction::RegistryFailed);
    EXPECT_EQ(m_sink.items[2].action, RunAction::RegistryMissing);
}

TEST_F(RegistryHistory, KeepsLastServerWhenLastGroupIsMissing)
{
    SetString(kCu, kNews, "Last Server", "news.test");

    Clean();

    EXPECT_TRUE(ValueExists(kCu, kNews, "Last Server"));
}

TEST_F(RegistryHistory, LeavesGameScoresAloneUnlessAsked)
{
    SeedList(kFreeCell, 2);
    SeedList(kHearts, 1);
    SeedList(kPinball, 3);
    WriteFile(m_windowsDir + "\\winmine.ini", "[Minesweeper]\r\nTime1=999\r\n");

    Clean();

    EXPECT_EQ(ValueNames(kCu, kFreeCell).size(), 2u);
    EXPECT_EQ(ValueNames(kCu, kHearts).size(), 1u);
    EXPECT_EQ(ValueNames(kCu, kPinball).size(), 3u);
    EXPECT_TRUE(FileExists(m_windowsDir + "\\winmine.ini"));
    EXPECT_EQ(m_sink.Lines(), (Lines{kRunMruFailed, kDocFindFailed, kFindComputerFailed}));
}

// Needs RemoveFile for the score files' lines.
TEST_F(RegistryHistory, ResetsGameScoresSilentlyExceptForTheScoreFiles)
{
    SeedList(kFreeCell, 2);
    SeedList(kHearts, 1);
    SeedList(kPinball, 3);
    WriteFile(m_windowsDir + "\\winmine.ini", "[Minesweeper]\r\nTime1=999\r\n");
    m_resetGameScores = 1;

    Clean();

    EXPECT_TRUE(ValueNames(kCu, kFreeCell).empty());
    EXPECT_TRUE(ValueNames(kCu, kHearts).empty());
    EXPECT_TRUE(ValueNames(kCu, kPinball).empty());
    EXPECT_FALSE(FileExists(m_windowsDir + "\\winmine.ini"));
    EXPECT_EQ(m_sink.Lines(), (Lines{
                                  m_windowsDir + "\\sol.ini - not deleted (due to unexpected error)",
                                  m_windowsDir + "\\winmine.ini - deleted",
                                  m_windowsDir + "\\entpack.ini - not deleted (due to unexpected error)",
                                  kRunMruFailed,
                                  kDocFindFailed,
                                  kFindComputerFailed,
                              }));
}

TEST_F(RegistryHistory, CountsDownTheTelnetEntries)
{
    for (const char* name : {"LastMachine", "Machine1", "Machine2", "Service1", "TermType1"})
        SetString(kCu, kTelnet, name, "x");

    Clean();

    EXPECT_TRUE(ValueNames(kCu, kTelnet).empty());
    const Lines lines = m_sink.Lines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), kTelnetLine), 1);
    EXPECT_EQ(lines.back(), kTelnetLine);

    // Service2 goes only with Machine2, TermType2 only with both.
    SetString(kCu, kTelnet, "Machine2", "x");
    SetString(kCu, kTelnet, "TermType2", "x");
    SetString(kCu, kTelnet, "Service3", "x");
    Clean();
    EXPECT_EQ(ValueNames(kCu, kTelnet), (Lines{"Service3", "TermType2"}));
}

TEST_F(RegistryHistory, TouchesNoTelnetEntryBeyondEight)
{
    SetString(kCu, kTelnet, "Machine9", "x");
    SetString(kCu, kTelnet, "Service9", "x");

    Clean();

    EXPECT_EQ(ValueNames(kCu, kTelnet), (Lines{"Machine9", "Service9"}));
    EXPECT_EQ(m_sink.Lines(), (Lines{kRunMruFailed, kDocFindFailed, kFindComputerFailed}));
}

// Needs RemoveFile for the oldprefs.js line.
TEST_F(RegistryHistory, RewritesTheNetscapePreferencesAfterTheOlderHistory)
{
    const std::string profile = FreshFolder();
    WriteFile(profile + "\\prefs.js", "user_pref(\"browser.url_history.URL_1\", \"x\");\r\n");

    Clean(profile);

    EXPECT_EQ(m_sink.Lines(), (Lines{profile + "\\oldprefs.js - deleted", kNetscape4Line, kRunMruFailed, kDocFindFailed,
                                     kFindComputerFailed}));
}

TEST_F(RegistryHistory, GoesOnAfterAFailedPreferencesRewrite)
{
    const std::string profile = FreshFolder();
    const std::string prefs = "user_pref(\"browser.url_history.URL_1\", \"x\");\r\n";
    WriteFile(profile + "\\prefs.js", prefs);
    WriteFile(profile + "\\oldprefs.js", "stale");
    SetString(kCu, kNews, "Last Group", "alt.test");
    SeedList(kRunMru, 1);

    Clean(profile);

    EXPECT_EQ(m_sink.Lines(), (Lines{kRunMruLine, kDocFindFailed, kFindComputerFailed}));
    EXPECT_FALSE(ValueExists(kCu, kNews, "Last Group"));
    EXPECT_EQ(ReadFile(profile + "\\prefs.js"), prefs);
}

// A whole run, sealed off from the prefix's own places like the catalogue's tests.
class RegistryStepInARun : public CRunFixture {
protected:
    void SetUp() override
    {
        CRunFixture::SetUp();
        RemoveSeededKeys();
    }
    void TearDown() override
    {
        RemoveSeededKeys();
        CRunFixture::TearDown();
    }
};

TEST_F(RegistryStepInARun, RunsToItsEndWhenAStopArrivesAndTheRunEndsCancelled)
{
    SeedList(kTypedUrls, 1);
    SeedList(kRunMru, 1);
    SetString(kCu, kTelnet, "LastMachine", "host.test");
    const std::string runOnce = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
    RegDeleteKeyValueW(kCu, L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", L"Purgix!");
    m_sink.onLine = [](const std::string& line) {
        if (line == kIeLine + "\r\n")
            g_stopFlag = 1;
    };

    RunClean();
    g_stopFlag = 0;

    const Lines lines = m_sink.Lines();
    const auto first = std::find(lines.begin(), lines.end(), kIeLine);
    ASSERT_NE(first, lines.end());
    EXPECT_EQ(Lines(first, lines.end()), (Lines{kIeLine, kMsnLine, kRunMruLine, kDocFindFailed, kFindComputerFailed,
                                                kTelnetLine, "Purgix! cancelled by user."}));
    EXPECT_FALSE(ValueExists(kCu, runOnce, "Purgix!"));
    EXPECT_NE(GetDword(kCu, kSettingsKey, "WorkToBeDone", 0), 1u);
    EXPECT_TRUE(m_sink.questions.empty());
}
