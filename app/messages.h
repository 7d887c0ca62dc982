#pragma once
// The controller's private window messages.
//
// The tray message keeps its number, 0x401, because programs outside this
// one post it; 0x402 and WM_DELETENOTE (0x403) keep theirs beside it. On a
// dialog, 0x401 and 0x402 are also the dialog manager's DM_SETDEFID and
// DM_REPOSITION. That cannot misfire here: the dialog manager never sends
// either by itself (only a program does, and this one never does to the
// hidden Options dialog), and a stray one would only be a tray event with
// no mouse message, which does nothing, or hide the Options dialog.
// 0x403 is no dialog manager message. Every other private message lies in
// WM_APP's range, where no system message is.
#include <windows.h>

constexpr UINT WM_TRAYICON = 0x0401;     // tray icon -> controller; lParam: the mouse message
constexpr UINT WM_HIDEOPTIONS = 0x0402;  // controller -> itself, posted at initialisation
constexpr UINT WM_RECOVERYFAILED = WM_APP + 2;  // recovery worker -> controller, posted once per run
constexpr UINT WM_FOLDERCHANGED = WM_APP + 10;  // folder watch -> controller; wParam: CFolderWatch::kTouched or kLost
