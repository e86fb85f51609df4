// The cleaning run: set-up, the groups in order, and the end of the run.
#include "engine/run/CleaningEngine.h"

#include "engine/run/RunText.h"
#include "engine/removal/SweepGuards.h"
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
constexpr unsigned kMbYesNoQuestion = 0x24;
// No is the default: a stray Enter must not end the session over unsaved work elsewhere.
constexpr unsigned kMbDefaultSecondButton = 0x100;
constexpr int kIdYes = 6;

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
    window.OnRunFinished();
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

CCleaningEngine::CCleaningEngine(IRunSink& sink, CPlatform& sys) : m_pMainDlg(&sink), m_sys(sys) {}

int CCleaningEngine::Run(const RunOptions& options)
{
    RunContext context;
    SetUpRun(options, context);
    if (!options.rulesOnly)
        VisitFileTargets(context);
    CleanRuleEntries(options);
    if (!ShouldStop() && !options.rulesOnly)
        CleanRegistryHistory(context.windowsDir, context.netscapeDir);
    if (!ShouldStop())
        ArmRestartRun();
    EndRun();
    return 0;
}

void CCleaningEngine::SetUpRun(const RunOptions& options, RunContext& context)
{
    context.windowsDir = m_sys.WindowsDirectory();
    try {
        std::string user = ReadLocationString(kHkeyLocalMachine, kNetscapeUsersKey, "CurrentUser");
        context.netscapeDir = ReadLocationString(kHkeyLocalMachine, std::string(kNetscapeUsersKey) + "\\" + user,
                                                 "DirRoot");
    } catch (const CException&) {
        context.netscapeDir.clear();
    }

    m_bPreview = options.preview;
    m_bDeleteNewsgroupSubscriptions = options.switches.newsgroups;
    m_bDeleteCookies = options.switches.cookies;
    m_bDeleteFavorites = options.switches.favorites;
    m_bWipeClean = options.switches.wipeClean;
    m_bResetGameScores = options.switches.resetScores;

    ResetRestartList();

    try {
        // A count of 0 or less means no numbered caches; a corrupt huge one must not
        // keep the run busy for ever.
        context.cachePathCount = std::clamp(ReadLocationNumber(kHkeyLocalMachine, kCachePathsKey, "Paths"), 0,
                                            kMostCachePaths);
    } catch (const CException&) {
        context.cachePathCount = 0;
    }

    m_pMainDlg->SetProgressRange(context.cachePathCount + 10);
    m_pMainDlg->ClearReport();
    const unsigned startLine = m_bPreview ? IDS_PREVIEW_STARTED_ON : IDS_STARTED_ON;
    Report(FormatText(m_sys.LoadText(startLine).c_str(), m_sys.LocalTimeText().c_str()) + kLineEnd);
    m_pMainDlg->RepaintReport();
    m_nFilesDeleted = 0;
    m_dwBytesRecovered = 0;
    m_nItemsKept = 0;
    m_previewGone.clear();
    m_sweptFolders.emplace();
    m_pMainDlg->SetBusy(true);
    m_sys.PlayStartSound();
}

void CCleaningEngine::EndRun()
{
    m_sweptFolders.reset();
    m_pMainDlg->SetBusy(false);
    m_pMainDlg->ResetProgress();
    if (StopRequested()) {
        m_pMainDlg->SetStatusText(kStatusCancelled, false);
        Report(kLineCancelled);
        if (m_nDeferredFiles > 0 && !m_bPreview && !m_bFinishingRun)
            Report(kLineCancelledKeepsInUse);
    } else {
        m_pMainDlg->SetStatusText(m_bPreview ? kStatusPreviewDone : kStatusInitialDone, false);
        const auto loadText = [this](unsigned id) { return m_sys.LoadText(id); };
        Report(FormatSummary(m_dwBytesRecovered, m_nFilesDeleted, loadText, m_bPreview) + kLineEnd);
        const unsigned endLine = m_bPreview ? IDS_PREVIEW_FINISHED_ON : IDS_FINISHED_ON;
        Report(FormatText(m_sys.LoadText(endLine).c_str(), m_sys.LocalTimeText().c_str()) + kLineEnd);
        if (!m_bPreview)
            AskToEndSession();
    }
    m_pMainDlg->OnRunFinished();
}

void CCleaningEngine::AskToEndSession()
{
    const bool nt = m_sys.PlatformId() == kPlatformNt;
    const unsigned question = nt ? IDS_LOGOFF_QUESTION : IDS_RESTART_QUESTION;
    if (m_pMainDlg->Ask(m_sys.LoadText(question), kMbYesNoQuestion | kMbDefaultSecondButton) == kIdYes &&
        !m_sys.EndSession(nt ? kEwxLogoff : kEwxReboot))
        m_pMainDlg->Ask(m_sys.LoadText(IDS_SHUTDOWN_FAILED), 0);
}

bool CCleaningEngine::FirstSweepOf(const std::string& literalFolder, const SweepOptions& sweep)
{
    if (!m_sweptFolders)
        return true;
    const std::optional<FileInfo> folder = Identity(m_sys, literalFolder);
    if (!folder)
        return true; // it cannot be told apart from the others: swept as named
    std::string patterns;
    for (const std::string& pattern : sweep.patterns)
        patterns += Lowered(pattern) + '|';
    return m_sweptFolders->emplace(folder->volume, folder->index, patterns, sweep.recurse).second;
}

void CCleaningEngine::ShowTarget(const std::string& status)
{
    m_pMainDlg->SetStatusText(TargetStatus(status, m_bPreview), true);
}

void CCleaningEngine::ReportItem(RunAction action, const std::string& path, std::string line,
                                 std::optional<std::uint64_t> bytes)
{
    if (action == RunAction::Deferred || action == RunAction::NotDeleted)
        ++m_nItemsKept;
    m_pMainDlg->ReportItem({action, path, std::move(line), bytes});
}
