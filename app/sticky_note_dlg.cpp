#include "app/sticky_note_dlg.h"

#include "app/controller_rules.h"
#include "app/file_dialog.h"
#include "app/messages.h"
#include "app/sticky_note_app.h"
#include "base/failure_report.h"
#include "base/menu_items.h"
#include "base/message_box.h"
#include "notes/note_messages.h"
#include "resources/resource.h"

#include <vector>

namespace {

constexpr UINT_PTR kTrayRetryTimer = 12;
constexpr UINT kTrayRetryMs = 2000;
constexpr int kMaxTrayRetries = 60;  // two minutes
constexpr UINT_PTR kArrivalTimer = 14;  // 11: the recovery copy, 13: the desktop layer
// A sync client writes a file in steps, and a user saves twice in a row.
constexpr UINT kQuietMs = 2000;

Answer AnswerOf(int nButton)
{
    switch (nButton) {
    case IDYES: return Answer::yes;
    case IDNO: return Answer::no;
    default: return Answer::cancel;
    }
}

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
        if (wParam == kArrivalTimer) {
            OnArrivalTimer();
            return true;
        }
        return m_desktop.OnTimer(wParam) || m_recovery.OnTimer(wParam);
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
    int nButton = AppMessageBox(m_hWnd, "Are you sure you want\rto delete all notes?", MB_YESNO | MB_ICONEXCLAMATION,
                                "Driftpad: Delete");
    if (DeleteAllConfirmed(AnswerOf(nButton)))
        m_notes.DeleteAll();
}

