// A rule entry with a Warning runs from the console only when asked for by name, with
// --accept-warnings: nobody is there to answer the window's question.
#include "cli/CliRequest.h"

#include <gtest/gtest.h>

namespace {

using Names = std::vector<std::string>;

TEST(CliRuleWarnings, AnEntryWithAWarningRunsOnlyWhenNamedWithAcceptWarnings)
{
    const std::vector<RuleEntry> entries = ParseRules("[Cookies]\nWarning=You will be signed out.\n[Cache]\n");
    struct Case {
        Names arguments;
        Names stored;
        Names allowed;
        Names skipped;
    };
    const Case cases[] = {
        {{"clean"}, {"Cookies", "Cache"}, {"Cache"}, {"Cookies"}},
        {{"clean", "--accept-warnings"}, {"Cookies", "Cache"}, {"Cache"}, {"Cookies"}},
        {{"clean", "--rules", "cookies,Cache"}, {}, {"Cache"}, {"Cookies"}},
        {{"preview", "--rules", "cookies,Cache", "--accept-warnings"}, {}, {"Cookies", "Cache"}, {}},
    };
    for (const Case& c : cases) {
        const CliParse parse = ParseArguments(c.arguments);
        ASSERT_TRUE(parse.request) << parse.error;
        RunOptions stored;
        stored.rules = c.stored;
        RunOptions options = RunOptionsFor(*parse.request, stored);
        if (parse.request->rules)
            options.rules = ResolveRuleNames(*parse.request->rules, {"Cookies", "Cache"}).found;
        Names skipped;
        const Names allowed = RulesAllowedToRun(*parse.request, options.rules, entries, skipped);
        EXPECT_EQ(allowed, c.allowed) << c.arguments.size();
        EXPECT_EQ(skipped, c.skipped) << c.arguments.size();
    }
}

} // namespace
