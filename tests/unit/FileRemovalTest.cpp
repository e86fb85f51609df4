// The folder sweep and the removal of one file, on real files under Wine.
#include "engine/run/CleaningEngine.h"
#include "support/FaultyPlatform.h"
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

const std::string kListKey = testenv::kSettingsKey + "\\DeleteOnWindowsRestart";
const std::string kDeleted = " - deleted";
const std::string kInUse = " currently in use. Will be deleted when Windows is restarted.";
const std::string kNotDeleted = " - not deleted (due to unexpected error)";
const std::string kFolderKept = " - cannot be deleted. Will be deleted when Windows is restarted.";

class FileRemoval : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = testenv::FreshFolder();
        engine.ResetRestartList();
    }
    void TearDown() override { g_stopFlag = 0; }

    std::vector<std::string> Lines() const { return sink.Lines(); }
    std::vector<std::string> SortedLines() const
    {
        std::vector<std::string> lines = Lines();
        std::sort(lines.begin(), lines.end());
        return lines;
    }
    std::ptrdiff_t LineIndex(const std::string& line) const
    {
        const std::vector<std::string> lines = Lines();
        const auto at = std::find(lines.begin(), lines.end(), line);
        return at == lines.end() ? -1 : at - lines.begin();
    }
    std::string ListEntry(int index) const
    {
        return testenv::GetString(HKEY_CURRENT_USER, kListKey, "File_" + std::to_string(index));
    }
    bool Listed(int index) const
    {
        return testenv::ValueExists(HKEY_CURRENT_USER, kListKey, "File_" + std::to_string(index));
    }

    std::string root;
    CRecordingSink sink;
    CCleaningEngine engine{sink};
};

TEST_F(FileRemoval, NestedSweepReportsFilesFirstAndEachFolderAfterItsContents)
{
    testenv::WriteFile(root + "\\top.txt", "12345");
    testenv::WriteFile(root + "\\a\\one.txt", "1");
    testenv::WriteFile(root + "\\a\\deep\\two.txt", "22");
    testenv::WriteFile(root + "\\b\\three.txt", "333");

    engine.SweepFolder(root, "*", true);

    const std::vector<std::string> expected = {
        root + "\\top.txt" + kDeleted,   root + "\\a\\one.txt" + kDeleted, root + "\\a\\deep\\two.txt" + kDeleted,
        root + "\\a\\deep\\" + kDeleted, root + "\\a\\" + kDeleted,        root + "\\b\\three.txt" + kDeleted,
        root + "\\b\\" + kDeleted,
    };
    std::vector<std::string> lines = Lines();
    EXPECT_EQ(lines.front(), root + "\\top.txt" + kDeleted);
    EXPECT_LT(LineIndex(root + "\\a\\one.txt" + kDeleted), LineIndex(root + "\\a\\" + kDeleted));
    EXPECT_LT(LineIndex(root + "\\a\\deep\\two.txt" + kDeleted), LineIndex(root + "\\a\\deep\\" + kDeleted));
    EXPECT_LT(LineIndex(root + "\\a\\deep\\" + kDeleted), LineIndex(root + "\\a\\" + kDeleted));
    EXPECT_LT(LineIndex(root + "\\b\\three.txt" + kDeleted), LineIndex(root + "\\b\\" + kDeleted));
    std::sort(lines.begin(), lines.end());
    std::vector<std::string> sorted = expected;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(lines, sorted);
    EXPECT_EQ(engine.Tally().files, 4);
    EXPECT_EQ(engine.Tally().bytes, 11u);
    EXPECT_TRUE(testenv::FolderExists(root)); // the folder swept is kept
    EXPECT_FALSE(testenv::FolderExists(root + "\\a"));
}

