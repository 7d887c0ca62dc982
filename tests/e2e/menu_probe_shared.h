#pragma once
// What the menu probe, injected into Driftpad's process, hands to the tests:
// the items of the last popup menu that opened, as the program left them.
#include <windows.h>

constexpr const char* kMenuProbeMapping = "Local\\DriftpadMenuProbe";
constexpr int kMenuProbeMaxItems = 32;

struct MenuProbeItem {
    UINT id;
    UINT type;
    UINT state;
    UINT popup;
    char text[64];
};

struct MenuProbeShared {
    volatile LONG ready;     // the hook is in place
    volatile LONG sequence;  // counts the menus seen; written last
    LONG count;
    MenuProbeItem items[kMenuProbeMaxItems];
    // Files to drop on the controller, as the shell would: a list of paths,
    // each ended by a 0, the list by another; then dropRequest is set.
    volatile LONG dropRequest;
    char dropPaths[8192];
    // Set countRequest and the probe counts the live GDI objects, then the menus.
    volatile LONG countRequest;
    volatile LONG gdiCount;
    volatile LONG menuCount;
};

// The menus and GDI objects alive in the calling process (Wine's
// GetGuiResources answers 0). Under Wine a handle whose high word is zero
// names its object whatever the object's generation, so the low words are enough.
struct LiveObjects {
    LONG gdi = 0;
    LONG menus = 0;
};
inline LiveObjects CountLiveObjects()
{
    LiveObjects live;
    for (UINT_PTR handle = 1; handle < 0x10000; ++handle) {
        live.menus += handle % 2 == 0 && IsMenu(reinterpret_cast<HMENU>(handle)) ? 1 : 0;
        live.gdi += GetObjectType(reinterpret_cast<HGDIOBJ>(handle)) ? 1 : 0;
    }
    return live;
}
