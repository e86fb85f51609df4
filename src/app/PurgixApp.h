#pragma once
// CPurgixApp: the process's one application object. InitInstance reads
// "WorkToBeDone", parses the command line and shows either the help message or the
// main window, modally. The process ends when that window closes: there is no other
// message loop.
#include "settings/SettingsStore.h"

#include <string>
#include <vector>

class CPurgixApp {
public:
    // Runs the start-up sequence with the arguments after the program's name.
    void InitInstance(const std::vector<std::string>& arguments);

    bool m_bWindowsRestart = false;
    bool m_bWorkToBeDone = false;

private:
    CSettingsStore m_settings;
};

extern CPurgixApp theApp;
