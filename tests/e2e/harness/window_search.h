#pragma once
// Waiting, and finding the program's windows from outside: by process,
// class, title and control id; message boxes and popup menus.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

// Polls every 20 ms until the condition holds or the time is up.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 5000);
void Sleep(int ms);

std::string WindowText(HWND hWnd);
std::string DialogItemText(HWND hDlg, int id);
void SetItemText(HWND hDlg, int id, const std::string& text);
RECT WindowRect(HWND hWnd);
RECT WorkArea();

// Top-level windows of a process with the given class (and title, if given).
std::vector<HWND> ProcessWindows(DWORD pid, const char* className, const char* title = nullptr,
                                 bool visibleOnly = false);
// The first descendant window of the given class, or null.
HWND FindDescendant(HWND parent, const char* className);

// A message box's text (its static control 0xFFFF).
std::string MessageBoxText(HWND box);
// Presses a button of a dialog or message box (IDYES, IDNO, IDOK...).
void PressButton(HWND dialog, int id);

// The process's visible popup menu (#32768), or null on time-out. Keys
// posted before the menu's own loop runs are lost, so it waits for that.
HWND WaitPopupMenu(DWORD pid, int timeoutMs = 3000);
bool WaitNoPopupMenu(DWORD pid, int timeoutMs = 3000);
// Posts keys to a menu, one at a time as a user types them.
void MenuKeys(HWND menu, std::initializer_list<UINT> keys);

}  // namespace e2e
