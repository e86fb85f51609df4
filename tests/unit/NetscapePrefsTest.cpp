// RewriteNetscapePrefs on real files: what prefs.js becomes, which files are left, what
// the report says, and that a failure at any point leaves the preferences whole.
#include "engine/run/CleaningEngine.h"
#include "support/FaultyPlatform.h"
#include "support/RecordingSink.h"
#include "support/TestEnv.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace testenv;
using namespace std::string_literals;

namespace {

const std::string kHistory1 = "user_pref(\"browser.url_history.URL_1\", \"http://one.test/\");";
const std::string kOther = "user_pref(\"browser.startup.homepage\", \"about:blank\");";
const std::string kHistory2Shouted = "  USER_PREF(\"BROWSER.URL_HISTORY.URL_2\", \"http://two.test/\");";
const std::string kThreeLines = kHistory1 + "\r\n" + kOther + "\r\n" + kHistory2Shouted + "\r\n";

class NetscapePrefs : public ::testing::Test {
protected:
    std::string Prefs() const { return m_dir + "\\prefs.js"; }
    std::string NewPrefs() const { return m_dir + "\\newprefs.js"; }
    std::string OldPrefs() const { return m_dir + "\\oldprefs.js"; }

    // Runs the rewrite; true when it returned normally, false when it raised CFileException.
    bool Rewrite(CPlatform& sys = Platform())
    {
        CCleaningEngine engine(m_sink, sys);
        try {
            engine.RewriteNetscapePrefs(m_dir);
            return true;
        } catch (const CFileException&) {
            return false;
        }
    }

    std::string m_dir = FreshFolder();
    CRecordingSink m_sink;
};

} // namespace

// Needs RemoveFile for the oldprefs.js line and its removal.
TEST_F(NetscapePrefs, FiltersTheHistoryAndRemovesTheOldFile)
{
    WriteFile(Prefs(), kThreeLines);

    EXPECT_TRUE(Rewrite());

    EXPECT_EQ(ReadFile(Prefs()), kOther + "\r\n\r\n");
    EXPECT_EQ(m_sink.report, OldPrefs() + " - deleted\r\n");
    EXPECT_FALSE(FileExists(OldPrefs()));
    EXPECT_FALSE(FileExists(NewPrefs()));
}

TEST_F(NetscapePrefs, ReplacesTheFileOnlyAfterTheFilteredCopyIsOnDisk)
{
    WriteFile(Prefs(), kThreeLines);
    CFaultyPlatform sys;

    EXPECT_TRUE(Rewrite(sys));

    const std::vector<std::string> expected = {
        "flush " + NewPrefs(),
        "move " + Prefs() + " -> " + OldPrefs(),
        "move " + NewPrefs() + " -> " + Prefs(),
    };
    EXPECT_EQ(sys.events, expected);
}

TEST_F(NetscapePrefs, KeepsEveryOtherLineByteForByte)
{
    // A prefix without its final full stop, a 5,000-character line, NULs and a last
    // line without a line end: all stay, and the last gains a line end only.
    const std::string almost = "user_pref(\"browser.url_history\", \"kept\");";
    const std::string longLine = "user_pref(\"note\", \"" + std::string(5000, 'n') + "\");";
    const std::string withNul = "user_pref(\"odd\", \"a\0b\");"s;
    const std::string longHistory = kHistory1 + std::string(100000, 'h');
    WriteFile(Prefs(), almost + "\n" + longLine + "\r\n" + longHistory + "\r\n" + withNul + "\n" + kOther);

    EXPECT_TRUE(Rewrite());

    EXPECT_EQ(ReadFile(Prefs()), almost + "\r\n" + longLine + "\r\n" + withNul + "\r\n" + kOther + "\r\n");
}

TEST_F(NetscapePrefs, CopiesTheCleanPreferencesInstead)
{
    WriteFile(Prefs(), kThreeLines);
    WriteFile(Prefs() + ".clean", kOther + "\r\n");

    EXPECT_TRUE(Rewrite());

    EXPECT_EQ(ReadFile(Prefs()), kOther + "\r\n");
    EXPECT_TRUE(FileExists(Prefs() + ".clean"));
    EXPECT_FALSE(FileExists(NewPrefs()));
    EXPECT_FALSE(FileExists(OldPrefs()));
    EXPECT_EQ(m_sink.report, "");
}

