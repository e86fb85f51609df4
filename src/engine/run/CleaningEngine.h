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
#include "engine/core/RemovalHost.h"
#include "engine/core/RunOptions.h"
#include "engine/core/RunSink.h"
#include "engine/core/StopFlag.h"
#include "engine/removal/FileRemoval.h"
#include "engine/removal/RestartList.h"
#include "engine/removal/SweepOptions.h"
#include "sys/Exceptions.h"
#include "sys/Platform.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_set>
#include <vector>

class CDatabaseRunner;
class IProfileSource;
struct BrowserProfile;

// The finishing run's worker thread procedure: builds an engine on the thread's stack and runs it.
void FinishingThreadProc(IRunSink& window);
// Runs a thread procedure's work so that nothing escapes it: a failure the run cannot
// handle (out of memory, say) ends the run with a report line and a status text that
// say so, and gives the window its buttons back.
void RunGuarded(IRunSink& window, const std::function<void()>& run) noexcept;

class CCleaningEngine : public IRemovalHost {
public:
    explicit CCleaningEngine(IRunSink& sink, CPlatform& sys = Platform());
    ~CCleaningEngine() override;

    // The cleaning run with the caller's options; returns 0.
    int Run(const RunOptions& options);
    // The finishing run after a restart.
    void RunFinishing();

    // Registry access. Lookups walk the key's values and compare names exactly; they give
    // nothing when the key or a value of an accepted type is not there, and raise
    // CResourceException, with the system's error code, when the key cannot be read.
    std::optional<std::string> ReadRegistryString(RegRoot root, const std::string& path,
                                                  const std::string& name) override;
    std::optional<std::int32_t> ReadRegistryNumber(RegRoot root, const std::string& path, const std::string& name);
    // The same for a place the catalogue names: under HKLM the 32-bit programs' view comes
    // first, since the browsers it knows are 32-bit programs that record their places there
    // on 64-bit Windows, then the native view.
    std::optional<std::string> ReadLocationString(RegRoot root, const std::string& path, const std::string& name);
    std::optional<std::int32_t> ReadLocationNumber(RegRoot root, const std::string& path, const std::string& name);
    void DeleteRegistryValue(RegRoot root, const std::string& path, const std::string& name);
    // Raises when the key cannot be opened or a value cannot be deleted.
    void DeleteAllRegistryValues(RegRoot root, const std::string& path) override;
    // Creates the key path; a failure shows "Unable to write to the registry." and raises nothing.
    void WriteRegistryString(RegRoot root, const std::string& path, const std::string& name,
                             const std::string& text) override;

    // File removal (see CFileRemoval).
    void SweepFolder(const std::string& folder, const std::string& pattern, bool recurse)
    {
        CFileRemoval(*this).SweepFolder(folder, pattern, recurse);
    }
    void Sweep(const std::string& folder, const SweepOptions& sweep) { CFileRemoval(*this).Sweep(folder, sweep); }
    void RemoveFile(const std::string& path) { CFileRemoval(*this).RemoveFile(path); }

    // Restart list (see CRestartList).
    void ResetRestartList() { m_restartList.Reset(); }
    bool AppendToRestartList(const std::string& path) override { return m_restartList.Append(path); }
    void ArmRestartRun() { m_restartList.Arm(); }
    const std::string& FinishingProgram() { return m_restartList.FinishingProgram(); }

    // Targets.
    void SweepExtensibleCaches();
    void CleanRegistryHistory(const std::string& windowsDir, const std::string& netscapeDir);
    // The chosen rule entries found on this machine; one progress step when any is chosen.
    void CleanRuleEntries(const RunOptions& options);
    // A built-in database entry: "<product>|<kind>" in every profile of the product. A
    // cookie entry keeps the run's sites to keep, and is skipped when they could not be read.
    void CleanBrowserDatabases(const std::string& entry, const std::string& target);
    // Where database entries find the browsers' profiles: the installed browsers' unless
    // the caller gives others.
    void UseProfiles(IProfileSource& profiles) { m_profiles = &profiles; }
    void RewriteNetscapePrefs(const std::string& directory);
    void PreviewPrefsRewrite(const std::string& prefsFile);
    // The last group: overwrites the free space of each fixed drive when the switch asks
    // for it; a preview lists the drives with their free space.
    void WipeFreeDiskSpace();
    // "c:" to "z:" for the fixed drives, in letter order; looked for once a run, so that the
    // groups and the progress bar's range see the same drives.
    const std::vector<std::string>& FixedDriveRoots();

    // The options of the work that follows, with a fresh tally and preview memory. A run
    // takes the caller's; a caller that works one target alone sets them first.
    void UseOptions(const RunOptions& options);
    const OptionSwitches& Switches() const override { return m_options.switches; }
    bool Previewing() const override { return m_options.preview; }
    // What the work so far has counted.
    const RunTally& Tally() const { return m_tally; }

    // The stop test of the run: a paused run stands still here until the user has
    // answered, then reads the flag.
    bool ShouldStop() override
    {
        m_sink->PassPauseGate();
        return StopRequested();
    }

    // Shows the target now being worked on in the status line, at once.
    void ShowTarget(const std::string& status);

    // What the engine works through; for the helpers of each target.
    CPlatform& Sys() override { return m_sys; }
    IRunSink& Sink() override { return *m_sink; }

    // The tally and the memories of the run (see IRemovalHost).
    void ReportItem(RunAction action, const std::string& path, std::string line,
                    std::optional<std::uint64_t> bytes = std::nullopt) override;
    void CountFile(std::uint64_t size) override;
    void ReportRows(const std::string& path, std::string line, RowCounts rows, std::uint64_t bytesFreed) override;
    void NoteKept() override { ++m_itemsKept; }
    std::int64_t ItemsKept() const override { return m_itemsKept; }
    bool PreviewSaidGone(const std::string& literal) const override;
    bool NotePreviewGone(const std::string& literal) override;
    std::set<SweptFolder>* SweptFolders() override { return m_sweptFolders ? &*m_sweptFolders : nullptr; }

private:
    struct RunContext {
        std::string windowsDir;
        std::string netscapeDir;
        int cachePathCount = 0;
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
    // The free-space wipe's share of the progress bar.
    int WipeProgressSteps();
    void EndRun();
    void AskToEndSession();
    // Tells the user of a failure, which the run's outcome counts.
    void TellFailure(const std::string& text);
    void Report(const std::string& line) { m_sink->AppendReport(line); }

    // The folders swept so far in this run; only while a run lasts.
    std::optional<std::set<SweptFolder>> m_sweptFolders;
    std::optional<std::vector<std::string>> m_fixedDrives;
    RunOptions m_options;
    RunTally m_tally;
    std::int64_t m_itemsKept = 0;                  // things left where they were (in use, failed, never removed)
    std::unordered_set<std::string> m_previewGone; // lower case
    std::unique_ptr<IProfileSource> m_installedProfiles;
    IProfileSource* m_profiles = nullptr;
    // The profiles, read when a database entry first needs them, and the runner that
    // remembers which browsers the user left: for one run.
    std::unique_ptr<std::vector<BrowserProfile>> m_browserProfiles;
    std::unique_ptr<CDatabaseRunner> m_databaseRunner;
    IRunSink* m_sink; // the window or the console the run reports to
    CPlatform& m_sys;
    CRestartList m_restartList{*this};
};
