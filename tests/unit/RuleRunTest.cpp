// Rule entries run against real folders and the real (Wine) registry: variables,
// wildcard folders, patterns, REMOVESELF, exclusions, registry keys and values, the
// keys and folders a rule may not touch, detection, and the group's place in the run.
#include "engine/run/CleaningEngine.h"
#include "engine/rules/RuleDetection.h"
#include "engine/rules/RuleSources.h"
#include "engine/removal/PathText.h"
#include "support/EnvScope.h"
#include "support/HostLink.h"
#include "support/RunFixture.h"
#include "support/TestEnv.h"
#include "sys/NameCase.h"
#include "sys/Utf8.h"

#include <gtest/gtest.h>

#include <algorithm>

using testenv::FileExists;
using testenv::FolderExists;

namespace {

const std::string kTestKey = "Software\\PurgixTests\\Rules";

std::string Deleted(const std::string& path)
{
    return path + " - deleted";
}

class RuleRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_stopFlag = 0;
        root = testenv::FreshFolder();
        testenv::MakeFolder(root + "\\program");
        env.Set("PURGIX_RULE_ROOT", root);
        testenv::DeleteTree(HKEY_CURRENT_USER, "Software\\PurgixTests");
    }
    void TearDown() override
    {
        testenv::DeleteTree(HKEY_CURRENT_USER, "Software\\PurgixTests");
        testenv::DeleteTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\PurgixTests");
        testenv::DeleteTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\WOW6432Node\\PurgixTests");
    }

    void Rules(const std::string& text) const { testenv::WriteFile(root + "\\program\\winapp2.ini", text); }

    // The rules group alone, with these entries chosen.
    void Clean(const std::vector<std::string>& chosen)
    {
        RunOptions options;
        options.rules = chosen;
        options.rulesFolder = root + "\\program";
        engine.CleanRuleEntries(options);
    }

    void Put(const std::string& relative) const { testenv::WriteFile(root + "\\" + relative, "x"); }
    bool Exists(const std::string& relative) const { return FileExists(root + "\\" + relative); }

    std::string root;
    CEnvScope env;
    CRecordingSink sink;
    CCleaningEngine engine{sink};
};

TEST_F(RuleRun, ProgramFilesStandsForBothProgramFolders)
{
    env.Set("ProgramW6432", root + "\\pf64");
    env.Set("ProgramFiles(x86)", root + "\\pf32\\");
    for (const char* file : {"pf64\\Vendor\\a.log", "pf32\\Vendor\\b.log", "pf32\\Vendor\\keep.txt"})
        Put(file);
    Rules("[Vendor Logs]\nFileKey1=%programfiles%\\Vendor|*.log\n");

    Clean({"vendor logs"});

    EXPECT_EQ(sink.Lines(), (Lines{Deleted(root + "\\pf64\\Vendor\\a.log"), Deleted(root + "\\pf32\\Vendor\\b.log")}));
    EXPECT_EQ(sink.statuses, Lines{"Deleting Vendor Logs"});
    EXPECT_EQ(sink.progressSteps, 1);
    EXPECT_TRUE(Exists("pf32\\Vendor\\keep.txt"));
}

TEST_F(RuleRun, WildcardSegmentsSweepEveryMatchingFolder)
{
    for (const char* file : {"fw\\Framework\\v2\\Logs\\a.log", "fw\\Framework64\\v4\\Logs\\b.log",
                             "fw\\Other\\v1\\Logs\\c.log", "fw\\Framework64\\v4\\Logs\\d.txt"})
        Put(file);
    Put("fw\\Framework-notes\\Logs"); // a file, not a folder: no walk leads through it
    Rules("[Frameworks]\nFileKey1=%PURGIX_RULE_ROOT%\\fw\\Framework*\\*\\Logs|*.log;*.nothing\n");

    Clean({"Frameworks"});

    Lines lines = sink.Lines();
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines, (Lines{Deleted(root + "\\fw\\Framework64\\v4\\Logs\\b.log"),
                            Deleted(root + "\\fw\\Framework\\v2\\Logs\\a.log")}));
    EXPECT_TRUE(Exists("fw\\Other\\v1\\Logs\\c.log"));
    EXPECT_TRUE(Exists("fw\\Framework64\\v4\\Logs\\d.txt"));
}

