#pragma once
// What a run needs from the window it reports to. The engine never sees a window:
// the main window implements this, and tests implement it with a recorder.
// Calls come from the worker thread.
#include "engine/core/RunOutcome.h"
#include "engine/core/WipeResult.h"

#include <cstdint>
#include <optional>
#include <string>

// What happened to one thing a run names in its report, or would happen in a preview.
enum class RunAction {
    Deleted,
    WouldDelete,
    Deferred, // in use: left for the next log-on (or, in a preview, it would be)
    NotDeleted,
    WouldRewrite, // in a preview: a file the run would rewrite, its line naming the change
    RegistryRemoved,
    RegistryFailed,
    RegistryMissing, // a list that is not there: reported as not removed, yet nothing failed
    Skipped,         // a folder the run does not enter
    RowsRemoved,     // rows removed inside a database (in a preview, rows that would be)
    FreeSpaceWiped,  // a drive's free space: wiped, stopped or failed, as its result says
};

// The rows a database clean removed, and those it kept on purpose (bookmarks, kept sites).
struct RowCounts {
    std::int64_t removed = 0;
    std::int64_t kept = 0;
};

// One report line about one thing, with what the line says in parts.
struct RunItem {
    RunAction action;
    std::string path;                    // as shown to the user; a list's name for the registry
    std::string line;                    // the report line, with its "\r\n"
    std::optional<std::uint64_t> bytes;  // set for a file the run's summary counts; a database's bytes freed
    std::optional<RowCounts> rows = {};  // set for RowsRemoved
    std::optional<WipeResult> wipe = {}; // set for FreeSpaceWiped; the path is the drive
};

class IRunSink {
public:
    virtual ~IRunSink() = default;

    // Appends text (lines carry their own "\r\n") at the end of the report. A paused
    // run stands still here until the user has answered.
    virtual void AppendReport(const std::string& text) = 0;
    // A line about one thing; a sink that shows only text appends its line.
    virtual void ReportItem(const RunItem& item) { AppendReport(item.line); }
    virtual void ClearReport() = 0;
    // Shows the report as it stands now (after the start line).
    virtual void RepaintReport() = 0;
    // repaintNow: repaint the status line at once instead of at the next paint.
    virtual void SetStatusText(const std::string& text, bool repaintNow) = 0;

    // Progress bar: step 1, range 0..maximum; a step; back to 0.
    virtual void SetProgressRange(int maximum) = 0;
    virtual void StepProgress() = 0;
    virtual void ResetProgress() = 0;

    // busy: run and preview buttons, Options and Help disabled, Cancel reads "&Stop"
    // and has the focus. Not busy: those enabled, Cancel reads "C&lose".
    virtual void SetBusy(bool busy) = 0;

    // A question owned by the window (caption "Purgix!"); true for Yes. No is the
    // default answer: a stray Enter must not act for the user.
    virtual bool AskYesNo(const std::string& text) = 0;
    // A message owned by the window (caption "Purgix!") that the user acknowledges.
    virtual void Tell(const std::string& text) = 0;
    // A question with the buttons Retry and Skip; true for Retry. A sink that cannot ask
    // (the console) skips.
    virtual bool AskRetryOrSkip(const std::string&) { return false; }

    // A point between files where a paused run waits.
    virtual void PassPauseGate() = 0;

    // The run's last act.
    virtual void OnRunFinished(const RunOutcome& outcome) = 0;
};
