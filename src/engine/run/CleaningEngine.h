#pragma once
// CCleaningEngine: one cleaning run, or one finishing run, on the worker thread.
//
// Usage:
//   CCleaningEngine engine(sink);          // sink: the window, the console, or a test recorder
//   engine.Run(options);                   // the cleaning run (a button press)
//   engine.RunFinishing();                 // the run started at log-on
// A preview is a run with options.preview set: the same walk, reported in the
// conditional, with nothing changed.
// The stop flag g_stopFlag is set by the window when the user confirms a cancel.
#include "engine/core/RunOptions.h"
#include "engine/core/RunSink.h"
#include "engine/removal/SweepOptions.h"
#include "sys/Exceptions.h"
#include "sys/Platform.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <unordered_set>
#include <vector>

// 1 once the user has confirmed a cancel; cleared before each cleaning run.
extern std::atomic<int> g_stopFlag;

inline bool StopRequested()
{
    return g_stopFlag.load(std::memory_order_relaxed) != 0;
}

// The finishing run's worker thread procedure: builds an engine on the thread's stack and runs it.
void FinishingThreadProc(IRunSink& window);
// Runs a thread procedure's work so that nothing escapes it: a failure the run cannot
// handle (out of memory, say) ends the run with a report line and a status text that
// say so, and gives the window its buttons back.
void RunGuarded(IRunSink& window, const std::function<void()>& run) noexcept;

class CCleaningEngine {
public:
    explicit CCleaningEngine(IRunSink& sink, CPlatform& sys = Platform());

    // The cleaning run with the caller's options; returns 0.
    int Run(const RunOptions& options);
    // The finishing run after a restart.
    void RunFinishing();

    // Registry access. Lookups walk the key's values and compare names exactly; they give
    // nothing when the key or a value of an accepted type is not there, and raise
    // CResourceException, with the system's error code, when the key cannot be read.
    std::optional<std::string> ReadRegistryString(RegRoot root, const std::string& path, const std::string& name);
    std::optional<std::int32_t> ReadRegistryNumber(RegRoot root, const std::string& path, const std::string& name);
    // The same for a place the catalogue names: under HKLM the 32-bit programs' view comes
    // first, since the browsers it knows are 32-bit programs that record their places there
    // on 64-bit Windows, then the native view.
    std::optional<std::string> ReadLocationString(RegRoot root, const std::string& path, const std::string& name);
    std::optional<std::int32_t> ReadLocationNumber(RegRoot root, const std::string& path, const std::string& name);
    void DeleteRegistryValue(RegRoot root, const std::string& path, const std::string& name);
    // Raises when the key cannot be opened or a value cannot be deleted.
    void DeleteAllRegistryValues(RegRoot root, const std::string& path);
    // Creates the key path; a failure shows "Unable to write to the registry." and raises nothing.
    void WriteRegistryString(RegRoot root, const std::string& path, const std::string& name, const std::string& text);

    // File removal.
    void SweepFolder(const std::string& folder, const std::string& pattern, bool recurse);
    void Sweep(const std::string& folder, const SweepOptions& sweep);
    void RemoveFile(const std::string& path);

    // Restart list.
    void ResetRestartList();
    // Lists the path for the next log-on and returns true; returns false, listing nothing,
    // when a finishing run finds an entry still there after its last log-on attempt.
    bool AppendToRestartList(const std::string& path);
    void ArmRestartRun();
    // The program RunOnce starts at the next log-on: the installed one (App Paths), or this
    // copy's own; "" when there is none.
    const std::string& FinishingProgram();

    // Targets.
    void SweepExtensibleCaches();
    void CleanRegistryHistory(const std::string& windowsDir, const std::string& netscapeDir);
    // The chosen rule entries found on this machine; one progress step when any is chosen.
    void CleanRuleEntries(const RunOptions& options);
    void RewriteNetscapePrefs(const std::string& directory);
    void PreviewPrefsRewrite(const std::string& prefsFile);

    // The options of the work that follows, with a fresh tally and preview memory. A run
    // takes the caller's; a caller that works one target alone sets them first.
    void UseOptions(const RunOptions& options);
    const OptionSwitches& Switches() const { return m_options.switches; }
    bool Previewing() const { return m_options.preview; }
    // What the work so far has counted.
    const RunTally& Tally() const { return m_tally; }

