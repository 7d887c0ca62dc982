#pragma once
// A DLL injected into a running program counts the GUI objects it holds
// (Wine's GetGuiResources answers 0, and only the process itself can see its
// handles): USER objects are its windows and menus. -1: unknown.
#include <windows.h>

namespace driver {
class App;
}

struct GuiObjectCounts {
    long gdi = -1;
    long user = -1;
};
bool InjectObjectProbe(const driver::App& app);
GuiObjectCounts CountGuiObjects(const driver::App& app);

// What the probe and the benchmark share, by name.
constexpr const char* kObjectProbeMapping = "Local\\DriftpadObjectProbe";
struct ObjectProbeShared {
    volatile LONG ready;         // the probe runs
    volatile LONG countRequest;  // set it, and the probe counts
    volatile LONG gdiCount;
    volatile LONG menuCount;     // written last; -1 until then
};
