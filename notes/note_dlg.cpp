#include "notes/note_dlg.h"

#include "base/window_text.h"
#include "notes/note_host.h"
#include "notes/note_messages.h"
#include "notes/note_rules.h"
#include "resources/resource.h"

#include <windowsx.h>

#include <utility>

namespace {

const COLORREF kNoteYellow = RGB(255, 255, 0);
const char kNoteFontFace[] = "MS Sans Serif";

NoteRect WorkAreaOf(HMONITOR monitor)
{
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (monitor && GetMonitorInfoA(monitor, &info))
        return ToNoteRect(info.rcWork);
    RECT work = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    return ToNoteRect(work);
}

int CALLBACK NoteFontFound(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found)
{
    *reinterpret_cast<bool*>(found) = true;
    return 0;  // one is enough
}

bool FontFaceInstalled(const char* face)
{
    WindowDC dc(nullptr);
    LOGFONTA lf = {};
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    EnumFontFamiliesExA(dc.get(), &lf, NoteFontFound, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

// Null while the note's own face is there; asked once, the fonts of a
// running system do not come and go under the notes.
const char* FallbackFontFace()
{
    static const char* const face = []() -> const char* {
        if (FontFaceInstalled(kNoteFontFace))
            return nullptr;
        for (const char* successor : {"Microsoft Sans Serif", "Tahoma"}) {
            if (FontFaceInstalled(successor))
                return successor;
        }
        return nullptr;
    }();
    return face;
}

// Touches the window only when that changes something.
void ShowNoteWindow(HWND hWndNote, bool bOnScreen)
{
    if ((IsWindowVisible(hWndNote) != FALSE) != bOnScreen)
        ShowWindow(hWndNote, bOnScreen ? SW_RESTORE : SW_HIDE);
}

// One yellow brush for every note, made with the first and kept for the
// run: a brush a note would cost a GDI object each.
HBRUSH NoteBrush()
{
    static const UniqueBrush brush(CreateSolidBrush(kNoteYellow));
    return brush.get();
}

}  // namespace

void SetNoteTopmost(HWND hWndNote, bool bTopmost, UINT flags)
{
    flags |= SWP_NOMOVE | SWP_NOSIZE;
    SetWindowPos(hWndNote, bTopmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, flags);
    if (bTopmost || !(GetWindowLongA(hWndNote, GWL_EXSTYLE) & WS_EX_TOPMOST))
        return;
    // Some window managers keep an owned window in the topmost band when only
    // topmost windows lie above its owner (a lone note over the controller):
    // the hidden controller goes to the bottom, where it is never seen.
    HWND owner = GetWindow(hWndNote, GW_OWNER);
    if (!owner || IsWindowVisible(owner))
        return;
    SetWindowPos(owner, HWND_BOTTOM, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    SetWindowPos(hWndNote, HWND_NOTOPMOST, 0, 0, 0, 0, flags);
}

CNoteDlg::CNoteDlg(const INoteHost& host)
    : CDialog(IDD_NOTE, true), m_host(host), m_alarm(*this, host)
{
}

CNoteDlg::~CNoteDlg()
{
    // The window goes first, while the editor it still uses exists; unlinked, so that its end does not delete us a second time.
    if (m_hWnd) {
        SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, 0);
        DestroyWindow(std::exchange(m_hWnd, nullptr));
    }
}

void CNoteDlg::PostNcDestroy()
{
    if (m_onEnd)
        m_onEnd(this);
    delete this;
}

bool CNoteDlg::CreateNote(HWND hWndController)
{
    if (!Create(hWndController))
        return false;
    // A file's note is placed and shown in one move, without the focus,
    // while it is the newest window: shown after the notes made after it,
    // the window system would walk past each of them to restack it.
    if (m_bLoaded) {
        SetText(m_strTyped);
        const RECT window = {m_rcSaved.left, m_rcSaved.top, m_rcSaved.left + (m_rcHome.right - m_rcHome.left),
                             m_rcSaved.top + (m_rcHome.bottom - m_rcHome.top)};
        MoveIntoView(window, IsNoteOnScreen(m_edit.m_bHidden, m_host.ShowHiddenMode()) ? SWP_SHOWWINDOW : 0);
    }
    return true;
}

std::u16string CNoteDlg::GetText() const
{
    return WideWindowText(GetDlgItem(IDC_NOTEEDIT));
}

void CNoteDlg::SetText(const std::u16string& text)
{
    m_strTyped = text;
    m_edit.SetText(m_hWnd, text);
}

bool CNoteDlg::OnCommand(WORD nID, WORD nCode, HWND)
{
    if (nID != IDC_NOTEEDIT || nCode != EN_CHANGE)
        return false;
    // Kept here, so that nothing has to ask a thousand windows for their
    // texts (under Wine a window's text costs most of a millisecond).
    m_strTyped = GetText();
    PostNoteChanged(m_hWnd);
    return true;
}

NoteRecord CNoteDlg::GetRecord() const
{
    NoteRecord r;
    r.m_nLeft = m_rcSaved.left;
    r.m_nTop = m_rcSaved.top;
    r.m_nRight = m_rcSaved.right;
    r.m_nBottom = m_rcSaved.bottom;
    r.m_bAlarmEnabled = m_alarm.m_bAlarmEnabled;
    r.m_nAlarmTime = m_alarm.m_nAlarmTime;
    r.m_bAlwaysOnTop = m_edit.m_bAlwaysOnTop;
    r.m_bHidden = m_edit.m_bHidden;
    return r;
}

void CNoteDlg::LoadRecord(const NoteRecord& r, const std::u16string& text)
{
    m_strTyped = text;
    m_rcSaved = {r.m_nLeft, r.m_nTop, r.m_nRight, r.m_nBottom};
    m_alarm.m_bAlarmEnabled = r.m_bAlarmEnabled;
    m_alarm.m_nAlarmTime = r.m_nAlarmTime;
    m_edit.m_bAlwaysOnTop = r.m_bAlwaysOnTop;
    m_edit.m_bHidden = r.m_bHidden;
    m_bLoaded = true;
}

BOOL CNoteDlg::OnInitDialog()
{
    m_edit.Prepare(m_hWnd);
    UseFallbackFontIfMissing();
    if (!m_bLoaded) {
        PlaceNewNote();
        GetWindowRect(m_hWnd, &m_rcSaved);
        PostMessageA(m_hWnd, WM_APPLYVISIBILITY, kVisibilityAtCreation, 0);
    }
    GetWindowRect(m_hWnd, &m_rcHome);
    MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&m_rcHome), 2);
    m_tracker.m_rect = m_rcHome;
    if (m_edit.m_bAlwaysOnTop)  // a new window already lies in the normal layer: no z-order work for the rest
        PostMessageA(m_hWnd, WM_APPLYONTOP, 0, 0);
    m_alarm.ArmIfSet();
    return TRUE;
}

