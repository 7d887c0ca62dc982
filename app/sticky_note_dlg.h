#pragma once
// The controller: the hidden Options dialog that owns the tray icon, the
// tray menu and every note.
#include "base/dialog.h"

#include <shellapi.h>

#include <cstdint>
#include <list>
#include <string>

class CStickyNoteApp;
class CNoteDlg;

class CStickyNoteDlg : public CDialog {
public:
    // Creates the window; GetSafeHwnd() is null if that failed.
    explicit CStickyNoteDlg(CStickyNoteApp* pApp);
    ~CStickyNoteDlg() override;

    // Makes path the current notes file and loads it (start-up, dropped files).
    void OpenNotesFile(const std::string& path);
    // The start-up load: outside any window message, so failures are reported here.
    void OpenNotesFileAtStartup(const std::string& path);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    bool OnCommand(WORD nID, WORD nCode, HWND hCtl) override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
    void PostNcDestroy() override;

private:
    LRESULT OnTrayIcon(WPARAM wParam, LPARAM lParam);
    LRESULT OnHideOptions();
    LRESULT OnDeleteNote(WPARAM wParam, LPARAM lParam);
    void OnInitMenuPopup(HMENU hMenu, UINT nIndex, BOOL bSysMenu);
    void OnNewNote();
    void OnHideAll();
    void OnUpdateShowHidden();
    void OnShowHidden();
    void OnDeleteAll();
    void OnQuit();
    void OnOptions();
    void OnDropFiles(HDROP hDrop);
    void OnEndSession(BOOL bEnding);
    void OnOpen();
    // True when the notes were written; false when the user cancelled the
    // Save As dialog. A failure to write is raised, never passed over.
    bool OnSave();
    bool OnSaveAs();

    bool AddTrayIcon();
    void RemoveTrayIcon();
    void ShowTrayMenu();
    void DestroyAllNotes();
    // Shows or hides every note marked hidden by the current mode.
    void ApplyShowHidden();
    void LoadNotesFile(const std::string& path);
    // Writes the whole collection to path; a failure is raised.
    void SaveNotesFile(const std::string& path);

    CStickyNoteApp* m_pApp;
    std::list<CNoteDlg*> m_noteList;
    std::string m_strFileName;
    int32_t m_bShowHidden = 0;
    uint32_t m_bSaveOnShutdown = 0;
    uint32_t m_nDblClick = 0;
    UINT m_nTaskbarCreated = 0;
};
