#pragma once
// Runs a console program as a child with its standard output and error on pipes, the
// way a script would, and gives back what it wrote and its exit code.
//
// Usage:
//   CChildProcess child(exe, L"preview --json");
//   child.WaitForOutput();                 // optional: something has been written
//   child.SendBreak();                     // optional: Ctrl+Break to the child
//   ChildResult result = child.Finish();   // reads both pipes to the end
#include <windows.h>

#include <string>
#include <thread>

struct ChildResult {
    DWORD exitCode = 0xFFFFFFFF;
    std::string out;
    std::string err;
};

class CChildProcess {
public:
    // The child gets a process group of its own, so a Ctrl+Break reaches it alone.
    CChildProcess(const std::wstring& exe, const std::wstring& arguments);
    ~CChildProcess();
    CChildProcess(const CChildProcess&) = delete;
    CChildProcess& operator=(const CChildProcess&) = delete;

    bool Started() const { return m_process != nullptr; }
    // Waits (up to the timeout) until the child has written to its output, without reading it.
    bool WaitForOutput(DWORD timeoutMs);
    bool SendBreak();
    ChildResult Finish(DWORD timeoutMs = 120000);

private:
    HANDLE m_process = nullptr;
    DWORD m_processId = 0;
    HANDLE m_outRead = nullptr;
    HANDLE m_errRead = nullptr;
    std::string m_err;
    std::thread m_errReader; // drains the error pipe so the child never blocks on it
};

// Runs the child to its end.
ChildResult RunChild(const std::wstring& exe, const std::wstring& arguments);
