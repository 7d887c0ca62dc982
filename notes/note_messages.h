#pragma once
// The notes' private window messages. Three share their numbers with the
// commands of the note's menu.
#include <windows.h>

constexpr UINT WM_DELETENOTE = 0x0403;      // editor -> note (0, 0); note -> controller (wParam: the note's window)
constexpr UINT WM_APPLYVISIBILITY = 40006;  // posted to a new note at initialisation (wParam 1), or to give the focus (2)
constexpr WPARAM kVisibilityAtCreation = 1;
constexpr WPARAM kVisibilityTakeFocus = 2;
constexpr UINT WM_APPLYONTOP = 40007;       // a note -> itself; also the Always On Top command
constexpr UINT WM_ALARMSETTINGS = 40025;    // editor -> note, sent; also the Alarm... command
constexpr UINT WM_NOTECHANGED = 0x0405;     // a note -> controller, posted: what the notes file keeps changed
constexpr UINT WM_ALARMNOTICECLOSED = 0x0407;  // alarm notice -> note, posted; wParam: IDOK, IDCANCEL or -1 (Delete)
constexpr UINT_PTR ALARM_TIMER_ID = 1029;   // a note's alarm timer
