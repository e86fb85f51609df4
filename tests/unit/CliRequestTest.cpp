// The console program's arguments, JSON text and exit code: what a script types must
// mean one thing, a path must come out as JSON whatever it holds, and a failure must
// never end in 0.
#include "cli/CliRequest.h"
#include "cli/ConsoleSink.h"
#include "cli/JsonLines.h"
#include "engine/RunText.h"

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

TEST(JsonLines, EscapesQuotesBackslashesAndControlCharacters)
{
    EXPECT_EQ(JsonString("C:\\a \"b\"\x01\n\xc3\xa9"), "\"C:\\\\a \\\"b\\\"\\u0001\\u000a\xc3\xa9\"");
    EXPECT_EQ(ItemJson({RunAction::Deferred, "C:\\x", "C:\\x - line\r\n", 5}),
              "{\"action\":\"deferred\",\"path\":\"C:\\\\x\",\"bytes\":5}");
    EXPECT_EQ(ItemJson({RunAction::RegistryFailed, "'Run MRU' list", "", std::nullopt}),
              "{\"action\":\"registry_failed\",\"path\":\"'Run MRU' list\"}");
}

} // namespace

namespace {

// The console program's outcome, from what the run told its sink.
TEST(ConsoleSink, NeverExitsZeroAfterAFailureThatNamesNoItem)
{
    const CConsoleStream out(ConsoleStreamId::Output);
    const CConsoleStream err(ConsoleStreamId::Error);
    CConsoleSink clean(true, out, err);
    clean.ReportItem({RunAction::Deleted, "C:\\a", "C:\\a - deleted\r\n", 1});
    EXPECT_EQ(clean.Ask("Purgix! finished. Restart now?", 0x24), 7); // a script never restarts
    EXPECT_EQ(clean.ExitCode(), kExitDone);

    CConsoleSink unwritable(true, out, err);
    unwritable.Ask(kCannotWriteRegistry, kCannotWriteRegistryStyle);
    EXPECT_EQ(unwritable.ExitCode(), kExitIncomplete);

    CConsoleSink stopped(true, out, err);
    stopped.AppendReport(std::string(kLineStopped) + "out of memory\r\n");
    EXPECT_EQ(stopped.ExitCode(), kExitIncomplete);

    CConsoleSink cancelled(true, out, err);
    cancelled.ReportItem({RunAction::NotDeleted, "C:\\b", "C:\\b - not deleted\r\n", std::nullopt});
    cancelled.SetStatusText(kStatusCancelled, false);
    EXPECT_EQ(cancelled.ExitCode(), kExitStopped);
}

} // namespace
