// The rules reader: every key kind, the spellings people write, both encodings, and
// the lines it must pass over.
#include "engine/rules/RuleFile.h"

#include <gtest/gtest.h>

namespace {

using Strings = std::vector<std::string>;

const char kEveryKind[] = "; a comment line\r\n"
                          "stray=before any entry\r\n"
                          "[Example Browser *]\r\n"
                          "LangSecRef=3029\r\n"
                          "  Detect =  HKCU\\Software\\Example  \r\n"
                          "DetectFile2=%LocalAppData%\\Example\\\r\n"
                          "DetectFile1=%AppData%\\Ex*\\Profile?\r\n"
                          "SpecialDetect=DET_CHROME\r\n"
                          "DetectOS=6.1|\r\n"
                          "Default=True\r\n"
                          "Warning=You will be logged out.\r\n"
                          "FileKey10=%Temp%|*.log;*.tmp ; |RECURSE\r\n"
                          "FileKey2=%LocalAppData%\\Example\\Cache|*|REMOVESELF\r\n"
                          "FileKey3=%LocalAppData%\\Example|a.txt|SIDEWAYS\r\n"
                          "FileKey4=no patterns here\r\n"
                          "RegKey1=HKCU\\Software\\Example\\Recent\r\n"
                          "RegKey5=HKLM\\Software\\Example|LastFile\r\n"
                          "ExcludeKey1=FILE|%Temp%\\|keep.log;keep2.log\r\n"
                          "ExcludeKey2=PATH|%Temp%\\Kept\\|*.*\r\n"
                          "ExcludeKey3=REG|HKCU\\Software\\Example\\Recent|Pinned\r\n"
                          "ExcludeKey4=FOLDER|%Temp%\\x\r\n"
                          "FileKeyX=%Temp%|*\r\n"
                          "NoEqualsSign\r\n"
                          "[]\r\n"
                          "FileKey1=%Temp%|orphan.txt\r\n"
                          "[Second]\n"
                          "Section=My tools\n"
                          "LangSecRef=abc\n";

TEST(RuleFile, ReadsEveryKeyKindInNumberOrderAndSkipsWhatItCannotRead)
{
    const std::vector<RuleEntry> entries = ParseRules(kEveryKind);
    ASSERT_EQ(entries.size(), 2u);
    const RuleEntry& e = entries[0];
    EXPECT_EQ(e.name, "Example Browser *");
    EXPECT_EQ(e.langSecRef, 3029);
    EXPECT_EQ(RuleCategory(e), "Google Chrome");
    EXPECT_EQ(e.detectKeys, Strings{"HKCU\\Software\\Example"});
    EXPECT_EQ(e.detectFiles, (Strings{"%AppData%\\Ex*\\Profile?", "%LocalAppData%\\Example"}));
    EXPECT_TRUE(e.specialDetect);
    EXPECT_EQ(e.detectOs, "6.1|");
    EXPECT_EQ(e.warning, "You will be logged out.");

    ASSERT_EQ(e.fileKeys.size(), 2u); // FileKey3 has an unknown flag, FileKey4 no pattern, FileKeyX no number
    EXPECT_EQ(e.fileKeys[0].path, "%LocalAppData%\\Example\\Cache");
    EXPECT_EQ(e.fileKeys[0].patterns, Strings{"*"});
    EXPECT_TRUE(e.fileKeys[0].recurse && e.fileKeys[0].removeSelf);
    EXPECT_EQ(e.fileKeys[1].path, "%Temp%");
    EXPECT_EQ(e.fileKeys[1].patterns, (Strings{"*.log", "*.tmp"}));
    EXPECT_TRUE(e.fileKeys[1].recurse);
    EXPECT_FALSE(e.fileKeys[1].removeSelf);

    ASSERT_EQ(e.regKeys.size(), 2u);
    EXPECT_EQ(e.regKeys[0].key, "HKCU\\Software\\Example\\Recent");
    EXPECT_FALSE(e.regKeys[0].hasValue);
    EXPECT_EQ(e.regKeys[1].text, "HKLM\\Software\\Example|LastFile");
    EXPECT_EQ(e.regKeys[1].key, "HKLM\\Software\\Example");
    EXPECT_EQ(e.regKeys[1].value, "LastFile");

    ASSERT_EQ(e.exclusions.size(), 3u); // FOLDER| is no kind of exclusion, and the entry must know
    EXPECT_EQ(e.unreadableExclusion, std::optional<std::string>("FOLDER|%Temp%\\x"));
    EXPECT_EQ(e.exclusions[0].kind, RuleExclusion::Kind::File);
    EXPECT_EQ(e.exclusions[0].folder, "%Temp%");
    EXPECT_EQ(e.exclusions[0].patterns, (Strings{"keep.log", "keep2.log"}));
    EXPECT_EQ(e.exclusions[1].kind, RuleExclusion::Kind::Path);
    EXPECT_EQ(e.exclusions[1].folder, "%Temp%\\Kept");
    EXPECT_EQ(e.exclusions[2].kind, RuleExclusion::Kind::Reg);
    EXPECT_EQ(e.exclusions[2].reg.key, "HKCU\\Software\\Example\\Recent");
    EXPECT_EQ(e.exclusions[2].reg.value, "Pinned");

    // "[]" opens no entry, so its key belongs to none; a bad LangSecRef leaves Section alone.
    EXPECT_EQ(entries[1].name, "Second");
    EXPECT_TRUE(entries[1].fileKeys.empty());
    EXPECT_EQ(entries[1].langSecRef, 0);
    EXPECT_EQ(RuleCategory(entries[1]), "My tools");
}

TEST(RuleFile, ReadsUtf16AndUtf8WithBom)
{
    const std::u16string text = u"[Caf\u00e9 \U0001F600]\r\nFileKey1=%Temp%|*.tmp\r\n";
    std::string utf16 = "\xFF\xFE";
    for (char16_t unit : text) {
        utf16 += static_cast<char>(unit & 0xFF);
        utf16 += static_cast<char>(unit >> 8);
    }
    const std::vector<RuleEntry> wide = ParseRules(utf16);
    ASSERT_EQ(wide.size(), 1u);
    EXPECT_EQ(wide[0].name, "Caf\xC3\xA9 \xF0\x9F\x98\x80");
    ASSERT_EQ(wide[0].fileKeys.size(), 1u);
    EXPECT_EQ(wide[0].fileKeys[0].patterns, Strings{"*.tmp"});

    const std::vector<RuleEntry> bom = ParseRules("\xEF\xBB\xBF[A]\nFileKey1=C:\\x|*\n");
    ASSERT_EQ(bom.size(), 1u);
    EXPECT_EQ(bom[0].name, "A");
    EXPECT_EQ(RuleCategory(bom[0]), "Other");
}

TEST(RuleFile, ALaterEntryOfTheSameNameReplacesTheEarlierInItsPlace)
{
    std::vector<RuleEntry> all = ParseRules("[One]\nWarning=old\n[Two]\n");
    MergeRules(all, ParseRules("[one]\nWarning=new\n[Three]\n"));
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].name, "one");
    EXPECT_EQ(all[0].warning, "new");
    EXPECT_EQ(all[2].name, "Three");
}

