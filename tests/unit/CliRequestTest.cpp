// The console program's arguments and JSON text: what a script types must mean one
// thing, and a path must come out as JSON whatever it holds.
#include "cli/CliRequest.h"
#include "cli/JsonLines.h"

#include <gtest/gtest.h>

namespace {

TEST(CliRequest, AMistypedLevelIsAUsageErrorNotTheStandardLevel)
{
    EXPECT_FALSE(ParseArguments({"clean", "--level", "thorogh"}).request);
    const CliParse parse = ParseArguments({"clean", "--level=BASIC"});
    ASSERT_TRUE(parse.request);
    EXPECT_EQ(parse.request->level, kBasic);
}

TEST(CliRequest, SetsApplyAfterTheLevelInTheOrderGiven)
{
    const CliParse parse = ParseArguments(
        {"preview", "--set", "wipeclean=1", "--level", "basic", "--set", "WipeClean=0", "--set=DeleteCookies=1"});
    ASSERT_TRUE(parse.request) << parse.error;
    RunOptions stored;
    stored.switches.favorites = true;
    const OptionSwitches used = RunOptionsFor(*parse.request, stored).switches;
    EXPECT_EQ(used, (OptionSwitches{false, true, false, false, false}));
}

TEST(CliRequest, NamesWhatItDidNotUnderstand)
{
    EXPECT_EQ(ParseArguments({}).error, "no command given");
    EXPECT_EQ(ParseArguments({"clean", "extra"}).error, "unexpected argument 'extra'");
    EXPECT_EQ(ParseArguments({"clean", "--set", "Scores=1"}).error, "unknown switch 'Scores'");
    EXPECT_EQ(ParseArguments({"clean", "--level"}).error, "--level needs a value: thorough|standard|basic");
    EXPECT_EQ(ParseArguments({"clean", "--json=1"}).error, "--json takes no value");
    EXPECT_TRUE(ParseArguments({"--version"}).request);
}

TEST(JsonLines, EscapesQuotesBackslashesAndControlCharacters)
{
    EXPECT_EQ(JsonString("C:\\a \"b\"\x01\n\xc3\xa9"), "\"C:\\\\a \\\"b\\\"\\u0001\\u000a\xc3\xa9\"");
    EXPECT_EQ(ItemJson({RunAction::Deferred, "C:\\x", "C:\\x - line\r\n", 5}),
              "{\"action\":\"deferred\",\"path\":\"C:\\\\x\",\"bytes\":5}");
    EXPECT_EQ(ItemJson({RunAction::RegistryFailed, "'Run MRU' list", "", std::nullopt}),
              "{\"action\":\"registry_failed\",\"path\":\"'Run MRU' list\"}");
}

} // namespace
