#include "e2e/E2eFixture.h"

#include "support/RunPlaces.h"
#include "sys/Utf8.h"

#include <shellapi.h>

namespace {

// Splits a command line of the form "\"path\" args" or "path args".
void SplitCommand(const std::string& command, std::string& exe, std::string& arguments)
{
    if (!command.empty() && command[0] == '"') {
        const size_t close = command.find('"', 1);
        exe = command.substr(1, close - 1);
        arguments = close + 2 <= command.size() ? command.substr(close + 2) : "";
    } else {
        const size_t space = command.find(' ');
        exe = command.substr(0, space);
        arguments = space == std::string::npos ? "" : command.substr(space + 1);
    }
}

} // namespace

std::wstring BuiltProgram(const wchar_t* name)
{
    return Widen(testenv::BuildFolder() + "\\") + name;
}

void PurgixE2e::SetUp()
{
    testenv::DeleteTree(HKEY_CURRENT_USER, "Software\\Vellomar");
    testenv::MakeFolder("C:\\Program Files\\Windows Purgix");
    ASSERT_TRUE(::CopyFileW(BuiltProgram(L"purgix.exe").c_str(), Widen(kInstalledExe).c_str(), FALSE));
    testenv::SetString(HKEY_LOCAL_MACHINE, kAppPathsKey, "", kInstalledExe);

    m_places = testenv::PointRunPlacesAtEmptyFolders();
}

void PurgixE2e::TearDown()
{
    m_driver.Kill();
    testenv::DeleteTree(HKEY_CURRENT_USER, "Software\\Vellomar");
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, Widen(kRunOnceKey).c_str(), L"Purgix!");
    testenv::DeleteTree(HKEY_LOCAL_MACHINE, kAppPathsKey);
}

void PurgixE2e::StartPurgix(const std::wstring& arguments)
{
    ASSERT_TRUE(m_driver.Start(Widen(kInstalledExe), arguments)) << "the main window did not appear";
}

std::string PurgixE2e::RunAndDeclineRestart()
{
    m_driver.Click(IDC_RUN);
    return DeclineRestart();
}

HWND PurgixE2e::OpenOptionsDialog()
{
    m_driver.Click(IDC_OPTIONS);
    const HWND dialog = m_driver.WaitForWindow(L"Purgix! Options");
    EXPECT_NE(dialog, nullptr) << "the Options dialog did not appear";
    return dialog;
}

std::string PurgixE2e::DeclineRestart()
{
    auto box = m_driver.WaitForMessageBox(120000);
    EXPECT_TRUE(box.has_value()) << "no restart question";
    if (!box)
        return m_driver.Report();
    EXPECT_EQ(box->text, Text(IDS_LOGOFF_QUESTION)); // Wine reports Windows NT
    m_driver.Answer(*box, IDNO);
    EXPECT_TRUE(m_driver.WaitForIdleAfterRun());
    return m_driver.Report();
}

std::string PurgixE2e::Text(unsigned id)
{
    const wchar_t* text = nullptr;
    const int n = ::LoadStringW(::GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    return Narrow(std::wstring_view(text, static_cast<size_t>(n)));
}

void PurgixE2e::SimulateLogOn()
{
    const std::string command = testenv::GetString(HKEY_CURRENT_USER, kRunOnceKey, "Purgix!");
    ASSERT_EQ(::RegDeleteKeyValueW(HKEY_CURRENT_USER, Widen(kRunOnceKey).c_str(), L"Purgix!"), ERROR_SUCCESS);
    std::string exe, arguments;
    SplitCommand(command, exe, arguments);
    ASSERT_TRUE(m_driver.StartProcessOnly(Widen(exe), Widen(arguments)));
}
