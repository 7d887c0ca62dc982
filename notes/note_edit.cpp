#include "notes/note_edit.h"

#include "base/failure_report.h"
#include "base/handle.h"
#include "base/menu_items.h"
#include "notes/note_dlg.h"
#include "notes/note_messages.h"
#include "notes/note_rules.h"
#include "resources/resource.h"

namespace {

constexpr int kNoteTextLimit = 150;

}  // namespace

CNoteEdit::~CNoteEdit()
{
    Detach();
}

// The editor's procedure is replaced by hand, with the note's editor object
// in the window's user data: comctl32's subclassing looks its data up in a
// window property on every message, which under Wine is a trip to the
// server, dear when a file brings a thousand notes.
bool CNoteEdit::Prepare(HWND hWndNote)
{
    HWND hWnd = GetDlgItem(hWndNote, IDC_NOTEEDIT);
    if (!hWnd)
        return false;
    SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_pfnEditProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WindowProc)));
    if (!m_pfnEditProc) {  // the editor's own procedure is unknown: leave it alone
        SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
        return false;
    }
    m_hWnd = hWnd;
    SendMessageA(m_hWnd, EM_LIMITTEXT, kNoteTextLimit, 0);
    return true;
}

void CNoteEdit::Detach()
{
    if (m_hWnd) {
        SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnEditProc));
        SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, 0);
        m_hWnd = nullptr;
    }
}

void CNoteEdit::SetText(HWND hWndNote, const std::u16string& text) const
{
    // Straight to the editor's own procedure, past the report of a text
    // set from outside.
    auto pszText = reinterpret_cast<LPARAM>(text.c_str());
    if (m_hWnd)
        CallEditProc(WM_SETTEXT, 0, pszText);
    else
        SendMessageW(GetDlgItem(hWndNote, IDC_NOTEEDIT), WM_SETTEXT, 0, pszText);
}

LRESULT CNoteEdit::CallEditProc(UINT msg, WPARAM wParam, LPARAM lParam) const
{
    return CallWindowProcW(m_pfnEditProc, m_hWnd, msg, wParam, lParam);
}

LRESULT CALLBACK CNoteEdit::WindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<CNoteEdit*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(hWnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        const WNDPROC pfnEditProc = self->m_pfnEditProc;
        self->Detach();
        return CallWindowProcW(pfnEditProc, hWnd, msg, wParam, lParam);
    }
    // As in the dialog base: a failure ends here, and the message counts as
    // not handled, so that the edit control answers it.
    const WNDPROC pfnEditProc = self->m_pfnEditProc;
    try {
        LRESULT result = 0;
        if (self->OnMessage(msg, wParam, lParam, result))
            return result;
    } catch (...) {
        ReportCaughtFailure(hWnd);
    }
    return CallWindowProcW(pfnEditProc, hWnd, msg, wParam, lParam);
}

bool CNoteEdit::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (msg) {
    case WM_CONTEXTMENU:
        OnContextMenu(lParam);
        return true;
    case WM_INITMENUPOPUP:
        OnInitMenuPopup(reinterpret_cast<HMENU>(wParam));
        return true;
    case WM_COMMAND:
        result = 0;
        return lParam == 0 && OnCommand(LOWORD(wParam));
    case WM_SETTEXT:
        // A multi-line editor reports no change for a text set from outside
        // (another program, an accessibility tool): report it as typing, so
        // that the note's copy of its text, which is what is saved, stays right.
        result = CallEditProc(msg, wParam, lParam);
        SendMessageW(GetParent(m_hWnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(m_hWnd), EN_CHANGE),
                     reinterpret_cast<LPARAM>(m_hWnd));
        return true;
    default:
        return false;
    }
}

// The menu is loaded only while it is shown: a menu kept by every note would
// use up Windows' quota of USER objects at a few thousand notes.
void CNoteEdit::OnContextMenu(LPARAM lParam)
{
    UniqueMenu menu(LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_NOTEMENU)));
    if (!menu)
        return;
    POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (lParam == -1) {
        // The keyboard's request has no point: open just below the caret.
        pt = {};
        if (GetFocus() == m_hWnd)
            GetCaretPos(&pt);
        TEXTMETRICA tm = {};
        if (WindowDC dc(m_hWnd); dc) {
            SelectedObject font(dc.get(), reinterpret_cast<HGDIOBJ>(SendMessageA(m_hWnd, WM_GETFONT, 0, 0)));
            GetTextMetricsA(dc.get(), &tm);
        }
        pt.y += tm.tmHeight;
        ClientToScreen(m_hWnd, &pt);
    }
    // The editor owns the menu, so its states and commands come back here.
    TrackPopupMenu(GetSubMenu(menu.get(), 0), TPM_CENTERALIGN | TPM_LEFTBUTTON, pt.x, pt.y, 0, m_hWnd, nullptr);
}

void CNoteEdit::OnInitMenuPopup(HMENU hMenu)
{
    DWORD start = 0, end = 0;
    SendMessageA(m_hWnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    NoteMenuFacts facts;
    facts.bCanUndo = SendMessageA(m_hWnd, EM_CANUNDO, 0, 0) != 0;
    facts.bHasSelection = start != end;
    facts.bCanPaste = IsClipboardFormatAvailable(CF_TEXT) != FALSE;
    facts.bAlwaysOnTop = m_bAlwaysOnTop;
    facts.bHidden = m_bHidden;
    UpdateMenuItems(hMenu, [&facts](unsigned nID) { return NoteMenuItemState(nID, facts); });
}

bool CNoteEdit::OnCommand(WORD nID)
{
    HWND note = GetParent(m_hWnd);
    switch (nID) {
    case ID_EDIT_UNDO: SendMessageA(m_hWnd, EM_UNDO, 0, 0); return true;
    case ID_EDIT_CUT: SendMessageA(m_hWnd, WM_CUT, 0, 0); return true;
    case ID_EDIT_COPY: SendMessageA(m_hWnd, WM_COPY, 0, 0); return true;
    case ID_EDIT_PASTE: SendMessageA(m_hWnd, WM_PASTE, 0, 0); return true;
    case ID_EDIT_DELETE: SendMessageA(m_hWnd, WM_CLEAR, 0, 0); return true;
    case ID_EDIT_SELECTALL: SendMessageA(m_hWnd, EM_SETSEL, 0, -1); return true;
    case ID_DELETENOTE: PostDeleteNote(note); return true;
    case ID_HIDENOTE: OnHideNote(); return true;
    case ID_ALWAYSONTOP: OnAlwaysOnTop(); return true;
    case ID_ALARM: SendMessageA(note, WM_ALARMSETTINGS, 0, 0); return true;
    default: return false;
    }
}

void CNoteEdit::OnHideNote()
{
    m_bHidden = Toggled(m_bHidden);
    SendMessageA(GetParent(m_hWnd), WM_APPLYVISIBILITY, kVisibilityOfFlags, 0);
    PostNoteChanged(GetParent(m_hWnd));
}

void CNoteEdit::OnAlwaysOnTop()
{
    m_bAlwaysOnTop = Toggled(m_bAlwaysOnTop);
    SetNoteTopmost(GetParent(m_hWnd), m_bAlwaysOnTop != 0, SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    PostNoteChanged(GetParent(m_hWnd));
}