void CStickyNoteDlg::OnQuit()
{
    BringWindowToTop(m_hWnd);
    if (!m_notes.Empty()) {
        int nButton = AppMessageBox(m_hWnd, "Save notes before quiting?",
                                    MB_YESNOCANCEL | MB_ICONQUESTION | MB_SYSTEMMODAL, "Driftpad: Quit");
        switch (QuitStepFor(AnswerOf(nButton))) {
        case QuitStep::stay:
            return;
        case QuitStep::saveThenQuit:
            // Quit only when the notes are safe: a cancelled Save As cancels
            // Quit, and a failed save is raised and reported before we get here.
            if (!OnSave())
                return;
            break;
        case QuitStep::quit:
            break;
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

void CStickyNoteDlg::OnOpen()
{
    std::string path = AskNotesFileName(m_hWnd, false, std::string());
    if (!path.empty())
        OpenNotesFile(path);
}

void CStickyNoteDlg::OpenNotesFile(const std::string& path)
{
    CNoteCollection::LoadResult loaded = m_notes.Load(path);
    if (loaded.nNotShown) {
        std::string text = std::to_string(loaded.nNotShown) + " of the notes in \"" + path
                           + "\" could not be shown: Windows has no room for more windows.\r\r"
                             "Saving over that file asks first, so that they are not lost.";
        AppMessageBox(m_hWnd, text.c_str(), MB_OK | MB_ICONSTOP);
    }
}

void CStickyNoteDlg::OpenNotesFileAtStartup(const std::string& path)
{
    try {
        if (m_recovery.OfferAtStart(path))
            OpenNotesFile(path);
    } catch (const std::exception& failure) {
        ReportFailure(m_hWnd, failure);
    }
}

bool CStickyNoteDlg::OnSave(bool bAtSessionEnd)
{
    const std::string path = m_notes.GetFileName();
    if (path.empty())
        return OnSaveAs();
    if (bAtSessionEnd) {
        // Nobody is there to answer: every question's answer is the one that
        // loses nothing. The file is left alone, and the recovery copy keeps
        // the notes on screen for the next start to offer.
        try {
            if (m_notes.SaveAtSessionEnd()) {
                m_recovery.Discard();
                return true;
            }
        } catch (...) {
            m_recovery.KeepAtEndSession();
            throw;
        }
        m_recovery.KeepAtEndSession();
        return false;
    }
    if (!ShorterSaveAllowed(path) || !ChangesElsewhereSettled(path))
        return false;
    WriteNotesFile(path);
    return true;
}

void CStickyNoteDlg::WriteNotesFile(const std::string& path)
{
    m_notes.Save(path);
    m_recovery.Discard();
}

bool CStickyNoteDlg::ShorterSaveAllowed(const std::string& path)
{
    const ShortFile shortFile = m_notes.NotesLeftOutOf(path);
    if (!SaveAsksFirst(shortFile))
        return true;
    std::string text = "\"" + path + "\" ";
    if (shortFile.bNotReadWhole)
        text += "could not be read whole: it is damaged, is not a notes file, or another program was using it. Saving "
                "now replaces it with the notes on screen, and what could not be read is lost.\r\rSave all the same?";
    else
        text += "holds " + std::to_string(shortFile.nHeld) + " notes, and only " + std::to_string(shortFile.nShown)
                + " of them were shown: saving now leaves " + std::to_string(NotesLeftOut(shortFile))
                + " of them out.\r\rSave all the same?";
    return AppMessageBox(m_hWnd, text.c_str(), MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2, "Driftpad: Save")
           == IDYES;
}

bool CStickyNoteDlg::OnSaveAs()
{
    std::string path = AskNotesFileName(m_hWnd, true, m_notes.GetFileName());
    if (path.empty())
        return false;
    m_notes.SetFileName(path);
    if (!ShorterSaveAllowed(path))
        return false;
    WriteNotesFile(path);
    return true;
}

bool CStickyNoteDlg::ChangesElsewhereSettled(const std::string& path)
{
    struct Settling {
        bool& bSettling;
        ~Settling() { bSettling = false; }
    } settling{m_bSettling = true};
    // Round again while the file changes under the question: only the
    // version the user answered for is written over.
    for (FileChange change = m_notes.CheckFile(); change.bChanged; change = m_notes.CheckFile()) {
        if (!ChangeSettledByUser(path, change))
            return false;
        // A file that could not be read at all cannot be told apart from itself.
        if (!change.nDigest || !m_notes.ChangedSince(change))
            return true;
    }
    return true;
}

bool CStickyNoteDlg::ChangeSettledByUser(const std::string& path, const FileChange& change)
{
    std::string text = "\"" + path + "\" was changed on another computer or by another program since Driftpad "
                       "opened or saved it";
    if (!change.bReadable) {
        text += ", and it cannot be read as a notes file now: it is damaged, or another program is using it.\r\r"
                "Replace it with the notes on screen?";
        return AppMessageBox(m_hWnd, text.c_str(), MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2, "Driftpad: Save")
               == IDYES;
    }
    text += ".\r\rYes: bring in what was added, changed or deleted there, keep what was changed here, then save. "
            "A note changed on both computers is kept in both versions.\rNo: replace it with the notes on screen.\r"
            "Cancel: do not save.";
    switch (AppMessageBox(m_hWnd, text.c_str(), MB_YESNOCANCEL | MB_ICONEXCLAMATION, "Driftpad: Save")) {
    case IDYES: break;
    case IDNO: return true;
    default: return false;
    }
    if (size_t nNoRoom = m_notes.Merge(change)) {
        text = std::to_string(nNoRoom) + " of the new notes in \"" + path + "\" could not be shown: Windows has no "
               "room for more windows.\r\rThe file was not saved, so that they are not lost.";
        AppMessageBox(m_hWnd, text.c_str(), MB_OK | MB_ICONSTOP);
        return false;
    }
    return true;
}

void CStickyNoteDlg::OnDropFiles(HDROP hDrop)
{
    // The whole path of the first file, however long; the others are ignored.
    UINT length = DragQueryFileA(hDrop, 0, nullptr, 0);
    std::vector<char> path(length + 1);
    UINT got = DragQueryFileA(hDrop, 0, path.data(), length + 1);
    DragFinish(hDrop);
    if (got)
        OpenNotesFile(std::string(path.data(), got));
}

void CStickyNoteDlg::OnFolderChanged(WPARAM nHow)
{
    // A folder renamed or removed: watched again if it can be, else at the
    // next file name; meanwhile the file is looked at once more.
    if (nHow == CFolderWatch::kLost)
        m_watch.Watch(m_hWnd, std::string());
    SetTimer(m_hWnd, kArrivalTimer, kQuietMs, nullptr);  // each change starts the wait again
}

void CStickyNoteDlg::OnArrivalTimer()
{
    KillTimer(m_hWnd, kArrivalTimer);
    m_watch.Watch(m_hWnd, m_notes.GetFileName());
    if (m_bSettling || m_notes.Adding()) {
        SetTimer(m_hWnd, kArrivalTimer, kQuietMs, nullptr);
        return;
    }
    // A file not read or shown whole waits for Save and its questions; one
    // cut short or damaged (a sync client midway) for its next write.
    if (SaveAsksFirst(m_notes.NotesLeftOutOf(m_notes.GetFileName())))
        return;
    const FileChange change = m_notes.CheckFile();
    if (change.bChanged && change.bReadable)
        m_notes.Merge(change);
}

void CStickyNoteDlg::OnEndSession(BOOL bEnding)
{
    if (!bEnding)
        return;
    if (m_notes.Adding()) {
        // A file's notes are still being made: the file is left alone, and
        // the copy keeps what is on screen, marked short.
        m_recovery.KeepAtEndSession();
        return;
    }
    // The copy first: the autosave may ask for a name that nobody gives.
    m_recovery.OnEndSession();
    if (!m_app.GetPreferences().bSaveOnShutdown)
        return;
    // Windows waits for the save, and says why.
    const BOOL bBlocked = ShutdownBlockReasonCreate(m_hWnd, L"Saving notes");
    OnSave(true);
    if (bBlocked)
        ShutdownBlockReasonDestroy(m_hWnd);
}
