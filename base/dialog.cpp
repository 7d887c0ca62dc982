#include "base/dialog.h"

#include "base/failure_report.h"


CDialog::CDialog(UINT nIDTemplate, bool bUnicode) : m_nIDTemplate(nIDTemplate), m_bUnicode(bUnicode) {}

CDialog::~CDialog()
{
    if (m_hWnd) {
        // Unlink first, so that destroying the window from the destructor
        // does not come back into PostNcDestroy and delete us twice.
        SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, 0);
        HWND hWnd = m_hWnd;
        m_hWnd = nullptr;
        DestroyWindow(hWnd);
    }
}

bool CDialog::Create(HWND hWndParent)
{
    m_bModal = false;
    HINSTANCE hInstance = GetModuleHandleA(nullptr);
    auto param = reinterpret_cast<LPARAM>(this);
    HWND hWnd = m_bUnicode
                    ? CreateDialogParamW(hInstance, MAKEINTRESOURCEW(m_nIDTemplate), hWndParent, DialogProc, param)
                    : CreateDialogParamA(hInstance, MAKEINTRESOURCEA(m_nIDTemplate), hWndParent, DialogProc, param);
    return hWnd != nullptr;
}

INT_PTR CDialog::DoModal(HWND hWndParent)
{
    m_bModal = true;
    HINSTANCE hInstance = GetModuleHandleA(nullptr);
    auto param = reinterpret_cast<LPARAM>(this);
    return m_bUnicode ? DialogBoxParamW(hInstance, MAKEINTRESOURCEW(m_nIDTemplate), hWndParent, DialogProc, param)
                      : DialogBoxParamA(hInstance, MAKEINTRESOURCEA(m_nIDTemplate), hWndParent, DialogProc, param);
}

void CDialog::EndDialog(INT_PTR nResult)
{
    if (m_bModal)
        ::EndDialog(m_hWnd, nResult);
    else
        DestroyWindow(m_hWnd);
}

CDialog* CDialog::FromHandle(HWND hWnd)
{
    if (!hWnd || !IsWindow(hWnd) || GetWindowThreadProcessId(hWnd, nullptr) != GetCurrentThreadId())
        return nullptr;
    // Only our dialog procedure puts anything there for our dialogs. Asked
    // in the wrong character set, the system answers with a stand-in.
    LONG_PTR proc = IsWindowUnicode(hWnd) ? GetWindowLongPtrW(hWnd, DWLP_DLGPROC) : GetWindowLongPtrA(hWnd, DWLP_DLGPROC);
    if (reinterpret_cast<DLGPROC>(proc) != DialogProc)
        return nullptr;
    return reinterpret_cast<CDialog*>(GetWindowLongPtrA(hWnd, GWLP_USERDATA));
}

void CDialog::Attach(HWND hWnd)
{
    m_hWnd = hWnd;
    SetWindowLongPtrA(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_INITDIALOG)
        reinterpret_cast<CDialog*>(lParam)->Attach(hWnd);
    auto* self = reinterpret_cast<CDialog*>(GetWindowLongPtrA(hWnd, GWLP_USERDATA));
    if (!self)
        return FALSE;
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hWnd, GWLP_USERDATA, 0);
        self->m_hWnd = nullptr;
        self->PostNcDestroy();
        return FALSE;
    }
    // Nothing may unwind through the window manager: every failure ends
    // here, whatever was thrown. The message then counts as not handled, so
    // that the system answers it (a TRUE would pass as a brush to a colour
    // request).
    try {
        return self->Dispatch(msg, wParam, lParam);
    } catch (...) {
        ReportCaughtFailure(hWnd);
    }
    return FALSE;
}

INT_PTR CDialog::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam)
{
    INT_PTR result = FALSE;
    if (OnMessage(msg, wParam, lParam, result))
        return result;
    switch (msg) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: OnOK(); return TRUE;
        case IDCANCEL: OnCancel(); return TRUE;
        default: return OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        }
    default:
        return FALSE;
    }
}