TEST_F(RuleRun, RemoveSelfRemovesTheEmptiedFoldersAndKeepsOnesStillHoldingFiles)
{
    for (const char* file : {"gone\\a.tmp", "gone\\sub\\b.tmp", "held\\c.tmp", "held\\sub\\d.tmp", "held\\sub\\e.txt"})
        Put(file);
    Rules("[Self]\nFileKey1=%PURGIX_RULE_ROOT%\\gone|*.tmp|REMOVESELF\n"
          "FileKey2=%PURGIX_RULE_ROOT%\\held|*.tmp|REMOVESELF\n");

    Clean({"Self"});

    EXPECT_EQ(sink.Lines(), (Lines{
                                Deleted(root + "\\gone\\a.tmp"),
                                Deleted(root + "\\gone\\sub\\b.tmp"),
                                Deleted(root + "\\gone\\sub\\"),
                                Deleted(root + "\\gone\\"),
                                Deleted(root + "\\held\\c.tmp"),
                                Deleted(root + "\\held\\sub\\d.tmp"),
                            }));
    EXPECT_FALSE(FolderExists(root + "\\gone"));
    EXPECT_TRUE(Exists("held\\sub\\e.txt"));
}

TEST_F(RuleRun, AStoppedRemoveSelfSweepLeavesItsFolderWithoutALine)
{
    for (const char* file : {"stop\\a.tmp", "stop\\b.tmp", "stop\\c.tmp"})
        Put(file);
    Rules("[Self]\nFileKey1=%PURGIX_RULE_ROOT%\\stop|*|REMOVESELF\n");
    sink.onLine = [](const std::string&) { g_stopFlag = 1; };

    Clean({"Self"});
    g_stopFlag = 0;

    ASSERT_EQ(sink.Lines().size(), 1u) << sink.report;
    EXPECT_TRUE(FolderExists(root + "\\stop"));
}

TEST_F(RuleRun, ExcludedFilesAndTheirFoldersStay)
{
    for (const char* file :
         {"c\\keep.log", "c\\a.log", "c\\sub\\keep.log", "c\\Kept\\x.dat", "c\\Kept\\deep\\y.dat", "c\\Kept\\z.log"})
        Put(file);
    Rules("[Excluding]\nFileKey1=%PURGIX_RULE_ROOT%\\c|*|REMOVESELF\n"
          "ExcludeKey1=FILE|%PURGIX_RULE_ROOT%\\c\\|keep.log\n"
          "ExcludeKey2=PATH|%PURGIX_RULE_ROOT%\\C\\kept\\|*.dat\n");

    Clean({"Excluding"});

    EXPECT_TRUE(Exists("c\\keep.log"));
    EXPECT_TRUE(Exists("c\\Kept\\x.dat"));
    EXPECT_TRUE(Exists("c\\Kept\\deep\\y.dat"));
    EXPECT_FALSE(Exists("c\\a.log"));
    EXPECT_FALSE(Exists("c\\sub\\keep.log")); // FILE keeps that folder's files only
    EXPECT_FALSE(Exists("c\\Kept\\z.log"));
    EXPECT_FALSE(FolderExists(root + "\\c\\sub"));
    // A folder kept on purpose is no failure: no line, nothing for the restart list.
    for (const std::string& line : sink.Lines())
        EXPECT_EQ(line.find("cannot be deleted"), std::string::npos) << line;
}

