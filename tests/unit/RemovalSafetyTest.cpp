// A sweep removes only what its target names: long-name matching, literal names, links,
// protected folders under other spellings, deep trees and relative locations.
#include "engine/CleaningEngine.h"
#include "support/HeldFile.h"
#include "support/HostLink.h"
#include "support/RecordingSink.h"
#include "support/RemovalFaults.h"
#include "support/TestEnv.h"
#include "sys/Utf8.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

namespace {

const std::string kDeleted = " - deleted";

class RemovalSafety : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = testenv::FreshFolder();
        engine.ResetRestartList();
    }

    std::vector<std::string> SortedLines() const
    {
        std::vector<std::string> lines = sink.Lines();
        std::sort(lines.begin(), lines.end());
        return lines;
    }

    std::string root;
    CRecordingSink sink;
    CCleaningEngine engine{sink};
};

TEST_F(RemovalSafety, APatternRemovesOnlyFilesWhoseLongNameMatches)
{
    // The search matches these by their 8.3 names ("FILE~xxx.CHK", "NOTE~xxx.TMP") too.
    for (const char* folder : {"", "\\sub"}) {
        for (const char* name : {"\\filezilla.chkconfig", "\\note.tmpl", "\\FILE0001.CHK", "\\x.tmp"})
            testenv::WriteFile(root + folder + name, "x");
    }

    engine.SweepFolder(root, "file*.chk", true);
    engine.SweepFolder(root, "*.tmp", false);

    EXPECT_EQ(SortedLines(), (std::vector<std::string>{root + "\\FILE0001.CHK" + kDeleted,
                                                       root + "\\sub\\FILE0001.CHK" + kDeleted,
                                                       root + "\\x.tmp" + kDeleted}));
    for (const char* folder : {"", "\\sub"}) {
        EXPECT_TRUE(testenv::FileExists(root + folder + "\\filezilla.chkconfig"));
        EXPECT_TRUE(testenv::FileExists(root + folder + "\\note.tmpl"));
    }
    EXPECT_TRUE(testenv::FileExists(root + "\\sub\\x.tmp"));
}

TEST_F(RemovalSafety, NamesEndingInADotOrASpaceAreRemovedThemselves)
{
    const std::string literal = "\\\\?\\" + root;
    for (const char* name : {"\\a.", "\\a", "\\b ", "\\b", "\\c."})
        testenv::WriteFile(literal + name, name);
    CHeldFile held(literal + "\\c.");
    ASSERT_TRUE(held.IsHeld());

    engine.SweepFolder(root, "*", false);

    EXPECT_EQ(SortedLines(), (std::vector<std::string>{
                                 root + "\\a - deleted",
                                 root + "\\a. - deleted",
                                 root + "\\b  - deleted",
                                 root + "\\b - deleted",
                                 root + "\\c. currently in use. Will be deleted when Windows is restarted.",
                             }));
    // Listed so that the next log-on removes this file, not a sibling "c".
    EXPECT_EQ(testenv::GetString(HKEY_CURRENT_USER, testenv::kSettingsKey + "\\DeleteOnWindowsRestart", "File_0"),
              literal + "\\c.");
    held.Release();
    engine.RemoveFile(literal + "\\c.");
    EXPECT_EQ(sink.Lines().back(), root + "\\c." + kDeleted);
    EXPECT_FALSE(testenv::FileExists(literal + "\\c."));
}

TEST_F(RemovalSafety, AStartingFolderThatIsALinkIsNotFollowed)
{
    const std::string outside = testenv::FreshFolder();
    testenv::WriteFile(outside + "\\precious.tmp", "keep me");
    ASSERT_TRUE(testenv::MakeSymlink(outside, root + "\\Recycled"));

    engine.SweepFolder(root + "\\Recycled", "*", true);
    engine.SweepFolder(root + "\\Recycled\\", "*.tmp", false);
    testenv::RemoveSymlink(root + "\\Recycled");

    const std::string info = "INFO: " + root + "\\Recycled\\ is a link and was not followed";
    EXPECT_EQ(sink.Lines(), (std::vector<std::string>{info, info}));
    EXPECT_EQ(testenv::ReadFile(outside + "\\precious.tmp"), "keep me");
}

