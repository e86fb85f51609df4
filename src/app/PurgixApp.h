#pragma once
// CPurgixApp: the process's one application object. It records the Windows
// platform at construction; InitInstance reads "WorkToBeDone", parses the command
// line and shows either the help message or the main window, modally. The process
// ends when that window closes: there is no other message loop.
#include "settings/SettingsStore.h"

#include <cstdint>
#include <string>
#include <vector>

class CPurgixApp {
public:
    CPurgixApp();

    // Runs the start-up sequence with the arguments after the program's name.
    void InitInstance(const std::vector<std::string>& arguments);

    std::uint32_t GetPlatformId() const { return m_dwPlatformId; }
    const CSettingsStore& Settings() const { return m_settings; }

    bool m_bWindowsRestart = false;
    bool m_bWorkToBeDone = false;

private:
    std::uint32_t m_dwPlatformId;
    CSettingsStore m_settings;
};

extern CPurgixApp theApp;
