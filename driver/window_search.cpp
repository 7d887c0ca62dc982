#include "driver/driver.h"

#include <chrono>
#include <thread>

namespace driver {

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        Sleep(20);
    }
}

void Sleep(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

std::string WindowText(HWND hWnd)
{
    char text[1024] = {};
    DWORD_PTR got = 0;
    SendMessageTimeoutA(hWnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &got);
    return text;
}

std::string DialogItemText(HWND hDlg, int id)
{
    return WindowText(GetDlgItem(hDlg, id));
}

void SetItemText(HWND hDlg, int id, const std::string& text)
{
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(GetDlgItem(hDlg, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                        2000, &ignored);
}

namespace {

std::string ClassName(HWND hWnd)
{
    char name[256] = {};
    GetClassNameA(hWnd, name, sizeof name);
    return name;
}

struct WindowSearch {
    DWORD pid;
    const char* className;
    const char* title;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND w, LPARAM p)
{
    auto* s = reinterpret_cast<WindowSearch*>(p);
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == s->pid && (!s->visibleOnly || IsWindowVisible(w)) && (!s->className || ClassName(w) == s->className)
        && (!s->title || WindowText(w) == s->title))
        s->found.push_back(w);
    return TRUE;
}

}  // namespace

std::vector<HWND> ProcessWindows(DWORD pid, const char* className, const char* title, bool visibleOnly)
{
    WindowSearch search{pid, className, title, visibleOnly, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string MessageBoxText(HWND box)
{
    return DialogItemText(box, 0xFFFF);
}

void PressButton(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

}  // namespace driver
