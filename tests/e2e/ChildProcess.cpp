#include "e2e/ChildProcess.h"

namespace {

// A small pipe, so a child that writes much soon waits for its reader.
constexpr DWORD kPipeBytes = 4096;

std::string ReadToEnd(HANDLE pipe)
{
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(pipe, buffer, sizeof(buffer), &got, nullptr) && got > 0)
        text.append(buffer, got);
    return text;
}

} // namespace

CChildProcess::CChildProcess(const std::wstring& exe, const std::wstring& arguments)
{
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE outWrite = nullptr, errWrite = nullptr;
    if (!::CreatePipe(&m_outRead, &outWrite, &inherit, kPipeBytes) ||
        !::CreatePipe(&m_errRead, &errWrite, &inherit, kPipeBytes))
        return;
    ::SetHandleInformation(m_outRead, HANDLE_FLAG_INHERIT, 0);
    ::SetHandleInformation(m_errRead, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = outWrite;
    startup.hStdError = errWrite;
    std::wstring command = L"\"" + exe + L"\" " + arguments;
    PROCESS_INFORMATION info{};
    if (::CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, TRUE, CREATE_NEW_PROCESS_GROUP, nullptr,
                         nullptr, &startup, &info)) {
        m_process = info.hProcess;
        m_processId = info.dwProcessId;
        ::CloseHandle(info.hThread);
        m_errReader = std::thread([this] { m_err = ReadToEnd(m_errRead); });
    }
    // Only the child holds the writing ends now: its exit ends the reads.
    ::CloseHandle(outWrite);
    ::CloseHandle(errWrite);
}

CChildProcess::~CChildProcess()
{
    if (m_process) {
        ::TerminateProcess(m_process, 1); // only a test that failed leaves it running
        ::CloseHandle(m_process);
    }
    if (m_errReader.joinable())
        m_errReader.join();
    for (HANDLE pipe : {m_outRead, m_errRead}) {
        if (pipe)
            ::CloseHandle(pipe);
    }
}

bool CChildProcess::WaitForOutput(DWORD timeoutMs)
{
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    DWORD available = 0;
    while (::PeekNamedPipe(m_outRead, nullptr, 0, nullptr, &available, nullptr) && available == 0) {
        if (::GetTickCount64() > deadline)
            return false;
        ::Sleep(10);
    }
    return available > 0;
}

bool CChildProcess::SendBreak()
{
    if (::GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, m_processId))
        return true;
    // Without a console to send it through (a test under Wine has none), deliver it as
    // the console does: a thread in the child at the routine that calls its handlers.
    auto routine = reinterpret_cast<LPTHREAD_START_ROUTINE>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernelbase.dll"), "CtrlRoutine")));
    if (!routine)
        return false;
    HANDLE thread = ::CreateRemoteThread(m_process, nullptr, 0, routine,
                                         reinterpret_cast<void*>(static_cast<ULONG_PTR>(CTRL_BREAK_EVENT)), 0, nullptr);
    if (!thread)
        return false;
    ::CloseHandle(thread);
    return true;
}

ChildResult CChildProcess::Finish(DWORD timeoutMs)
{
    ChildResult result;
    if (!m_process)
        return result;
    result.out = ReadToEnd(m_outRead);
    if (::WaitForSingleObject(m_process, timeoutMs) == WAIT_OBJECT_0)
        ::GetExitCodeProcess(m_process, &result.exitCode);
    if (m_errReader.joinable())
        m_errReader.join();
    result.err = m_err;
    return result;
}

ChildResult RunChild(const std::wstring& exe, const std::wstring& arguments)
{
    CChildProcess child(exe, arguments);
    return child.Finish();
}
