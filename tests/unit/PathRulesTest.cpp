// The two rules that decide which file a run deletes: which names a pattern matches, and
// how a path is spelled so that the system opens the file the report names.
#include "engine/removal/PathText.h"
#include "engine/removal/WildcardMatch.h"

#include <gtest/gtest.h>

#include <string>

TEST(WildcardMatching, MatchesNamesAsTheSystemDoesButOnTheLongNameOnly)
{
    struct Row {
        const char* name;
        const char* pattern;
        bool matches;
    };
    const Row rows[] = {
        {"note.tmp", "*.tmp", true},
        {"NOTE.TMP", "*.tmp", true},
        {"note.tmpl", "*.tmp", false}, // its short name NOTE~1.TMP would match
        {"tmp", "*.tmp", false},
        {"a.b.tmp", "*.tmp", true},
        {"noextension", "*.*", true},
        {"anything at all", "*", true},
        {"", "*", true},
        {"name", "", false},
        {"file.chk", "file?.chk", false},
        {"file12.chk", "file?.chk", false},
        {"file1.chk", "file?.chk", true},
        {"~wrd0001.tmp", "~*", true},
        {"x~wrd.tmp", "~*", false},
        {"abcabd", "*abd", true}, // the first "ab" is a false start
        {"aaab", "*a*b", true},
        {"aaac", "*a*b", false},
        {"über.txt", "?ber.txt", true}, // "?" is one character, not one byte
        {"über.txt", "??ber.txt", false},
        {"ÄRGER-1.LOG", "ärger-?.log", true}, // letter case beyond ASCII, as file names compare
        {"xéyéz", "*ÉZ", true},
        {"été", "ET*", false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(MatchesWildcard(row.name, row.pattern), row.matches) << row.name << " against " << row.pattern;
}

TEST(LiteralPaths, AbsolutePathsAreTheOnlyOnesARunTakes)
{
    struct Row {
        const char* path;
        bool absolute;
    };
    const Row rows[] = {
        {"C:\\Temp", true}, {"c:/Temp", true},         {"C:Temp", false},           {"C:", false},
        {"\\Temp", false},  {"Temp\\x", false},        {"\\\\server\\share", true}, {"\\\\", false},
        {"\\\\\\x", false}, {"\\\\?\\C:\\Temp", true}, {"\\\\.\\C:\\Temp", true},   {"", false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(IsAbsolutePath(row.path), row.absolute) << row.path;
}

TEST(LiteralPaths, TheLiteralFormAndTheShownFormAreEachOthersInverse)
{
    struct Row {
        std::string shown;
        std::string literal;
    };
    const Row rows[] = {
        {"C:\\Temp\\name.", "\\\\?\\C:\\Temp\\name."},
        {"C:\\Temp\\name ", "\\\\?\\C:\\Temp\\name "},
        {"\\\\server\\share\\f.tmp", "\\\\?\\UNC\\server\\share\\f.tmp"},
        {"C:\\Temp\\..\\x", "\\\\?\\C:\\Temp\\..\\x"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(LiteralPath(row.shown), row.literal) << row.shown;
        EXPECT_EQ(ShownPath(row.literal), row.shown) << row.literal;
        EXPECT_EQ(LiteralPath(row.literal), row.literal) << "a literal path is kept as it is";
    }
    // A device path is taken as literal, and shown without its prefix.
    EXPECT_EQ(LiteralPath("\\\\.\\C:\\Temp"), "\\\\?\\C:\\Temp");
    EXPECT_EQ(ShownPath("\\\\.\\C:\\Temp"), "C:\\Temp");
    EXPECT_EQ(ShownPath("C:\\Temp"), "C:\\Temp");
}

TEST(LiteralPaths, OnlyANameEndingInADotOrASpaceNeedsTheLiteralForm)
{
    struct Row {
        const char* shown;
        bool needed;
    };
    const Row rows[] = {
        {"C:\\Temp\\name.", true},  {"C:\\Temp\\name ", true},  {"C:\\dir.\\f.txt", true},   {"C:\\dir \\f.txt", true},
        {"C:\\Temp\\...", true},    {"C:\\Temp\\f.txt", false}, {"C:\\Temp\\", false},       {"C:\\Temp\\.\\f", false},
        {"C:\\Temp\\..\\f", false}, {"C:\\Temp\\..", false},    {"\\\\server\\s\\f", false}, {"C:/dir./f", true},
    };
    for (const Row& row : rows)
        EXPECT_EQ(NeedsLiteralForm(row.shown), row.needed) << row.shown;
}
