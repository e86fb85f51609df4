#pragma once
// CMainDlg: the program's one window. It starts a cleaning run on a worker thread
// when the user presses "&Purgix!" (or a preview of it, "Pre&view"), starts the
// finishing run by itself when asked to,
// pauses the run while it asks whether to cancel, and shows the run's report.
//
// The worker talks to the window through IRunSink. Report lines go into a model
// under a lock and reach the edit control in batches from a timer, and once more
// before any question box, so a run over many files is not slowed by the control.
#include "engine/core/RunSink.h"
#include "ui/Dialog.h"
#include "ui/PauseGate.h"
#include "ui/ReportModel.h"
#include "ui/UiCallSlot.h"
#include "sys/Win32Handles.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>

class CMainDlg : public CDialog, public IRunSink {
public:
    explicit CMainDlg(bool finishing);
    ~CMainDlg() override;

    // IRunSink, called on the worker thread.
    void AppendReport(const std::string& text) override;
    void ClearReport() override;
    void RepaintReport() override;
    void SetStatusText(const std::string& text, bool repaintNow) override;
    void SetProgressRange(int maximum) override;
    void StepProgress() override;
    void ResetProgress() override;
    void SetBusy(bool busy) override;
    bool AskYesNo(const std::string& text) override;
    void Tell(const std::string& text) override;
    bool AskRetryOrSkip(const std::string& text) override;
    void PassPauseGate() override;
    void OnRunFinished(const RunOutcome& outcome) override;

protected:
    void BindControls() override;
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    using WorkerProc = void (*)(IRunSink&);

    void StartWorker(WorkerProc proc);
    void JoinWorker();
    void OnRunButton(WorkerProc proc); // the run, or its preview
    void OnCancelCommand();
    void OnOptions();
    void OnSize(UINT type, int cx, int cy);
    bool PaintIcon();
    void ShowIdleStatus();
    void ShowReport(); // main thread: brings the control up to the model
    void OnReportTimer();
    void OnUiThread(const std::function<void()>& action);

    CStatic m_statusLine;
    CButton m_optionsButton;
    CButton m_runButton;
    CButton m_previewButton;
    CButton m_helpButton;
    CButton m_cancelButton;
    CProgressCtrl m_progress;
    CEdit m_report;
    CIcon m_icon;
    CIcon m_smallIcon;
    bool m_bFinishing;

    CHandle m_pWorkerThread; // the worker; kept until it has ended
    std::optional<CWindowTimer> m_reportTimer;
    std::atomic<bool> m_runActive{false}; // from the start of a run to OnRunFinished
    CPauseGate m_pauseGate;
    CUiCallSlot m_uiCalls;

    std::mutex m_reportLock;
    CReportModel m_reportModel;
    std::uint64_t m_shownGeneration = ~0ull;
    std::size_t m_shownLength = 0;
    unsigned long long m_nextShowAt = 0; // tick count before which the timer leaves the report alone
};
