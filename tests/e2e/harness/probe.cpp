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

// One slot of the GDI handle table that Wine keeps in every process's PEB,
// laid out alike for 32- and 64-bit processes; a used slot has a type.
struct GdiHandleEntry {
    UINT64 object;
    ULONG owner;
    USHORT unique;
    UCHAR type;
    UCHAR flags;
    UINT64 user;
};
constexpr size_t kGdiHandleCount = 0x10000;

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

long CountGdiObjects(HANDLE process)
{
    using QueryFn = LONG(NTAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    auto query = reinterpret_cast<QueryFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
    struct {
        void* reserved1;
        void* pebBaseAddress;
        void* reserved2[2];
        ULONG_PTR uniqueProcessId;
        void* reserved3;
    } basic = {};
    ULONG length = 0;
    if (!query || query(process, 0 /* ProcessBasicInformation */, &basic, sizeof basic, &length) != 0)
        return -1;
    const size_t tableField = sizeof(void*) == 8 ? 0xF8 : 0x94;  // PEB.GdiSharedHandleTable
    void* table = nullptr;
    if (!ReadProcessMemory(process, static_cast<char*>(basic.pebBaseAddress) + tableField, &table, sizeof table,
                           nullptr) || !table)
        return -1;
    std::vector<GdiHandleEntry> entries(kGdiHandleCount);
    if (!ReadProcessMemory(process, table, entries.data(), entries.size() * sizeof(GdiHandleEntry), nullptr))
        return -1;
    return static_cast<long>(std::count_if(entries.begin(), entries.end(),
                                           [](const GdiHandleEntry& e) { return e.type != 0; }));
}

GuiObjectCounts CountGuiObjects(const App& app)
{
    GuiObjectCounts counts;
    counts.gdi = CountGdiObjects(app.Process());
    MenuProbeShared* view = ProbeView();
    if (!view || !view->ready)
        return counts;
    InterlockedExchange(&view->menuCount, -1);
    InterlockedExchange(&view->countRequest, 1);
    if (!WaitUntil([&] { return view->menuCount >= 0; }, 10000))
        return counts;
    counts.user = view->menuCount;
    for (HWND w : ProcessWindows(app.Pid(), nullptr)) {
        ++counts.user;
        EnumChildWindows(w, CountWindow, reinterpret_cast<LPARAM>(&counts.user));
    }
    return counts;
}

}  // namespace e2e
