#pragma once
// CPurgixCommandLineInfo: the switches the program understands.
// An argument starting with '-' or '/' is a switch named by the rest of it:
// "help", "h" and "?" (any letter case) ask for help; "WindowsRestart" (exactly so)
// marks the start Windows makes at log-on. Everything else is ignored.
#include <string>
#include <string_view>
#include <vector>

class CPurgixCommandLineInfo {
public:
    void ParseParam(std::string_view param, bool isFlag, bool isLast);
    // Splits each argument into its switch prefix and name, and parses it.
    void ParseArguments(const std::vector<std::string>& arguments);

    bool m_bHelp = false;
    bool m_bWindowsRestart = false;
};
