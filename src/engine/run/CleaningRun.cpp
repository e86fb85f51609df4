// The cleaning run: set-up, the groups in order, and the end of the run.
#include "engine/run/CleaningEngine.h"

#include "engine/browsers/DatabaseEntry.h"
#include "engine/browsers/InstalledProfiles.h"
#include "engine/run/RunText.h"
#include "resource.h"
#include "sys/NameCase.h"
#include "sys/TextFormat.h"

#include <algorithm>
#include <exception>

std::atomic<int> g_stopFlag{0};

namespace {
constexpr const char* kNetscapeUsersKey = "SOFTWARE\\Netscape\\Netscape Navigator\\Users";
constexpr const char* kCachePathsKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Cache\\Paths";
constexpr int kMostCachePaths = 0xFFFF - 10; // what a 16-bit progress range could count
constexpr unsigned kPlatformNt = 2;
constexpr unsigned kEwxLogoff = 0;
constexpr unsigned kEwxReboot = 2;

// The end of a run that a failure stopped. Even the note may fail for want of memory;
// the window is told the run has ended all the same.
void EndStoppedRun(IRunSink& window, const char* failure)
{
    try {
        window.SetBusy(false);
        window.ResetProgress();
        window.SetStatusText(kStatusStopped, false);
        window.AppendReport(kLineStopped + std::string(failure) + kLineEnd);
    } catch (...) {
        // Nothing more can be said; the run still has to end.
    }
    window.OnRunFinished({RunEnd::Failed, {}});
}
} // namespace

void RunGuarded(IRunSink& window, const std::function<void()>& run) noexcept
{
    try {
        run();
    } catch (const std::exception& failure) {
        EndStoppedRun(window, failure.what());
    } catch (...) {
        EndStoppedRun(window, kFailureUnexpected);
    }
}

CCleaningEngine::CCleaningEngine(IRunSink& sink, CPlatform& sys)
    : m_installedProfiles(std::make_unique<CInstalledProfiles>(sys)), m_profiles(m_installedProfiles.get()),
      m_sink(&sink), m_sys(sys)
{
}

CCleaningEngine::~CCleaningEngine() = default;

void CCleaningEngine::UseOptions(const RunOptions& options)
{
    m_options = options;
    m_tally = {};
    m_itemsKept = 0;
    m_previewGone.clear();
    m_fixedDrives.reset();
    m_browserProfiles.reset();
    m_databaseRunner.reset();
}

int CCleaningEngine::Run(const RunOptions& options)
{
    RunContext context;
    SetUpRun(options, context);
    if (!options.rulesOnly)
        VisitFileTargets(context);
    CleanRuleEntries(options);
    if (!ShouldStop() && !options.rulesOnly)
        CleanRegistryHistory(context.windowsDir, context.netscapeDir);
    if (!ShouldStop() && !options.rulesOnly)
        WipeFreeDiskSpace();
    if (!ShouldStop())
        ArmRestartRun();
    EndRun();
    return 0;
}

void CCleaningEngine::SetUpRun(const RunOptions& options, RunContext& context)
{
    context.windowsDir = m_sys.WindowsDirectory();
    context.netscapeDir = NetscapeProfile();
    UseOptions(options);

    ResetRestartList();

    context.cachePathCount = NumberedCacheCount();

    m_sink->SetProgressRange(context.cachePathCount + 10 + WipeProgressSteps());
    m_sink->ClearReport();
    const unsigned startLine = Previewing() ? IDS_PREVIEW_STARTED_ON : IDS_STARTED_ON;
    Report(FormatText(m_sys.LoadText(startLine).c_str(), m_sys.LocalTimeText().c_str()) + kLineEnd);
    m_sink->RepaintReport();
    m_sweptFolders.emplace();
    m_sink->SetBusy(true);
    m_sys.PlayStartSound();
}

