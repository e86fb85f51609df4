#include "app/PurgixApp.h"

#include "app/CommandLine.h"
#include "resource.h"
#include "ui/Dialog.h"
#include "ui/MainDlg.h"

void CPurgixApp::InitInstance(const std::vector<std::string>& arguments)
{
    RegisterControlClasses();

    m_bWorkToBeDone = m_settings.ReadSettingInt("", "WorkToBeDone", 0) != 0;
    CPurgixCommandLineInfo commandLine;
    commandLine.ParseArguments(arguments);
    m_bWindowsRestart = m_bWindowsRestart || commandLine.m_bWindowsRestart;

    if (commandLine.m_bHelp) {
        AppMessageBox(nullptr, LoadResourceString(IDS_HELP_TEXT), MB_OK);
        return;
    }
    CMainDlg mainWindow(m_bWorkToBeDone && m_bWindowsRestart);
    const INT_PTR result = mainWindow.DoModal(nullptr);
    if (result == -1)
        AppMessageBox(nullptr, LoadResourceString(IDS_CANNOT_CREATE_DIALOG), MB_OK);
    else if (result == IDABORT)
        AppMessageBox(nullptr, LoadResourceString(IDS_ABORTING), MB_OK);
}
