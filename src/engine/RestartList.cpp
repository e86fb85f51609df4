#include "engine/CleaningEngine.h"

void FinishingThreadProc(IRunSink& window)
{
    CCleaningEngine engine(window);
    engine.RunFinishing();
}

void CCleaningEngine::ResetRestartList() { m_nDeferredFiles = 0; }
void CCleaningEngine::AppendToRestartList(const std::string&) {}
void CCleaningEngine::ArmRestartRun() {}
void CCleaningEngine::RunFinishing() { m_pMainDlg->OnRunFinished(); }
