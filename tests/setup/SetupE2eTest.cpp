// The setup program as an administrator or a deployment tool uses it: a silent install
// into a folder of the test's choosing, the installed program, and the silent uninstall,
// all in the test prefix; and through its pages, as a person uses it.
#include "PurgixVersion.h"
#include "driver/Driver.h"
#include "resource.h"
#include "support/HeldFile.h"
#include "support/RunPlaces.h"
#include "support/TestEnv.h"
#include "sys/Utf8.h"
#include "sys/Win32Handles.h"

#include <gtest/gtest.h>
#include <sddl.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <memory>

namespace {

constexpr const char* kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Windows Purgix";
constexpr const char* kAppPathsKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\purgix.exe";
constexpr const char* kRunOnceKey = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr const char* kSessionManagerKey = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr wchar_t kPendingRenames[] = L"PendingFileRenameOperations";
constexpr long kRebootRequired = 3010;

// A path in quotes, as command lines and the entries write it (appended: GCC 12 warns
// falsely about "\"" + path).
std::string Quoted(const std::string& path)
{
    std::string quoted = "\"";
    quoted.append(path).append("\"");
    return quoted;
}

std::string SetupExe()
{
    return testenv::BuildFolder() + "\\purgix-setup-" PURGIX_VERSION ".exe";
}

std::string ShortcutPath()
{
    wchar_t programs[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, programs);
    return Narrow(programs) + "\\Windows Purgix!.lnk";
}

struct ComRelease {
    void operator()(IUnknown* object) const { object->Release(); }
};

// The program a shell link starts, read through the shell as Explorer reads it.
std::string ShortcutTarget(const std::string& link)
{
    IShellLinkW* rawLink = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(&rawLink))))
        return "";
    std::unique_ptr<IShellLinkW, ComRelease> shellLink(rawLink);
    IPersistFile* rawFile = nullptr;
    if (FAILED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&rawFile))))
        return "";
    std::unique_ptr<IPersistFile, ComRelease> file(rawFile);
    wchar_t target[MAX_PATH] = {};
    if (FAILED(file->Load(Widen(link).c_str(), STGM_READ)) || FAILED(shellLink->GetPath(target, MAX_PATH, nullptr, 0)))
        return "";
    return Narrow(target);
}

// Runs a command line and waits until it and every process it started have ended: an
// uninstaller that ran in place leaves its own file to a copy of itself. Returns the first
// process's exit code, or -1 if it could not start or did not end in time.
long RunToTheEnd(const std::string& commandLine, DWORD timeoutMs = 120000)
{
    CHandle job(::CreateJobObjectW(nullptr, nullptr));
    std::wstring command = Widen(commandLine);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    if (!job || !::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr,
                                  &startup, &started))
        return -1;
    CHandle process(started.hProcess);
    CHandle thread(started.hThread);
    if (!::AssignProcessToJobObject(job.Get(), process.Get())) {
        ::TerminateProcess(process.Get(), 1);
        return -1;
    }
    ::ResumeThread(thread.Get());
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting{};
    for (DWORD waited = 0; waited < timeoutMs; waited += 50) {
        ::QueryInformationJobObject(job.Get(), JobObjectBasicAccountingInformation, &accounting, sizeof(accounting),
                                    nullptr);
        DWORD code = 0;
        if (accounting.ActiveProcesses == 0 && ::GetExitCodeProcess(process.Get(), &code))
            return static_cast<long>(code);
        ::Sleep(50);
    }
    ::TerminateJobObject(job.Get(), 1);
    return -1;
}

// The system's entry for a process (its parent, its program's name); zeroed if it is not there.
PROCESSENTRY32W ProcessEntry(DWORD processId)
{
    CHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot.Get(), &entry); more; more = ::Process32NextW(snapshot.Get(), &entry))
        if (entry.th32ProcessID == processId)
            return entry;
    return PROCESSENTRY32W{};
}

// The string SID of the user a process runs as: that user's hive is HKEY_USERS\<sid>.
std::string UserSid(DWORD processId)
{
    CHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    HANDLE rawToken = nullptr;
    if (!process || !::OpenProcessToken(process.Get(), TOKEN_QUERY, &rawToken))
        return "";
    CHandle token(rawToken);
    alignas(TOKEN_USER) BYTE user[128] = {};
    DWORD size = 0;
    char* sid = nullptr;
    if (!::GetTokenInformation(token.Get(), TokenUser, user, sizeof(user), &size) ||
        !::ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(user)->User.Sid, &sid))
        return "";
    std::string text(sid);
    ::LocalFree(sid);
    return text;
}

