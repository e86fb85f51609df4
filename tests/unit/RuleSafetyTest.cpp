// Rule files are untrusted: the registry keys no rule may delete (every spelling of
// them), a tree removal that stops half way, REG exclusions inside a removed key, ExcludeKeys
// that cannot be used, exclusions compared as the file system compares folders,
// letter case beyond ASCII, and the bound on a line's spellings.
#include "engine/run/CleaningEngine.h"
#include "engine/rules/RuleRegistry.h"
#include "engine/removal/WildcardMatch.h"
#include "resource.h"
#include "support/RecordingSink.h"
#include "support/TestEnv.h"
#include "sys/NameCase.h"
#include "sys/Utf8.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

using testenv::FileExists;
using Lines = std::vector<std::string>;

namespace {

const std::string kTestKey = "Software\\PurgixTests\\Safety";

bool Refused(const std::string& text)
{
    const RuleRegKey target = ParseRegKey(text);
    RegRoot root = 0;
    std::string subkey;
    return ParseHiveKey(target.key, root, subkey) && IsProtectedRuleKey(root, subkey, !target.hasValue);
}

TEST(ProtectedRuleKeys, EverySpellingIsRefusedWhileDeeperKeysAndValuesStayAllowed)
{
    const char* refused[] = {
        "HKCU", "HKEY_CURRENT_USER\\", "hkcu\\software", "HKLM\\HARDWARE", "HKU\\S-1-5-18", "HKU\\.DEFAULT\\Software",
        "HKCU\\\\Software\\\\Microsoft\\\\Windows\\\\", "HKEY_LOCAL_MACHINE/SOFTWARE/Classes/",
        "HKLM\\Software\\Classes\\CLSID", "HKCU\\Software\\Policies\\Microsoft", "HKLM\\Software\\Wow6432Node",
        "HKLM\\Software\\WOW6432NODE\\Vendor", "HKLM\\Software\\Wow6432Node\\Microsoft\\Office",
        "HKU\\.DEFAULT\\Software\\Microsoft\\Windows", "HKLM\\system\\CurrentControlSet\\Services\\Tcpip\\Parameters",
        "HKLM\\SECURITY\\Policy\\Secrets", "HKCC\\Software\\Fonts",
        "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion",
        "HKLM\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
        "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon",
        // Aliases: HKCR is both Classes keys, "<user>_Classes" a user's, Classes\Wow6432Node the 32-bit one.
        "HKCR", "HKCR\\.txt", "HKU\\S-1-5-21-1-2-3-1000_Classes\\CLSID", "HKCR\\Wow6432Node\\CLSID",
        "HKCU\\SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\EXPLORER",
        // Purgix!'s own settings, what holds them, and their values.
        "HKCU\\Software\\Vellomar", "HKU\\.DEFAULT\\Software\\Vellomar\\Purgix!\\Options",
        "HKCU\\Software\\Vellomar\\Purgix!\\Options|WipeClean"};
    for (const char* text : refused)
        EXPECT_TRUE(Refused(text)) << text;

    const char* allowed[] = {"HKCU\\Software\\Vendor",
                             "HKCU\\Software\\Microsoft\\Office\\16.0",
                             "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs",
                             "HKCR\\CLSID\\{00000000-0000-0000-0000-000000000001}",
                             "HKCU\\Software\\Microsoft\\Windows|Value",
                             "HKCU|Value"};
    for (const char* text : allowed)
        EXPECT_FALSE(Refused(text)) << text;
}

// Ü and ü: spelled apart so that the letters after them are not read as hex digits.
const std::string kUpperU = "\xC3\x9C";
const std::string kLowerU = "\xC3\xBC";

TEST(NameCase, LettersBeyondAsciiCompareAsFileNamesDo)
{
    EXPECT_TRUE(SameNameIgnoringCase(kUpperU + "BER.TXT", kLowerU + "ber.txt"));
    EXPECT_TRUE(SameNameIgnoringCase("\xD0\x96\xCE\xA3", "\xD0\xB6\xCF\x83"));        // ЖΣ / жσ
    EXPECT_FALSE(SameNameIgnoringCase("stra\xC3\x9F" + std::string("e"), "STRASSE")); // ß is one character
    EXPECT_FALSE(SameNameIgnoringCase("\xC3\xA9", "e"));                              // é is not e
}

// The real platform, except that the registry refuses to delete anything outside the
// tests' own keys (so a guard that fails cannot harm the prefix) and one chosen key's
// removal stops half way with "not found", as RegDeleteTree does.
class CScratchRegistryPlatform : public CPlatformDecorator {
public:
    CScratchRegistryPlatform() : CPlatformDecorator(Platform()) {}