    // The stop test of the run: a paused run stands still here until the user has
    // answered, then reads the flag.
    bool ShouldStop()
    {
        m_sink->PassPauseGate();
        return StopRequested();
    }

    // Shows the target now being worked on in the status line, at once.
    void ShowTarget(const std::string& status);

    // What the engine works through; for the helpers of each target.
    CPlatform& Sys() { return m_sys; }
    IRunSink& Sink() { return *m_sink; }

    // Reports a line about one thing (see RunItem), and counts what stays.
    void ReportItem(RunAction action, const std::string& path, std::string line,
                    std::optional<std::uint64_t> bytes = std::nullopt);
    // A file the summary counts: it goes now, or at the next log-on.
    void CountFile(std::uint64_t size);
    // Something the run leaves where it is without a line (a file it never removes). A
    // preview says a folder would stay when the count of things left grew while it went
    // through it.
    void NoteKept() { ++m_itemsKept; }
    std::int64_t ItemsKept() const { return m_itemsKept; }
    // What a preview has said would go (literal paths): a run would not find them again
    // when a later target covers the same place, so neither does the preview.
    bool PreviewSaidGone(const std::string& literal) const;
    // Notes one; false when it was noted already.
    bool NotePreviewGone(const std::string& literal);

private:
    struct RunContext {
        std::string windowsDir;
        std::string netscapeDir;
        int cachePathCount = 0;
    };

    // The finishing run keeps files still in use on a fresh list instead of
    // disturbing its own countdown, and arms the next log-on for them. Each carries
    // the number of log-ons it has resisted, so nothing brings the program back for ever.
    struct DeferredPath {
        std::string path;
        unsigned attempts;
    };

    void SetUpRun(const RunOptions& options, RunContext& context);
    // The Netscape 4.x profile folder the registry names; "" when there is none.
    std::string NetscapeProfile();
    // How many numbered caches the registry lists, within what a progress bar can count.
    int NumberedCacheCount();
    void VisitFileTargets(const RunContext& context); // groups 1 to 9
    void VisitCaches(const RunContext& context);
    void VisitNumberedCaches(const RunContext& context);
    void VisitHistory(const RunContext& context);
    void VisitCookies(const RunContext& context);
    void VisitFavorites(const RunContext& context);
    void VisitNewsgroups();
    void VisitRecentDocuments();
    void VisitTemporaryFiles(const RunContext& context); // its status text stays through the recycle folders
    void VisitRecycleFolders();
    // A file or folder of the Netscape 4.x profile.
    void VisitNetscapeTarget(const RunContext& context, const char* status, const char* suffix, bool isFolder);
    // "c:\" to "z:\" for the fixed drives, in letter order.
    std::vector<std::string> FixedDriveRoots();
    void EndRun();
    void AskToEndSession();
    // Tells the user of a failure, which the run's outcome counts.
    void TellFailure(const std::string& text);
    void Report(const std::string& line) { m_sink->AppendReport(line); }
    void RemoveListedFolder(const std::string& folder);
    // False when this run has already swept the folder (literal, with its backslash) with
    // the same patterns and depth; notes it otherwise. Outside a run every sweep is a first.
    bool FirstSweepOf(const std::string& literalFolder, const SweepOptions& sweep);

    std::optional<std::string> m_finishingProgram; // once looked up
    // The folders swept so far in this run (volume, file index, patterns, depth); only while a run lasts.
    std::optional<std::set<std::tuple<std::uint32_t, std::uint64_t, std::string, bool>>> m_sweptFolders;
    RunOptions m_options;
    RunTally m_tally;
    std::int64_t m_itemsKept = 0;                  // things left where they were (in use, failed, never removed)
    std::unordered_set<std::string> m_previewGone; // lower case
    int m_listedEntries = 0;                       // on the restart list so far
    bool m_finishingRun = false;
    unsigned m_retriedAttempts = 0; // the log-ons the entry now being retried had resisted
    std::vector<DeferredPath> m_stillInUse;
    IRunSink* m_sink; // the window or the console the run reports to
    CPlatform& m_sys;
};