// Presses the pages' main button once it reads LABEL: each page names it for its step.
bool PressWhenShown(const CPurgixDriver& driver, HWND pages, const std::string& label)
{
    if (!driver.WaitUntil([&] { return driver.Text(IDOK, pages) == label && driver.Enabled(IDOK, pages); }, 60000))
        return false;
    driver.Click(IDOK, pages);
    return true;
}

// A shown window of that process: its message box (which has the text static 0xFFFF), or
// else its pages, whose title changes from page to page.
HWND WaitForDialog(const CPurgixDriver& driver, bool messageBox)
{
    struct Search {
        DWORD processId;
        bool messageBox;
        HWND found;
    } search{driver.ProcessId(), messageBox, nullptr};
    const auto match = [](HWND window, LPARAM parameter) {
        auto* search = reinterpret_cast<Search*>(parameter);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        if (owner == search->processId && ::IsWindowVisible(window) &&
            (::GetDlgItem(window, 0xFFFF) != nullptr) == search->messageBox)
            search->found = window;
        return search->found ? FALSE : TRUE;
    };
    driver.WaitUntil(
        [&] {
            ::EnumWindows(match, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        30000);
    return search.found;
}

} // namespace

class SetupProgramE2e : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ::CoInitialize(nullptr); }
    static void TearDownTestSuite() { ::CoUninitialize(); }

    void SetUp() override
    {
        // Wine reads it when a process starts, from the host's environment: CTest sets it.
        const char* overrides = ::getenv("WINEDLLOVERRIDES");
        ASSERT_TRUE(overrides && std::string(overrides).find("winemenubuilder.exe=d") != std::string::npos)
            << "run under CTest: without winemenubuilder.exe=d the shortcut lands in the host's menus";
        testenv::DeleteTree(HKEY_CURRENT_USER, "Software\\Vellomar");
        // A blank in the folder's name: every entry that names it must quote it.
        m_folder = testenv::FreshFolder() + "\\Windows Purgix";
        m_exe = m_folder + "\\purgix.exe";
        ASSERT_EQ(Install(), 0);
    }

    // Leaves the prefix as it was, whatever the test got to.
    void TearDown() override
    {
        m_driver.Kill();
        if (testenv::FileExists(Uninstaller()))
            RunToTheEnd(QuietUninstall());
        testenv::DeleteTree(HKEY_LOCAL_MACHINE, kUninstallKey);
        testenv::DeleteTree(HKEY_LOCAL_MACHINE, kAppPathsKey);
        testenv::DeleteTree(HKEY_CURRENT_USER, "Software\\Vellomar");
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, Widen(kRunOnceKey).c_str(), L"Purgix!");
        ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, Widen(kSessionManagerKey).c_str(), kPendingRenames);
        ::DeleteFileW(Widen(ShortcutPath()).c_str());
    }

    long Install() const { return RunToTheEnd(Quoted(SetupExe()) + " /S /D=" + m_folder); }
    std::string Uninstaller() const { return m_folder + "\\purgix-uninstall.exe"; }
    // In place: the caller waits for the uninstaller and gets its exit code.
    std::string QuietUninstall() const { return Quoted(Uninstaller()) + " /S _?=" + m_folder; }
    static std::string BuiltProgram() { return testenv::ReadFile(testenv::BuildFolder() + "\\purgix.exe"); }

    std::string m_folder;
    std::string m_exe;
    CPurgixDriver m_driver;
};

