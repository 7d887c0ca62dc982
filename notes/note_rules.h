#pragma once
// A note's decisions over plain values: whether it is on screen, what its
// context menu shows, and how its toggles flip.
#include "base/menu_state.h"

#include <cstdint>

// A note is on screen unless it is hidden while hidden notes are not shown.
// Any nonzero flag counts as set: a file may hold any value.
bool IsNoteOnScreen(int32_t bHidden, int32_t bShowHidden);

// Toggles go by the flag's truth, so that a 2 read from a file turns off.
int32_t Toggled(int32_t bFlag);

struct NoteMenuFacts {
    bool bCanUndo = false;
    bool bHasSelection = false;
    bool bCanPaste = false;
    int32_t bAlwaysOnTop = 0;
    int32_t bHidden = 0;
};

// The state of note menu item nID as the menu opens.
MenuItemState NoteMenuItemState(unsigned nID, const NoteMenuFacts& facts);
