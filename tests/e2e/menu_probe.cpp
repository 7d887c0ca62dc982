// Loaded into Driftpad.exe by the tests: hooks the user-interface thread and
// records each popup menu's items after the program has set their states.
#include "tests/e2e/menu_probe_shared.h"

#include <shlobj.h>

namespace {

HMODULE g_module;
MenuProbeShared* g_shared;

void Record(HMENU menu)
{
    int count = GetMenuItemCount(menu);
    if (count < 0)
        return;
    g_shared->count = count < kMenuProbeMaxItems ? count : kMenuProbeMaxItems;
    for (int i = 0; i < g_shared->count; ++i) {
        MenuProbeItem& item = g_shared->items[i];
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = item.text;
        info.cch = sizeof item.text;
        item.text[0] = 0;
        GetMenuItemInfoA(menu, i, TRUE, &info);
        item.id = info.wID;
        item.type = info.fType;
        item.state = info.fState;
        item.popup = info.hSubMenu != nullptr;
    }
    InterlockedIncrement(&g_shared->sequence);
}

LRESULT CALLBACK AfterWindowProc(int code, WPARAM wParam, LPARAM lParam)
{
    auto* msg = reinterpret_cast<CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && msg->message == WM_INITMENUPOPUP)
        Record(reinterpret_cast<HMENU>(msg->wParam));
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL CALLBACK FindController(HWND w, LPARAM result)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    char title[64] = {};
    GetWindowTextA(w, title, sizeof title);
    if (pid == GetCurrentProcessId() && lstrcmpA(title, "Driftpad: Options") == 0) {
        *reinterpret_cast<HWND*>(result) = w;
        return FALSE;
    }
    return TRUE;
}

// Builds the drop handle here, in the program's own memory, as the shell does.
void DropFiles(HWND controller)
{
    size_t length = 0;
    while (length + 1 < sizeof g_shared->dropPaths
           && (g_shared->dropPaths[length] || g_shared->dropPaths[length + 1]))
        ++length;
    length += 2;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + length);
    if (!memory)
        return;
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = FALSE;
    CopyMemory(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), g_shared->dropPaths, length);
    GlobalUnlock(memory);
    if (!PostMessageA(controller, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0))
        GlobalFree(memory);
}

// For the leak checks.
void CountObjects()
{
    const LiveObjects live = CountLiveObjects();
    InterlockedExchange(&g_shared->gdiCount, live.gdi);
    InterlockedExchange(&g_shared->menuCount, live.menus);
}

DWORD WINAPI ProbeThread(void*)
{
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        sizeof(MenuProbeShared), kMenuProbeMapping);
    if (!mapping)
        return 1;
    g_shared = static_cast<MenuProbeShared*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(MenuProbeShared)));
    HWND controller = nullptr;
    EnumWindows(FindController, reinterpret_cast<LPARAM>(&controller));
    DWORD uiThread = controller ? GetWindowThreadProcessId(controller, nullptr) : 0;
    if (!g_shared || !uiThread)
        return 1;
    if (!SetWindowsHookExA(WH_CALLWNDPROCRET, AfterWindowProc, g_module, uiThread))
        return 1;
    InterlockedExchange(&g_shared->ready, 1);
    // A hook lives as long as the thread that set it; meanwhile it carries
    // out the drops and counts the tests ask for.
    for (;;) {
        ::Sleep(20);
        if (InterlockedExchange(&g_shared->dropRequest, 0))
            DropFiles(controller);
        if (InterlockedExchange(&g_shared->countRequest, 0))
            CountObjects();
    }
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
        HANDLE thread = CreateThread(nullptr, 0, ProbeThread, nullptr, 0, nullptr);
        if (thread)
            CloseHandle(thread);
    }
    return TRUE;
}
