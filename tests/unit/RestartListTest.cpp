// The restart list in the real (Wine) registry: listing during a run, arming the next
// log-on, and the finishing run that works the list off.
#include "engine/run/CleaningEngine.h"
#include "settings/StoredRunOptions.h"
#include "support/FaultyPlatform.h"
#include "support/HeldFile.h"
#include "support/RecordingSink.h"
#include "support/RemovalFaults.h"
#include "support/TestEnv.h"

#include <gtest/gtest.h>

namespace {

using testenv::kSettingsKey;
const std::string kListKey = kSettingsKey + "\\DeleteOnWindowsRestart";
const std::string kRunOnceKey = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const std::string kAppPathsKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\purgix.exe";
const std::string kIeMainKey = "SOFTWARE\\Microsoft\\Internet Explorer\\Main";
const std::string kInstalledAt = "C:\\Program Files\\Purgix\\purgix.exe";
const std::string kOpening = "Purgix! attempting to delete those last few files which couldn't be deleted earlier";
const std::string kComplete = "Purgix! complete";
const std::string kInUse = " currently in use. Will be deleted when Windows is restarted.";
const std::string kFolderKept = " - cannot be deleted. Will be deleted when Windows is restarted.";
const std::string kNotDeleted = " - not deleted (due to unexpected error)";

void DeleteValue(HKEY root, const std::string& key, const std::string& name)
{
    ::RegDeleteKeyValueW(root, Widen(key).c_str(), Widen(name).c_str());
}

class RestartList : public ::testing::Test {
protected:
    void SetUp() override
    {
        Clean();
        root = testenv::FreshFolder();
    }
    void TearDown() override
    {
        g_stopFlag = 0;
        Clean();
    }
    static void Clean()
    {
        testenv::DeleteTree(HKEY_CURRENT_USER, kListKey);
        DeleteValue(HKEY_CURRENT_USER, kSettingsKey, "WorkToBeDone");
        DeleteValue(HKEY_CURRENT_USER, kRunOnceKey, "Purgix!");
        testenv::DeleteTree(HKEY_LOCAL_MACHINE, kAppPathsKey);
    }

    static void Install() { testenv::SetString(HKEY_LOCAL_MACHINE, kAppPathsKey, "", kInstalledAt); }
    static void List(int index, const std::string& path)
    {
        testenv::SetString(HKEY_CURRENT_USER, kListKey, "File_" + std::to_string(index), path);
    }
    static std::string Entry(int index)
    {
        return testenv::GetString(HKEY_CURRENT_USER, kListKey, "File_" + std::to_string(index));
    }
    // The log-ons an entry has resisted; absent reads as 0.
    static DWORD Attempts(int index)
    {
        return testenv::GetDword(HKEY_CURRENT_USER, kListKey, "File_" + std::to_string(index) + "_Attempts", 0);
    }
    static DWORD Setting(const std::string& key, const std::string& name)
    {
        return testenv::GetDword(HKEY_CURRENT_USER, key, name);
    }
    static bool Armed() { return testenv::ValueExists(HKEY_CURRENT_USER, kRunOnceKey, "Purgix!"); }

    // The run Windows starts at the next log-on.
    CRecordingSink Finish()
    {
        CRecordingSink logon;
        CCleaningEngine finishing(logon);
        finishing.RunFinishing();
        return logon;
    }