TEST_F(SetupProgramE2e, InstallsSilentlyIntoTheChosenFolderWithItsEntries)
{
    EXPECT_EQ(testenv::ReadFile(m_exe), BuiltProgram());
    EXPECT_TRUE(testenv::FileExists(Uninstaller()));
    EXPECT_FALSE(testenv::FileExists(m_exe + ".new"));

    EXPECT_EQ(testenv::GetString(HKEY_LOCAL_MACHINE, kAppPathsKey, ""), m_exe);
    EXPECT_EQ(testenv::GetString(HKEY_LOCAL_MACHINE, kAppPathsKey, "Path"), m_folder);
    EXPECT_EQ(ShortcutTarget(ShortcutPath()), m_exe);

    EXPECT_EQ(testenv::GetString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"), "Windows Purgix!");
    EXPECT_EQ(testenv::GetString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayVersion"), PURGIX_VERSION);
    EXPECT_EQ(testenv::GetString(HKEY_LOCAL_MACHINE, kUninstallKey, "Publisher"), "Vellomar");
    EXPECT_EQ(testenv::GetString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayIcon"), m_exe);
    EXPECT_EQ(testenv::GetString(HKEY_LOCAL_MACHINE, kUninstallKey, "InstallLocation"), m_folder);
    EXPECT_EQ(testenv::GetString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"), Quoted(Uninstaller()));
    EXPECT_EQ(testenv::GetString(HKEY_LOCAL_MACHINE, kUninstallKey, "QuietUninstallString"), QuietUninstall());
    // In KiB: at least the program itself.
    EXPECT_GE(testenv::GetDword(HKEY_LOCAL_MACHINE, kUninstallKey, "EstimatedSize", 0), BuiltProgram().size() / 1024);
    EXPECT_EQ(testenv::GetDword(HKEY_LOCAL_MACHINE, kUninstallKey, "NoModify"), 1u);
    EXPECT_EQ(testenv::GetDword(HKEY_LOCAL_MACHINE, kUninstallKey, "NoRepair"), 1u);
}

TEST_F(SetupProgramE2e, TheInstalledProgramShowsItsWindowAndArmsItsFinishingRun)
{
    const std::string held = testenv::PointRunPlacesAtEmptyFolders() + "\\Cache\\held by another program.dat";
    testenv::WriteFile(held, "still open");
    CHeldFile holder(held);
    ASSERT_TRUE(holder.IsHeld());

    ASSERT_TRUE(m_driver.Start(Widen(m_exe), L"")) << "the installed program showed no window";
    m_driver.Click(IDC_RUN);
    const auto box = m_driver.WaitForMessageBox(120000);
    ASSERT_TRUE(box.has_value()) << "the run did not end with the restart question";
    m_driver.Answer(*box, IDNO);
    ASSERT_TRUE(m_driver.WaitForIdleAfterRun());
    EXPECT_EQ(testenv::GetString(HKEY_CURRENT_USER, kRunOnceKey, "Purgix!"), Quoted(m_exe) + " /WindowsRestart");
    m_driver.PressEscape();
    EXPECT_TRUE(m_driver.WaitForExit());
}

TEST_F(SetupProgramE2e, SilentUninstallRemovesWhatItInstalledAndKeepsTheSettings)
{
    testenv::SetDword(HKEY_CURRENT_USER, testenv::kSettingsKey, "WorkToBeDone", 1);
    testenv::SetString(HKEY_CURRENT_USER, kRunOnceKey, "Purgix!", Quoted(m_exe) + " /WindowsRestart");

    ASSERT_EQ(RunToTheEnd(testenv::GetString(HKEY_LOCAL_MACHINE, kUninstallKey, "QuietUninstallString")), 0);
    EXPECT_FALSE(testenv::FolderExists(m_folder));
    EXPECT_FALSE(testenv::FileExists(ShortcutPath()));
    EXPECT_FALSE(testenv::KeyExists(HKEY_LOCAL_MACHINE, kAppPathsKey));
    EXPECT_FALSE(testenv::KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_FALSE(testenv::ValueExists(HKEY_CURRENT_USER, kRunOnceKey, "Purgix!"));
    EXPECT_EQ(testenv::GetDword(HKEY_CURRENT_USER, testenv::kSettingsKey, "WorkToBeDone"), 1u);
}

TEST_F(SetupProgramE2e, TheSilentUninstallRefusesWhileTheProgramRunsAndSaysSo)
{
    ASSERT_TRUE(m_driver.Start(Widen(m_exe), L""));
    EXPECT_NE(RunToTheEnd(testenv::GetString(HKEY_LOCAL_MACHINE, kUninstallKey, "QuietUninstallString")), 0);
    EXPECT_TRUE(m_driver.Running());
    EXPECT_TRUE(testenv::FileExists(m_exe));
    EXPECT_TRUE(testenv::FileExists(Uninstaller()));
    EXPECT_TRUE(testenv::KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_TRUE(testenv::KeyExists(HKEY_LOCAL_MACHINE, kAppPathsKey));
}

TEST_F(SetupProgramE2e, LeavesAnotherProgramsUninstallerInASharedFolderAlone)
{
    const std::string theirs = m_folder + "\\uninstall.exe";
    testenv::WriteFile(theirs, "another program's uninstaller");
    testenv::WriteFile(m_folder + "\\their.dll", "another program's file");

    ASSERT_EQ(Install(), 0);
    ASSERT_EQ(RunToTheEnd(QuietUninstall()), 0);
    EXPECT_EQ(testenv::ReadFile(theirs), "another program's uninstaller");
    EXPECT_TRUE(testenv::FileExists(m_folder + "\\their.dll"));
    EXPECT_FALSE(testenv::FileExists(m_exe));
    EXPECT_FALSE(testenv::FileExists(Uninstaller()));
}

TEST_F(SetupProgramE2e, InstallingAgainRepairsAndKeepsTheSettings)
{
    // An earlier version's uninstaller, under the name it registered.
    testenv::WriteFile(m_folder + "\\uninstall.exe", "the earlier uninstaller");
    testenv::SetString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString", Quoted(m_folder + "\\uninstall.exe"));
    testenv::WriteFile(m_exe, "a damaged or older program");
    testenv::DeleteTree(HKEY_LOCAL_MACHINE, kAppPathsKey);
    ::DeleteFileW(Widen(ShortcutPath()).c_str());
    testenv::SetDword(HKEY_CURRENT_USER, testenv::kSettingsKey, "WorkToBeDone", 1);

    ASSERT_EQ(Install(), 0);
    EXPECT_EQ(testenv::ReadFile(m_exe), BuiltProgram());
    EXPECT_FALSE(testenv::FileExists(m_folder + "\\uninstall.exe"));
    EXPECT_EQ(testenv::GetString(HKEY_LOCAL_MACHINE, kAppPathsKey, ""), m_exe);
    EXPECT_TRUE(testenv::FileExists(ShortcutPath()));
    EXPECT_EQ(testenv::GetDword(HKEY_CURRENT_USER, testenv::kSettingsKey, "WorkToBeDone"), 1u);
}

TEST_F(SetupProgramE2e, AProgramFileInUseIsReplacedAtTheNextRestartNeverHalfWritten)
{
    testenv::WriteFile(m_exe, "the older program, still in use");
    CHeldFile inUse(m_exe);
    ASSERT_TRUE(inUse.IsHeld());

    EXPECT_EQ(Install(), kRebootRequired);
    inUse.Release();
    EXPECT_EQ(testenv::ReadFile(m_exe), "the older program, still in use");
    EXPECT_EQ(testenv::ReadFile(m_exe + ".new"), BuiltProgram()); // moved into place at the restart
}

// A person's install and uninstall through the pages. Setup runs elevated, so the program
// it starts at the end, and the settings its uninstaller removes, must be the signed-in
// user's: those of the user whose shell runs.
TEST_F(SetupProgramE2e, ThePagesStartTheProgramAsTheShellsUserWhoseSettingsTheUninstallerRemoves)
{
    CPurgixDriver setup;
    ASSERT_TRUE(setup.StartProcessOnly(Widen(SetupExe()), Widen("/D=" + m_folder)));
    const HWND setupPages = WaitForDialog(setup, false);
    ASSERT_TRUE(setupPages);
    // The finish page's "Run" box is ticked as it comes.
    for (const char* button : {"&Next >", "I &Agree", "&Install", "&Finish"})
        ASSERT_TRUE(PressWhenShown(setup, setupPages, button)) << button;
    ASSERT_TRUE(setup.WaitForExit());

    ASSERT_TRUE(m_driver.WaitUntil([&] { return m_driver.Attach(); }, 30000)) << "the finish page started nothing";
    const DWORD parent = ProcessEntry(m_driver.ProcessId()).th32ParentProcessID;
    EXPECT_NE(parent, setup.ProcessId());
    EXPECT_EQ(Narrow(ProcessEntry(parent).szExeFile), "explorer.exe");
    m_driver.PressEscape();
    ASSERT_TRUE(m_driver.WaitForExit());

    const std::string vendor = UserSid(parent) + "\\Software\\Vellomar";
    ASSERT_EQ(vendor.rfind("S-1-5-", 0), 0u) << vendor;
    testenv::SetDword(HKEY_USERS, vendor + "\\Purgix!", "WorkToBeDone", 1);
    testenv::SetDword(HKEY_USERS, vendor + "\\Another product", "Kept", 1);
    CPurgixDriver uninstall;
    ASSERT_TRUE(uninstall.StartProcessOnly(Widen(Uninstaller()), Widen("_?=" + m_folder)));
    const HWND uninstallPages = WaitForDialog(uninstall, false);
    ASSERT_TRUE(uninstallPages);
    ASSERT_TRUE(PressWhenShown(uninstall, uninstallPages, "&Uninstall"));
    const HWND question = WaitForDialog(uninstall, true);
    ASSERT_TRUE(question);
    EXPECT_EQ(WindowText(::GetDlgItem(question, 0xFFFF)), "Also remove your Windows Purgix! settings?");
    uninstall.Answer(MessageBoxInfo{question, ""}, IDYES);
    ASSERT_TRUE(PressWhenShown(uninstall, uninstallPages, "&Close"));
    ASSERT_TRUE(uninstall.WaitForExit());
    EXPECT_FALSE(testenv::KeyExists(HKEY_USERS, vendor + "\\Purgix!"));
    EXPECT_TRUE(testenv::KeyExists(HKEY_USERS, vendor + "\\Another product"));
    EXPECT_TRUE(uninstall.WaitUntil([&] { return !testenv::FolderExists(m_folder); }, 30000));
}