    std::string halfRemovedKey; // loses its subkey "First", then reports error 2

    OsError RegRemoveKey(RegRoot root, const std::string& path) override
    {
        if (!IsScratch(path))
            return ERROR_ACCESS_DENIED;
        if (SameNameIgnoringCase(path, halfRemovedKey)) {
            CPlatformDecorator::RegRemoveKey(root, path + "\\First");
            return ERROR_FILE_NOT_FOUND;
        }
        return CPlatformDecorator::RegRemoveKey(root, path);
    }
    OsError RegRemoveValue(RegRoot root, const std::string& path, const std::string& name) override
    {
        return IsScratch(path) ? CPlatformDecorator::RegRemoveValue(root, path, name) : ERROR_ACCESS_DENIED;
    }

private:
    static bool IsScratch(const std::string& path)
    {
        std::wstring wide = Widen(path);
        std::transform(wide.begin(), wide.end(), wide.begin(), ::towlower);
        return wide.find(L"purgixtest") != std::wstring::npos;
    }
};

class RuleSafety : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = testenv::FreshFolder();
        testenv::DeleteTree(HKEY_CURRENT_USER, "Software\\PurgixTests");
        testenv::DeleteTree(HKEY_CURRENT_USER, "Software\\Classes\\PurgixTest");
    }
    void TearDown() override
    {
        testenv::DeleteTree(HKEY_CURRENT_USER, "Software\\PurgixTests");
        testenv::DeleteTree(HKEY_CURRENT_USER, "Software\\Classes\\PurgixTest");
    }

    // The rules group alone, these entries chosen, as a preview or a clean.
    Lines Run(const std::string& rules, const std::vector<std::string>& chosen, bool preview = false)
    {
        testenv::WriteFile(root + "\\program\\winapp2.ini", rules);
        CRecordingSink sink;
        CCleaningEngine engine(sink, sys);
        engine.UseOptions({.preview = preview});
        RunOptions options;
        options.rules = chosen;
        options.rulesFolder = root + "\\program";
        engine.CleanRuleEntries(options);
        return sink.Lines();
    }

    void Put(const std::string& relative) const { testenv::WriteFile(root + "\\" + relative, "x"); }
    bool Exists(const std::string& relative) const { return FileExists(root + "\\" + relative); }

    std::string root;
    CScratchRegistryPlatform sys;
};

TEST_F(RuleSafety, ProtectedKeysSurviveThePreviewAndTheCleanWhileADeeperTestKeyGoes)
{
    testenv::SetString(HKEY_CURRENT_USER, "Software\\Classes\\PurgixTest\\Deep\\Sub", "a", "1");
    const Lines hostile = {
        "HKCU\\Software\\Microsoft\\Windows", "HKLM\\SYSTEM\\CurrentControlSet", "HKLM\\Software\\Classes",
        "HKEY_CURRENT_USER/Software/Microsoft/Windows/CurrentVersion/Explorer/", "HKCU\\Software\\Classes\\PurgixTest"};
    std::string rules = "[Hostile Keys]\n";
    for (std::size_t i = 0; i < hostile.size(); ++i)
        rules += "RegKey" + std::to_string(i + 1) + "=" + hostile[i] + "\n";
    rules += "RegKey99=HKCU\\Software\\Classes\\PurgixTest\\Deep\n";

    for (const bool preview : {true, false}) {
        Lines expected;
        for (const std::string& key : hostile)
            expected.push_back("INFO: 'Hostile Keys' " + key +
                               " names a key that Windows, its programs or Purgix! need and was kept");
        expected.push_back("'Hostile Keys' HKCU\\Software\\Classes\\PurgixTest\\Deep - " +
                           std::string(preview ? "would be removed" : "removed") + " from the registry.");
        EXPECT_EQ(Run(rules, {"Hostile Keys"}, preview), expected);
    }
    EXPECT_FALSE(testenv::KeyExists(HKEY_CURRENT_USER, "Software\\Classes\\PurgixTest\\Deep"));
    EXPECT_TRUE(testenv::KeyExists(HKEY_CURRENT_USER, "Software\\Classes\\PurgixTest"));
}