    std::string root;
};

TEST_F(RestartList, FilesInUseAreListedInOrderAndTheNextLogOnTakesTheHighestFirst)
{
    Install();
    const std::string first = root + "\\first.dat";
    const std::string second = root + "\\second.dat";
    testenv::WriteFile(first, "1");
    testenv::WriteFile(second, "2");
    CHeldFile holdFirst(first);
    CHeldFile holdSecond(second);
    CRecordingSink sink;
    CCleaningEngine engine(sink);

    engine.ResetRestartList();
    engine.RemoveFile(first);
    engine.RemoveFile(second);
    EXPECT_EQ(Entry(0), first);
    EXPECT_EQ(Entry(1), second);
    // No count of attempts yet, and no "FileCount" before the run ends.
    EXPECT_EQ(testenv::ValueNames(HKEY_CURRENT_USER, kListKey), (std::vector<std::string>{"File_0", "File_1"}));

    engine.ArmRestartRun();
    // Quoted, so the blank in "Program Files" cannot start C:\Program.exe.
    EXPECT_EQ(testenv::GetString(HKEY_CURRENT_USER, kRunOnceKey, "Purgix!"),
              "\"" + kInstalledAt + "\" /WindowsRestart");
    EXPECT_EQ(Setting(kSettingsKey, "WorkToBeDone"), 1u);
    EXPECT_EQ(Setting(kListKey, "FileCount"), 2u);

    holdFirst.Release();
    holdSecond.Release();
    DeleteValue(HKEY_CURRENT_USER, kRunOnceKey, "Purgix!"); // Windows removes it as it runs it
    const CRecordingSink logon = Finish();

    EXPECT_EQ(logon.Lines(),
              (std::vector<std::string>{kOpening, second + " - deleted", first + " - deleted", kComplete}));
    EXPECT_EQ(logon.statuses, (std::vector<std::string>{"Finishing Purgix!", kComplete}));
    EXPECT_EQ(logon.busy, (std::vector<bool>{true, false}));
    EXPECT_EQ(logon.progressMax, 2);
    EXPECT_EQ(logon.progressSteps, 2);
    EXPECT_EQ(logon.finished, 1);
    EXPECT_EQ(Setting(kSettingsKey, "WorkToBeDone"), 0u);
    EXPECT_TRUE(testenv::ValueNames(HKEY_CURRENT_USER, kListKey).empty());
    EXPECT_FALSE(Armed());
    EXPECT_FALSE(testenv::FileExists(first));
}

// A copy of the program started from `path`.
class CProgramAt : public CRemovalFaults {
public:
    explicit CProgramAt(std::string path) : m_path(std::move(path)) {}
    std::string ProgramPath() override { return m_path; }

private:
    std::string m_path;
};

TEST_F(RestartList, ALogOnIsArmedForWhatIsPromisedAndNothingIsPromisedThatCannotBeArmed)
{
    struct Case {
        const char* name;
        std::string program;      // the running program
        bool windowProgramBeside; // purgix.exe in the console program's folder
        std::string finishedBy;   // the program RunOnce starts; "" when nothing can be armed
    };
    const std::string portable = root + "\\Purgix Portable\\purgix.exe";
    const std::string console = root + "\\Purgix\\purgix-cli.exe";
    const Case cases[] = {
        {"portable", portable, false, portable},
        {"console program", console, true, root + "\\Purgix\\purgix.exe"},
        {"console program alone", root + "\\Tools\\PURGIX-CLI.EXE", false, ""},
    };
    const std::string held = root + "\\held.dat";
    testenv::WriteFile(held, "12345");
    CHeldFile hold(held);
    for (const Case& c : cases) {
        Clean();
        if (c.windowProgramBeside)
            testenv::WriteFile(root + "\\Purgix\\purgix.exe", "");
        CProgramAt sys(c.program);
        const bool promised = !c.finishedBy.empty();

        CRecordingSink preview;
        CCleaningEngine previewing(preview, sys);
        previewing.UseOptions({.preview = true});
        previewing.RemoveFile(held);
        EXPECT_EQ(preview.Lines().back(), held + (promised ? " - in use, would be deleted when Windows is restarted"
                                                           : " - would not be deleted (due to unexpected error)"))
            << c.name;
        EXPECT_EQ(previewing.Tally().files, promised ? 1 : 0) << c.name;

        CRecordingSink sink;
        CCleaningEngine engine(sink, sys);
        engine.ResetRestartList();
        engine.RemoveFile(held);
        engine.ArmRestartRun();
        EXPECT_EQ(sink.Lines().back(), held + (promised ? kInUse : kNotDeleted)) << c.name;
        EXPECT_EQ(engine.Tally().files, promised ? 1 : 0) << c.name;
        EXPECT_EQ(engine.Tally().bytes, promised ? 5u : 0u) << c.name;
        if (promised) {
            EXPECT_EQ(testenv::GetString(HKEY_CURRENT_USER, kRunOnceKey, "Purgix!"),
                      "\"" + c.finishedBy + "\" /WindowsRestart")
                << c.name;
            EXPECT_EQ(Entry(0), held) << c.name;
            EXPECT_EQ(Setting(kListKey, "FileCount"), 1u) << c.name;
        } else {
            EXPECT_FALSE(Armed()) << c.name;
            EXPECT_FALSE(testenv::ValueExists(HKEY_CURRENT_USER, kSettingsKey, "WorkToBeDone")) << c.name;
            EXPECT_TRUE(testenv::ValueNames(HKEY_CURRENT_USER, kListKey).empty()) << c.name;
        }
    }
}

TEST_F(RestartList, WhatCannotBeWrittenToTheListIsNotPromised)
{
    Install();
    const std::string held = root + "\\sub\\held.dat";
    testenv::WriteFile(held, "12345");
    CHeldFile hold(held);
    CFaultyPlatform refusing;
    refusing.regWriteError = kErrorAccessDenied;
    CRecordingSink sink;
    CCleaningEngine engine(sink, refusing);
    engine.ResetRestartList();

    engine.SweepFolder(root, "*", true);

    EXPECT_EQ(sink.Lines(), (std::vector<std::string>{held + kNotDeleted, root + "\\sub\\" + kNotDeleted}));
    EXPECT_EQ(engine.Tally().files, 0);
    EXPECT_EQ(engine.Tally().bytes, 0u);
    EXPECT_TRUE(testenv::ValueNames(HKEY_CURRENT_USER, kListKey).empty());
}

TEST_F(RestartList, AStoppedRunKeepsItsEntriesWithoutFileCountAndArmsNothing)
{
    Install();
    List(7, "C:\\stale.dat"); // from an earlier run: the new run starts its own list
    testenv::SetDword(HKEY_CURRENT_USER, kListKey, "FileCount", 9);
    testenv::SetDword(HKEY_CURRENT_USER, kSettingsKey, "WorkToBeDone", 0);
    // The run's first target is the Internet Explorer 2.0 cache.
    const bool hadCache = testenv::ValueExists(HKEY_LOCAL_MACHINE, kIeMainKey, "Cache_Directory");
    const std::string oldCache = hadCache ? testenv::GetString(HKEY_LOCAL_MACHINE, kIeMainKey, "Cache_Directory") : "";
    testenv::SetString(HKEY_LOCAL_MACHINE, kIeMainKey, "Cache_Directory", root);
    const std::string held = root + "\\held.dat";
    testenv::WriteFile(held, "h");
    CHeldFile hold(held);

    CRecordingSink sink;
    sink.onLine = [](const std::string& line) {
        if (line.find(" currently in use") != std::string::npos)
            g_stopFlag = 1; // the user cancels right after
    };
    CRemovalFaults quiet; // no start sound
    CCleaningEngine(sink, quiet).Run(ReadRunOptions(CSettingsStore(quiet)));

    if (hadCache)
        testenv::SetString(HKEY_LOCAL_MACHINE, kIeMainKey, "Cache_Directory", oldCache);
    else
        DeleteValue(HKEY_LOCAL_MACHINE, kIeMainKey, "Cache_Directory");
    EXPECT_EQ(testenv::ValueNames(HKEY_CURRENT_USER, kListKey), std::vector<std::string>{"File_0"});
    EXPECT_EQ(Entry(0), held);
    EXPECT_FALSE(Armed());
    EXPECT_EQ(Setting(kSettingsKey, "WorkToBeDone"), 0u);
}

TEST_F(RestartList, WhatIsStillInUseAtLogOnIsListedAfreshForTheNextOne)
{
    Install();
    const std::string held = root + "\\sub\\held.dat";
    const std::string free = root + "\\free.txt";
    testenv::WriteFile(held, "h");
    testenv::WriteFile(free, "f");
    testenv::WriteFile(root + "\\ini\\desktop.ini", "[.ShellClassInfo]");
    List(0, held);
    List(1, free);
    List(2, root + "\\sub\\");
    List(3, root + "\\ini\\");
    testenv::SetDword(HKEY_CURRENT_USER, kListKey, "FileCount", 4);
    testenv::SetDword(HKEY_CURRENT_USER, kSettingsKey, "WorkToBeDone", 1);
    CHeldFile hold(held);

    const CRecordingSink logon = Finish();

    EXPECT_EQ(logon.Lines(),
              (std::vector<std::string>{kOpening, free + " - deleted", held + kInUse, root + "\\sub\\" + kFolderKept,
                                        root + "\\ini\\ - not deleted (due to unexpected error)", kComplete}));
    // The held file, and the folder it keeps, wait for the next log-on, each having resisted
    // one (the list came without counts, as older versions wrote it); the folder a
    // desktop.ini keeps would never go, so it promises nothing and does not bring the
    // program back.
    EXPECT_EQ(Entry(0), held);
    EXPECT_EQ(Attempts(0), 1u);
    EXPECT_EQ(Entry(1), root + "\\sub\\");
    EXPECT_EQ(Attempts(1), 1u);
    EXPECT_EQ(testenv::ValueNames(HKEY_CURRENT_USER, kListKey).size(), 5u);
    EXPECT_EQ(Setting(kListKey, "FileCount"), 2u);
    EXPECT_EQ(Setting(kSettingsKey, "WorkToBeDone"), 1u);
    EXPECT_TRUE(Armed());
}

TEST_F(RestartList, AnEntryStillThereAtItsThirdLogOnIsGivenUp)
{
    Install();
    const std::string folder = root + "\\sub\\";
    const std::string held = folder + "held.dat";
    testenv::WriteFile(held, "h");
    List(0, held);
    List(1, folder);
    testenv::SetDword(HKEY_CURRENT_USER, kListKey, "FileCount", 2);
    testenv::SetDword(HKEY_CURRENT_USER, kSettingsKey, "WorkToBeDone", 1);
    CHeldFile hold(held); // held for good, as a service would

    for (DWORD logOn = 1; logOn <= 2; ++logOn) {
        DeleteValue(HKEY_CURRENT_USER, kRunOnceKey, "Purgix!"); // Windows removes it as it runs it
        EXPECT_EQ(Finish().Lines(),
                  (std::vector<std::string>{kOpening, held + kInUse, folder + kFolderKept, kComplete}));
        EXPECT_EQ(Entry(0), held);
        EXPECT_EQ(Attempts(0), logOn);
        EXPECT_EQ(Entry(1), folder);
        EXPECT_EQ(Attempts(1), logOn);
        EXPECT_EQ(Setting(kListKey, "FileCount"), 2u);
        EXPECT_EQ(Setting(kSettingsKey, "WorkToBeDone"), 1u);
        EXPECT_TRUE(Armed());
    }

    DeleteValue(HKEY_CURRENT_USER, kRunOnceKey, "Purgix!");
    EXPECT_EQ(Finish().Lines(),
              (std::vector<std::string>{kOpening, held + kNotDeleted, folder + kNotDeleted, kComplete}));
    EXPECT_TRUE(testenv::ValueNames(HKEY_CURRENT_USER, kListKey).empty());
    EXPECT_EQ(Setting(kSettingsKey, "WorkToBeDone"), 0u);
    EXPECT_FALSE(Armed());
    EXPECT_TRUE(testenv::FileExists(held));
}

TEST_F(RestartList, ListedFoldersAreRemovedAfterTheFilesInThem)
{
    const std::string file = root + "\\sub\\deep\\f.txt";
    testenv::WriteFile(file, "f");
    // As a sweep lists them: the file, then the inner folder, then the outer one.
    List(0, file);
    List(1, root + "\\sub\\deep\\");
    List(2, root + "\\sub\\");
    List(3, root + "\\gone\\");
    testenv::SetDword(HKEY_CURRENT_USER, kListKey, "FileCount", 4);

    const CRecordingSink logon = Finish();

    EXPECT_EQ(logon.Lines(), (std::vector<std::string>{kOpening, file + " - deleted", root + "\\sub\\deep\\ - deleted",
                                                       root + "\\sub\\ - deleted", kComplete}));
    EXPECT_FALSE(testenv::FolderExists(root + "\\sub"));
    EXPECT_FALSE(Armed());
}

TEST_F(RestartList, BadListDataCostsNoMoreThanTheValuesThatExist)
{
    testenv::SetDword(HKEY_CURRENT_USER, kListKey, "FileCount", 0xFFFFFFFF); // -1
    List(0, root + "\\x.dat");
    EXPECT_EQ(Finish().Lines(), (std::vector<std::string>{kOpening, kComplete}));

    // A count near 2^31 with a few entries, some relative: only the listed full path goes.
    const std::string victim = root + "\\victim.txt";
    const std::string listed = root + "\\listed.txt";
    testenv::WriteFile(victim, "v");
    testenv::WriteFile(listed, "l");
    wchar_t previous[MAX_PATH];
    ::GetCurrentDirectoryW(MAX_PATH, previous);
    ::SetCurrentDirectoryW(Widen(root).c_str());
    testenv::SetDword(HKEY_CURRENT_USER, kListKey, "FileCount", 0x7FFFFFFF);
    List(0, "victim.txt");
    List(1, "");
    List(2, root.substr(2) + "\\victim.txt"); // "\purgix-tests\...": the current drive's
    List(3, "C:victim.txt");
    List(40, listed);
    List(41, "..\\");
    testenv::SetString(HKEY_CURRENT_USER, kListKey, "File_01", victim); // not a name the list writes
    // Counts of attempts are never entries, whatever they hold, nor do they make one.
    testenv::SetString(HKEY_CURRENT_USER, kListKey, "File_4_Attempts", victim);
    testenv::SetDword(HKEY_CURRENT_USER, kListKey, "File_5_Attempts", 1);

    const CRecordingSink logon = Finish();
    ::SetCurrentDirectoryW(previous);

    EXPECT_EQ(logon.Lines(), (std::vector<std::string>{kOpening, listed + " - deleted", kComplete}));
    EXPECT_EQ(logon.progressMax, 6);
    EXPECT_EQ(logon.progressSteps, 6);
    EXPECT_TRUE(testenv::FileExists(victim));
    EXPECT_TRUE(testenv::ValueNames(HKEY_CURRENT_USER, kListKey).empty());
}

} // namespace
