#pragma once
// The console program's streams and its Ctrl+C. Text is UTF-8 throughout; a stream
// that is a console gets it as wide characters, anything else (a pipe, a file) gets
// the UTF-8 bytes as they are.
//
// Usage:
//   CConsoleStream out(ConsoleStreamId::Output);
//   out.Write("line\n");
//   OnConsoleInterrupt([] { g_stopFlag = 1; }); // Ctrl+C and Ctrl+Break
#include <functional>
#include <string_view>

enum class ConsoleStreamId { Output, Error };

class CConsoleStream {
public:
    explicit CConsoleStream(ConsoleStreamId id);

    // True when the stream is a console window (not redirected).
    bool IsConsole() const { return m_isConsole; }
    // Writes the text whole; false when the stream refuses it (a closed pipe, say).
    bool Write(std::string_view utf8) const;

private:
    void* m_handle;
    bool m_isConsole;
};

// Calls `interrupt` (on a thread of its own) at Ctrl+C or Ctrl+Break, instead of
// ending the process, so a run can stop at its next stop test and say so.
void OnConsoleInterrupt(std::function<void()> interrupt);
