#include "base/dialog.h"

#include <exception>

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
    // Nothing may unwind through the window manager: failures end here.
    try {
        return self->Dispatch(msg, wParam, lParam);
    } catch (const std::exception& failure) {
        ReportFailure(hWnd, failure);
    }
    return TRUE;  // a failed command still counts as carried out
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

const std::string& AppTitle()
{
    static const std::string title = [] {
        char path[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string name = path;
        size_t slash = name.find_last_of("\\/");
        if (slash != std::string::npos)
            name.erase(0, slash + 1);
        size_t dot = name.rfind('.');
        if (dot != std::string::npos)
            name.erase(dot);
        return name;
    }();
    return title;
}

int AppMessageBox(HWND hWndOwner, const char* text, UINT type, const char* caption)
{
    return MessageBoxA(hWndOwner, text, caption ? caption : AppTitle().c_str(), type);
}

namespace {

void ReportPlainly(HWND hWndOwner, const std::exception& failure)
{
    AppMessageBox(hWndOwner, (std::string("The operation failed: ") + failure.what()).c_str(), MB_OK | MB_ICONSTOP);
}

FailureReporter g_pfnReporter = ReportPlainly;

}  // namespace

void SetFailureReporter(FailureReporter pfnReporter)
{
    g_pfnReporter = pfnReporter ? pfnReporter : ReportPlainly;
}

void ReportFailure(HWND hWndOwner, const std::exception& failure)
{
    g_pfnReporter(hWndOwner, failure);
}

void UpdateMenuItems(HMENU hMenu, const std::function<MenuItemState(unsigned nID)>& stateOf)
{
    int count = GetMenuItemCount(hMenu);
    for (int pos = 0; pos < count; ++pos) {
        MenuItemState state = stateOf(GetMenuItemID(hMenu, pos));
        if (state.bEnabled)
            EnableMenuItem(hMenu, pos, MF_BYPOSITION | (*state.bEnabled ? MF_ENABLED : MF_GRAYED));
        if (state.bChecked)
            CheckMenuItem(hMenu, pos, MF_BYPOSITION | (*state.bChecked ? MF_CHECKED : MF_UNCHECKED));
    }
}

std::string WindowText(HWND hWnd)
{
    int length = GetWindowTextLengthA(hWnd);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(hWnd, &text[0], length + 1)));
    return text;
}

std::u16string WideWindowText(HWND hWnd)
{
    int length = GetWindowTextLengthW(hWnd);
    std::u16string text(static_cast<size_t>(length) + 1, u'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(hWnd, reinterpret_cast<wchar_t*>(&text[0]), length + 1)));
    return text;
}

void SetWideWindowText(HWND hWnd, const std::u16string& text)
{
    SetWindowTextW(hWnd, reinterpret_cast<const wchar_t*>(text.c_str()));
}