TEST_F(FileRemoval, OnlyEverythingRemovesSubfoldersAndOnlyRecursionEntersThem)
{
    testenv::WriteFile(root + "\\x.tmp", "x");
    testenv::WriteFile(root + "\\keep.txt", "k");
    testenv::WriteFile(root + "\\sub\\y.tmp", "y");

    engine.SweepFolder(root + "\\", "*.tmp", true);
    EXPECT_EQ(Lines(), (std::vector<std::string>{root + "\\x.tmp" + kDeleted, root + "\\sub\\y.tmp" + kDeleted}));
    EXPECT_TRUE(testenv::FolderExists(root + "\\sub"));

    testenv::WriteFile(root + "\\sub\\z.dat", "z");
    engine.SweepFolder(root, "*.*", false);
    EXPECT_EQ(Lines().back(), root + "\\keep.txt" + kDeleted);
    EXPECT_TRUE(testenv::FileExists(root + "\\sub\\z.dat"));
}

TEST_F(FileRemoval, HiddenReadOnlyAndSystemFilesAreRemovedLikeAnyOther)
{
    const std::string path = root + "\\guarded.dat";
    testenv::WriteFile(path, "abcd");
    ASSERT_TRUE(::SetFileAttributesW(Widen(path).c_str(),
                                     FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));

    engine.SweepFolder(root, "*", false);

    EXPECT_EQ(Lines(), std::vector<std::string>{path + kDeleted});
    EXPECT_FALSE(testenv::FileExists(path));
    EXPECT_EQ(engine.Tally().bytes, 4u);
}

TEST_F(FileRemoval, DesktopIniStaysAndItsFolderIsListedWithATrailingBackslash)
{
    testenv::WriteFile(root + "\\sub\\Desktop.INI", "[.ShellClassInfo]");
    testenv::WriteFile(root + "\\sub\\other.txt", "o");

    engine.SweepFolder(root, "*", true);

    EXPECT_EQ(Lines(),
              (std::vector<std::string>{root + "\\sub\\other.txt" + kDeleted, root + "\\sub\\" + kFolderKept}));
    EXPECT_TRUE(testenv::FileExists(root + "\\sub\\Desktop.INI"));
    EXPECT_EQ(ListEntry(0), root + "\\sub\\");
    EXPECT_EQ(engine.Tally().files, 1);

    engine.RemoveFile(root + "\\sub\\desktop.ini");
    engine.RemoveFile(".");
    engine.RemoveFile(root + "\\..");
    EXPECT_EQ(Lines().size(), 2u);
}

TEST_F(FileRemoval, DriveRootsAreNeverSweptWhateverTheSpelling)
{
    CRemovalFaults guard; // should a guard fail, the sweep finds nothing instead of emptying C:
    guard.findNothing = true;
    CCleaningEngine guarded(sink, guard);
    const std::vector<std::string> roots = {"C:\\",
                                            "C:",
                                            "c:\\.\\",
                                            "C:\\\\",
                                            "\\\\?\\C:\\",
                                            "C:/",
                                            "C:\\purgix-tests\\..",
                                            "\\",
                                            "",
                                            "..\\..\\..\\..\\..\\..\\..\\.."};
    for (const std::string& folder : roots) {
        for (const char* pattern : {"*", "*.*"}) {
            guarded.SweepFolder(folder, pattern, true);
            guarded.SweepFolder(folder, pattern, false);
            EXPECT_TRUE(guard.searches.empty()) << "swept \"" << folder << "\" with " << pattern;
            guard.searches.clear();
        }
    }
    EXPECT_EQ(sink.report, "");

    // Any other pattern goes over the whole drive, for that pattern only.
    guarded.SweepFolder("C:\\", "file*.chk", true);
    EXPECT_EQ(guard.searches, (std::vector<std::string>{"C:\\file*.chk", "C:\\*"}));
}

TEST_F(FileRemoval, WindowsSystemAndProfileFoldersAreNeverEmptied)
{
    CRemovalFaults guard;
    guard.findNothing = true;
    CCleaningEngine guarded(sink, guard);
    const std::string windows = Platform().WindowsDirectory();
    const std::string profile = Platform().ProfileDirectory();
    ASSERT_FALSE(windows.empty());
    ASSERT_FALSE(profile.empty());
    const std::vector<std::string> folders = {windows, windows + "\\.", Platform().SystemDirectory() + "\\", profile,
                                              profile.substr(0, profile.rfind('\\'))};
    for (const std::string& folder : folders)
        guarded.SweepFolder(folder, "*", true);

    EXPECT_TRUE(guard.searches.empty());
    const std::vector<std::string> lines = Lines();
    ASSERT_EQ(lines.size(), folders.size());
    for (const std::string& line : lines)
        EXPECT_EQ(line.rfind("INFO: ", 0), 0u) << line;

    // A folder inside them is cleaned as usual, and so are chosen files in them.
    guarded.SweepFolder(windows + "\\Temp", "*", true);
    guarded.SweepFolder(windows, "*.tmp", false);
    EXPECT_EQ(guard.searches.size(), 2u);
}

