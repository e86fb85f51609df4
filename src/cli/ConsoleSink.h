#pragma once
// The console program's stand-in for the window: report lines (or JSON objects) on
// standard output, a progress count on standard error when that is a console, and the
// run's outcome as an exit code. Questions get the answer a script would give: no
// restart; a message is written to standard output as an "INFO: " line (an info
// object with --json), and the run counts it as a failure. A list that is not there is
// no failure.
#include "cli/JsonLines.h"
#include "engine/core/RunSink.h"
#include "sys/Console.h"

#include <chrono>
#include <optional>
#include <string>

class CConsoleSink : public IRunSink {
public:
    // preview: the run changes nothing, and its JSON says so.
    CConsoleSink(bool json, bool preview, const CConsoleStream& out, const CConsoleStream& err);

    void AppendReport(const std::string& text) override;
    void ReportItem(const RunItem& item) override;
    void ClearReport() override {}
    void RepaintReport() override {}
    void SetStatusText(const std::string& text, bool repaintNow) override;
    void SetProgressRange(int) override {}
    void StepProgress() override {}
    void ResetProgress() override {}
    void SetBusy(bool) override {}
    bool AskYesNo(const std::string&) override { return false; } // a script never restarts Windows
    void Tell(const std::string& text) override;
    void PassPauseGate() override {}
    void OnRunFinished(const RunOutcome& outcome) override;

    // After the run: the summary object (--json), and the exit code.
    void Finish(double seconds);
    int ExitCode() const;

private:
    void WriteLine(const std::string& line);
    void DrawProgress(); // at most every kRedrawInterval
    void ClearProgress();

    const bool m_json;
    const bool m_preview;
    const CConsoleStream& m_out;
    const CConsoleStream& m_err;
    RunTally m_tally; // counted over the items, for the summary
    std::optional<RunOutcome> m_outcome;
    std::string m_place;
    std::chrono::steady_clock::time_point m_lastDraw;
    bool m_progressShown = false;
};
