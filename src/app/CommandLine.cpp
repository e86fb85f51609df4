#include "app/CommandLine.h"

#include "sys/NameCase.h"

void CPurgixCommandLineInfo::ParseParam(std::string_view param, bool isFlag, bool /*isLast*/)
{
    if (!isFlag)
        return;
    if (SameIgnoringAsciiCase(param, "help") || SameIgnoringAsciiCase(param, "h") || param == "?")
        m_bHelp = true;
    else if (param == "WindowsRestart")
        m_bWindowsRestart = true;
}

void CPurgixCommandLineInfo::ParseArguments(const std::vector<std::string>& arguments)
{
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool isFlag = !argument.empty() && (argument[0] == '-' || argument[0] == '/');
        ParseParam(isFlag ? std::string_view(argument).substr(1) : std::string_view(argument), isFlag,
                   i + 1 == arguments.size());
    }
}
