#include "driver/Driver.h"

#include "sys/Utf8.h"

namespace {

constexpr wchar_t kMainTitle[] = L"Windows Purgix!";
constexpr wchar_t kDialogClass[] = L"#32770";
constexpr wchar_t kMessageBoxCaption[] = L"Purgix!";
constexpr int kMessageBoxTextId = 0xFFFF;
constexpr DWORD kPollMs = 50;

struct FindRequest {
    DWORD processId;
    const wchar_t* className;
    const wchar_t* title;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter)
{
    auto* request = reinterpret_cast<FindRequest*>(parameter);
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    if (processId != request->processId || !::IsWindowVisible(window))
        return TRUE;
    wchar_t className[64] = {};
    ::GetClassNameW(window, className, 64);
    wchar_t title[256] = {};
    ::GetWindowTextW(window, title, 256);
    if (std::wstring(className) == request->className && std::wstring(title) == request->title) {
        request->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

std::string WindowText(HWND window)
{
    const auto length = ::SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const auto got = ::SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(got));
    return Narrow(text);
}

CPurgixDriver::~CPurgixDriver()
{
    Kill();
}

bool CPurgixDriver::StartProcessOnly(const std::wstring& exe, const std::wstring& arguments)
{
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &m_process))
        return false;
    m_processId = m_process.dwProcessId;
    return true;
}

bool CPurgixDriver::Start(const std::wstring& exe, const std::wstring& arguments, DWORD timeoutMs)
{
    return StartProcessOnly(exe, arguments) && Attach(timeoutMs);
}

bool CPurgixDriver::Attach(DWORD timeoutMs)
{
    if (!m_processId) {
        // Attach to any running instance by its window.
        HWND window = ::FindWindowW(kDialogClass, kMainTitle);
        if (!window)
            return false;
        ::GetWindowThreadProcessId(window, &m_processId);
        // Another program started it: a handle still lets the driver wait for it and end it.
        m_process.hProcess =
            ::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, m_processId);
    }
    m_main = WaitForWindow(kMainTitle, timeoutMs);
    return m_main != nullptr;
}

bool CPurgixDriver::AttachToProcess(DWORD processId, DWORD timeoutMs)
{
    m_processId = processId;
    return Attach(timeoutMs);
}

HWND CPurgixDriver::FindTopLevel(const std::wstring& className, const std::wstring& title) const
{
    FindRequest request{m_processId, className.c_str(), title.c_str(), nullptr};
    ::EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&request));
    return request.found;
}

HWND CPurgixDriver::WaitForWindow(const std::wstring& title, DWORD timeoutMs) const
{
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindDialog(title)) != nullptr; }, timeoutMs);
    return found;
}

HWND CPurgixDriver::FindDialog(const std::wstring& title) const
{
    return FindTopLevel(kDialogClass, title);
}

void CPurgixDriver::Click(int controlId, HWND dialog) const
{
    ::PostMessageW(::GetDlgItem(Dialog(dialog), controlId), BM_CLICK, 0, 0);
}