TEST_F(NetscapePrefs, LeavesEverythingInPlaceWhenOldPrefsIsInTheWay)
{
    WriteFile(Prefs(), kThreeLines);
    WriteFile(OldPrefs(), "stale");

    EXPECT_FALSE(Rewrite());

    EXPECT_EQ(ReadFile(Prefs()), kThreeLines);
    EXPECT_EQ(ReadFile(OldPrefs()), "stale");
    EXPECT_EQ(ReadFile(NewPrefs()), kOther + "\r\n\r\n");
    EXPECT_EQ(m_sink.report, "");
}

TEST_F(NetscapePrefs, PutsThePreferencesBackWhenTheSecondRenameFails)
{
    WriteFile(Prefs(), kThreeLines);
    CFaultyPlatform sys;
    sys.moveFault = {NewPrefs(), ERROR_SHARING_VIOLATION};

    EXPECT_FALSE(Rewrite(sys));

    EXPECT_EQ(ReadFile(Prefs()), kThreeLines);
    EXPECT_FALSE(FileExists(OldPrefs()));
    EXPECT_EQ(sys.events.back(), "move " + OldPrefs() + " -> " + Prefs());
    EXPECT_EQ(m_sink.report, "");
}

TEST_F(NetscapePrefs, NeverReplacesThePreferencesWithAPartialCopy)
{
    // A long file, so the disk fills up in the middle of it.
    std::string original;
    for (int i = 0; i < 5000; ++i)
        original += (i % 2 ? kOther : kHistory1) + "\r\n";

    struct Case {
        const char* what;
        void (*inject)(CFaultyPlatform&, const std::string& prefs, const std::string& newPrefs);
    };
    const Case cases[] = {
        {"disk full while writing",
         [](CFaultyPlatform& sys, const std::string&, const std::string& newPrefs) {
             sys.writeFault = {newPrefs, 1000, ERROR_DISK_FULL};
         }},
        {"flush fails",
         [](CFaultyPlatform& sys, const std::string&, const std::string& newPrefs) {
             sys.flushFault = {newPrefs, ERROR_DISK_FULL};
         }},
        {"read fails midway",
         [](CFaultyPlatform& sys, const std::string& prefs, const std::string&) {
             sys.readFault = {prefs, 4096, ERROR_READ_FAULT};
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile(Prefs(), original);
        CFaultyPlatform sys;
        c.inject(sys, Prefs(), NewPrefs());

        EXPECT_FALSE(Rewrite(sys));

        EXPECT_EQ(ReadFile(Prefs()), original);
        EXPECT_FALSE(FileExists(OldPrefs()));
        EXPECT_FALSE(FileExists(NewPrefs()));
        EXPECT_TRUE(std::none_of(sys.events.begin(), sys.events.end(),
                                 [](const std::string& event) { return event.rfind("move ", 0) == 0; }));
    }
    EXPECT_EQ(m_sink.report, "");
}

TEST_F(NetscapePrefs, RaisesWithoutTouchingAnythingWhenThereIsNoPreferencesFile)
{
    EXPECT_FALSE(Rewrite());
    EXPECT_FALSE(FileExists(NewPrefs()));
    EXPECT_FALSE(FileExists(Prefs()));

    // An existing newprefs.js that another program holds cannot be written, and is
    // never renamed into place.
    WriteFile(Prefs(), kThreeLines);
    WriteFile(NewPrefs(), "foreign");
    HANDLE held = CreateFileA(NewPrefs().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(Rewrite());
    CloseHandle(held);
    EXPECT_EQ(ReadFile(Prefs()), kThreeLines);
    EXPECT_EQ(ReadFile(NewPrefs()), "foreign");
    EXPECT_EQ(m_sink.report, "");
}

TEST_F(NetscapePrefs, DoesNothingForAnEmptyDirectory)
{
    CCleaningEngine engine(m_sink);
    EXPECT_NO_THROW(engine.RewriteNetscapePrefs(""));
    EXPECT_EQ(m_sink.report, "");
}