TEST_F(FileRemoval, ALinkedFolderIsNeverEnteredAndItsTargetSurvives)
{
    const std::string outside = testenv::FreshFolder();
    testenv::WriteFile(outside + "\\precious.txt", "keep me");
    ASSERT_TRUE(testenv::MakeSymlink(outside, root + "\\link"));
    ASSERT_EQ(testenv::Attributes(root + "\\link") & FILE_ATTRIBUTE_REPARSE_POINT, FILE_ATTRIBUTE_REPARSE_POINT);

    engine.SweepFolder(root, "*", true);
    testenv::RemoveSymlink(root + "\\link");

    EXPECT_EQ(testenv::ReadFile(outside + "\\precious.txt"), "keep me");
    // Wine opens the link as its target, so it is left alone: no line, nothing for the restart.
    EXPECT_EQ(Lines(), std::vector<std::string>{});
    EXPECT_FALSE(Listed(0));
    EXPECT_EQ(engine.Tally().files, 0);
}

TEST_F(FileRemoval, WipeOverwritesEveryByteInPlaceBeforeDeleting)
{
    CRemovalFaults watch;
    watch.deleteError = 1117; // keeps the file to look at
    CCleaningEngine watched(sink, watch);
    const std::string path = root + "\\secret.bin";
    const std::string contents(3 * 1024 * 1024 + 5, 'S');
    testenv::WriteFile(path, contents);
    watched.UseOptions({.switches = {.wipeClean = true}});

    watched.RemoveFile(path);
    EXPECT_EQ(testenv::ReadFile(path), std::string(contents.size(), '\x55'));

    watch.deleteError = 0;
    sink = CRecordingSink();
    watched.UseOptions({.switches = {.wipeClean = true}}); // a fresh tally
    watched.RemoveFile(path);
    EXPECT_EQ(Lines(), std::vector<std::string>{path + kDeleted});
    EXPECT_FALSE(testenv::FileExists(path));
    EXPECT_EQ(watched.Tally().bytes, contents.size());
}

TEST_F(FileRemoval, WipeLeavesTheDataOfAFileWithOtherNames)
{
    const std::string path = root + "\\linked.bin";
    const std::string alias = root + "\\elsewhere.bin"; // outside the target in real life
    testenv::WriteFile(path, "shared data");
    ASSERT_TRUE(::CreateHardLinkW(Widen(alias).c_str(), Widen(path).c_str(), nullptr));
    engine.UseOptions({.switches = {.wipeClean = true}});

    engine.SweepFolder(root, "linked.*", false);

    EXPECT_EQ(Lines(), std::vector<std::string>{path + kDeleted});
    EXPECT_FALSE(testenv::FileExists(path));
    EXPECT_EQ(testenv::ReadFile(alias), "shared data");
}

TEST_F(FileRemoval, WipeOfASparseFileWritesOnlyItsData)
{
    CRemovalFaults faults;
    faults.sparse = true;
    faults.allocated = {{0, 4096}, {2 << 20, 10000}, {4 << 20, 100}}; // the last lies past the end
    faults.deleteError = 1117;                                        // keeps the file to look at
    CCleaningEngine faulty(sink, faults);
    faulty.UseOptions({.switches = {.wipeClean = true}});
    const std::string path = root + "\\sparse.vhd";
    testenv::WriteFile(path, std::string(3 << 20, 'S'));

    faulty.SweepFolder(root, "*", false);

    using Write = std::pair<std::uint64_t, std::uint64_t>;
    EXPECT_EQ(faults.writes, (std::vector<Write>{{0, 4096}, {2 << 20, 10000}}));
    const std::string after = testenv::ReadFile(path);
    EXPECT_EQ(after.substr(0, 4096), std::string(4096, 'U'));
    EXPECT_EQ(after.substr(4096, 16), std::string(16, 'S'));
    EXPECT_EQ(after.substr(2 << 20, 10001), std::string(10000, 'U') + "S");

    // Ranges that cannot be read: the whole length, as for any file.
    faults.writes.clear();
    faults.rangesError = 1;
    faulty.SweepFolder(root, "*", false);
    EXPECT_EQ(faults.writes, (std::vector<Write>{{0, 3 << 20}}));
}

