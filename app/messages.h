#pragma once
// The controller's private window messages.
#include <windows.h>

constexpr UINT WM_TRAYICON = 0x0401;     // tray icon -> controller; lParam: the mouse message
constexpr UINT WM_HIDEOPTIONS = 0x0402;  // controller -> itself, posted at initialisation
constexpr UINT WM_RECOVERYFAILED = 0x0406;  // recovery worker -> controller, posted once per run
