#pragma once
// What only code inside Driftpad's process can see under Wine, through a
// probe DLL injected into it: the states of the popup menus it opens, files
// dropped on it as the shell would, and its live GUI objects.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace e2e {

class App;

struct MenuItemState {
    UINT id;
    std::string text;
    bool separator;
    bool grayed;
    bool checked;
    bool popup;
};
bool InjectMenuProbe(const App& app);
// The items of the first menu that opened after 'since' (a sequence number).
std::optional<std::vector<MenuItemState>> WaitMenuProbe(unsigned since, int timeoutMs = 3000);
unsigned MenuProbeSequence();
// Drops files on the controller; the probe builds the drop in the
// program's own memory as the shell would.
bool DropFilesOnController(const std::vector<std::string>& paths);

// Live GUI objects of the program, counted where Wine keeps them (its
// GetGuiResources answers 0): GDI objects from the process's GDI handle
// table; USER objects as its windows plus its menus, which only the probe
// sees (inject it first). -1 for a count that could not be read.
struct GuiObjectCounts {
    long gdi = -1;
    long user = -1;
};
GuiObjectCounts CountGuiObjects(const App& app);
long CountGdiObjects(HANDLE process);

}  // namespace e2e
