#pragma once
// The controller: the hidden Options dialog that owns the tray icon, the
// tray menu and every note, and carries out the tray's commands.
#include "app/desktop_layer.h"
#include "app/folder_watch.h"
#include "app/note_collection.h"
#include "app/recovery_guard.h"
#include "app/tray_icon.h"
#include "base/dialog.h"

#include <shellapi.h>

#include <string>

class CStickyNoteApp;

class CStickyNoteDlg : public CDialog {
public:
    // Creates the window; GetSafeHwnd() is null if that failed.
    explicit CStickyNoteDlg(CStickyNoteApp& app);

    // Makes path the current notes file and loads it (start-up, dropped files).
    void OpenNotesFile(const std::string& path);
    // The start-up load: outside any window message, so failures are
    // reported here. A recovery copy left behind is offered first.
    void OpenNotesFileAtStartup(const std::string& path);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    bool OnCommand(WORD nID, WORD nCode, HWND hCtl) override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
    void PostNcDestroy() override;

private:
    // Also says where the icon is, on the first start after an install.
    void AddTrayIcon();
    LRESULT OnTrayIcon(WPARAM wParam, LPARAM lParam);
    LRESULT OnHideOptions();
    LRESULT OnDeleteNote(WPARAM wParam, LPARAM lParam);
    void OnInitMenuPopup(HMENU hMenu, UINT nIndex, BOOL bSysMenu);
    void OnNewNote();
    void OnHideAll();
    void OnShowHidden();
    void OnDeleteAll();
    void OnQuit();
    void OnOptions();
    // The conversation about the notes file (notes_file_talk.cpp).
    void OnOpen();
    void OnDropFiles(HDROP hDrop);
    void OnEndSession(BOOL bEnding);
    // What another computer saved arrives: once its folder has been quiet
    // for a while and the file reads whole, it is merged onto the screen,
    // with no question and nothing written.
    void OnFolderChanged(WPARAM nHow);
    // WM_TIMER; true when it was the arrival's timer.
    bool OnArrivalTimer(UINT_PTR nIDEvent);
    // True when the notes were written; false when the user cancelled (the
    // Save As dialog, or a question on the way). A failure to write is
    // raised, never passed over. At the end of a session nobody answers.
    bool OnSave(bool bAtSessionEnd = false);
    // Onto the file the user names, as it is: no merge.
    bool OnSaveAs();
    void WriteNotesFile(const std::string& path);
    // A file whose notes could not all be shown, or that could not be read
    // whole, is written over only when the user says so.
    bool ShorterSaveAllowed(const std::string& path);
    // A file changed elsewhere since Driftpad read or wrote it (a synced
    // folder's other computer) is merged with the notes on screen, or
    // replaced, only as the user says; false: it is not to be written.
    bool ChangesElsewhereSettled(const std::string& path);
    // Asks about one version of the changed file, and merges it on Yes.
    bool ChangeSettledByUser(const std::string& path, const FileChange& change);

    CStickyNoteApp& m_app;
    CTrayIcon m_trayIcon;
    int m_nTrayRetries = 0;
    CNoteCollection m_notes;
    CRecoveryGuard m_recovery;  // after the notes: it ends first, and reads them till then
    CDesktopLayer m_desktop;    // reads the notes too: ends before them
    CFolderWatch m_watch;
    bool m_bSettling = false;  // a Save asks about a changed file: arrivals wait for it
};
