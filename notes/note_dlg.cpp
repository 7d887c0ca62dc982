#include "notes/note_dlg.h"

#include "app/messages.h"
#include "app/sticky_note_app.h"
#include "resources/resource.h"

namespace {

const COLORREF kNoteYellow = RGB(255, 255, 128);

}  // namespace

CNoteDlg::CNoteDlg() : CDialog(IDD_NOTE), m_brush(CreateSolidBrush(kNoteYellow)) {}

CNoteDlg::~CNoteDlg() = default;

bool CNoteDlg::CreateNote(HWND hWndController)
{
    return Create(hWndController);
}

std::string CNoteDlg::GetText() const
{
    HWND edit = GetDlgItem(IDC_NOTEEDIT);
    int length = GetWindowTextLengthA(edit);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(edit, &text[0], length + 1)));
    return text;
}

void CNoteDlg::SetText(const std::string& text)
{
    SetWindowTextA(GetDlgItem(IDC_NOTEEDIT), text.c_str());
}

NoteRecord CNoteDlg::GetRecord() const
{
    NoteRecord r;
    r.m_nLeft = m_rcSaved.left;
    r.m_nTop = m_rcSaved.top;
    r.m_nRight = m_rcSaved.right;
    r.m_nBottom = m_rcSaved.bottom;
    r.m_bAlarmEnabled = m_bAlarmEnabled;
    r.m_nAlarmTime = m_nAlarmTime;
    r.m_bAlwaysOnTop = m_bAlwaysOnTop;
    r.m_bHidden = m_bHidden;
    return r;
}

void CNoteDlg::LoadRecord(const NoteRecord& r)
{
    m_rcSaved = {r.m_nLeft, r.m_nTop, r.m_nRight, r.m_nBottom};
    m_bAlarmEnabled = r.m_bAlarmEnabled;
    m_nAlarmTime = r.m_nAlarmTime;
    m_bAlwaysOnTop = r.m_bAlwaysOnTop;
    m_bHidden = r.m_bHidden;
    m_bLoaded = true;
}

BOOL CNoteDlg::OnInitDialog()
{
    SendDlgItemMessageA(m_hWnd, IDC_NOTEEDIT, EM_LIMITTEXT, 150, 0);
    if (m_bLoaded) {
        SetWindowPos(m_hWnd, nullptr, m_rcSaved.left, m_rcSaved.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    } else {
        GetWindowRect(m_hWnd, &m_rcSaved);
    }
    PostMessageA(m_hWnd, WM_APPLYVISIBILITY, 1, 0);
    PostMessageA(m_hWnd, WM_APPLYONTOP, 0, 0);
    if (m_bAlarmEnabled)
        SetAlarmTimer(m_nAlarmTime);
    return TRUE;
}

bool CNoteDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM, INT_PTR& result)
{
    switch (msg) {
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
        SetBkColor(reinterpret_cast<HDC>(wParam), kNoteYellow);
        result = reinterpret_cast<INT_PTR>(m_brush.get());
        return true;
    case WM_APPLYVISIBILITY:
        ApplyVisibility();
        return true;
    case WM_APPLYONTOP:
        ApplyAlwaysOnTop(0);
        return true;
    case WM_TIMER:
        OnTimer(wParam);
        return true;
    case WM_ALARMSETTINGS:
        OnAlarmSettings();
        return true;
    case WM_TIMECHANGE:
        OnClockChanged();
        return true;
    case WM_POWERBROADCAST:
        if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND)
            OnClockChanged();
        result = TRUE;
        return true;
    case WM_DELETENOTE:
        PostMessageA(GetWindow(m_hWnd, GW_OWNER), WM_DELETENOTE, reinterpret_cast<WPARAM>(this), 0);
        return true;
    default:
        return false;
    }
}

void CNoteDlg::ApplyVisibility()
{
    if (!m_bHidden)
        ShowWindow(m_hWnd, SW_RESTORE);
    else if (!GetApp().m_bShowHidden)
        ShowWindow(m_hWnd, SW_HIDE);
}

void CNoteDlg::ApplyAlwaysOnTop(UINT extraFlags)
{
    SetWindowPos(m_hWnd, m_bAlwaysOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOOWNERZORDER | extraFlags);
}
