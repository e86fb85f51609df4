#include "ui/MainDlg.h"

#include "engine/run/CleaningEngine.h"
#include "settings/LevelLogic.h"
#include "settings/StoredRunOptions.h"
#include "resource.h"
#include "sys/Utf8.h"
#include "ui/AboutDlg.h"
#include "ui/InUseDlg.h"
#include "ui/MainDlgMessages.h"
#include "ui/OptionsDlg.h"

#include <commctrl.h>

#include <process.h>

namespace {

constexpr UINT_PTR kReportTimerId = 1;
constexpr UINT kReportTimerMs = 100;

struct WorkerStart {
    void (*proc)(IRunSink&);
    CMainDlg* window;
};

// The worker threads of the two buttons: each reads the stored choice and runs it.
void CleaningThreadProc(IRunSink& window)
{
    CCleaningEngine engine(window);
    engine.Run(ReadRunOptions(CSettingsStore()));
}

void PreviewThreadProc(IRunSink& window)
{
    CCleaningEngine engine(window);
    RunOptions options = ReadRunOptions(CSettingsStore::ReadOnly());
    options.preview = true;
    engine.Run(options);
}

unsigned __stdcall WorkerThread(void* parameter)
{
    const WorkerStart start = *static_cast<WorkerStart*>(parameter);
    delete static_cast<WorkerStart*>(parameter);
    RunGuarded(*start.window, [&start] { start.proc(*start.window); });
    return 0;
}

} // namespace

CMainDlg::CMainDlg(bool finishing)
    : CDialog(IDD_PURGIX_DIALOG),
      m_icon(static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                             0, 0, LR_DEFAULTSIZE))),
      m_smallIcon(
          static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_SMALL), IMAGE_ICON,
                                          ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), 0))),
      m_bFinishing(finishing)
{
}

CMainDlg::~CMainDlg()
{
    JoinWorker();
}

void CMainDlg::BindControls()
{
    Bind(IDC_STATUS, m_statusLine);
    Bind(IDC_OPTIONS, m_optionsButton);
    Bind(IDC_RUN, m_runButton);
    Bind(IDC_PREVIEW, m_previewButton);
    Bind(IDC_HELP_BUTTON, m_helpButton);
    Bind(IDCANCEL, m_cancelButton);
    Bind(IDC_PROGRESS, m_progress);
    Bind(IDC_REPORT, m_report);
}

BOOL CMainDlg::OnInitDialog()
{
    if (HMENU systemMenu = ::GetSystemMenu(m_hWnd, FALSE)) {
        const std::string about = LoadResourceString(IDS_ABOUTBOX);
        if (!about.empty()) {
            ::AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, Widen(about).c_str());
        }
    }
    // The report trims itself; the control must never cut what the report holds.
    m_report.Send(EM_SETLIMITTEXT, 0);
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon.Get()));
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon.Get()));
    if (m_bFinishing)
        StartWorker(FinishingThreadProc);
    ShowIdleStatus();
    return TRUE;
}

void CMainDlg::ShowIdleStatus()
{
    // The level the run will use, whatever name was stored beside its switches.
    const std::string level = LevelName(LoadOptions(CSettingsStore()).position);
    m_statusLine.SetWindowText("Click the Purgix! button to perform " + level + " clean up now.");
    ::RedrawWindow(m_statusLine.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void CMainDlg::StartWorker(WorkerProc proc)
{
    JoinWorker(); // a run that has reported its end may still be returning
    m_runActive = true;
    auto* start = new WorkerStart{proc, this};
    auto thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, WorkerThread, start, 0, nullptr));
    if (!thread) {
        delete start;
        m_runActive = false;
        return;
    }
    m_pWorkerThread.Reset(thread);
    m_reportTimer.emplace(m_hWnd, kReportTimerId, kReportTimerMs);
}

void CMainDlg::JoinWorker()
{
    if (m_pWorkerThread) {
        ::WaitForSingleObject(m_pWorkerThread.Get(), INFINITE);
        m_pWorkerThread.Reset();
    }
}

