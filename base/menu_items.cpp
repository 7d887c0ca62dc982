#include "base/menu_items.h"

void UpdateMenuItems(HMENU hMenu, const std::function<MenuItemState(unsigned nID)>& stateOf)
{
    int count = GetMenuItemCount(hMenu);
    for (int pos = 0; pos < count; ++pos) {
        MenuItemState state = stateOf(GetMenuItemID(hMenu, pos));
        if (state.bEnabled)
            EnableMenuItem(hMenu, pos, MF_BYPOSITION | (*state.bEnabled ? MF_ENABLED : MF_GRAYED));
        if (state.bChecked)
            CheckMenuItem(hMenu, pos, MF_BYPOSITION | (*state.bChecked ? MF_CHECKED : MF_UNCHECKED));
    }
}
