#include "app/sticky_note_dlg.h"

#include "app/controller_rules.h"
#include "app/messages.h"
#include "app/sticky_note_app.h"
#include "base/menu_items.h"
#include "base/message_box.h"
#include "notes/note_messages.h"
#include "resources/resource.h"

namespace {

constexpr UINT_PTR kTrayRetryTimer = 12;
constexpr UINT kTrayRetryMs = 2000;
constexpr int kMaxTrayRetries = 60;  // two minutes
}  // namespace

CStickyNoteDlg::CStickyNoteDlg(CStickyNoteApp& app) : CDialog(IDD_OPTIONS), m_app(app), m_notes(app), m_recovery(m_notes), m_watch(WM_FOLDERCHANGED)
{
    Create(nullptr);
}

BOOL CStickyNoteDlg::OnInitDialog()
{
    m_notes.SetOwner(m_hWnd);
    m_recovery.SetWindow(m_hWnd);
    m_desktop.SetWindows(m_hWnd, [this] { return m_notes.ShownWindows(); });
    m_desktop.Enable(m_app.GetPreferences().bOnDesktop != 0);
    for (auto [size, metric] : {std::pair{ICON_BIG, SM_CXICON}, std::pair{ICON_SMALL, SM_CXSMICON}}) {
        HANDLE icon = LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_DRIFTPAD), IMAGE_ICON,
                                 GetSystemMetrics(metric), GetSystemMetrics(metric), LR_SHARED);
        SendMessageA(m_hWnd, WM_SETICON, size, reinterpret_cast<LPARAM>(icon));
    }
    AddTrayIcon();
    ShowWindow(m_hWnd, SW_MINIMIZE);
    PostMessageA(m_hWnd, WM_HIDEOPTIONS, 0, 0);
    return TRUE;
}