TEST_F(FileRemoval, AFailureAfterTheWipeIsReportedAndNotCounted)
{
    CRemovalFaults faults;
    faults.deleteError = 1117; // an I/O error: neither in use nor gone
    CCleaningEngine faulty(sink, faults);
    faulty.UseOptions({.switches = {.wipeClean = true}});
    const std::string path = root + "\\a.txt";
    const std::string empty = root + "\\empty.txt";
    testenv::WriteFile(path, "abc");
    testenv::WriteFile(empty, "");
    ::SetFileAttributesW(Widen(path).c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);

    faulty.RemoveFile(path);
    faulty.RemoveFile(empty);

    EXPECT_EQ(Lines(), (std::vector<std::string>{path + kNotDeleted, empty + kNotDeleted}));
    EXPECT_EQ(testenv::ReadFile(path), "UUU");
    // The attributes cleared for the overwrite are put back.
    EXPECT_EQ(testenv::Attributes(path) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
              static_cast<DWORD>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(testenv::ReadFile(empty), "");
    // Nothing was freed, so the summary claims nothing.
    EXPECT_EQ(faulty.Tally().files, 0);
    EXPECT_EQ(faulty.Tally().bytes, 0u);
    EXPECT_EQ(faults.bytesWritten, 3u);
    EXPECT_FALSE(Listed(0));

    // A flush that fails means the bytes may not be on the disk: no deletion, no "deleted".
    faults.deleteError = 0;
    faults.flushError = 1117;
    faulty.RemoveFile(path);
    EXPECT_TRUE(testenv::FileExists(path));
    EXPECT_EQ(Lines().back(), path + kNotDeleted);
    EXPECT_EQ(faulty.Tally().files, 0);
}

TEST_F(FileRemoval, AFullDiskEndsTheOverwriteAndTheFileStillGoes)
{
    const std::string path = root + "\\big.bin";
    testenv::WriteFile(path, std::string(3 << 20, 'S'));
    CFaultyPlatform full;
    full.writeFault = {"\\\\?\\" + path, 1 << 20, ERROR_DISK_FULL};
    CCleaningEngine faulty(sink, full);
    faulty.UseOptions({.switches = {.wipeClean = true}});

    faulty.RemoveFile(path);

    EXPECT_EQ(Lines(), std::vector<std::string>{path + kDeleted});
    EXPECT_FALSE(testenv::FileExists(path));
    EXPECT_EQ(faulty.Tally().bytes, 3u << 20);
}

TEST_F(FileRemoval, AFileLargerThanTheFreeSpaceIsDeletedWithoutAnOverwrite)
{
    CRemovalFaults faults;
    faults.hugeSize = 1ull << 30; // holes, as Wine shows a sparse file
    faults.freeBytes = 1 << 20;
    CCleaningEngine faulty(sink, faults);
    faulty.UseOptions({.switches = {.wipeClean = true}});
    testenv::WriteFile(root + "\\holes.vhd", "data");

    faulty.SweepFolder(root, "*", false);

    EXPECT_EQ(faults.bytesWritten, 0u);
    EXPECT_EQ(Lines(), std::vector<std::string>{root + "\\holes.vhd" + kDeleted});
    EXPECT_FALSE(testenv::FileExists(root + "\\holes.vhd"));
}

TEST_F(FileRemoval, AFailedDeletionPutsReadOnlyBackOnEveryNameOfTheFile)
{
    const std::string path = root + "\\linked.dat";
    const std::string alias = root + "\\other-name.dat";
    testenv::WriteFile(path, "shared");
    ASSERT_TRUE(::CreateHardLinkW(Widen(alias).c_str(), Widen(path).c_str(), nullptr));
    ::SetFileAttributesW(Widen(path).c_str(), FILE_ATTRIBUTE_READONLY);
    CRemovalFaults faults;
    faults.deleteError = 1117;
    CCleaningEngine faulty(sink, faults);

    for (const int wipe : {0, 1}) {
        faulty.UseOptions({.switches = {.wipeClean = wipe != 0}});
        faulty.RemoveFile(path);
        EXPECT_EQ(testenv::Attributes(alias) & FILE_ATTRIBUTE_READONLY, static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    }
    EXPECT_EQ(testenv::ReadFile(alias), "shared");
    ::SetFileAttributesW(Widen(path).c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(FileRemoval, FilesBeyondFourGigabytesAreWipedAndCountedInFull)
{
    CRemovalFaults faults;
    faults.hugeSize = (5ull << 30) + 3;
    CCleaningEngine faulty(sink, faults);
    faulty.UseOptions({.switches = {.wipeClean = true}});
    testenv::WriteFile(root + "\\huge.vhd", "");

    faulty.SweepFolder(root, "*", false);

    EXPECT_EQ(faults.bytesWritten, faults.hugeSize);
    EXPECT_EQ(faults.flushes, 1);
    EXPECT_EQ(faulty.Tally().bytes, faults.hugeSize);
    EXPECT_EQ(Lines(), std::vector<std::string>{root + "\\huge.vhd" + kDeleted});
}

TEST_F(FileRemoval, AFileInUseAtDeletionIsCountedListedAndKept)
{
    const std::string path = root + "\\locked.dat";
    testenv::WriteFile(path, "12345678");
    CHeldFile held(path);
    ASSERT_TRUE(held.IsHeld());

    // The exclusive open for the overwrite meets the same sharing violation.
    engine.UseOptions({.switches = {.wipeClean = true}});
    engine.RemoveFile(path);

    EXPECT_EQ(sink.report, path + kInUse + "\r\n");
    EXPECT_EQ(ListEntry(0), path);
    EXPECT_EQ(engine.Tally().files, 1);
    EXPECT_EQ(engine.Tally().bytes, 8u);
    held.Release();
    EXPECT_EQ(testenv::ReadFile(path), "12345678");
}

TEST_F(FileRemoval, AFileInUseAtTheAttributeChangeIsListedButNotCounted)
{
    CRemovalFaults faults;
    faults.setAttributesError = kErrorAccessDenied;
    CCleaningEngine faulty(sink, faults);
    faulty.ResetRestartList();
    const std::string path = root + "\\hidden.dat";
    testenv::WriteFile(path, "12345678");
    ::SetFileAttributesW(Widen(path).c_str(), FILE_ATTRIBUTE_HIDDEN);

    faulty.RemoveFile(path);

    EXPECT_EQ(sink.report, path + kInUse + "\r\n");
    EXPECT_EQ(ListEntry(0), path);
    EXPECT_EQ(faulty.Tally().files, 0);
    EXPECT_EQ(faulty.Tally().bytes, 0u);
    EXPECT_TRUE(testenv::FileExists(path));
}

TEST_F(FileRemoval, AMissingFileIsReportedAsNotDeletedAndNotCounted)
{
    const std::string path = root + "\\never-there.txt";
    engine.RemoveFile(path);
    engine.RemoveFile(root + "\\no-folder\\x.txt");
    engine.RemoveFile(root + "\\*.txt"); // a wildcard names no one file

    EXPECT_EQ(Lines(), (std::vector<std::string>{path + kNotDeleted, root + "\\no-folder\\x.txt" + kNotDeleted,
                                                 root + "\\*.txt" + kNotDeleted}));
    EXPECT_EQ(engine.Tally().files, 0);
    EXPECT_FALSE(Listed(0));

    engine.SweepFolder(root + "\\no-folder", "*", true); // a folder that is not there: no line
    EXPECT_EQ(Lines().size(), 3u);
}

TEST_F(FileRemoval, AStopEndsTheSweepAndPromisesNothingForTheFolderItLeft)
{
    for (const char* folder : {"\\a", "\\b"}) {
        testenv::WriteFile(root + folder + "\\1.txt", "1");
        testenv::WriteFile(root + folder + "\\2.txt", "2");
    }
    sink.onLine = [](const std::string&) { g_stopFlag = 1; };

    engine.SweepFolder(root, "*", true);

    // A stopped run arms no log-on: the subfolder left with a file in it gets no line and no entry.
    const std::vector<std::string> lines = Lines();
    ASSERT_EQ(lines.size(), 1u);
    const std::string first = lines[0].substr(0, lines[0].size() - kDeleted.size());
    const std::string sub = first.substr(0, first.rfind('\\') + 1);
    EXPECT_TRUE(testenv::FolderExists(sub));
    EXPECT_FALSE(Listed(0));
    const std::string other = sub == root + "\\a\\" ? root + "\\b" : root + "\\a";
    EXPECT_TRUE(testenv::FileExists(other + "\\1.txt"));
    EXPECT_TRUE(testenv::FileExists(other + "\\2.txt"));
}

TEST_F(FileRemoval, UnicodeNamesAndPathsBeyond260CharactersAreRemoved)
{
    const std::string unicode = root + "\\K\xC3\xB6ln \xE6\x97\xA5\xE6\x9C\xAC\\\xD1\x84\xD0\xB0\xD0\xB9\xD0\xBB.txt";
    testenv::WriteFile(unicode, "u");
    std::string deep = root;
    while (deep.size() < 300)
        deep += "\\" + std::string(40, 'd');
    testenv::WriteFile("\\\\?\\" + deep + "\\deep.txt", "deep");
    testenv::WriteFile("\\\\?\\" + deep + "\\direct.txt", "direct");

    engine.RemoveFile(deep + "\\direct.txt");
    engine.SweepFolder(root, "*", true);

    EXPECT_EQ(LineIndex(deep + "\\direct.txt" + kDeleted), 0);
    EXPECT_GE(LineIndex(unicode + kDeleted), 0);
    EXPECT_GE(LineIndex(deep + "\\deep.txt" + kDeleted), 0);
    EXPECT_GE(LineIndex(deep + "\\" + kDeleted), 0);
    EXPECT_EQ(engine.Tally().files, 3);
    EXPECT_FALSE(testenv::FolderExists(root + "\\" + std::string(40, 'd')));
}

// A sweep removes only what its target names: long-name matching, literal names, links,
// protected folders under other spellings, deep trees and relative locations.

TEST_F(FileRemoval, APatternRemovesOnlyFilesWhoseLongNameMatches)
{
    // The search matches these by their 8.3 names ("FILE~xxx.CHK", "NOTE~xxx.TMP") too.
    for (const char* folder : {"", "\\sub"}) {
        for (const char* name : {"\\filezilla.chkconfig", "\\note.tmpl", "\\FILE0001.CHK", "\\x.tmp"})
            testenv::WriteFile(root + folder + name, "x");
    }

    engine.SweepFolder(root, "file*.chk", true);
    engine.SweepFolder(root, "*.tmp", false);

    EXPECT_EQ(SortedLines(),
              (std::vector<std::string>{root + "\\FILE0001.CHK" + kDeleted, root + "\\sub\\FILE0001.CHK" + kDeleted,
                                        root + "\\x.tmp" + kDeleted}));
    for (const char* folder : {"", "\\sub"}) {
        EXPECT_TRUE(testenv::FileExists(root + folder + "\\filezilla.chkconfig"));
        EXPECT_TRUE(testenv::FileExists(root + folder + "\\note.tmpl"));
    }
    EXPECT_TRUE(testenv::FileExists(root + "\\sub\\x.tmp"));
}

TEST_F(FileRemoval, NamesEndingInADotOrASpaceAreRemovedThemselves)
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

TEST_F(FileRemoval, AStartingFolderThatIsALinkIsNotFollowed)
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

TEST_F(FileRemoval, ProtectedFoldersAreKnownWhateverTheSpelling)
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

TEST_F(FileRemoval, ADeepTreeIsSweptInOrderOnAStackThatDoesNotGrowWithIt)
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

TEST_F(FileRemoval, ARelativeLocationIsNeverResolvedAgainstTheCurrentFolder)
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