TEST(RuleFile, ReadsTheTwoPartFileExclusionAndMarksAnEntryWhoseExclusionItCannotRead)
{
    const std::vector<RuleEntry> entries =
        ParseRules("[Two]\nExcludeKey1=FILE|%LocalAppData%\\X\\keep.ini\n"
                   "[Empty]\nExcludeKey1=\n[Nameless]\nExcludeKey1=FILE|C:\\x\\|;\n");
    ASSERT_EQ(entries.size(), 3u);
    ASSERT_EQ(entries[0].exclusions.size(), 1u);
    EXPECT_EQ(entries[0].exclusions[0].folder, "%LocalAppData%\\X");
    EXPECT_EQ(entries[0].exclusions[0].patterns, Strings{"keep.ini"});
    EXPECT_FALSE(entries[0].unreadableExclusion);
    EXPECT_EQ(entries[1].unreadableExclusion, std::optional<std::string>(""));
    EXPECT_EQ(entries[2].unreadableExclusion, std::optional<std::string>("FILE|C:\\x\\|;"));
}

TEST(RuleFile, TheBudgetEndsTheFilesAndLeavesOutEntriesCutShortOrOfTooManyKeys)
{
    std::string many;
    for (int i = 0; i < 20005; ++i)
        many += "[a" + std::to_string(i) + "]\n";
    EXPECT_EQ(ParseRules(many).size(), 20000u);

    std::string overlong = "[Overlong]\n";
    for (std::size_t i = 0; i <= kMostKeysPerEntry; ++i)
        overlong += "FileKey" + std::to_string(i + 1) + "=C:\\x|*.tmp\n";
    overlong += "ExcludeKey1=FILE|C:\\x\\|keep.tmp\n[After]\n";
    const std::vector<RuleEntry> kept = ParseRules(overlong);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].name, "After");

    // Files read one after the other share the budget; an entry it cuts short is left out.
    RuleBudget budget{3, 4};
    EXPECT_EQ(ParseRules("[One]\nFileKey1=C:\\x|*\n[Two]\n", budget).size(), 2u);
    const std::vector<RuleEntry> second = ParseRules(
        "[Three]\nFileKey1=C:\\x|*\nFileKey2=C:\\y|*\nFileKey3=C:\\z|*\nExcludeKey1=PATH|C:\\x\n[Four]\n", budget);
    EXPECT_TRUE(second.empty());
    EXPECT_TRUE(ParseRules("[Five]\n", budget).empty());
}

} // namespace
