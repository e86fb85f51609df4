// purgix-driver: the end-to-end driver as a command, for the demo and for people.
//
//   purgix-driver clean EXE     starts EXE, presses "&Purgix!", answers the restart
//                               question "No", prints the report, and leaves the window open
//   purgix-driver preview EXE   starts EXE, presses "Pre&view", prints the report, and
//                               leaves the window open
//   purgix-driver rect          prints the main window's screen rectangle: X Y WIDTH HEIGHT
//   purgix-driver close         presses "C&lose" and waits for the program to end
#include "driver/Driver.h"
#include "resource.h"

#include <cstdio>
#include <string>

namespace {

constexpr int kIdNo = 7;

int Fail(const char* message)
{
    std::fprintf(stderr, "purgix-driver: %s\n", message);
    return 1;
}

// Starts the program, presses the button and waits for the run to end; a run (not a
// preview) ends with the restart question, answered as a user who restarts later.
int RunFromButton(const std::wstring& exe, int button)
{
    CPurgixDriver driver;
    if (!driver.Start(exe, L""))
        return Fail("the main window did not appear");
    driver.Click(button);
    if (button == IDC_RUN) {
        auto box = driver.WaitForMessageBox(600000);
        if (!box)
            return Fail("the run did not end with the restart question");
        driver.Answer(*box, kIdNo);
    }
    if (!driver.WaitForIdleAfterRun(600000))
        return Fail("the window did not return to idle after the run");
    std::fputs(driver.Report().c_str(), stdout);
    std::fputs("\n", stdout);
    std::fflush(stdout);
    driver.Detach(); // leave the window open for a picture; "close" ends it
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"clean" && argc == 3)
        return RunFromButton(argv[2], IDC_RUN);
    if (command == L"preview" && argc == 3)
        return RunFromButton(argv[2], IDC_PREVIEW);
    CPurgixDriver driver;
    if (command == L"rect") {
        if (!driver.Attach())
            return Fail("no Windows Purgix! window");
        RECT rect;
        ::GetWindowRect(driver.MainWindow(), &rect);
        std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
        driver.Detach(); // the window stays for its picture: the driver ends only what it started
        return 0;
    }
    if (command == L"close") {
        if (!driver.Attach())
            return Fail("no Windows Purgix! window");
        driver.Click(IDCANCEL);
        return driver.WaitUntil([&] { return !::IsWindow(driver.MainWindow()); }, 30000) ? 0 : Fail("still open");
    }
    std::fputs("usage: purgix-driver clean EXE | preview EXE | rect | close\n", stderr);
    return 2;
}
