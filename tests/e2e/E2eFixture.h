#pragma once
// The end-to-end test bed: installs the freshly built purgix.exe as a user would
// have it (under "C:\Program Files\Windows Purgix", with its App Paths entry),
// points the places a run visits at empty folders, and starts the program under
// the driver.
#include "driver/Driver.h"
#include "resource.h"
#include "support/TestEnv.h"

#include <gtest/gtest.h>

#include <string>

// A program built beside purgix.exe, by its file name.
std::wstring BuiltProgram(const wchar_t* name);

class PurgixE2e : public ::testing::Test {
protected:
    static constexpr const char* kInstalledExe = "C:\\Program Files\\Windows Purgix\\purgix.exe";
    static constexpr const char* kAppPathsKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\purgix.exe";
    static constexpr const char* kRunOnceKey = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

    void SetUp() override;
    void TearDown() override;

    // Starts the installed program with the arguments and waits for its window.
    void StartPurgix(const std::wstring& arguments = L"");
    // Presses "&Purgix!" and answers the restart question "No"; returns the report.
    std::string RunAndDeclineRestart();
    // Presses "&Options" and waits for the dialog; nullptr (and a failure) when it never comes.
    HWND OpenOptionsDialog();
    // Waits for the restart question of the run under way and answers it "No"; returns the report.
    std::string DeclineRestart();
    // The text of the string-table entry, as the program shows it.
    static std::string Text(unsigned id);
    // Simulates the next log-on as Windows does it: reads the RunOnce value, deletes
    // it and runs its command.
    void SimulateLogOn();

    std::string m_places; // an empty folder the profile's places point into
    CPurgixDriver m_driver;
};
