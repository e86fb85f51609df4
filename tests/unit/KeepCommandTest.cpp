// `purgix-cli keep` and `--keep`: sites typed in any form are stored once, in the form they
// are kept; a stored list that cannot be read is said so and never written over.
#include "cli/CliRequest.h"
#include "cli/KeepCommand.h"
#include "settings/StoredRunOptions.h"
#include "support/TestEnv.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using Sites = std::vector<std::string>;

class KeepCommand : public ::testing::Test {
protected:
    void SetUp() override { testenv::DeleteTree(HKEY_CURRENT_USER, "Software\\Vellomar"); }
    void TearDown() override { testenv::DeleteTree(HKEY_CURRENT_USER, "Software\\Vellomar"); }

    KeepOutcome Keep(const Sites& operands, bool json = false)
    {
        const CliParse parse = [&] {
            std::vector<std::string> arguments = {"keep"};
            arguments.insert(arguments.end(), operands.begin(), operands.end());
            if (json)
                arguments.push_back("--json");
            return ParseArguments(arguments);
        }();
        EXPECT_TRUE(parse.request) << parse.error;
        return EditKeepSites(parse.request->operands, parse.request->json, CSettingsStore());
    }
};

} // namespace

TEST_F(KeepCommand, AddRemoveAndListTheStoredSites)
{
    EXPECT_EQ(Keep({"list"}).out, "");
    KeepOutcome added = Keep({"add", "https://Example.com/", "localhost:3000", ".example.com"});
    EXPECT_EQ(added.exitCode, kExitDone) << added.err;
    EXPECT_EQ(added.out, "example.com added\nlocalhost added\nexample.com was kept already\n");
    EXPECT_EQ(ReadKeepSites(CSettingsStore()), (Sites{"example.com", "localhost"}));

    const KeepOutcome removed = Keep({"remove", "EXAMPLE.COM", "tracker.net"});
    EXPECT_EQ(removed.exitCode, kExitDone);
    EXPECT_EQ(removed.out, "example.com removed\ntracker.net was not kept\n");
    EXPECT_EQ(Keep({"list"}).out, "localhost\n");
    EXPECT_EQ(Keep({"list"}, true).out, "{\"site\":\"localhost\"}\n");

    // Junk or a missing word changes nothing and is a usage error.
    for (const Sites& wrong :
         {Sites{"add", "exa mple.com"}, Sites{"add"}, Sites{}, Sites{"list", "x.org"}, Sites{"drop", "x.org"}}) {
        const KeepOutcome outcome = Keep(wrong);
        EXPECT_EQ(outcome.exitCode, kExitUsage) << testing::PrintToString(wrong);
        EXPECT_FALSE(outcome.err.empty());
    }
    EXPECT_EQ(ReadKeepSites(CSettingsStore()), (Sites{"localhost"}));
}

TEST_F(KeepCommand, AListThatCannotBeReadIsSaidSoAndNeverWrittenOver)
{
    testenv::SetString(HKEY_CURRENT_USER, testenv::kSettingsKey, "KeepSites", "example.com");
    for (const Sites& operands : {Sites{"list"}, Sites{"add", "x.org"}, Sites{"remove", "example.com"}}) {
        const KeepOutcome outcome = Keep(operands);
        EXPECT_EQ(outcome.exitCode, kExitIncomplete);
        EXPECT_NE(outcome.err.find("cannot be read"), std::string::npos) << outcome.err;
        EXPECT_EQ(testenv::GetString(HKEY_CURRENT_USER, testenv::kSettingsKey, "KeepSites"), "example.com");
    }
}

TEST_F(KeepCommand, KeepSitesJoinTheStoredListForOneRunAndAnUnreadableListStaysWithoutValue)
{
    const CliParse parse = ParseArguments({"clean", "--keep", "https://Mail.org/", "--keep=localhost"});
    ASSERT_TRUE(parse.request) << parse.error;
    RunOptions stored;
    stored.keepSites = Sites{"localhost", "example.com"};
    EXPECT_EQ(RunOptionsFor(*parse.request, stored).keepSites, (Sites{"localhost", "example.com", "mail.org"}));
    stored.keepSites = std::nullopt;
    EXPECT_EQ(RunOptionsFor(*parse.request, stored).keepSites, std::nullopt);
    EXPECT_EQ(ParseArguments({"clean", "--keep", "a b"}).error, "--keep: 'a b' names no site");
}
