#pragma once
// The notes' private window messages, and the two roads they travel: a
// change to the controller, and a delete through the note to the
// controller, the only one that ends notes. Three numbers are shared with
// the commands of the note's menu.
#include <windows.h>

// Editor or notice -> note (0, 0); note -> controller (wParam: the note's window).
constexpr UINT WM_DELETENOTE = 0x0403;
constexpr UINT WM_APPLYVISIBILITY = 40006;  // a note -> itself; wParam: why
constexpr WPARAM kVisibilityOfFlags = 0;      // its hidden flag changed
constexpr WPARAM kVisibilityAtCreation = 1;
constexpr WPARAM kVisibilityTakeFocus = 2;
constexpr UINT WM_APPLYONTOP = 40007;       // a note -> itself; also the Always On Top command
constexpr UINT WM_ALARMSETTINGS = 40025;    // editor -> note, sent; also the Alarm... command
// A note (posted) or the collection (sent) -> controller: what the notes file keeps
// changed; wParam: by whom.
constexpr UINT WM_NOTECHANGED = WM_APP + 1;
constexpr WPARAM kChangedByUser = 0;
constexpr WPARAM kChangedByFile = 1;  // notes read, or the current file's name set
constexpr UINT WM_ALARMNOTICECLOSED = WM_APP + 3;  // alarm notice -> note, posted; wParam: IDOK, IDCANCEL or -1 (Delete)
constexpr UINT_PTR ALARM_TIMER_ID = 1029;   // a note's alarm timer

// The user changed a note: its owner, the controller, is told.
inline void PostNoteChanged(HWND hWndNote)
{
    PostMessageA(GetWindow(hWndNote, GW_OWNER), WM_NOTECHANGED, kChangedByUser, 0);
}

// The first leg of a delete, from whatever the user asked in (the editor's
// menu, the alarm notice) to the note ...
inline void PostDeleteNote(HWND hWndNote)
{
    PostMessageA(hWndNote, WM_DELETENOTE, 0, 0);
}

// ... and the second, from the note to the controller, which knows notes
// by their windows.
inline void ForwardDeleteNote(HWND hWndNote)
{
    PostMessageA(GetWindow(hWndNote, GW_OWNER), WM_DELETENOTE, reinterpret_cast<WPARAM>(hWndNote), 0);
}