TEST_F(RemovalSafety, ProtectedFoldersAreKnownWhateverTheSpelling)
{
    CRemovalFaults guard; // should a guard fail, the sweep finds nothing instead of emptying the folder
    guard.findNothing = true;
    CCleaningEngine guarded(sink, guard);

    // The profile reached through a link to the folder above it.
    const std::string profile = Platform().ProfileDirectory();
    const std::string users = profile.substr(0, profile.rfind('\\'));
    ASSERT_TRUE(testenv::MakeSymlink(users, root + "\\people"));
    guarded.SweepFolder(root + "\\people" + profile.substr(users.size()), "*", true);
    testenv::RemoveSymlink(root + "\\people");

    // A profile folder with a long name: by its 8.3 name, as a device path, and the folder above it.
    const std::string longProfile = root + "\\A Long Profile Name";
    testenv::MakeFolder(longProfile);
    wchar_t shortName[MAX_PATH];
    ASSERT_GT(::GetShortPathNameW(Widen(longProfile).c_str(), shortName, MAX_PATH), 0u);
    const std::string savedProfile = Platform().GetEnv("USERPROFILE");
    ::SetEnvironmentVariableW(L"USERPROFILE", Widen(longProfile).c_str());
    for (const std::string& folder : {Narrow(shortName), "\\\\.\\" + longProfile, root})
        guarded.SweepFolder(folder, "*", true);
    ::SetEnvironmentVariableW(L"USERPROFILE", Widen(savedProfile).c_str());

    EXPECT_TRUE(guard.searches.empty());
    const std::vector<std::string> lines = sink.Lines();
    ASSERT_EQ(lines.size(), 4u);
    for (const std::string& line : lines)
        EXPECT_NE(line.find(" holds Windows or a user profile and was not emptied"), std::string::npos) << line;
}

// Notes how deep in the stack each directory search is started.
class CStackWatch : public CPlatformDecorator {
public:
    CStackWatch() : CPlatformDecorator(Platform()) {}
    void* FindOpen(const std::string& pattern, FindEntry& first, OsError& error) override
    {
        char marker = 0;
        const auto at = reinterpret_cast<std::uintptr_t>(&marker);
        deepest = std::min(deepest, at);
        shallowest = std::max(shallowest, at);
        return CPlatformDecorator::FindOpen(pattern, first, error);
    }
    std::uintptr_t deepest = UINTPTR_MAX;
    std::uintptr_t shallowest = 0;
};

TEST_F(RemovalSafety, ADeepTreeIsSweptInOrderOnAStackThatDoesNotGrowWithIt)
{
    constexpr int kDepth = 60;
    std::string folder = root;
    for (int level = 0; level < kDepth; ++level)
        folder += "\\d";
    testenv::WriteFile(folder + "\\leaf.txt", "leaf");
    CStackWatch watch;
    CCleaningEngine watched(sink, watch);

    watched.SweepFolder(root, "*", true);

    // A walk that recursed would start the deepest search kilobytes further down.
    EXPECT_LT(watch.shallowest - watch.deepest, 256u);
    const std::vector<std::string> lines = sink.Lines();
    ASSERT_EQ(lines.size(), kDepth + 1u);
    EXPECT_EQ(lines.front(), folder + "\\leaf.txt" + kDeleted);
    EXPECT_EQ(lines[1], folder + "\\" + kDeleted);
    EXPECT_EQ(lines.back(), root + "\\d\\" + kDeleted);
    EXPECT_FALSE(testenv::FolderExists(root + "\\d"));
}

TEST_F(RemovalSafety, ARelativeLocationIsNeverResolvedAgainstTheCurrentFolder)
{
    testenv::WriteFile(root + "\\rel\\x.txt", "x");
    wchar_t saved[MAX_PATH];
    ::GetCurrentDirectoryW(MAX_PATH, saved);
    ::SetCurrentDirectoryW(Widen(root).c_str());

    for (const char* folder : {"rel", "rel\\", ".\\rel", "\\rel"})
        engine.SweepFolder(folder, "*", true);
    engine.RemoveFile("rel\\x.txt");
    ::SetCurrentDirectoryW(saved);

    EXPECT_EQ(sink.Lines(), std::vector<std::string>{"rel\\x.txt - not deleted (due to unexpected error)"});
    EXPECT_TRUE(testenv::FileExists(root + "\\rel\\x.txt"));
}

} // namespace
