// Loaded into the measured program: counts its live GDI objects and menus
// whenever the benchmark asks.
#include "bench/object_probe.h"
#include "driver/live_objects.h"

namespace {

DWORD WINAPI ProbeThread(void*)
{
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(ObjectProbeShared),
                                        kObjectProbeMapping);
    auto* shared = mapping ? static_cast<ObjectProbeShared*>(
                                 MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(ObjectProbeShared)))
                           : nullptr;
    if (!shared)
        return 1;
    InterlockedExchange(&shared->ready, 1);
    for (;;) {
        ::Sleep(20);
        if (InterlockedExchange(&shared->countRequest, 0)) {
            const LiveObjects live = CountLiveObjects();
            InterlockedExchange(&shared->gdiCount, live.gdi);
            InterlockedExchange(&shared->menuCount, live.menus);
        }
    }
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*)
{
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        if (HANDLE thread = CreateThread(nullptr, 0, ProbeThread, nullptr, 0, nullptr))
            CloseHandle(thread);
    }
    return TRUE;
}
