// The program's entry: hands the command line to the application object.
#include "app/PurgixApp.h"
#include "sys/Utf8.h"

#include <windows.h>

#include <shellapi.h>

CPurgixApp theApp;

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    int count = 0;
    std::vector<std::string> arguments;
    if (LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &count)) {
        for (int i = 1; i < count; ++i)
            arguments.push_back(Narrow(argv[i]));
        ::LocalFree(argv);
    }
    theApp.InitInstance(arguments);
    return 0;
}