TEST_F(RuleSafety, AKeyRemovedOnlyInPartIsReportedAsNotRemoved)
{
    testenv::SetString(HKEY_CURRENT_USER, kTestKey + "\\Half\\First", "a", "1");
    testenv::SetString(HKEY_CURRENT_USER, kTestKey + "\\Half\\Second", "b", "2");
    sys.halfRemovedKey = kTestKey + "\\Half";

    EXPECT_EQ(Run("[Half]\nRegKey1=HKCU\\" + kTestKey + "\\Half\n", {"Half"}),
              Lines{"'Half' HKCU\\" + kTestKey + "\\Half - unable to delete from the registry."});
    EXPECT_TRUE(testenv::KeyExists(HKEY_CURRENT_USER, kTestKey + "\\Half\\Second"));
}

TEST_F(RuleSafety, ARegExclusionKeepsOnlyItsKeyAndTheRestOfTheTargetGoes)
{
    const std::string bags = kTestKey + "\\Bags";
    testenv::SetString(HKEY_CURRENT_USER, bags + "\\1\\Desktop", "Mode", "1");
    testenv::SetString(HKEY_CURRENT_USER, bags + "\\1\\Shell", "Mode", "2");
    testenv::SetString(HKEY_CURRENT_USER, bags + "\\2\\Shell", "Mode", "3");
    testenv::SetString(HKEY_CURRENT_USER, bags, "Count", "2");
    testenv::SetString(HKEY_CURRENT_USER, bags, "Pinned", "p");
    const std::string hkcuBags = "HKCU\\" + bags;
    const std::string rules = "[Bags]\nRegKey1=" + hkcuBags + "\nExcludeKey1=REG|" + hkcuBags + "\\1\\Desktop\n" +
                              "ExcludeKey2=REG|" + hkcuBags + "|Pinned\nExcludeKey3=REG|" + hkcuBags + "\\9\\Absent\n";

    EXPECT_EQ(Run(rules, {"Bags"}), (Lines{
                                        "'Bags' " + hkcuBags + "|Count - removed from the registry.",
                                        "'Bags' " + hkcuBags + "\\1\\Shell - removed from the registry.",
                                        "'Bags' " + hkcuBags + "\\2 - removed from the registry.",
                                        "INFO: 'Bags' " + hkcuBags + "\\1\\Desktop is excluded and was kept",
                                        "INFO: 'Bags' " + hkcuBags + "|Pinned is excluded and was kept",
                                    }));
    EXPECT_TRUE(testenv::ValueExists(HKEY_CURRENT_USER, bags + "\\1\\Desktop", "Mode"));
    EXPECT_TRUE(testenv::ValueExists(HKEY_CURRENT_USER, bags, "Pinned"));
    EXPECT_FALSE(testenv::KeyExists(HKEY_CURRENT_USER, bags + "\\2"));
}

TEST_F(RuleSafety, AnEntryWithAnExclusionItCannotUseIsSkippedWhole)
{
    const Lines unusable = {"ExcludeKey1=FOLDER|" + root + "\\x",
                            "ExcludeKey1=FILE|" + root + "\\x\\",
                            "ExcludeKey1=PATH|%PURGIX_NO_SUCH_VARIABLE%\\x",
                            "ExcludeKey1=PATH|relative\\x",
                            "ExcludeKey1=REG|HKXX\\Software\\x",
                            "ExcludeKey1="};
    std::string rules;
    Lines chosen;
    Lines expected;
    for (std::size_t i = 0; i < unusable.size(); ++i) {
        const std::string name = "Unusable " + std::to_string(i);
        rules += "[" + name + "]\nFileKey1=" + root + "\\x|*\n" + unusable[i] + "\n";
        chosen.push_back(name);
        const std::string written = unusable[i].substr(unusable[i].find('=') + 1);
        expected.push_back("INFO: '" + name + "' cannot use its exclusion '" + written + "', so it was skipped");
    }
    // The two-part FILE form names its file at the end of the path.
    rules += "[Two Part]\nFileKey1=" + root + "\\y|*\nExcludeKey1=FILE|" + root + "\\y\\keep.ini\n";
    chosen.push_back("Two Part");
    Put("x\\a.tmp");
    Put("y\\keep.ini");
    Put("y\\b.tmp");

    expected.insert(expected.begin(), root + "\\y\\b.tmp - deleted");
    EXPECT_EQ(Run(rules, chosen), expected);
    EXPECT_TRUE(Exists("x\\a.tmp"));
    EXPECT_TRUE(Exists("y\\keep.ini"));
    EXPECT_FALSE(Exists("y\\b.tmp"));
}

