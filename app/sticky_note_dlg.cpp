#include "app/sticky_note_dlg.h"

#include "app/messages.h"
#include "notes/note_messages.h"
#include "app/registry.h"
#include "app/sticky_note_app.h"
#include "notes/note_dlg.h"
#include "resources/resource.h"

#include <shellapi.h>

#include <algorithm>

namespace {

const UINT kTrayIconId = IDI_DRIFTPAD;

// The first, 88-byte form of the structure on 32-bit Windows: every shell
// since the first tray takes it.
NOTIFYICONDATAA TrayIconData(HWND hWnd)
{
    NOTIFYICONDATAA nid = {};
    nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
    nid.hWnd = hWnd;
    nid.uID = kTrayIconId;
    return nid;
}

#ifndef _WIN64
static_assert(NOTIFYICONDATAA_V1_SIZE == 88, "the tray icon structure must be the 88-byte form");
#endif

}  // namespace

CStickyNoteDlg::CStickyNoteDlg(CStickyNoteApp* pApp)
    : CDialog(IDD_OPTIONS),
      m_pApp(pApp),
      m_bSaveOnShutdown(pApp->m_bSaveOnShutdown),
      m_nDblClick(pApp->m_nDblClick)
{
    // The shell sends this when it (re)starts; the icon must then be added again.
    m_nTaskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    Create(nullptr);
}

CStickyNoteDlg::~CStickyNoteDlg()
{
    // Only reached without Quit (a failed start-up): notes go with us.
    DestroyAllNotes();
}

BOOL CStickyNoteDlg::OnInitDialog()
{
    HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_DRIFTPAD));
    SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    AddTrayIcon();
    ShowWindow(m_hWnd, SW_MINIMIZE);
    PostMessageA(m_hWnd, WM_HIDEOPTIONS, 0, 0);
    return TRUE;
}

bool CStickyNoteDlg::AddTrayIcon()
{
    NOTIFYICONDATAA nid = TrayIconData(m_hWnd);
    nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    nid.uCallbackMessage = WM_TRAYICON;
    nid.hIcon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_DRIFTPAD));
    lstrcpynA(nid.szTip, "Driftpad", 12);  // a tip keeps at most 11 characters
    return Shell_NotifyIconA(NIM_ADD, &nid) != FALSE;
}

void CStickyNoteDlg::RemoveTrayIcon()
{
    NOTIFYICONDATAA nid = TrayIconData(m_hWnd);
    Shell_NotifyIconA(NIM_DELETE, &nid);
}

bool CStickyNoteDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR& result)
{
    if (msg == m_nTaskbarCreated && msg != 0) {
        AddTrayIcon();
        return true;
    }
    switch (msg) {
    case WM_TRAYICON:
        result = OnTrayIcon(wParam, lParam);
        return true;
    case WM_HIDEOPTIONS:
        result = OnHideOptions();
        return true;
    case WM_DELETENOTE:
        result = OnDeleteNote(wParam, lParam);
        return true;
    case WM_INITMENUPOPUP:
        OnInitMenuPopup(reinterpret_cast<HMENU>(wParam), LOWORD(lParam), HIWORD(lParam));
        return true;
    case WM_DROPFILES:
        OnDropFiles(reinterpret_cast<HDROP>(wParam));
        return true;
    case WM_ENDSESSION:
        OnEndSession(static_cast<BOOL>(wParam));
        return true;
    default:
        return false;  // colour requests included: the Options dialog keeps the system colours
    }
}

bool CStickyNoteDlg::OnCommand(WORD nID, WORD, HWND)
{
    switch (nID) {
    case ID_NEWNOTE: OnNewNote(); return true;
    case ID_HIDEALL: OnHideAll(); return true;
    case ID_SHOWHIDDEN: OnUpdateShowHidden(); OnShowHidden(); return true;
    case ID_DELETEALL: OnDeleteAll(); return true;
    case ID_QUIT:
    case IDC_QUIT: OnQuit(); return true;
    case ID_OPTIONS: OnOptions(); return true;
    case ID_OPEN: OnOpen(); return true;
    case ID_SAVE: OnSave(); return true;
    case ID_SAVEAS: OnSaveAs(); return true;
    default: return false;
    }
}

LRESULT CStickyNoteDlg::OnTrayIcon(WPARAM, LPARAM lParam)
{
    switch (static_cast<UINT>(lParam)) {
    case WM_LBUTTONDBLCLK:
        if (m_nDblClick == 0)
            OnOptions();
        else if (m_nDblClick == 1)
            OnNewNote();
        break;
    case WM_RBUTTONDOWN:
        ShowTrayMenu();
        break;
    default:
        break;
    }
    return 0;
}

void CStickyNoteDlg::ShowTrayMenu()
{
    RECT work = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    UniqueMenu menu(LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_TRAYMENU)));
    if (!menu)
        return;
    // Without the foreground the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(m_hWnd);
    TrackPopupMenu(GetSubMenu(menu.get(), 0), TPM_RIGHTALIGN, work.right, work.bottom - 170, 0, m_hWnd,
                   nullptr);
    PostMessageA(m_hWnd, WM_NULL, 0, 0);
}

