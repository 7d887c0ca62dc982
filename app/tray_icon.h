#pragma once
// The tray icon: added at start, added again when the shell restarts,
// removed at Quit; its popup menu sends its commands to the owner.
#include <windows.h>

#include <shellapi.h>

#include <string>

class CTrayIcon {
public:
    // The shell's tray call; a test puts a recorder in its place to see what
    // the program asks of the shell (Wine's shell also drops a destroyed
    // window's icons by itself, so the effect alone proves nothing).
    using ShellNotifyFn = BOOL (*)(DWORD nMessage, NOTIFYICONDATAA* pData);
    static void SetShellNotify(ShellNotifyFn pfnNotify);

    CTrayIcon();

    // Adds icon 112 with the tip "Driftpad"; the mouse comes back to the
    // owner as WM_TRAYICON. False when the shell refused it.
    bool Add(HWND hWndOwner);
    void Remove();
    // A balloon from the added icon; false where the shell refuses it (one
    // that knows only the first form of the structure), and nothing changes.
    bool ShowBalloon(const char* title, const std::string& text);
    // The shell (re)started and has forgotten every icon.
    bool IsShellRestart(UINT msg) const { return msg != 0 && msg == m_nTaskbarCreated; }
    // Menu 102 at the bottom right of the work area.
    void ShowMenu();

private:
    HWND m_hWndOwner = nullptr;
    UINT m_nTaskbarCreated;
};
