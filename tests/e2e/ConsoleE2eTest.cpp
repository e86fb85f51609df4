// purgix-cli.exe run as a script would run it: its exit codes, its output on pipes,
// its JSON lines, Ctrl+Break, and the stored settings it must leave alone.
#include "e2e/ChildProcess.h"
#include "e2e/E2eFixture.h"
#include "support/HeldFile.h"
#include "sys/Utf8.h"

#include <nlohmann/json.hpp>

#include <sstream>

namespace {

const std::string kOptionsKey = "Software\\Vellomar\\Purgix!\\Options";
const std::string kExplorerKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

bool Contains(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class ConsoleE2e : public PurgixE2e {
protected:
    void SetUp() override
    {
        PurgixE2e::SetUp();
        // The shell's lists a run empties; a list that is missing counts as not removed.
        for (const char* list : {"RunMRU", "Doc Find Spec MRU", "FindComputerMRU"})
            testenv::SetString(HKEY_CURRENT_USER, kExplorerKey + "\\" + list, "a", "typed");
        Seed(3);
    }
    void TearDown() override
    {
        for (const char* list : {"RunMRU", "Doc Find Spec MRU", "FindComputerMRU"})
            testenv::DeleteTree(HKEY_CURRENT_USER, kExplorerKey + "\\" + list);
        PurgixE2e::TearDown();
    }

    // Files of a few sizes in the cache's subfolders, a hundred to a folder.
    static std::size_t Size(int i) { return static_cast<std::size_t>(i % 10 + 1) * 100; }
    void Seed(int count)
    {
        for (int i = 0; i < count; ++i)
            testenv::WriteFile(Cached(i), std::string(Size(i), 'x'));
    }
    std::string Cached(int i) const
    {
        return m_places + "\\Cache\\f" + std::to_string(i / 100) + "\\" + std::to_string(i) + ".tmp";
    }

    static std::wstring Cli() { return BuiltProgram(L"purgix-cli.exe"); }
};

TEST_F(ConsoleE2e, ExitsZeroWhenEverythingListedWasRemovedAndWritesPlainLines)
{
    const ChildResult result = RunChild(Cli(), L"clean");

    EXPECT_EQ(result.exitCode, 0u) << result.out;
    EXPECT_EQ(result.out.find('\r'), std::string::npos);
    EXPECT_TRUE(result.err.empty()) << result.err; // no progress when stderr is no console
    const auto lines = SplitLines(result.out);
    EXPECT_TRUE(Contains(lines, Cached(2) + " - deleted")) << result.out;
    EXPECT_TRUE(Contains(lines, "Purgix! recovered 600 bytes of disk space from 3 files.")) << result.out;
    EXPECT_FALSE(testenv::FileExists(Cached(2)));
}

TEST_F(ConsoleE2e, ExitsZeroOnAFreshProfileWithoutTheSearchListsAndKeepsTheirLines)
{
    for (const char* list : {"Doc Find Spec MRU", "FindComputerMRU"})
        testenv::DeleteTree(HKEY_CURRENT_USER, kExplorerKey + "\\" + list);

    const ChildResult preview = RunChild(Cli(), L"preview --json");
    const ChildResult clean = RunChild(Cli(), L"clean");

    EXPECT_EQ(preview.exitCode, 0u) << preview.out;
    EXPECT_NE(preview.out.find("{\"action\":\"registry_missing\",\"path\":\"'FindComputerMRU' list\"}"),
              std::string::npos)
        << preview.out;
    EXPECT_NE(preview.out.find("\"failed\":0,"), std::string::npos) << preview.out;
    EXPECT_EQ(clean.exitCode, 0u) << clean.out;
    const auto lines = SplitLines(clean.out);
    EXPECT_TRUE(Contains(lines, "'Doc Find Spec MRU' list - unable to delete from the registry.")) << clean.out;
    EXPECT_TRUE(Contains(lines, "'FindComputerMRU' list - unable to delete from the registry.")) << clean.out;
    EXPECT_TRUE(Contains(lines, "'Run MRU' list - removed from the registry.")) << clean.out;
}

TEST_F(ConsoleE2e, ExitsOneWhenAFileIsInUseAndArmsTheWindowsFinishingRun)
{
    CHeldFile holder(Cached(1));
    ASSERT_TRUE(holder.IsHeld());
    const ChildResult result = RunChild(Cli(), L"clean");

    EXPECT_EQ(result.exitCode, 1u) << result.out;
    EXPECT_TRUE(
        Contains(SplitLines(result.out), Cached(1) + " currently in use. Will be deleted when Windows is restarted."));
    EXPECT_EQ(testenv::GetString(HKEY_CURRENT_USER, kRunOnceKey, "Purgix!"),
              std::string("\"") + kInstalledExe + "\" /WindowsRestart");
}

TEST_F(ConsoleE2e, ExitsTwoOnAnUnknownCommandOrOptionWithTheUsageOnStderr)
{
    for (const wchar_t* arguments : {L"sweep", L"clean --bogus", L"clean --level extreme", L"clean --set Cookies=2"}) {
        const ChildResult result = RunChild(Cli(), arguments);
        EXPECT_EQ(result.exitCode, 2u) << Narrow(arguments);
        EXPECT_TRUE(result.out.empty()) << Narrow(arguments);
        EXPECT_EQ(result.err.rfind("purgix-cli: ", 0), 0u) << result.err;
        EXPECT_NE(result.err.find("usage: purgix-cli COMMAND"), std::string::npos);
    }
    EXPECT_TRUE(testenv::FileExists(Cached(0))); // nothing ran
}

TEST_F(ConsoleE2e, ExitsThreeWhenCtrlBreakStopsTheRunAndLeavesNothingHalfDone)
{
    Seed(1500);
    CChildProcess child(Cli(), L"clean");
    ASSERT_TRUE(child.Started());
    // Its output is not read until the break is sent: the run is under way and soon waits to write.
    ASSERT_TRUE(child.WaitForOutput(60000));
    ASSERT_TRUE(child.SendBreak());
    const ChildResult result = child.Finish();

    EXPECT_EQ(result.exitCode, 3u);
    const auto lines = SplitLines(result.out);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "Purgix! cancelled by user.");
    int removed = 0;
    for (int i = 0; i < 1500; ++i) {
        if (Contains(lines, Cached(i) + " - deleted")) {
            ++removed;
            EXPECT_FALSE(testenv::FileExists(Cached(i)));
        } else {
            EXPECT_EQ(testenv::ReadFile(Cached(i)).size(), Size(i));
        }
    }
    EXPECT_LT(removed, 1500);
    EXPECT_FALSE(testenv::ValueExists(HKEY_CURRENT_USER, kRunOnceKey, "Purgix!")); // a stopped run arms nothing
}

TEST_F(ConsoleE2e, JsonLinesParseAndAddUpToTheSummary)
{
    CHeldFile holder(Cached(0));
    const ChildResult result = RunChild(Cli(), L"preview --json");

    EXPECT_EQ(result.exitCode, 1u); // a file would wait for the next log-on
    const auto lines = SplitLines(result.out);
    ASSERT_GE(lines.size(), 2u);
    std::int64_t files = 0, bytes = 0, deferred = 0, failed = 0;
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        const auto item = nlohmann::json::parse(lines[i]);
        const std::string action = item.at("action");
        if (item.contains("bytes")) {
            ++files;
            bytes += item.at("bytes").get<std::int64_t>();
        }
        deferred += action == "deferred";
        failed += action == "not_deleted" || action == "registry_failed";
        if (item.contains("path") && item.at("path") == Cached(2)) {
            EXPECT_EQ(item, (nlohmann::json{{"action", "would_delete"}, {"path", Cached(2)}, {"bytes", 300}}));
        }
        if (item.contains("path") && item.at("path") == "'Run MRU' list") {
            EXPECT_EQ(action, "would_remove_registry");
        }
    }
    const auto summary = nlohmann::json::parse(lines.back()).at("summary");
    EXPECT_EQ(summary.at("preview"), true);
    EXPECT_EQ(summary.at("files"), files);
    EXPECT_EQ(summary.at("bytes"), bytes);
    EXPECT_EQ(summary.at("deferred"), deferred);
    EXPECT_EQ(summary.at("failed"), failed);
    EXPECT_EQ(files, 3);
    EXPECT_EQ(bytes, 600);
    EXPECT_EQ(deferred, 2); // the held file, and the folder that holds it
    EXPECT_TRUE(summary.at("seconds").is_number());
    EXPECT_TRUE(testenv::FileExists(Cached(2))); // a preview
}

