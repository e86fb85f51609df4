// The main window's call message, sent from another thread as a forger in another
// process would send it: the window runs only what its own worker has handed over,
// never a pointer the message carries.
#include "driver/Driver.h"
#include "support/RegistryScope.h"
#include "support/TestEnv.h"
#include "ui/MainDlg.h"
#include "ui/MainDlgMessages.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>

TEST(MainWindowCalls, APointerInTheCallMessageIsNeverCalled)
{
    CRegistryScope registry; // the idle status line reads the level; the scope takes the key away again
    registry.SetString(HKEY_CURRENT_USER, testenv::kSettingsKey + "\\Options", "TypeOfPurgix", "Standard");
    RegisterControlClasses();
    CMainDlg window(false);
    std::thread ui([&] { window.DoModal(nullptr); });
    CPurgixDriver driver;
    const bool attached = driver.AttachToProcess(::GetCurrentProcessId());
    bool ran = false;
    const std::function<void()> forged = [&] { ran = true; };
    if (attached) {
        for (WPARAM number : {WPARAM{0}, WPARAM{1}, WPARAM{2}, ~WPARAM{0}})
            ::SendMessageW(driver.MainWindow(), kRunOnUiMessage, number, reinterpret_cast<LPARAM>(&forged));
        // A call the worker hands over runs as before.
        window.SetStatusText("handed over", false);
        EXPECT_EQ(driver.Status(), "handed over");
        driver.PressEscape();
    }
    ui.join();
    ASSERT_TRUE(attached) << "the window did not appear";
    EXPECT_FALSE(ran);
}
