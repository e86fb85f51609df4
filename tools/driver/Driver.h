#pragma once
// CPurgixDriver: uses a running purgix.exe the way a person does, from another
// process: finds its windows, clicks buttons by control id, presses Esc, reads the
// report and the status line, and finds and answers message boxes.
//
// Usage:
//   CPurgixDriver driver;
//   driver.Start(L"C:\\Program Files\\Windows Purgix\\purgix.exe", L"");
//   driver.Click(IDC_RUN);
//   auto box = driver.WaitForMessageBox();   // the restart question
//   driver.Answer(*box, IDNO);
//   driver.WaitUntil([&] { return driver.Text(IDCANCEL) == "C&lose"; });
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

struct MessageBoxInfo {
    HWND window = nullptr;
    std::string text;
};

class CPurgixDriver {
public:
    CPurgixDriver() = default;
    ~CPurgixDriver(); // ends the program if it is still running
    CPurgixDriver(const CPurgixDriver&) = delete;
    CPurgixDriver& operator=(const CPurgixDriver&) = delete;

    // Starts the program and waits for its main window. False if it never appears
    // (for instance because it showed a message box instead).
    bool Start(const std::wstring& exe, const std::wstring& arguments, DWORD timeoutMs = 30000);
    // Attaches to a program that is already running.
    bool Attach(DWORD timeoutMs = 30000);
    // Waits for the main window of this process (a test's own, say) and attaches to it.
    bool AttachToProcess(DWORD processId, DWORD timeoutMs = 30000);
    bool StartProcessOnly(const std::wstring& exe, const std::wstring& arguments);

    HWND MainWindow() const { return m_main; }
    DWORD ProcessId() const { return m_processId; }

    // Top-level window of the program with this title (the Options dialog, the About box).
    HWND WaitForWindow(const std::wstring& title, DWORD timeoutMs = 20000) const;
    // The same window if it is there now, without waiting.
    HWND FindDialog(const std::wstring& title) const;

    void Click(int controlId, HWND dialog = nullptr) const;
    void PressEscape(HWND dialog = nullptr) const;
    void PressEnter(HWND dialog = nullptr) const;
    void CloseBox(HWND dialog = nullptr) const;
    void SystemCommand(WPARAM command) const;

    std::string Text(int controlId, HWND dialog = nullptr) const;
    bool Enabled(int controlId, HWND dialog = nullptr) const;
    bool Visible(int controlId, HWND dialog = nullptr) const;
    LRESULT Send(int controlId, UINT message, WPARAM wParam = 0, LPARAM lParam = 0, HWND dialog = nullptr) const;
    std::string Report() const;
    std::string Status() const;

    // A message box ("#32770" captioned "Purgix!") of the program, with its text.
    std::optional<MessageBoxInfo> WaitForMessageBox(DWORD timeoutMs = 30000) const;
    std::optional<MessageBoxInfo> FindMessageBox() const;
    void Answer(const MessageBoxInfo& box, int buttonId) const;

    bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 60000) const;
    // Waits until the run has ended: the run button is enabled and Cancel reads "C&lose".
    bool WaitForIdleAfterRun(DWORD timeoutMs = 120000) const;
    bool WaitForExit(DWORD timeoutMs = 30000) const;
    bool Running() const;
    void Kill();
    // Lets the program run on after the driver has gone.
    void Detach();

private:
    HWND Dialog(HWND dialog) const { return dialog ? dialog : m_main; }
    HWND FindTopLevel(const std::wstring& className, const std::wstring& title) const;

    PROCESS_INFORMATION m_process{};
    DWORD m_processId = 0;
    HWND m_main = nullptr;
};

// The whole text of a window of another process.
std::string WindowText(HWND window);

// Memory in the program's process, for the messages that read or write through a
// pointer (list view items, the slider's thumb); freed with the object.
class CRemoteMemory {
public:
    CRemoteMemory(DWORD processId, std::size_t size);
    ~CRemoteMemory();
    CRemoteMemory(const CRemoteMemory&) = delete;
    CRemoteMemory& operator=(const CRemoteMemory&) = delete;

    // The address as the program sees it, at a byte offset.
    LPARAM At(std::size_t offset = 0) const { return reinterpret_cast<LPARAM>(static_cast<char*>(m_address) + offset); }
    bool Write(const void* data, std::size_t size, std::size_t offset = 0) const;
    bool Read(void* data, std::size_t size, std::size_t offset = 0) const;

private:
    HANDLE m_process = nullptr;
    void* m_address = nullptr;
};