TEST_F(ConsoleE2e, LevelAndSetUseTheirSwitchesAndLeaveTheStoredSettingsAsTheyWere)
{
    testenv::WriteFile(m_places + "\\Favorites\\site.url", "[InternetShortcut]");
    testenv::SetString(HKEY_CURRENT_USER, kOptionsKey, "TypeOfPurgix", "Basic");
    for (const char* name : {"DeleteNewsgroupSubscriptions", "DeleteCookies", "DeleteFavorites", "WipeClean"})
        testenv::SetDword(HKEY_CURRENT_USER, kOptionsKey, name, 0);
    const auto before = testenv::ValueNames(HKEY_CURRENT_USER, kOptionsKey);

    const ChildResult result = RunChild(Cli(), L"preview --level thorough --set=WipeClean=0");
    const ChildResult levels = RunChild(Cli(), L"levels --set deletefavorites=1");
    const ChildResult levelsJson = RunChild(Cli(), L"levels --json");

    EXPECT_TRUE(Contains(SplitLines(result.out), m_places + "\\Favorites\\site.url - would be deleted")) << result.out;
    EXPECT_NE(levels.out.find("in use\tDeleteNewsgroupSubscriptions=0 DeleteCookies=0 DeleteFavorites=1 WipeClean=0 "
                              "ResetGameScores=0 WipeFreeSpace=0 (custom)"),
              std::string::npos)
        << levels.out;
    const auto jsonLines = SplitLines(levelsJson.out);
    ASSERT_EQ(jsonLines.size(), 4u) << levelsJson.out;
    EXPECT_EQ(nlohmann::json::parse(jsonLines[0]).at("level"), "thorough");
    const auto inUse = nlohmann::json::parse(jsonLines[3]).at("in_use");
    EXPECT_EQ(inUse.at("level"), "basic");
    EXPECT_EQ(inUse.at("switches").at("DeleteCookies"), false);
    EXPECT_EQ(testenv::ValueNames(HKEY_CURRENT_USER, kOptionsKey), before);
    EXPECT_EQ(testenv::GetString(HKEY_CURRENT_USER, kOptionsKey, "TypeOfPurgix"), "Basic");
    EXPECT_EQ(testenv::GetDword(HKEY_CURRENT_USER, kOptionsKey, "DeleteFavorites"), 0u);
    EXPECT_EQ(testenv::GetDword(HKEY_CURRENT_USER, kOptionsKey, "WipeClean"), 0u);
    EXPECT_FALSE(testenv::ValueExists(HKEY_CURRENT_USER, kOptionsKey, "ResetGameScores"));
}