// Centred on the pointer (the template asks for that, but not every window
// system centres), then pulled into the work area of the pointer's monitor.
void CNoteDlg::PlaceNewNote()
{
    POINT pointer = {};
    GetCursorPos(&pointer);
    RECT window = {};
    GetWindowRect(m_hWnd, &window);
    NoteRect placed = CentredOn(ToNoteRect(window), pointer.x, pointer.y);
    placed = PulledInside(placed, WorkAreaOf(MonitorFromPoint(pointer, MONITOR_DEFAULTTONEAREST)));
    SetWindowPos(m_hWnd, nullptr, placed.left, placed.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CNoteDlg::KeepOnScreen()
{
    RECT window = {};
    GetWindowRect(m_hWnd, &window);
    MoveIntoView(window, 0);
}

// To that place, pulled into the nearest work area if no monitor shows any of it.
void CNoteDlg::MoveIntoView(const RECT& window, UINT nShowFlag)
{
    NoteRect placed = ToNoteRect(window);
    if (!MonitorFromRect(&window, MONITOR_DEFAULTTONULL))
        placed = PulledInside(placed, WorkAreaOf(MonitorFromRect(&window, MONITOR_DEFAULTTONEAREST)));
    SetWindowPos(m_hWnd, nullptr, placed.left, placed.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | nShowFlag);
}

// The template's font is an old one that a system may lack, and the font
// mapper's nearest match can then be anything: take the first of its
// successors that the system has, at the same height.
void CNoteDlg::UseFallbackFontIfMissing()
{
    auto font = reinterpret_cast<HFONT>(SendMessageA(m_hWnd, WM_GETFONT, 0, 0));
    const char* fallback = FallbackFontFace();
    if (!font || !fallback)
        return;
    LOGFONTA lf = {};
    GetObjectA(font, sizeof lf, &lf);
    lstrcpynA(lf.lfFaceName, fallback, LF_FACESIZE);
    m_fallbackFont.reset(CreateFontIndirectA(&lf));
    if (m_fallbackFont)
        SendMessageA(m_edit.GetSafeHwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(m_fallbackFont.get()), FALSE);
}

bool CNoteDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR& result)
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
        result = reinterpret_cast<INT_PTR>(NoteBrush());
        return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:  // the second press of a double click grabs the note too
        OnLButtonDown({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return true;
    case WM_DISPLAYCHANGE:
        KeepOnScreen();
        return false;
    case WM_APPLYVISIBILITY:
        OnApplyVisibility(wParam);
        return true;
    case WM_APPLYONTOP:
        ApplyAlwaysOnTop();
        return true;
    case WM_TIMER:
        m_alarm.OnTimer(wParam);
        return true;
    case WM_ALARMNOTICECLOSED:
        m_alarm.OnNoticeClosed(static_cast<INT_PTR>(wParam));
        return true;
    case WM_ALARMSETTINGS:
        m_alarm.OnAlarmSettings();
        return true;
    case WM_TIMECHANGE:
        m_alarm.OnClockChanged();
        return true;
    case WM_POWERBROADCAST:
        if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND)
            m_alarm.OnClockChanged();
        result = TRUE;
        return true;
    case WM_DELETENOTE:
        ForwardDeleteNote(m_hWnd);
        return true;
    default:
        return false;
    }
}