std::string CCleaningEngine::NetscapeProfile()
{
    try {
        const std::optional<std::string> user = ReadLocationString(kHkeyLocalMachine, kNetscapeUsersKey, "CurrentUser");
        if (!user)
            return {};
        return ReadLocationString(kHkeyLocalMachine, std::string(kNetscapeUsersKey) + "\\" + *user, "DirRoot")
            .value_or("");
    } catch (const CResourceException&) {
        return {}; // a profile that cannot be read is passed over like a missing one
    }
}

int CCleaningEngine::NumberedCacheCount()
{
    try {
        // A count of 0 or less means no numbered caches; a corrupt huge one must not
        // keep the run busy for ever.
        return std::clamp(ReadLocationNumber(kHkeyLocalMachine, kCachePathsKey, "Paths").value_or(0), 0,
                          kMostCachePaths);
    } catch (const CResourceException&) {
        return 0; // a key that cannot be read lists no caches, as a missing one
    }
}

void CCleaningEngine::EndRun()
{
    m_sweptFolders.reset();
    m_sink->SetBusy(false);
    m_sink->ResetProgress();
    const bool stopped = StopRequested();
    if (stopped) {
        m_sink->SetStatusText(kStatusCancelled, false);
        Report(kLineCancelled);
        if (m_restartList.Listed() > 0 && !Previewing() && !m_restartList.Finishing())
            Report(kLineCancelledKeepsInUse);
    } else {
        m_sink->SetStatusText(Previewing() ? kStatusPreviewDone : kStatusInitialDone, false);
        const auto loadText = [this](unsigned id) { return m_sys.LoadText(id); };
        Report(FormatSummary(m_tally.bytes, m_tally.files, loadText, Previewing()) + kLineEnd);
        const unsigned endLine = Previewing() ? IDS_PREVIEW_FINISHED_ON : IDS_FINISHED_ON;
        Report(FormatText(m_sys.LoadText(endLine).c_str(), m_sys.LocalTimeText().c_str()) + kLineEnd);
        if (!Previewing())
            AskToEndSession();
    }
    m_sink->OnRunFinished({stopped ? RunEnd::Stopped : RunEnd::Done, m_tally});
}

void CCleaningEngine::AskToEndSession()
{
    const bool nt = m_sys.PlatformId() == kPlatformNt;
    const unsigned question = nt ? IDS_LOGOFF_QUESTION : IDS_RESTART_QUESTION;
    if (m_sink->AskYesNo(m_sys.LoadText(question)) && !m_sys.EndSession(nt ? kEwxLogoff : kEwxReboot))
        TellFailure(m_sys.LoadText(IDS_SHUTDOWN_FAILED));
}

void CCleaningEngine::TellFailure(const std::string& text)
{
    ++m_tally.failures;
    m_sink->Tell(text);
}

void CCleaningEngine::ShowTarget(const std::string& status)
{
    m_sink->SetStatusText(TargetStatus(status, Previewing()), true);
}

void CCleaningEngine::ReportItem(RunAction action, const std::string& path, std::string line,
                                 std::optional<std::uint64_t> bytes)
{
    if (action == RunAction::Deferred || action == RunAction::NotDeleted)
        ++m_itemsKept;
    if (action == RunAction::Deferred)
        ++m_tally.deferred;
    if (action == RunAction::NotDeleted || action == RunAction::RegistryFailed)
        ++m_tally.failures;
    m_sink->ReportItem({action, path, std::move(line), bytes});
}

void CCleaningEngine::CountFile(std::uint64_t size)
{
    ++m_tally.files;
    m_tally.bytes += size;
}

void CCleaningEngine::ReportRows(const std::string& path, std::string line, RowCounts rows, std::uint64_t bytesFreed)
{
    m_tally.bytes += bytesFreed;
    m_sink->ReportItem({RunAction::RowsRemoved, path, std::move(line), bytesFreed, rows});
}

bool CCleaningEngine::PreviewSaidGone(const std::string& literal) const
{
    return m_previewGone.count(Lowered(literal)) != 0;
}

bool CCleaningEngine::NotePreviewGone(const std::string& literal)
{
    return m_previewGone.insert(Lowered(literal)).second;
}