bool CMainDlg::OnCommand(WORD id, WORD, HWND)
{
    switch (id) {
    case IDC_RUN:
        OnRunButton(CleaningThreadProc);
        return true;
    case IDC_PREVIEW:
        OnRunButton(PreviewThreadProc);
        return true;
    case IDC_OPTIONS:
        OnOptions();
        return true;
    case IDCANCEL:
        OnCancelCommand();
        return true;
    default:
        return false;
    }
}

void CMainDlg::OnRunButton(WorkerProc proc)
{
    // Only one run at a time: a second click before the run has disabled the button
    // finds the run already active.
    if (!m_runButton.IsWindowEnabled() || m_runActive)
        return;
    g_stopFlag = 0;
    StartWorker(proc);
}

void CMainDlg::OnCancelCommand()
{
    if (!m_runActive) {
        EndDialog(IDCANCEL);
        return;
    }
    m_pauseGate.Close();
    ShowReport();
    if (AppMessageBox(m_hWnd, LoadResourceString(IDS_CANCEL_QUESTION), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) ==
        IDYES)
        g_stopFlag = 1;
    m_pauseGate.Open();
}

void CMainDlg::OnOptions()
{
    // A click queued behind the run button arrives before the run has disabled Options;
    // the options must not change under a run.
    if (m_runActive)
        return;
    COptionsDlg options;
    options.DoModal(m_hWnd);
    ShowIdleStatus();
}

INT_PTR CMainDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    handled = true;
    switch (message) {
    case kRunOnUiMessage:
        m_uiCalls.RunPending(wParam);
        return 0;
    case kRunFinishedMessage:
        if (m_runActive) // a newer run has started since; its own note will follow
            return 0;
        ShowReport();
        m_reportTimer.reset();
        JoinWorker();
        if (m_bFinishing)
            EndDialog(IDCANCEL);
        return 0;
    case WM_TIMER:
        if (wParam == kReportTimerId)
            OnReportTimer();
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == IDM_ABOUTBOX) {
            CAboutDlg about;
            about.DoModal(m_hWnd);
            return 0;
        }
        break;
    case WM_SIZE:
        OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_PAINT:
        if (PaintIcon())
            return 0;
        break;
    case WM_QUERYDRAGICON:
        return reinterpret_cast<INT_PTR>(m_icon.Get());
    case WM_DESTROY:
        m_reportTimer.reset();
        ::WinHelpW(m_hWnd, nullptr, HELP_QUIT, 0); // the help engine may let go of this window
        break;
    default:
        break;
    }
    handled = false;
    return 0;
}

bool CMainDlg::PaintIcon()
{
    if (!::IsIconic(m_hWnd))
        return false;
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(m_hWnd, &paint);
    ::SendMessageW(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    const int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc, x, y, m_icon.Get());
    ::EndPaint(m_hWnd, &paint);
    return true;
}

void CMainDlg::OnSize(UINT type, int cx, int cy)
{
    if (!m_report.m_hWnd || (type != SIZE_RESTORED && type != SIZE_MAXIMIZED))
        return;
    auto clientRect = [this](const CWnd& control) {
        RECT rect;
        ::GetWindowRect(control.m_hWnd, &rect);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    };
    const RECT report = clientRect(m_report);
    const RECT status = clientRect(m_statusLine);
    const RECT run = clientRect(m_runButton);
    const int w = run.right - run.left;
    const int h = run.bottom - run.top;
    const int hs = status.bottom - status.top;
    for (const CWnd* button : {&m_runButton, &m_cancelButton, &m_optionsButton, &m_previewButton, &m_helpButton}) {
        const RECT rect = clientRect(*button);
        ::MoveWindow(button->m_hWnd, cx - w - 10, rect.top, w, h, TRUE);
    }
    const int reportWidth = cx - w - 30;
    ::MoveWindow(m_report.m_hWnd, report.left, report.top, reportWidth, cy - 2 * hs - 30, TRUE);
    const int statusTop = cy - hs - 10;
    ::MoveWindow(m_statusLine.m_hWnd, report.left, statusTop, reportWidth, hs, TRUE);
    const RECT progress = clientRect(m_progress);
    ::MoveWindow(m_progress.m_hWnd, report.left + reportWidth + 5, statusTop + 1, progress.right - progress.left, hs,
                 TRUE);
}

