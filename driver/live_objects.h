#pragma once
// The menus and GDI objects alive in the calling process (Wine's
// GetGuiResources answers 0). Under Wine a handle whose high word is zero
// names its object whatever the object's generation, so the low words are enough.
#include <windows.h>

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
