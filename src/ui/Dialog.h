#pragma once
// A thin modal-dialog base in the framework's manner.
//
// Usage: derive, pass the template id, bind controls in BindControls with Bind(),
// and override OnInitDialog / OnCommand / OnNotify / OnMessage / OnOK / OnCancel as needed.
// DoModal runs the dialog; every handler runs inside one try/catch, so no exception
// crosses the window procedure.
#include <windows.h>

#include <string>

// A control of a dialog, bound by id; the dialog owns the window, not this object.
class CWnd {
public:
    HWND m_hWnd = nullptr;

    void SetWindowText(const std::string& text) const;
    std::string GetWindowText() const;
    void EnableWindow(bool enable) const { ::EnableWindow(m_hWnd, enable); }
    bool IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd) != FALSE; }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
};

class CButton : public CWnd {
public:
    bool IsChecked() const { return Send(BM_GETCHECK) == BST_CHECKED; }
    void SetCheck(bool checked) const { Send(BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED); }
};
using CStatic = CWnd;
using CEdit = CWnd;
using CProgressCtrl = CWnd;

class CDialog {
public:
    explicit CDialog(UINT templateId) : m_templateId(templateId) {}
    virtual ~CDialog() = default;
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // -1 when the dialog cannot be created; otherwise the result passed to EndDialog.
    INT_PTR DoModal(HWND owner);

protected:
    // Binds the members that stand for controls to the dialog's controls, before OnInitDialog.
    virtual void BindControls() {}
    // Return TRUE to let the system set the focus.
    virtual BOOL OnInitDialog() { return TRUE; }
    // Return true when the command was handled.
    virtual bool OnCommand(WORD id, WORD code, HWND control);
    // A control's notification; return true when it was handled (its result is 0).
    virtual bool OnNotify(const NMHDR& /*header*/) { return false; }
    // Everything else; set handled to claim the message and return its result.
    virtual INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }

    void EndDialog(INT_PTR result) { ::EndDialog(m_hWnd, result); }
    void Bind(int id, CWnd& control) { control.m_hWnd = ::GetDlgItem(m_hWnd, id); }

    HWND m_hWnd = nullptr;

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_templateId;
};

// Registers the common controls the dialogs use (progress bar, track bar, tooltips, list view).
void RegisterControlClasses();

// Loads a string-table entry of the program as UTF-8.
std::string LoadResourceString(UINT id);

// A message box in the framework's manner: caption "Purgix!", and the exclamation icon
// when the style names no icon.
int AppMessageBox(HWND owner, const std::string& text, UINT style);
