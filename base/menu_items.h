#pragma once
// Sets the items of a popup menu as it opens.
#include "base/menu_state.h"

#include <windows.h>

#include <functional>

void UpdateMenuItems(HMENU hMenu, const std::function<MenuItemState(unsigned nID)>& stateOf);
