#include "tests/e2e/harness.h"

#include <algorithm>

#include "tests/e2e/menu_probe_shared.h"

namespace e2e {
namespace {

MenuProbeShared* ProbeView()
{
    static MenuProbeShared* view = [] {
        HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                            sizeof(MenuProbeShared), kMenuProbeMapping);
        return mapping ? static_cast<MenuProbeShared*>(
                             MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(MenuProbeShared)))
                       : nullptr;
    }();
    return view;
}

BOOL CALLBACK CountWindow(HWND, LPARAM count)
{
    ++*reinterpret_cast<long*>(count);
    return TRUE;
}

}  // namespace

unsigned MenuProbeSequence()
{
    const MenuProbeShared* view = ProbeView();
    return view ? static_cast<unsigned>(view->sequence) : 0;
}

bool InjectMenuProbe(const App& app)
{
    if (!ProbeView())
        return false;
    ProbeView()->ready = 0;
    std::string dll = ExeDir() + "\\menu_probe.dll";
    HANDLE process = app.Process();
    void* remote = VirtualAllocEx(process, nullptr, dll.size() + 1, MEM_COMMIT, PAGE_READWRITE);
    if (!remote || !WriteProcessMemory(process, remote, dll.c_str(), dll.size() + 1, nullptr))
        return false;
    auto loadLibrary = reinterpret_cast<LPTHREAD_START_ROUTINE>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "LoadLibraryA")));
    HANDLE thread = CreateRemoteThread(process, nullptr, 0, loadLibrary, remote, 0, nullptr);
    if (!thread)
        return false;
    WaitForSingleObject(thread, 5000);
    DWORD loaded = 0;
    GetExitCodeThread(thread, &loaded);
    CloseHandle(thread);
    // The probe says it is ready once its hook is in place.
    return loaded != 0 && WaitUntil([] { return ProbeView()->ready != 0; }, 3000);
}

bool DropFilesOnController(const std::vector<std::string>& paths)
{
    MenuProbeShared* view = ProbeView();
    if (!view || !view->ready)
        return false;
    std::string list;
    for (const auto& p : paths)
        list += p + '\0';
    list += '\0';
    if (list.size() > sizeof view->dropPaths)
        return false;
    CopyMemory(view->dropPaths, list.data(), list.size());
    InterlockedExchange(&view->dropRequest, 1);
    return true;
}

std::optional<std::vector<MenuItemState>> WaitMenuProbe(unsigned since, int timeoutMs)
{
    MenuProbeShared* view = ProbeView();
    if (!view || !WaitUntil([&] { return static_cast<unsigned>(view->sequence) > since; }, timeoutMs))
        return std::nullopt;
    std::vector<MenuItemState> items;
    for (LONG i = 0; i < view->count && i < kMenuProbeMaxItems; ++i) {
        const auto& it = view->items[i];
        items.push_back({it.id, it.text, (it.type & MFT_SEPARATOR) != 0, (it.state & MFS_GRAYED) != 0,
                         (it.state & MFS_CHECKED) != 0, it.popup != 0});
    }
    return items;
}

GuiObjectCounts CountGuiObjects(const App& app)
{
    GuiObjectCounts counts;
    MenuProbeShared* view = ProbeView();
    if (!view || !view->ready)
        return counts;
    InterlockedExchange(&view->menuCount, -1);
    InterlockedExchange(&view->countRequest, 1);
    if (!WaitUntil([&] { return view->menuCount >= 0; }, 10000))
        return counts;
    counts.gdi = view->gdiCount;
    counts.user = view->menuCount;
    for (HWND w : ProcessWindows(app.Pid(), nullptr)) {
        ++counts.user;
        EnumChildWindows(w, CountWindow, reinterpret_cast<LPARAM>(&counts.user));
    }
    return counts;
}

}  // namespace e2e