TEST_F(RuleRun, RegKeysRemoveAKeyOrOneValueInBothViews)
{
    const std::string recent = kTestKey + "\\Recent";
    testenv::SetString(HKEY_CURRENT_USER, recent + "\\Sub", "a", "1");
    testenv::SetString(HKEY_CURRENT_USER, kTestKey + "\\Other", "Last", "x");
    testenv::SetString(HKEY_CURRENT_USER, kTestKey + "\\Other", "First", "y");
    testenv::SetString(HKEY_LOCAL_MACHINE, "SOFTWARE\\PurgixTests\\Rules", "v", "native");
    testenv::SetString(HKEY_LOCAL_MACHINE, "SOFTWARE\\WOW6432Node\\PurgixTests\\Rules", "v", "32-bit");
    Rules("[Registry]\nRegKey2=HKCU\\" + kTestKey + "\\Other|Last\nRegKey1=HKCU\\" + recent +
          "\nRegKey3=HKEY_LOCAL_MACHINE\\SOFTWARE\\PurgixTests\\Rules\nRegKey4=HKCU\\" + kTestKey + "\\Absent\n");

    Clean({"Registry"});

    EXPECT_EQ(sink.Lines(),
              (Lines{
                  "'Registry' HKCU\\" + recent + " - removed from the registry.",
                  "'Registry' HKCU\\" + kTestKey + "\\Other|Last - removed from the registry.",
                  "'Registry' HKEY_LOCAL_MACHINE\\SOFTWARE\\PurgixTests\\Rules - removed from the registry.",
              }));
    EXPECT_FALSE(testenv::KeyExists(HKEY_CURRENT_USER, recent));
    EXPECT_FALSE(testenv::ValueExists(HKEY_CURRENT_USER, kTestKey + "\\Other", "Last"));
    EXPECT_TRUE(testenv::ValueExists(HKEY_CURRENT_USER, kTestKey + "\\Other", "First"));
    EXPECT_FALSE(testenv::KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\PurgixTests\\Rules"));
    EXPECT_FALSE(testenv::KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\WOW6432Node\\PurgixTests\\Rules"));
}

TEST_F(RuleRun, KeysThatHoldTooMuchOrWhatTheEntryExcludesAreRefused)
{
    testenv::SetString(HKEY_CURRENT_USER, kTestKey + "\\Pinned", "keep", "1");
    testenv::SetString(HKEY_CURRENT_USER, kTestKey + "\\Values", "keep", "1");
    testenv::SetDword(HKEY_CURRENT_USER, testenv::kSettingsKey + "\\Options", "WipeClean", 0);
    const std::vector<std::string> refused = {"HKCU",
                                              "HKCU\\Software\\",
                                              "HKU\\.DEFAULT",
                                              "HKU\\.DEFAULT\\Software",
                                              "HKCU\\Software\\Vellomar",
                                              "HKCU\\Software\\Vellomar\\Purgix!\\Options",
                                              "HKCU\\Software\\Vellomar\\Purgix!\\Options|WipeClean"};
    std::string text = "[Too Much]\n";
    for (std::size_t i = 0; i < refused.size(); ++i)
        text += "RegKey" + std::to_string(i + 1) + "=" + refused[i] + "\n";
    text += "RegKey20=HKCU\\" + kTestKey + "\nRegKey21=HKCU\\" + kTestKey + "\\Values|keep\n";
    text += "ExcludeKey1=REG|HKCU\\" + kTestKey + "\\Pinned\nExcludeKey2=REG|HKCU\\" + kTestKey + "\\Values|keep\n";
    Rules(text);

    Clean({"Too Much"});

    Lines expected;
    for (const std::string& key : refused)
        expected.push_back("INFO: 'Too Much' " + key +
                           " names a key that Windows, its programs or Purgix! need and was kept");
    // The key's removal leaves what the entry excludes, and so does the value's.
    for (const std::string& key : {"HKCU\\" + kTestKey + "\\Pinned", "HKCU\\" + kTestKey + "\\Values|keep",
                                   "HKCU\\" + kTestKey + "\\Values|keep"})
        expected.push_back("INFO: 'Too Much' " + key + " is excluded and was kept");
    EXPECT_EQ(sink.Lines(), expected);
    EXPECT_TRUE(testenv::ValueExists(HKEY_CURRENT_USER, kTestKey + "\\Pinned", "keep"));
    EXPECT_TRUE(testenv::ValueExists(HKEY_CURRENT_USER, kTestKey + "\\Values", "keep"));
    EXPECT_EQ(testenv::GetDword(HKEY_CURRENT_USER, testenv::kSettingsKey + "\\Options", "WipeClean"), 0u);
}

TEST_F(RuleRun, FoldersARuleMayNotSweepGetOneInfoLineEach)
{
    testenv::WriteFile("D:\\purgix-rule-root.nothing", "x");
    Rules(
        "[Places]\nFileKey1=D:\\|*.nothing|RECURSE\nFileKey2=relative\\folder|*\nFileKey3=%SystemRoot%|*.log|RECURSE\n"
        "FileKey4=%PURGIX_NO_SUCH_VARIABLE%\\x|*\n");

    Clean({"Places"});
    ::DeleteFileW(L"D:\\purgix-rule-root.nothing");

    std::string windows;
    engine.Sys().GetFullPath(engine.Sys().WindowsDirectory() + "\\", windows);
    EXPECT_EQ(sink.Lines(), (Lines{
                                "INFO: 'Places': D:\\ is protected and was not swept",
                                "INFO: relative\\folder is not a full path and was not swept",
                                "INFO: 'Places': " + windows + " is protected and was not swept",
                            }));
}

TEST_F(RuleRun, OnlyChosenEntriesStillFoundRunInNameOrderAndNoneChosenRunsNothing)
{
    Put("b\\x.tmp");
    Put("a\\y.tmp");
    Put("c\\z.tmp");
    Rules("[beta]\nFileKey1=%PURGIX_RULE_ROOT%\\b|*\n"
          "[Alpha]\nFileKey1=%PURGIX_RULE_ROOT%\\a|*\n"
          "[Gone]\nDetectFile=%PURGIX_RULE_ROOT%\\nowhere\nFileKey1=%PURGIX_RULE_ROOT%\\c|*\n"
          "[Unchosen]\nFileKey1=%PURGIX_RULE_ROOT%\\c|*\n");

    Clean({"Beta", "Gone", "alpha"});

    EXPECT_EQ(sink.statuses, (Lines{"Deleting Alpha", "Deleting beta"}));
    EXPECT_EQ(sink.Lines(), (Lines{Deleted(root + "\\a\\y.tmp"), Deleted(root + "\\b\\x.tmp")}));
    EXPECT_TRUE(Exists("c\\z.tmp"));

    sink = CRecordingSink();
    Clean({});
    EXPECT_EQ(sink.progressSteps, 0);
    EXPECT_TRUE(sink.statuses.empty());
}

TEST_F(RuleRun, DetectionByKeyFileWildcardAndSystemVersion)
{
    testenv::SetString(HKEY_CURRENT_USER, kTestKey + "\\Installed", "", "");
    testenv::SetString(HKEY_LOCAL_MACHINE, "SOFTWARE\\WOW6432Node\\PurgixTests\\Only32", "", "");
    Put("app\\Profiles\\abc.default\\prefs.js");
    const KernelVersion v = engine.Sys().SystemVersion();
    ASSERT_GE(v.major, 6u);
    const std::string now = std::to_string(v.major) + "." + std::to_string(v.minor);
    const std::string later = std::to_string(v.major + 1) + ".0";
    // Names are found whatever their letter case, as the system finds them.
    Rules("[Key]\nDetect1=HKCU\\Software\\Nothing\nDetect2=HKCU\\" + kTestKey +
          "\\INSTALLED\n"
          "[Key 32]\nDetect=HKLM\\SOFTWARE\\PurgixTests\\Only32\n"
          "[No Key]\nDetect=HKCU\\" +
          kTestKey +
          "\\Missing\n"
          "[File]\nDetectFile=%PURGIX_RULE_ROOT%\\APP\n"
          "[Wildcard]\nDetectFile=%PURGIX_RULE_ROOT%\\app\\Profiles\\*.default\\prefs.js\n"
          "[Wildcard Missing]\nDetectFile=%PURGIX_RULE_ROOT%\\app\\Profiles\\*.default\\places.sqlite\n"
          "[Always]\nFileKey1=%PURGIX_RULE_ROOT%|*.none\n"
          "[Special Alone]\nSpecialDetect=DET_X\n"
          "[Special With Key]\nSpecialDetect=DET_X\nDetect=HKCU\\" +
          kTestKey +
          "\\Installed\n"
          "[OS Now]\nDetectOS=" +
          now + "|" + now +
          "\n"
          "[OS Too Old]\nDetectOS=|5.1\n"
          "[OS Too New]\nDetectOS=" +
          later +
          "|\n"
          "[OS And File]\nDetectOS=6.1|\nDetectFile=%PURGIX_RULE_ROOT%\\nowhere\n");

    Lines found;
    for (const FoundRule& rule : ListFoundRules(engine.Sys(), root + "\\program", {"file"}))
        found.push_back(rule.name + (rule.ticked ? " (ticked)" : ""));
    // The built-in Windows entries are found everywhere; only this test's own are compared.
    found.erase(
        std::remove_if(found.begin(), found.end(), [](const std::string& n) { return n.rfind("Windows", 0) == 0; }),
        found.end());
    EXPECT_EQ(found, (Lines{"Always", "File (ticked)", "Key", "Key 32", "OS Now", "Special With Key", "Wildcard"}));
}

TEST_F(RuleRun, FilesBesideTheProgramReplaceBuiltInEntriesOfTheSameName)
{
    // Built in, "Windows Recent Items" is found everywhere; here it looks for a program
    // that is not there, and the Rules folder's entries come after winapp2.ini's.
    Rules("[windows recent items]\nDetectFile=%PURGIX_RULE_ROOT%\\nowhere\n[Mine]\nWarning=from winapp2.ini\n");
    testenv::WriteFile(root + "\\program\\Rules\\b.ini", "[Mine]\nWarning=from b.ini\n");
    testenv::WriteFile(root + "\\program\\Rules\\a.ini", "[Mine]\nWarning=from a.ini\n");
    testenv::WriteFile(root + "\\program\\Rules\\c.ini-old", "[Mine]\nWarning=not a rules file\n");

    std::vector<std::string> warnings;
    for (const FoundRule& rule : ListFoundRules(engine.Sys(), root + "\\program", {})) {
        EXPECT_NE(Lowered(rule.name), "windows recent items");
        if (rule.name == "Mine")
            warnings.push_back(rule.warning);
    }
    EXPECT_EQ(warnings, Lines{"from b.ini"});
}

// The real platform, except that nothing outside one folder may change: a guard that
// fails cannot damage the prefix, and every change it tried is counted.
class CChangesOnlyUnder : public CPlatformDecorator {
public:
    explicit CChangesOnlyUnder(std::string folder) : CPlatformDecorator(Platform()), m_folder(std::move(folder)) {}

    void* FileOpen(const std::string& path, FileMode mode, OsError& error) override
    {
        if ((mode == FileMode::RemoveEntry || mode == FileMode::OverwriteEntry) && Refused(path)) {
            error = ERROR_ACCESS_DENIED;
            return nullptr;
        }
        return m_inner.FileOpen(path, mode, error);
    }
    OsError DeleteFileAt(const std::string& path) override
    {
        return Refused(path) ? ERROR_ACCESS_DENIED : m_inner.DeleteFileAt(path);
    }
    OsError RemoveFolder(const std::string& path) override
    {
        return Refused(path) ? ERROR_ACCESS_DENIED : m_inner.RemoveFolder(path);
    }
    OsError SetAttributes(const std::string& path, std::uint32_t attributes) override
    {
        return Refused(path) ? ERROR_ACCESS_DENIED : m_inner.SetAttributes(path, attributes);
    }

    int refused = 0;

private:
    bool Refused(const std::string& path)
    {
        const std::string shown = Lowered(ShownPath(path));
        if (shown.rfind(Lowered(m_folder) + "\\", 0) == 0)
            return false;
        ++refused;
        return true;
    }
    std::string m_folder;
};

std::string FullFolder(const std::string& folder)
{
    std::string full;
    Platform().GetFullPath(folder + "\\", full);
    return full;
}

TEST_F(RuleRun, HostileLinesReachNoProtectedFolderInPreviewOrRun)
{
    CPlatform& sys = Platform();
    const std::string profile = sys.GetEnv("USERPROFILE");
    const std::string windows = sys.WindowsDirectory();
    const std::string systemDrive = sys.GetEnv("SystemDrive");
    struct Hostile {
        const char* line;
        std::vector<std::string> refused; // the protected folders each line names
    };
    const std::vector<Hostile> table = {
        {"%UserProfile%\\*|*.*|RECURSE", {profile}},
        {"%ProgramFiles%|*.*|REMOVESELF", {sys.GetEnv("ProgramW6432"), sys.GetEnv("ProgramFiles(x86)")}},
        {"%WinDir%\\*|*.*|RECURSE", {windows}},
        {"%SystemDrive%\\Users\\*|*.*|RECURSE", {systemDrive + "\\Users"}},
        {"%LocalAppData%\\..\\*|*.tmp|REMOVESELF", {sys.GetEnv("LOCALAPPDATA") + "\\.."}},
        {"%Documents%|*.*", {sys.UserFolderPath(UserFolder::Documents)}},
        {"%WinDir%\\System32|*.dll|RECURSE", {windows + "\\System32"}},
        {"D:\\|*.*|RECURSE", {"D:"}},
        {"Y:\\|*.*", {"Y:"}}, // the host's root
    };
    std::string text;
    Lines expected;
    RunOptions options;
    options.rulesFolder = root + "\\program";
    for (std::size_t i = 0; i < table.size(); ++i) {
        const std::string name = "Hostile " + std::to_string(i + 1);
        options.rules.push_back(name);
        text += "[" + name + "]\nFileKey1=" + table[i].line + "\n";
        for (const std::string& folder : table[i].refused)
            expected.push_back("INFO: '" + name + "': " + FullFolder(folder) + " is protected and was not swept");
    }
    Rules(text);
    CChangesOnlyUnder net(root);
    CCleaningEngine guarded(sink, net);
    for (const bool preview : {true, false}) {
        sink = CRecordingSink();
        guarded.UseOptions({.preview = preview});
        guarded.CleanRuleEntries(options);
        EXPECT_EQ(sink.Lines(), expected) << (preview ? "preview" : "run");
    }

    EXPECT_EQ(net.refused, 0);
    EXPECT_EQ(guarded.Tally().files, 0);
}

TEST_F(RuleRun, CommunityLinesStillCleanNamedFoldersBelowAndChosenNamesInProtectedFolders)
{
    CPlatform& sys = Platform();
    const std::string profile = sys.GetEnv("USERPROFILE");
    const std::string drive = sys.GetEnv("SystemDrive");
    const std::string appData = sys.GetEnv("APPDATA");
    const std::string local = sys.GetEnv("LOCALAPPDATA");
    const Lines files = {profile + "\\_purgixinfo", drive + "\\PurgixAdw[S01].txt", appData + "\\PurgixVOS\\a.dat",
                         appData + "\\PurgixVOS\\sub\\b.dat", local + "\\PurgixTemp\\c.tmp",
                         local + "\\PurgixTemp2\\d.tmp"};
    for (const std::string& file : files)
        testenv::WriteFile(file, "x");
    testenv::WriteFile(profile + "\\purgix-keep.txt", "kept");
    Rules("[Community]\nFileKey1=%UserProfile%|_purgixinfo\nFileKey2=%SystemDrive%|PurgixAdw*.txt\n"
          "FileKey3=%AppData%\\PurgixVOS|*|REMOVESELF\nFileKey4=%LocalAppData%\\PurgixTemp|*|RECURSE\n"
          // A named folder below a wildcard that stands for every profile.
          "FileKey5=%SystemDrive%\\Users\\*\\AppData\\Local\\PurgixTemp2|*|RECURSE\n");

    Clean({"Community"});

    EXPECT_EQ(sink.Lines(),
              (Lines{Deleted(files[0]), Deleted(files[1]), Deleted(files[2]), Deleted(files[3]),
                     Deleted(appData + "\\PurgixVOS\\sub\\"), Deleted(appData + "\\PurgixVOS\\"), Deleted(files[4]),
                     // As the line spells the folders.
                     Deleted(drive + "\\Users" + local.substr(drive.size() + 6) + "\\PurgixTemp2\\d.tmp")}));
    for (const std::string& file : files)
        EXPECT_FALSE(FileExists(file)) << file;
    EXPECT_EQ(testenv::ReadFile(profile + "\\purgix-keep.txt"), "kept");
    ::DeleteFileW(Widen(profile + "\\purgix-keep.txt").c_str());
    ::RemoveDirectoryW(Widen(local + "\\PurgixTemp").c_str());
    ::RemoveDirectoryW(Widen(local + "\\PurgixTemp2").c_str());
}

TEST_F(RuleRun, LinksInASweptFolderAreLeftAloneUnderWipeClean)
{
    const std::string cache = root + "\\Target\\Cache";
    Put("Target\\Cache\\plain.tmp");
    testenv::WriteFile(root + "\\Outside\\o.txt", "outside data");
    testenv::MakeFolder(root + "\\Outside\\empty");
    testenv::WriteFile(root + "\\Outside\\full\\f.txt", "full");
    ASSERT_TRUE(testenv::MakeSymlink(root + "\\Outside\\o.txt", cache + "\\linkfile.tmp"));
    ASSERT_TRUE(testenv::MakeSymlink(root + "\\Outside\\empty", cache + "\\linkempty"));
    ASSERT_TRUE(testenv::MakeSymlink(root + "\\Outside\\full", cache + "\\linkfull"));
    Rules("[Target]\nFileKey1=%PURGIX_RULE_ROOT%\\Target\\Cache|*.*|REMOVESELF\n");
    engine.ResetRestartList();

    engine.UseOptions({.switches = {.wipeClean = true}, .preview = true});
    Clean({"Target"});
    EXPECT_EQ(sink.Lines(), Lines{cache + "\\plain.tmp - would be deleted"});
    sink = CRecordingSink();
    engine.UseOptions({.switches = {.wipeClean = true}});
    Clean({"Target"});
    // The finishing run (and a catalogue target) removes one named file the same way.
    engine.RemoveFile(cache + "\\linkfile.tmp");

    EXPECT_EQ(sink.Lines(), Lines{Deleted(cache + "\\plain.tmp")});
    EXPECT_EQ(engine.Tally().files, 1);
    EXPECT_EQ(engine.Tally().deferred, 0);
    EXPECT_EQ(testenv::ReadFile(root + "\\Outside\\o.txt"), "outside data");
    EXPECT_TRUE(FolderExists(root + "\\Outside\\empty"));
    EXPECT_EQ(testenv::ReadFile(root + "\\Outside\\full\\f.txt"), "full");
    for (const char* link : {"\\linkfile.tmp", "\\linkempty", "\\linkfull"})
        testenv::RemoveSymlink(cache + link);
}

TEST(RuleVersions, RangesAreInclusiveAndEitherSideMayBeOpen)
{
    const KernelVersion win7{6, 1}, win10{10, 0};
    EXPECT_TRUE(VersionInRange("6.1|10.0", win7));
    EXPECT_TRUE(VersionInRange("6.1|10.0", win10));
    EXPECT_FALSE(VersionInRange("6.2|", win7));
    EXPECT_FALSE(VersionInRange("|6.3", win10));
    EXPECT_TRUE(VersionInRange("6.10|", win10)); // 6.10 is later than 6.2, not 6.1
    EXPECT_FALSE(VersionInRange("6.10|", win7));
    EXPECT_TRUE(VersionInRange("10", win10));
    EXPECT_TRUE(VersionInRange("junk|", win7));
}

class RuleGroupInRun : public CRunFixture {};

TEST_F(RuleGroupInRun, ComesAfterTheRecycleFoldersAndBeforeTheRegistryStepWithOneStep)
{
    const std::string program = m_root + "\\program";
    testenv::WriteFile(program + "\\Rules\\mine.ini", "[Mine]\nFileKey1=" + m_root + "\\mine|*\n");
    Put(m_root + "\\mine\\a.dat");

    RunClean();
    const int stepsWithout = m_sink.progressSteps;
    m_registry.SetDword(HKEY_CURRENT_USER, testenv::kSettingsKey + "\\Rules", "Mine", 1);
    m_sink = CStoppingSink();
    RunOptions options = ReadRunOptions(CSettingsStore());
    ASSERT_EQ(options.rules, Lines{"Mine"});
    options.rulesFolder = program;
    CCleaningEngine(m_sink, m_sys).Run(options);

    EXPECT_EQ(m_sink.progressSteps, stepsWithout + 1);
    const Lines& statuses = m_sink.statuses;
    const auto mine = std::find(statuses.begin(), statuses.end(), "Deleting Mine");
    ASSERT_NE(mine, statuses.end());
    EXPECT_EQ(*(mine - 1), "Deleting temporary files");
    EXPECT_EQ(*(mine + 1), "Cleaning up the registry");
    // The catalogue's INFO lines come first; the registry step writes none of this test's.
    ASSERT_FALSE(OwnLines().empty());
    EXPECT_EQ(OwnLines().back(), Deleted(m_root + "\\mine\\a.dat"));
}

} // namespace
