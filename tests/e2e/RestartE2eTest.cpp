// A file in use during a run is removed at the next log-on.
#include "e2e/E2eFixture.h"
#include "sys/Utf8.h"

namespace {

// A holder process of ours keeps a file open without sharing, as another program would.
class CHolder {
public:
    explicit CHolder(const std::string& file)
    {
        const std::wstring exe = Widen(testenv::BuildFolder() + "\\tools\\holder.exe");
        std::wstring command = L"\"" + exe + L"\" \"" + Widen(file) + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        m_started = ::CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                     &startup, &m_process);
        // The holder has the file once a deletion is refused as a sharing violation.
        for (int i = 0; m_started && i < 200; ++i) {
            HANDLE probe = ::CreateFileW(Widen(file).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                         nullptr, OPEN_EXISTING, 0, nullptr);
            if (probe == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_SHARING_VIOLATION)
                return;
            if (probe != INVALID_HANDLE_VALUE)
                ::CloseHandle(probe);
            ::Sleep(50);
        }
        m_started = false;
    }
    ~CHolder() { Release(); }
    bool Holding() const { return m_started; }
    void Release()
    {
        if (m_process.hProcess) {
            ::TerminateProcess(m_process.hProcess, 0);
            ::WaitForSingleObject(m_process.hProcess, 5000);
            ::CloseHandle(m_process.hProcess);
            ::CloseHandle(m_process.hThread);
            m_process = {};
        }
    }

private:
    PROCESS_INFORMATION m_process{};
    bool m_started = false;
};

const std::string kListKey = testenv::kSettingsKey + "\\DeleteOnWindowsRestart";

} // namespace

using DeferredRemoval = PurgixE2e;

TEST_F(DeferredRemoval, AFileInUseIsRemovedAtTheNextLogOn)
{
    const std::string held = m_places + "\\Cache\\held by another program.dat";
    testenv::WriteFile(held, "still open");
    CHolder holder(held);
    ASSERT_TRUE(holder.Holding());

    StartPurgix();
    const std::string report = RunAndDeclineRestart();
    EXPECT_NE(report.find(held + " currently in use. Will be deleted when Windows is restarted.\r\n"),
              std::string::npos)
        << report;
    EXPECT_EQ(testenv::GetString(HKEY_CURRENT_USER, kListKey, "File_0"), held);
    EXPECT_EQ(testenv::GetDword(HKEY_CURRENT_USER, kListKey, "FileCount"), 1u);
    EXPECT_EQ(testenv::GetDword(HKEY_CURRENT_USER, testenv::kSettingsKey, "WorkToBeDone"), 1u);
    // The program's folder has a blank in it: the command quotes the path.
    EXPECT_EQ(testenv::GetString(HKEY_CURRENT_USER, kRunOnceKey, "Purgix!"),
              std::string("\"") + kInstalledExe + "\" /WindowsRestart");
    m_driver.PressEscape();
    ASSERT_TRUE(m_driver.WaitForExit());
    m_driver.Kill();

    // Log off and on again: the other program has let go of the file.
    holder.Release();
    SimulateLogOn();
    ASSERT_TRUE(m_driver.WaitForExit(60000)) << "the finishing run did not close its window";
    EXPECT_FALSE(testenv::FileExists(held));
    EXPECT_TRUE(testenv::ValueNames(HKEY_CURRENT_USER, kListKey).empty());
    EXPECT_EQ(testenv::GetDword(HKEY_CURRENT_USER, testenv::kSettingsKey, "WorkToBeDone"), 0u);
    EXPECT_FALSE(testenv::ValueExists(HKEY_CURRENT_USER, kRunOnceKey, "Purgix!"));
}

TEST_F(DeferredRemoval, TheRestartSwitchWithoutPendingWorkGivesAnOrdinaryStart)
{
    StartPurgix(L"/WindowsRestart");
    EXPECT_EQ(m_driver.Status(), "Click the Purgix! button to perform Standard clean up now.");
    EXPECT_TRUE(m_driver.Enabled(IDC_RUN));
}