void CPurgixDriver::PressEscape(HWND dialog) const
{
    // What the dialog manager makes of the Esc key.
    ::PostMessageW(Dialog(dialog), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

void CPurgixDriver::PressEnter(HWND dialog) const
{
    const auto defaultId = LOWORD(::SendMessageW(Dialog(dialog), DM_GETDEFID, 0, 0));
    ::PostMessageW(Dialog(dialog), WM_COMMAND, MAKEWPARAM(defaultId, BN_CLICKED), 0);
}

void CPurgixDriver::CloseBox(HWND dialog) const
{
    ::PostMessageW(Dialog(dialog), WM_SYSCOMMAND, SC_CLOSE, 0);
}

void CPurgixDriver::SystemCommand(WPARAM command) const
{
    ::PostMessageW(m_main, WM_SYSCOMMAND, command, 0);
}

std::string CPurgixDriver::Text(int controlId, HWND dialog) const
{
    return WindowText(::GetDlgItem(Dialog(dialog), controlId));
}

bool CPurgixDriver::Enabled(int controlId, HWND dialog) const
{
    return ::IsWindowEnabled(::GetDlgItem(Dialog(dialog), controlId)) != FALSE;
}

bool CPurgixDriver::Visible(int controlId, HWND dialog) const
{
    return (::GetWindowLongW(::GetDlgItem(Dialog(dialog), controlId), GWL_STYLE) & WS_VISIBLE) != 0;
}

LRESULT CPurgixDriver::Send(int controlId, UINT message, WPARAM wParam, LPARAM lParam, HWND dialog) const
{
    return ::SendMessageW(::GetDlgItem(Dialog(dialog), controlId), message, wParam, lParam);
}

std::string CPurgixDriver::Report() const
{
    return Text(1006);
}

std::string CPurgixDriver::Status() const
{
    return Text(1005);
}

std::optional<MessageBoxInfo> CPurgixDriver::FindMessageBox() const
{
    HWND box = FindTopLevel(kDialogClass, kMessageBoxCaption);
    if (!box)
        return std::nullopt;
    return MessageBoxInfo{box, WindowText(::GetDlgItem(box, kMessageBoxTextId))};
}

std::optional<MessageBoxInfo> CPurgixDriver::WaitForMessageBox(DWORD timeoutMs) const
{
    std::optional<MessageBoxInfo> box;
    WaitUntil([&] { return (box = FindMessageBox()).has_value(); }, timeoutMs);
    return box;
}

void CPurgixDriver::Answer(const MessageBoxInfo& box, int buttonId) const
{
    ::PostMessageW(::GetDlgItem(box.window, buttonId), BM_CLICK, 0, 0);
    // Wait until the box has gone, so the next look finds the next box.
    WaitUntil([&] { return !::IsWindow(box.window) || !::IsWindowVisible(box.window); }, 20000);
}

bool CPurgixDriver::WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) const
{
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition())
            return true;
        if (::GetTickCount64() >= deadline)
            return false;
        ::Sleep(kPollMs);
    }
}

bool CPurgixDriver::WaitForIdleAfterRun(DWORD timeoutMs) const
{
    // The worker ends a moment after the last question box has gone; only a state that
    // holds for a while is idle, so a following Esc closes instead of asking to cancel.
    constexpr ULONGLONG kSettleMs = 300;
    ULONGLONG idleSince = 0;
    return WaitUntil(
        [&] {
            if (!Enabled(1000) || Text(IDCANCEL) != "C&lose" || FindMessageBox()) {
                idleSince = 0;
                return false;
            }
            if (idleSince == 0)
                idleSince = ::GetTickCount64();
            return ::GetTickCount64() - idleSince >= kSettleMs;
        },
        timeoutMs);
}

bool CPurgixDriver::WaitForExit(DWORD timeoutMs) const
{
    return m_process.hProcess && ::WaitForSingleObject(m_process.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

bool CPurgixDriver::Running() const
{
    return m_process.hProcess && ::WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT;
}

void CPurgixDriver::Detach()
{
    if (m_process.hProcess) {
        ::CloseHandle(m_process.hProcess);
        if (m_process.hThread)
            ::CloseHandle(m_process.hThread);
    }
    m_process = {};
    m_processId = 0;
    m_main = nullptr;
}

void CPurgixDriver::Kill()
{
    if (m_process.hProcess) {
        if (Running()) {
            ::TerminateProcess(m_process.hProcess, 1);
            ::WaitForSingleObject(m_process.hProcess, 5000);
        }
    }
    Detach();
}

CRemoteMemory::CRemoteMemory(DWORD processId, std::size_t size)
    : m_process(::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId))
{
    if (m_process)
        m_address = ::VirtualAllocEx(m_process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
}

CRemoteMemory::~CRemoteMemory()
{
    if (m_address)
        ::VirtualFreeEx(m_process, m_address, 0, MEM_RELEASE);
    if (m_process)
        ::CloseHandle(m_process);
}

bool CRemoteMemory::Write(const void* data, std::size_t size, std::size_t offset) const
{
    return m_address && ::WriteProcessMemory(m_process, static_cast<char*>(m_address) + offset, data, size, nullptr);
}

bool CRemoteMemory::Read(void* data, std::size_t size, std::size_t offset) const
{
    return m_address && ::ReadProcessMemory(m_process, static_cast<char*>(m_address) + offset, data, size, nullptr);
}