void CMainDlg::ShowReport()
{
    // Take what changed under the lock and update the control after it, so the worker
    // never waits for the control.
    std::wstring text;
    bool whole = false;
    {
        std::lock_guard lock(m_reportLock);
        const std::wstring& model = m_reportModel.Text();
        whole = m_reportModel.Generation() != m_shownGeneration || model.size() < m_shownLength;
        if (!whole && model.size() == m_shownLength)
            return;
        text = whole ? model : model.substr(m_shownLength);
        m_shownGeneration = m_reportModel.Generation();
        m_shownLength = model.size();
    }
    if (whole) {
        ::SetWindowTextW(m_report.m_hWnd, text.c_str());
        m_report.Send(EM_SETSEL, text.size(), static_cast<LPARAM>(text.size()));
        m_report.Send(EM_SCROLLCARET);
    } else {
        const auto end = static_cast<WPARAM>(::GetWindowTextLengthW(m_report.m_hWnd));
        m_report.Send(EM_SETSEL, end, static_cast<LPARAM>(end));
        m_report.Send(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    }
}

void CMainDlg::OnReportTimer()
{
    // The control never takes more than about a quarter of the window's time: a long
    // report that trims itself at every line is shown afresh less often.
    const ULONGLONG start = ::GetTickCount64();
    if (start < m_nextShowAt)
        return;
    ShowReport();
    m_nextShowAt = start + 3 * (::GetTickCount64() - start);
}

void CMainDlg::OnUiThread(const std::function<void()>& action)
{
    m_uiCalls.Hand(m_hWnd, kRunOnUiMessage, action);
}

void CMainDlg::AppendReport(const std::string& text)
{
    m_pauseGate.Pass();
    const std::wstring wide = Widen(text);
    std::lock_guard lock(m_reportLock);
    m_reportModel.Append(wide);
}

void CMainDlg::ClearReport()
{
    std::lock_guard lock(m_reportLock);
    m_reportModel.Clear();
}

void CMainDlg::RepaintReport()
{
    OnUiThread([this] {
        ShowReport();
        ::RedrawWindow(m_report.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    });
}

void CMainDlg::SetStatusText(const std::string& text, bool repaintNow)
{
    OnUiThread([&] {
        m_statusLine.SetWindowText(text);
        if (repaintNow)
            ::RedrawWindow(m_statusLine.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    });
}

void CMainDlg::SetProgressRange(int maximum)
{
    m_progress.Send(PBM_SETSTEP, 1);
    m_progress.Send(PBM_SETRANGE32, 0, maximum);
}

void CMainDlg::StepProgress()
{
    m_progress.Send(PBM_STEPIT);
}

void CMainDlg::ResetProgress()
{
    m_progress.Send(PBM_SETPOS, 0);
}

void CMainDlg::SetBusy(bool busy)
{
    OnUiThread([&] {
        // The run button goes last: once it reads disabled, so does everything a run shuts.
        m_optionsButton.EnableWindow(!busy);
        m_helpButton.EnableWindow(!busy);
        m_previewButton.EnableWindow(!busy);
        m_runButton.EnableWindow(!busy);
        m_cancelButton.SetWindowText(busy ? "&Stop" : "C&lose");
        if (busy)
            ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_cancelButton.m_hWnd), TRUE);
    });
}

bool CMainDlg::AskYesNo(const std::string& text)
{
    bool yes = false;
    OnUiThread([&] {
        ShowReport();
        yes = AppMessageBox(m_hWnd, text, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
    });
    return yes;
}

void CMainDlg::Tell(const std::string& text)
{
    OnUiThread([&] {
        ShowReport();
        AppMessageBox(m_hWnd, text, MB_OK | MB_ICONEXCLAMATION);
    });
}

bool CMainDlg::AskRetryOrSkip(const std::string& text)
{
    bool retry = false;
    OnUiThread([&] {
        ShowReport();
        retry = CInUseDlg(text).AskRetry(m_hWnd);
    });
    return retry;
}

void CMainDlg::PassPauseGate()
{
    m_pauseGate.Pass();
}

void CMainDlg::OnRunFinished(const RunOutcome&)
{
    m_runActive = false;
    ::PostMessageW(m_hWnd, kRunFinishedMessage, 0, 0);
}
