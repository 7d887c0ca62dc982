// The benchmark's side of the object probe: loads it into the program and
// asks it to count.
#include "bench/object_probe.h"
#include "driver/driver.h"

namespace {

ObjectProbeShared* ProbeView()
{
    static ObjectProbeShared* view = [] {
        HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                            sizeof(ObjectProbeShared), kObjectProbeMapping);
        return mapping ? static_cast<ObjectProbeShared*>(
                             MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(ObjectProbeShared)))
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

bool InjectObjectProbe(const driver::App& app)
{
    if (!ProbeView())
        return false;
    ProbeView()->ready = 0;
    std::string dll = driver::ExeDir() + "\\object_probe.dll";
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
    return loaded != 0 && driver::WaitUntil([] { return ProbeView()->ready != 0; }, 3000);
}

GuiObjectCounts CountGuiObjects(const driver::App& app)
{
    GuiObjectCounts counts;
    ObjectProbeShared* view = ProbeView();
    if (!view || !view->ready)
        return counts;
    InterlockedExchange(&view->menuCount, -1);
    InterlockedExchange(&view->countRequest, 1);
    if (!driver::WaitUntil([&] { return view->menuCount >= 0; }, 10000))
        return counts;
    counts.gdi = view->gdiCount;
    counts.user = view->menuCount;
    for (HWND w : driver::ProcessWindows(app.Pid(), nullptr)) {
        ++counts.user;
        EnumChildWindows(w, CountWindow, reinterpret_cast<LPARAM>(&counts.user));
    }
    return counts;
}