TEST_F(RuleSafety, ExclusionsMatchEverySpellingOfTheirFolderAndCaseBeyondAscii)
{
    const std::string longName = "Long Folder Name";
    const Lines kept = {"t\\" + longName + "\\keep1.dat", "t\\Dots\\keep2.dat", "t\\" + kUpperU + "ber\\keep3.dat",
                        "t\\Plain\\" + kLowerU + "ber.txt"};
    for (const std::string& file : kept)
        Put(file);
    Put("t\\Plain\\gone.txt");
    wchar_t shortPath[MAX_PATH] = {};
    ASSERT_GT(::GetShortPathNameW(Widen(root + "\\t\\" + longName).c_str(), shortPath, MAX_PATH), 0u);
    const std::string shortFolder = Narrow(shortPath);
    ASSERT_EQ(shortFolder.find(longName), std::string::npos) << shortFolder;

    Run("[Spellings]\nFileKey1=" + root + "\\t|*|RECURSE\nExcludeKey1=PATH|" + shortFolder + "\\\nExcludeKey2=PATH|" +
            root + "\\.\\t\\Dots\\..\\Dots\\\nExcludeKey3=PATH|" + root + "\\T\\" + kLowerU +
            "BER\\\nExcludeKey4=FILE|" + root + "\\t\\plain\\|" + kUpperU + "BER.TXT\n",
        {"Spellings"});

    for (const std::string& file : kept)
        EXPECT_TRUE(Exists(file)) << file;
    EXPECT_FALSE(Exists("t\\Plain\\gone.txt"));
}

TEST_F(RuleSafety, ALineOfTooManySpellingsSkipsItsEntryAtOnce)
{
    Put("pf\\a.tmp");
    std::string doubling;
    for (int i = 0; i < 21; ++i)
        doubling += "%ProgramFiles%";
    const std::string rules = "[Doubling]\nFileKey1=" + root + "\\pf|*\nFileKey2=" + doubling +
                              "\\x|*\n[Six]\nFileKey1=" + root + "\\pf\\%ProgramFiles%%ProgramFiles%%ProgramFiles%" +
                              "%ProgramFiles%%ProgramFiles%%ProgramFiles%|*\n";

    const auto start = std::chrono::steady_clock::now();
    const Lines lines = Run(rules, {"Doubling", "Six"});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));

    // Six two-valued variables make 64 spellings, within the bound; 21 make two million.
    EXPECT_EQ(lines, Lines{"INFO: 'Doubling' has more than 64 spellings of " + doubling + "\\x, so it was skipped"});
    EXPECT_TRUE(Exists("pf\\a.tmp"));
}

TEST(BuiltInRules, NoEntryRemovesTheFileThatHoldsFirefoxBookmarks)
{
    const std::vector<RuleEntry> entries = ParseRules(Platform().LoadResourceData(IDR_BUILTIN_RULES));
    ASSERT_GT(entries.size(), 10u);
    for (const RuleEntry& entry : entries) {
        for (const RuleFileKey& fileKey : entry.fileKeys) {
            // A profile folder itself: the cache folders below it hold no bookmarks.
            if (fileKey.path.find("Firefox\\Profiles\\*") == std::string::npos || fileKey.path.back() != '*')
                continue;
            for (const std::string& pattern : fileKey.patterns) {
                for (const char* file : {"places.sqlite", "places.sqlite-wal", "places.sqlite-shm"})
                    EXPECT_FALSE(MatchesWildcard(file, pattern)) << entry.name << ": " << pattern;
            }
        }
    }
}

} // namespace