TEST_F(ConsoleE2e, ReadsWithoutCreatingTheSettingsKey)
{
    // The fixture starts without the program's key; a preview and the levels must not make it.
    ASSERT_FALSE(testenv::KeyExists(HKEY_CURRENT_USER, "Software\\Vellomar"));
    EXPECT_EQ(RunChild(Cli(), L"preview").exitCode, 0u);
    EXPECT_EQ(RunChild(Cli(), L"levels").exitCode, 0u);
    EXPECT_FALSE(testenv::KeyExists(HKEY_CURRENT_USER, "Software\\Vellomar"));
}

TEST_F(ConsoleE2e, RulesListsTheEntriesFoundAndRulesRunsTheNamedOnesInsteadOfTheChosen)
{
    // The console program beside a rules file, as installed.
    const std::string folder = "C:\\Program Files\\Windows Purgix";
    ASSERT_TRUE(::CopyFileW(Cli().c_str(), Widen(folder + "\\purgix-cli.exe").c_str(), FALSE));
    const std::string scratch = m_places + "\\Scratch";
    testenv::WriteFile(scratch + "\\a.log", "log");
    testenv::WriteFile(scratch + "\\a.txt", "text");
    const std::string session = m_places + "\\Session\\tabs.dat";
    testenv::WriteFile(session, "tabs");
    testenv::WriteFile(
        folder + "\\winapp2.ini",
        "[Scratch Logs]\r\nLangSecRef=3024\r\nFileKey1=" + scratch +
            "|*.log\r\n[Absent Program]\r\nDetect=HKCU\\Software\\PurgixNoSuchProgram\r\nFileKey1=" + scratch +
            "|*.txt\r\n[Open Tabs]\r\nWarning=You will lose your open tabs.\r\nFileKey1=" + m_places +
            "\\Session|*\r\n");
    const std::wstring installed = Widen(folder + "\\purgix-cli.exe");

    const ChildResult listed = RunChild(installed, L"rules");
    const ChildResult named = RunChild(installed, L"rules --rules \"Scratch Logs\"");
    const ChildResult preview = RunChild(installed, L"preview");
    const ChildResult listedJson = RunChild(installed, L"rules --json");
    const ChildResult unknown = RunChild(installed, L"clean --rules \"Scratch Logs,Scrach Logs\" --rules Nothing");
    const ChildResult clean = RunChild(installed, L"clean --rules \"Scratch Logs\"");
    // An entry with a Warning runs only when named with --accept-warnings.
    const ChildResult refused = RunChild(installed, L"clean --rules \"Open Tabs\"");
    const bool keptWithoutAcceptance = testenv::FileExists(session);
    const ChildResult accepted = RunChild(installed, L"clean --rules \"Open Tabs\" --accept-warnings");
    ::DeleteFileW(Widen(folder + "\\winapp2.ini").c_str());
    ::DeleteFileW(installed.c_str());

    EXPECT_TRUE(Contains(SplitLines(listed.out), "[ ] Scratch Logs\tUtilities")) << listed.out;
    EXPECT_TRUE(
        Contains(SplitLines(listedJson.out), R"({"name":"Scratch Logs","category":"Utilities","ticked":false})"))
        << listedJson.out;
    EXPECT_EQ(unknown.exitCode, 2u);
    EXPECT_EQ(unknown.err, "purgix-cli: no rule entry named 'Scrach Logs', 'Nothing' (see purgix-cli rules)\n");
    EXPECT_TRUE(unknown.out.empty()) << unknown.out;
    EXPECT_EQ(listed.out.find("Absent Program"), std::string::npos) << listed.out;
    EXPECT_TRUE(Contains(SplitLines(named.out), "[x] Scratch Logs\tUtilities")) << named.out;
    EXPECT_EQ(preview.out.find(scratch), std::string::npos) << preview.out; // not chosen, not run
    EXPECT_TRUE(Contains(SplitLines(clean.out), scratch + "\\a.log - deleted")) << clean.out;
    EXPECT_FALSE(testenv::FileExists(scratch + "\\a.log"));
    EXPECT_TRUE(testenv::FileExists(scratch + "\\a.txt"));
    // Only the named entry ran: the catalogue's caches and lists are as they were.
    EXPECT_EQ(clean.exitCode, 0u) << clean.out;
    EXPECT_TRUE(testenv::FileExists(Cached(0)));
    EXPECT_EQ(testenv::ValueNames(HKEY_CURRENT_USER, kExplorerKey + "\\RunMRU"), std::vector<std::string>{"a"});
    EXPECT_EQ(clean.out.find("'Run MRU' list"), std::string::npos) << clean.out;
    EXPECT_TRUE(keptWithoutAcceptance);
    EXPECT_NE(refused.err.find("'Open Tabs' carries a warning and was skipped"), std::string::npos) << refused.err;
    EXPECT_TRUE(Contains(SplitLines(accepted.out), session + " - deleted")) << accepted.out;
}

} // namespace
