#pragma once
// The program's private window messages.
#include <windows.h>

constexpr UINT WM_TRAYICON = 0x0401;     // tray icon -> controller; lParam: the mouse message
constexpr UINT WM_HIDEOPTIONS = 0x0402;  // controller -> itself, posted at initialisation
constexpr UINT WM_DELETENOTE = 0x0403;   // editor -> note (0, 0); note -> controller (wParam: the note)
constexpr UINT WM_APPLYVISIBILITY = 40006;  // a note -> itself, posted at initialisation
constexpr UINT WM_APPLYONTOP = 40007;       // a note -> itself; also the Always On Top command
constexpr UINT WM_ALARMSETTINGS = 40025;    // editor -> note, sent; also the Alarm... command
