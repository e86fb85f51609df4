#include "app/CommandLine.h"

#include <gtest/gtest.h>

namespace {

CPurgixCommandLineInfo Parse(std::vector<std::string> arguments)
{
    CPurgixCommandLineInfo info;
    info.ParseArguments(arguments);
    return info;
}

TEST(CommandLine, HelpSwitchesInAnyLetterCaseAndEitherPrefix)
{
    for (const char* help : {"/HELP", "-h", "/?", "-Help", "/help", "-H"})
        EXPECT_TRUE(Parse({help}).m_bHelp) << help;
    for (const char* other : {"help", "--help", "/helpme", "/", "-", "/??"})
        EXPECT_FALSE(Parse({other}).m_bHelp) << other;
}

TEST(CommandLine, TheRestartSwitchMustBeSpelledExactly)
{
    EXPECT_TRUE(Parse({"/WindowsRestart"}).m_bWindowsRestart);
    EXPECT_TRUE(Parse({"-WindowsRestart"}).m_bWindowsRestart);
    for (const char* other : {"/windowsrestart", "/WINDOWSRESTART", "WindowsRestart", "--WindowsRestart"})
        EXPECT_FALSE(Parse({other}).m_bWindowsRestart) << other;
}

TEST(CommandLine, FlagsCombineAndStaySetWhateverFollows)
{
    const auto both = Parse({"/WindowsRestart", "plain", "/unknown", "-?", ""});
    EXPECT_TRUE(both.m_bHelp);
    EXPECT_TRUE(both.m_bWindowsRestart);
    const auto none = Parse({});
    EXPECT_FALSE(none.m_bHelp);
    EXPECT_FALSE(none.m_bWindowsRestart);
}

} // namespace
