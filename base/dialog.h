#pragma once
// A small dialog base: one static dialog procedure finds the object and
// dispatches to virtual handlers. Failures raised inside a handler are caught
// here, once, and handed to the program's failure reporter (failure_report.h).
#include <windows.h>


class CDialog {
public:
    // A Unicode dialog's windows (its controls too) hold any character;
    // the others keep 8-bit texts.
    explicit CDialog(UINT nIDTemplate, bool bUnicode = false);
    virtual ~CDialog();
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Modeless: creates the window from the template; false if that failed.
    bool Create(HWND hWndParent);
    // Modal: runs the dialog and returns the value that ended it. A dialog
    // that could not be created also gives -1, so a dialog that ends with
    // -1 itself must tell the two apart (its window existed).
    INT_PTR DoModal(HWND hWndParent);
    void EndDialog(INT_PTR nResult);

    HWND GetSafeHwnd() const { return m_hWnd; }
    // The dialog object of a live window of this thread, or null: how a
    // window handle, which outlives no window, names its object.
    static CDialog* FromHandle(HWND hWnd);
    HWND GetDlgItem(int nID) const { return ::GetDlgItem(m_hWnd, nID); }

protected:
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // A WM_COMMAND other than IDOK/IDCANCEL; true when handled.
    virtual bool OnCommand(WORD /*nID*/, WORD /*nCode*/, HWND /*hCtl*/) { return false; }
    // Any other message; true when handled, with the dialog-procedure result.
    virtual bool OnMessage(UINT /*msg*/, WPARAM /*wParam*/, LPARAM /*lParam*/, INT_PTR& /*result*/) { return false; }
    // The window is gone; self-owning dialogs delete themselves here.
    virtual void PostNcDestroy() {}

    HWND m_hWnd = nullptr;

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);
    void Attach(HWND hWnd);

    UINT m_nIDTemplate;
    bool m_bUnicode;
    bool m_bModal = false;
};