bool CStickyNoteDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR& result)
{
    if (m_trayIcon.IsShellRestart(msg)) {
        AddTrayIcon();
        m_desktop.OnShellRestart();
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
    case WM_NOTECHANGED:
        m_recovery.OnChange(wParam == kChangedByUser);
        if (wParam == kChangedByFile)  // the file's name may be new
            m_watch.Watch(m_hWnd, m_notes.GetFileName());
        return true;
    case WM_FOLDERCHANGED:
        OnFolderChanged(wParam);
        return true;
    case WM_TIMER:
        if (wParam == kTrayRetryTimer) {
            AddTrayIcon();
            return true;
        }
        return m_desktop.OnTimer(wParam) || m_recovery.OnTimer(wParam) || OnArrivalTimer(wParam);
    case WM_RECOVERYFAILED:
        m_recovery.OnWriteFailed();
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
    if (m_notes.Adding()) {
        // Sent by another program while notes are being made: a Save now
        // would write only some of them. Carried out once they are all
        // there, and so not answered as done; one that cannot wait is refused.
        if (!PostMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(nID, 0), 0))
            MessageBeep(MB_ICONEXCLAMATION);
        return false;
    }
    switch (nID) {
    case ID_NEWNOTE: OnNewNote(); return true;
    case ID_HIDEALL: OnHideAll(); return true;
    case ID_SHOWHIDDEN: OnShowHidden(); return true;
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

// Started at sign-in, the program can come before the shell's tray: the
// icon, the only way to reach the program, is then asked for again every
// few seconds until the shell takes it (a shell that starts later also says
// so, and is answered as a restart).
void CStickyNoteDlg::AddTrayIcon()
{
    if (m_trayIcon.Add(m_hWnd)) {
        KillTimer(m_hWnd, kTrayRetryTimer);
        m_nTrayRetries = 0;
        // Said once the icon is there, however late the shell comes.
        if (m_app.TakeFirstStart())
            m_trayIcon.ShowBalloon("Driftpad", FirstStartBalloonText(m_app.GetPreferences().nDblClick));
    } else if (m_nTrayRetries++ < kMaxTrayRetries) {
        SetTimer(m_hWnd, kTrayRetryTimer, kTrayRetryMs, nullptr);
    } else {
        KillTimer(m_hWnd, kTrayRetryTimer);
    }
}

LRESULT CStickyNoteDlg::OnTrayIcon(WPARAM, LPARAM lParam)
{
    switch (static_cast<UINT>(lParam)) {
    case WM_LBUTTONDBLCLK:
        if (unsigned nID = DoubleClickCommand(m_app.GetPreferences().nDblClick))
            OnCommand(static_cast<WORD>(nID), 0, nullptr);
        break;
    case WM_RBUTTONDOWN:
        m_trayIcon.ShowMenu();
        break;
    default:
        break;
    }
    return 0;
}

void CStickyNoteDlg::OnInitMenuPopup(HMENU hMenu, UINT, BOOL bSysMenu)
{
    if (bSysMenu)
        return;
    TrayFacts facts;
    facts.bAnyNotes = !m_notes.Empty();
    facts.bShowHidden = m_notes.GetShowHidden();
    UpdateMenuItems(hMenu, [&facts](unsigned nID) { return TrayMenuItemState(nID, facts); });
}

LRESULT CStickyNoteDlg::OnHideOptions()
{
    ShowWindow(m_hWnd, SW_HIDE);
    return 0;
}

void CStickyNoteDlg::OnNewNote()
{
    m_notes.Add();
}

void CStickyNoteDlg::OnHideAll()
{
    m_notes.HideAll();
}

void CStickyNoteDlg::OnShowHidden()
{
    // The toggle flips once, before the notes follow the new mode.
    m_notes.SetShowHidden(!m_notes.GetShowHidden());
}

void CStickyNoteDlg::OnDeleteAll()
{
    BringWindowToTop(m_hWnd);
    if (AppMessageBox(m_hWnd, "Are you sure you want\rto delete all notes?", MB_YESNO | MB_ICONEXCLAMATION,
                      "Driftpad: Delete") == IDYES)
        m_notes.DeleteAll();
}

void CStickyNoteDlg::OnQuit()
{
    BringWindowToTop(m_hWnd);
    if (!m_notes.Empty()) {
        switch (AppMessageBox(m_hWnd, "Save notes before quiting?", MB_YESNOCANCEL | MB_ICONQUESTION | MB_SYSTEMMODAL,
                              "Driftpad: Quit")) {
        case IDYES:
            // Quit only when the notes are safe: a cancelled Save As cancels
            // Quit, and a failed save is raised and reported before we get here.
            if (!OnSave())
                return;
            break;
        case IDNO:  // the user's choice to discard
            break;
        default:
            return;
        }
    }
    m_notes.DeleteAll();
    m_recovery.Discard();  // the user chose to let the notes go: nothing to recover either
    m_trayIcon.Remove();
    DestroyWindow(m_hWnd);
}

LRESULT CStickyNoteDlg::OnDeleteNote(WPARAM wParam, LPARAM)
{
    m_notes.Delete(reinterpret_cast<HWND>(wParam));
    return 0;
}

void CStickyNoteDlg::OnOptions()
{
    const Preferences& prefs = m_app.GetPreferences();
    SendDlgItemMessageA(m_hWnd, IDC_AUTOSAVE, BM_SETCHECK, prefs.bSaveOnShutdown, 0);
    CheckDlgButton(m_hWnd, IDC_ONDESKTOP, prefs.bOnDesktop ? BST_CHECKED : BST_UNCHECKED);
    // Any other value sets neither button.
    if (prefs.nDblClick == 0 || prefs.nDblClick == 1) {
        CheckDlgButton(m_hWnd, IDC_DBLCLICKOPTIONS, prefs.nDblClick == 0 ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(m_hWnd, IDC_DBLCLICKNEWNOTE, prefs.nDblClick == 1 ? BST_CHECKED : BST_UNCHECKED);
    }
    ShowWindow(m_hWnd, SW_RESTORE);
}

void CStickyNoteDlg::OnOK()
{
    ShowWindow(m_hWnd, SW_HIDE);
    const bool bStored = m_app.SetPreferences(IsDlgButtonChecked(m_hWnd, IDC_AUTOSAVE) == BST_CHECKED,
                                              IsDlgButtonChecked(m_hWnd, IDC_DBLCLICKNEWNOTE) == BST_CHECKED,
                                              IsDlgButtonChecked(m_hWnd, IDC_ONDESKTOP) == BST_CHECKED);
    m_desktop.Enable(m_app.GetPreferences().bOnDesktop != 0);
    if (!bStored)
        AppMessageBox(m_hWnd, "The options could not be stored in the registry: they apply only until Driftpad ends.",
                      MB_OK | MB_ICONEXCLAMATION, "Driftpad: Options");
}

void CStickyNoteDlg::OnCancel()
{
    ShowWindow(m_hWnd, SW_HIDE);
}

void CStickyNoteDlg::PostNcDestroy()
{
    // Destroying the main window ends the run.
    PostQuitMessage(0);
    delete this;
}
