// Puts Driftpad in a state worth a screenshot: two notes and the tray menu
// open. Used by the run script when there is no display to look at.
#include "driver/driver.h"

#include <cstdio>

using namespace driver;

int main()
{
    HWND controller = nullptr;
    WaitUntil([&] { return (controller = FindWindowA("#32770", "Driftpad: Options")) != nullptr; }, 30000);
    if (!controller)
        return 1;
    const char* texts[] = {"Buy milk\r\nand bread", "Call Ann at 3"};
    const POINT places[] = {{260, 220}, {520, 330}};
    for (int i = 0; i < 2; ++i) {
        MovePointer(places[i].x, places[i].y);
        PostMessageA(controller, WM_COMMAND, ID_NEWNOTE, 0);
        Sleep(500);
    }
    // Give each note its text: the notes are the controller's owned windows.
    DWORD pid = 0;
    GetWindowThreadProcessId(controller, &pid);
    int i = 0;
    for (HWND w : ProcessWindows(pid, "#32770")) {
        if (GetWindow(w, GW_OWNER) == controller && i < 2)
            SendMessageA(GetDlgItem(w, IDC_NOTEEDIT), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(texts[i++]));
    }
    PostMessageA(controller, WM_TRAYICON, 0, WM_RBUTTONDOWN);
    return WaitUntil([&] { return !ProcessWindows(pid, "#32768", nullptr, true).empty(); }) ? 0 : 1;
}
