#pragma once
// What a popup menu shows of one item when it opens; none leaves the
// resource's own state.
#include <optional>

struct MenuItemState {
    std::optional<bool> bEnabled;
    std::optional<bool> bChecked;

    friend bool operator==(const MenuItemState& a, const MenuItemState& b)
    {
        return a.bEnabled == b.bEnabled && a.bChecked == b.bChecked;
    }
};