// A press on the margin (the editor takes the presses on the text).
void CNoteDlg::OnLButtonDown(POINT pt)
{
    // The drag may dispatch a message that ends this note: then Track
    // returns false and nothing here may be touched again.
    if (!m_tracker.Track(m_hWnd, pt))
        return;
    RECT outline = m_tracker.m_rect;
    MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(&outline), 2);
    m_rcSaved = outline;
    // Only the top-left corner is taken: a note keeps the template's size.
    SetWindowPos(m_hWnd, nullptr, outline.left, outline.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
    ApplyAlwaysOnTop();
    m_tracker.m_rect = m_rcHome;
    PostNoteChanged(m_hWnd);
}

void CNoteDlg::ApplyVisibility()
{
    ShowNoteWindow(m_hWnd, IsNoteOnScreen(m_edit.m_bHidden, m_host.ShowHiddenMode()));
}

// A file's notes appear without the focus, as each taking it in turn costs
// the desktop a round of work (under Wine, seconds for a few hundred notes):
// the collection gives it to the last one on screen afterwards, where it
// would have ended anyway.
void CNoteDlg::OnApplyVisibility(WPARAM nWhy)
{
    const bool bOnScreen = IsNoteOnScreen(m_edit.m_bHidden, m_host.ShowHiddenMode());
    if (bOnScreen && nWhy == kVisibilityTakeFocus)
        SetForegroundWindow(m_hWnd);
    else
        ApplyVisibility();
}

void CNoteDlg::ApplyAlwaysOnTop()
{
    SetNoteTopmost(m_hWnd, m_edit.m_bAlwaysOnTop != 0, SWP_NOOWNERZORDER);
}
