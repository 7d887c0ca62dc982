#include "notes/note_edit.h"

#include "notes/note_messages.h"
#include "app/sticky_note_app.h"
#include "resources/resource.h"

#include <commctrl.h>

namespace {

constexpr UINT_PTR kSubclassId = 1;
constexpr int kNoteTextLimit = 150;

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

CNoteEdit::~CNoteEdit()
{
    Detach();
}

bool CNoteEdit::Prepare(HWND hWndNote)
{
    HWND hWnd = GetDlgItem(hWndNote, IDC_NOTEEDIT);
    if (!hWnd || !SetWindowSubclass(hWnd, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this)))
        return false;
    m_hWnd = hWnd;
    SendMessageA(m_hWnd, EM_LIMITTEXT, kNoteTextLimit, 0);
    m_menu.reset(LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_NOTEMENU)));
    return true;
}

void CNoteEdit::Detach()
{
    if (m_hWnd) {
        RemoveWindowSubclass(m_hWnd, SubclassProc, kSubclassId);
        m_hWnd = nullptr;
    }
}

LRESULT CALLBACK CNoteEdit::SubclassProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR refData)
{
    auto* self = reinterpret_cast<CNoteEdit*>(refData);
    if (msg == WM_NCDESTROY) {
        self->Detach();
        return DefSubclassProc(hWnd, msg, wParam, lParam);
    }
    LRESULT result = 0;
    if (self->OnMessage(msg, wParam, lParam, result))
        return result;
    return DefSubclassProc(hWnd, msg, wParam, lParam);
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
    default:
        return false;
    }
}

void CNoteEdit::OnContextMenu(LPARAM lParam)
{
    if (!m_menu)
        return;
    POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (lParam == -1) {
        // The keyboard's request has no point: open just below the caret.
        pt = {};
        if (GetFocus() == m_hWnd)
            GetCaretPos(&pt);
        TEXTMETRICA tm = {};
        if (HDC dc = GetDC(m_hWnd)) {
            HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(m_hWnd, WM_GETFONT, 0, 0)));
            GetTextMetricsA(dc, &tm);
            SelectObject(dc, old);
            ReleaseDC(m_hWnd, dc);
        }
        pt.y += tm.tmHeight;
        ClientToScreen(m_hWnd, &pt);
    }
    // The editor owns the menu, so its states and commands come back here.
    TrackPopupMenu(GetSubMenu(m_menu.get(), 0), TPM_CENTERALIGN | TPM_LEFTBUTTON, pt.x, pt.y, 0, m_hWnd, nullptr);
}

void CNoteEdit::OnInitMenuPopup(HMENU hMenu)
{
    if (GetMenuItemCount(hMenu) <= 0)
        return;
    DWORD start = 0, end = 0;
    SendMessageA(m_hWnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const UINT selection = start != end ? MF_ENABLED : MF_GRAYED;
    for (int pos = 0; pos < GetMenuItemCount(hMenu); ++pos) {
        switch (GetMenuItemID(hMenu, pos)) {
        case ID_DELETENOTE:
        case ID_EDIT_SELECTALL:
            EnableMenuItem(hMenu, pos, MF_BYPOSITION | MF_ENABLED);
            break;
        case ID_EDIT_UNDO:
            EnableMenuItem(hMenu, pos, MF_BYPOSITION | (SendMessageA(m_hWnd, EM_CANUNDO, 0, 0) ? MF_ENABLED : MF_GRAYED));
            break;
        case ID_EDIT_CUT:
        case ID_EDIT_COPY:
        case ID_EDIT_DELETE:
            EnableMenuItem(hMenu, pos, MF_BYPOSITION | selection);
            break;
        case ID_EDIT_PASTE:
            EnableMenuItem(hMenu, pos, MF_BYPOSITION | (IsClipboardFormatAvailable(CF_TEXT) ? MF_ENABLED : MF_GRAYED));
            break;
        case ID_ALWAYSONTOP:
            CheckMenuItem(hMenu, pos, MF_BYPOSITION | (m_bAlwaysOnTop ? MF_CHECKED : MF_UNCHECKED));
            break;
        case ID_HIDENOTE:
            CheckMenuItem(hMenu, pos, MF_BYPOSITION | (m_bHidden ? MF_CHECKED : MF_UNCHECKED));
            break;
        default:
            break;
        }
    }
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
    case ID_DELETENOTE: PostMessageA(note, WM_DELETENOTE, 0, 0); return true;
    case ID_HIDENOTE: OnHideNote(); return true;
    case ID_ALWAYSONTOP: OnAlwaysOnTop(); return true;
    case ID_ALARM: SendMessageA(note, WM_ALARMSETTINGS, 0, 0); return true;
    default: return false;
    }
}

// Toggles go by the flag's truth, so that a 2 read from a file turns off.
void CNoteEdit::OnHideNote()
{
    m_bHidden = m_bHidden ? 0 : 1;
    if (!GetApp().m_bShowHidden)
        ShowWindow(GetParent(m_hWnd), m_bHidden ? SW_HIDE : SW_RESTORE);
}

void CNoteEdit::OnAlwaysOnTop()
{
    m_bAlwaysOnTop = m_bAlwaysOnTop ? 0 : 1;
    SetNoteTopmost(GetParent(m_hWnd), m_bAlwaysOnTop != 0, SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}