void CStickyNoteDlg::OnInitMenuPopup(HMENU hMenu, UINT, BOOL bSysMenu)
{
    if (bSysMenu)
        return;
    const UINT anyNotes = m_noteList.empty() ? MF_GRAYED : MF_ENABLED;
    int count = GetMenuItemCount(hMenu);
    for (int pos = 0; pos < count; ++pos) {
        switch (GetMenuItemID(hMenu, pos)) {
        case ID_NEWNOTE:
        case ID_QUIT:
        case ID_OPEN:
        case ID_SAVE:
            EnableMenuItem(hMenu, pos, MF_BYPOSITION | MF_ENABLED);
            break;
        case ID_HIDEALL:
        case ID_DELETEALL:
            EnableMenuItem(hMenu, pos, MF_BYPOSITION | anyNotes);
            break;
        case ID_SHOWHIDDEN:
            EnableMenuItem(hMenu, pos, MF_BYPOSITION | anyNotes);
            CheckMenuItem(hMenu, pos, MF_BYPOSITION | (m_bShowHidden ? MF_CHECKED : MF_UNCHECKED));
            break;
        default:
            break;
        }
    }
}

LRESULT CStickyNoteDlg::OnHideOptions()
{
    ShowWindow(m_hWnd, SW_HIDE);
    return 0;
}

void CStickyNoteDlg::OnNewNote()
{
    auto* note = new CNoteDlg;
    m_noteList.push_back(note);
    if (!note->CreateNote(m_hWnd)) {
        m_noteList.pop_back();
        delete note;
    }
}

void CStickyNoteDlg::OnHideAll()
{
    for (CNoteDlg* note : m_noteList) {
        if (!m_bShowHidden)
            ShowWindow(note->GetSafeHwnd(), SW_HIDE);
        note->SetHiddenFlag(1);
    }
}

void CStickyNoteDlg::OnUpdateShowHidden()
{
    m_bShowHidden = !m_bShowHidden;
    m_pApp->m_bShowHidden = m_bShowHidden;
}

void CStickyNoteDlg::OnShowHidden()
{
    ApplyShowHidden();
}

void CStickyNoteDlg::ApplyShowHidden()
{
    for (CNoteDlg* note : m_noteList) {
        if (note->GetHiddenFlag())
            ShowWindow(note->GetSafeHwnd(), m_bShowHidden ? SW_RESTORE : SW_HIDE);
    }
}

void CStickyNoteDlg::OnDeleteAll()
{
    BringWindowToTop(m_hWnd);
    if (AppMessageBox(m_hWnd, "Are you sure you want\rto delete all notes?", MB_YESNO | MB_ICONEXCLAMATION,
                      "Driftpad: Delete") == IDYES)
        DestroyAllNotes();
}

void CStickyNoteDlg::DestroyAllNotes()
{
    while (!m_noteList.empty()) {
        CNoteDlg* note = m_noteList.front();
        m_noteList.pop_front();
        DestroyWindow(note->GetSafeHwnd());  // the note deletes itself with its window
    }
}

void CStickyNoteDlg::OnQuit()
{
    BringWindowToTop(m_hWnd);
    if (!m_noteList.empty()) {
        switch (AppMessageBox(m_hWnd, "Save notes before quiting?", MB_YESNOCANCEL | MB_ICONQUESTION | MB_SYSTEMMODAL,
                              "Driftpad: Quit")) {
        case IDCANCEL:
            return;
        case IDYES:
            // Quit only when the notes are safe: a cancelled Save As cancels
            // Quit, and a failed save is raised and reported before we get here.
            if (!OnSave())
                return;
            break;
        default:
            break;
        }
    }
    DestroyAllNotes();
    RemoveTrayIcon();
    DestroyWindow(m_hWnd);
}

LRESULT CStickyNoteDlg::OnDeleteNote(WPARAM wParam, LPARAM)
{
    auto* note = reinterpret_cast<CNoteDlg*>(wParam);
    auto it = std::find(m_noteList.begin(), m_noteList.end(), note);
    if (it != m_noteList.end()) {  // a stale request for a note already gone is ignored
        m_noteList.erase(it);
        delete note;
    }
    return 0;
}

void CStickyNoteDlg::OnOptions()
{
    SendDlgItemMessageA(m_hWnd, IDC_AUTOSAVE, BM_SETCHECK, m_bSaveOnShutdown, 0);
    if (m_nDblClick == 0) {
        SendDlgItemMessageA(m_hWnd, IDC_DBLCLICKOPTIONS, BM_SETCHECK, BST_CHECKED, 0);
        SendDlgItemMessageA(m_hWnd, IDC_DBLCLICKNEWNOTE, BM_SETCHECK, BST_UNCHECKED, 0);
    } else if (m_nDblClick == 1) {
        SendDlgItemMessageA(m_hWnd, IDC_DBLCLICKOPTIONS, BM_SETCHECK, BST_UNCHECKED, 0);
        SendDlgItemMessageA(m_hWnd, IDC_DBLCLICKNEWNOTE, BM_SETCHECK, BST_CHECKED, 0);
    }
    ShowWindow(m_hWnd, SW_RESTORE);
}

void CStickyNoteDlg::OnOK()
{
    m_bSaveOnShutdown = SendDlgItemMessageA(m_hWnd, IDC_AUTOSAVE, BM_GETCHECK, 0, 0) == BST_CHECKED;
    m_nDblClick = SendDlgItemMessageA(m_hWnd, IDC_DBLCLICKNEWNOTE, BM_GETCHECK, 0, 0) == BST_CHECKED;
    WritePreferences(m_bSaveOnShutdown, m_nDblClick);
    ShowWindow(m_hWnd, SW_HIDE);
}

void CStickyNoteDlg::OnCancel()
{
    ShowWindow(m_hWnd, SW_HIDE);
}

void CStickyNoteDlg::PostNcDestroy()
{
    // Destroying the main window ends the run.
    m_pApp->m_pStickyNoteDlg = nullptr;
    PostQuitMessage(0);
    delete this;
}
