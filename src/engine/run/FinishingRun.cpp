// The finishing run after a restart: its report lines and status around the restart
// list's retry of what the cleaning run left listed.
#include "engine/run/CleaningEngine.h"

namespace {
constexpr const char* kStatusFinishing = "Finishing Purgix!";
constexpr const char* kLineFinishing =
    "Purgix! attempting to delete those last few files which couldn't be deleted earlier\r\n";
constexpr const char* kStatusComplete = "Purgix! complete";
constexpr const char* kLineComplete = "Purgix! complete\r\n";
} // namespace

void FinishingThreadProc(IRunSink& window)
{
    CCleaningEngine engine(window);
    engine.RunFinishing();
}

void CCleaningEngine::RunFinishing()
{
    m_sink->SetBusy(true);
    m_sink->SetStatusText(kStatusFinishing, true);
    Report(kLineFinishing);
    m_restartList.RetryListed();
    m_restartList.CloseListed();
    m_sink->SetBusy(false);
    m_sink->ResetProgress();
    Report(kLineComplete);
    m_sink->SetStatusText(kStatusComplete, true);
    m_sink->OnRunFinished({RunEnd::Done, m_tally});
}
