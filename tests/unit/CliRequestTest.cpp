// The console program's arguments, JSON text and exit code: what a script types must
// mean one thing, a path must come out as JSON whatever it holds, and a failure must
// never end in 0.
#include "cli/CliRequest.h"
#include "cli/ConsoleSink.h"
#include "cli/JsonLines.h"
#include "engine/run/RunText.h"

#include <gtest/gtest.h>

namespace {

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
    // A mistyped level is a usage error, never the Standard level LevelFromName would give.
    EXPECT_FALSE(ParseArguments({"clean", "--level", "thorogh"}).request);
    const CliParse parse = ParseArguments({"clean", "--level=BASIC"});
    ASSERT_TRUE(parse.request);
    EXPECT_EQ(parse.request->level, kBasic);
}

TEST(CliRequest, WipeFreeTakesTheDrivesAfterItAmongItsOptions)
{
    const CliParse parse = ParseArguments({"wipe-free", "W:", "--json", "c"});
    ASSERT_TRUE(parse.request) << parse.error;
    EXPECT_EQ(parse.request->operands, (std::vector<std::string>{"W:", "c"}));
    EXPECT_TRUE(parse.request->json);
}

TEST(CliRequest, TakesTheHelpSwitchesWindowsUsersType)
{
    for (const char* help : {"-h", "/?", "/H", "/help"}) {
        const CliParse parse = ParseArguments({"clean", help});
        ASSERT_TRUE(parse.request) << help << ": " << parse.error;
        EXPECT_TRUE(parse.request->help) << help;
    }
    EXPECT_EQ(ParseArguments({"/x"}).error, "unknown command '/x'");
}

TEST(CliRequest, RulesAloneRunOnlyTheNamedEntriesUnlessALevelIsGiven)
{
    const CliParse alone = ParseArguments({"clean", "--rules", "Murder, She Wrote *", "--rules=A,B"});
    ASSERT_TRUE(alone.request) << alone.error;
    EXPECT_EQ(alone.request->rules, (std::vector<std::string>{"Murder, She Wrote *", "A,B"}));
    EXPECT_TRUE(RunOptionsFor(*alone.request, {}).rulesOnly);

    const CliParse withLevel = ParseArguments({"clean", "--rules", "A", "--level", "standard"});
    ASSERT_TRUE(withLevel.request) << withLevel.error;
    EXPECT_FALSE(RunOptionsFor(*withLevel.request, {}).rulesOnly);
    EXPECT_FALSE(RunOptionsFor(*ParseArguments({"clean"}).request, {}).rulesOnly);
    EXPECT_EQ(ParseArguments({"clean", "--rules="}).error, "--rules needs an entry name");
}

TEST(CliRequest, ResolvesRuleNamesWholeFirstThenAtCommas)
{
    const std::vector<std::string> known = {"Murder, She Wrote *", "Google Chrome Cache", "Google Chrome History"};
    struct Case {
        std::vector<std::string> given;
        std::vector<std::string> found;
        std::vector<std::string> unknown;
    };
    const Case cases[] = {
        {{"murder, she wrote *"}, {"Murder, She Wrote *"}, {}},
        {{"Google Chrome Cache, google chrome history"}, {"Google Chrome Cache", "Google Chrome History"}, {}},
        {{"Google Chrome Cache", "Murder, She Wrote *"}, {"Google Chrome Cache", "Murder, She Wrote *"}, {}},
        {{"Murder"}, {}, {"Murder"}},
    };
    for (const Case& c : cases) {
        const RuleNames names = ResolveRuleNames(c.given, known);
        EXPECT_EQ(names.found, c.found) << c.given.front();
        EXPECT_EQ(names.unknown, c.unknown) << c.given.front();
    }
}

