#pragma once
// Notes that stay on the desktop. Windows offers no supported way, and the
// shell's desktop windows go with every Explorer restart, so the notes are
// never made their children: they are stacked right above the desktop's
// window, under every other program's, and go up with the desktop when the
// user shows it (Win+D, the taskbar's corner), down again when a program
// comes back. The foreground event and a light check on a timer say when to
// look at the stacking order again; a hidden marker kept under the notes
// shows the desktop passing it.
#include "base/handle.h"

#include <functional>
#include <vector>

class CDesktopLayer {
public:
    // The windows of the notes that should be on screen.
    using NoteWindows = std::function<std::vector<HWND>()>;

    CDesktopLayer() = default;
    ~CDesktopLayer() { Stop(); }
    CDesktopLayer(const CDesktopLayer&) = delete;
    CDesktopLayer& operator=(const CDesktopLayer&) = delete;

    // hWndTimer receives the check's WM_TIMER, to hand on to OnTimer.
    void SetWindows(HWND hWndTimer, NoteWindows notes);
    // On: the marker, the hook and the timer are made and the notes placed;
    // off: none of them is left, and the notes stay where they are.
    void Enable(bool bOn);
    bool IsOn() const { return static_cast<bool>(m_marker); }
    // True when it was the check's timer.
    bool OnTimer(UINT_PTR nIDEvent);
    // Explorer restarted: its desktop windows are new ones.
    void OnShellRestart();

private:
    static void CALLBACK OnForeground(HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD, DWORD);
    void Stop();
    // Looks at the stacking order and moves the notes where they belong.
    void Judge();
    bool DesktopAboveMarker() const;
    bool Cloaked(HWND hWnd) const;
    void ExcludeFromPeek(const std::vector<HWND>& notes, BOOL bExclude) const;

    using DwmAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, void*, DWORD);
    HWND m_hWndTimer = nullptr;
    NoteWindows m_notes;
    HWND m_hDesktop = nullptr;  // the shell's, found by its classes
    // What the last look saw; the timer looks again when any of it changed.
    HWND m_hLastForeground = nullptr;
    bool m_bLastAbove = false;
    size_t m_nLastNotes = 0;
    bool m_bJudging = false;
    UniqueModule m_dwmapi;  // absent on some systems: the notes then only lack the Peek exclusion
    DwmAttributeFn m_pfnSetAttribute = nullptr, m_pfnGetAttribute = nullptr;
    UniqueWindow m_marker;
    UniqueWinEventHook m_hook;
};