TEST(JsonLines, EscapesQuotesBackslashesAndControlCharacters)
{
    EXPECT_EQ(JsonString("C:\\a \"b\"\x01\n\xc3\xa9"), "\"C:\\\\a \\\"b\\\"\\u0001\\u000a\xc3\xa9\"");
    EXPECT_EQ(ItemJson({RunAction::Deferred, "C:\\x", "C:\\x - line\r\n", 5}, false),
              "{\"action\":\"deferred\",\"path\":\"C:\\\\x\",\"bytes\":5}");
    EXPECT_EQ(ItemJson({RunAction::RegistryFailed, "'Run MRU' list", "", std::nullopt}, false),
              "{\"action\":\"registry_failed\",\"path\":\"'Run MRU' list\"}");
    // A run's wipe of one drive reads as purgix-cli wipe-free writes it.
    EXPECT_EQ(ItemJson({RunAction::FreeSpaceWiped, "W:", "", std::nullopt, std::nullopt,
                        WipeResult{WipeOutcome::Failed, 4096, 1.5, "ERROR_WRITE_FAULT"}},
                       false),
              "{\"action\":\"free_space_wiped\",\"drive\":\"W:\",\"outcome\":\"failed\",\"bytes\":4096,"
              "\"seconds\":1.500,\"reason\":\"ERROR_WRITE_FAULT\"}");
}

TEST(JsonLines, APreviewSaysSoInItsRegistryLinesItsRewriteAndItsSummary)
{
    const RunItem list{RunAction::RegistryRemoved, "'Run MRU' list", "'Run MRU' list - would be removed\r\n", {}};
    EXPECT_EQ(ItemJson(list, true), "{\"action\":\"would_remove_registry\",\"path\":\"'Run MRU' list\"}");
    EXPECT_EQ(ItemJson(list, false), "{\"action\":\"registry_removed\",\"path\":\"'Run MRU' list\"}");
    EXPECT_EQ(ItemJson({RunAction::WouldRewrite, "C:\\p\\prefs.js",
                        "C:\\p\\prefs.js - its URL history would be removed\r\n", 90},
                       true),
              "{\"action\":\"would_rewrite\",\"path\":\"C:\\\\p\\\\prefs.js\",\"change\":\"its URL history would be "
              "removed\",\"bytes\":90}");
    EXPECT_EQ(
        SummaryJson({3, 600, 1, 0}, 0.5, true),
        "{\"summary\":{\"preview\":true,\"files\":3,\"bytes\":600,\"deferred\":1,\"failed\":0,\"seconds\":0.500}}");
}

} // namespace

namespace {

// The console program's outcome, from how the run ended and what it counted.
TEST(ConsoleSink, NeverExitsZeroAfterAFailureThatNamesNoItem)
{
    const CConsoleStream out(ConsoleStreamId::Output);
    const CConsoleStream err(ConsoleStreamId::Error);
    CConsoleSink script(true, false, out, err);
    EXPECT_FALSE(script.AskYesNo("Purgix! finished. Restart now?")); // a script never restarts
    EXPECT_EQ(script.ExitCode(), kExitIncomplete);                   // no outcome yet: nothing is known done

    const struct {
        const char* name;
        RunOutcome outcome;
        int exitCode;
    } cases[] = {
        {"done", {RunEnd::Done, {1, 1, 0, 0}}, kExitDone},
        {"a message told, a list not removed", {RunEnd::Done, {1, 1, 0, 1}}, kExitIncomplete},
        {"something left for the next log-on", {RunEnd::Done, {1, 1, 1, 0}}, kExitIncomplete},
        {"stopped by a failure", {RunEnd::Failed, {}}, kExitIncomplete},
        {"stopped by the user", {RunEnd::Stopped, {0, 0, 0, 1}}, kExitStopped},
    };
    for (const auto& c : cases) {
        CConsoleSink sink(true, false, out, err);
        sink.OnRunFinished(c.outcome);
        EXPECT_EQ(sink.ExitCode(), c.exitCode) << c.name;
    }
}

} // namespace
