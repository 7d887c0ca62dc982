#pragma once
// The controller's decisions over plain values: the tray menu's states,
// the tray double click, and what each answer to Quit and Delete All does.
#include "base/menu_state.h"

#include <cstdint>
#include <string>

struct TrayFacts {
    bool bAnyNotes = false;
    int32_t bShowHidden = 0;
};

// The state of tray menu item nID as the menu opens.
MenuItemState TrayMenuItemState(unsigned nID, const TrayFacts& facts);

// The command a double click on the tray icon runs for the "DblClick"
// preference (0 Options, 1 New Note); 0 for none.
unsigned DoubleClickCommand(uint32_t nDblClick);
// The balloon of the first start after an install: where the program lives,
// and what a double click there does with this preference.
std::string FirstStartBalloonText(uint32_t nDblClick);

enum class Answer { yes, no, cancel };

enum class QuitStep {
    stay,          // Cancel: nothing happens
    saveThenQuit,  // Yes: quits only once the notes are saved
    quit,          // No: the user's choice to discard
};
QuitStep QuitStepFor(Answer answer);

// Delete All Notes deletes only on Yes.
bool DeleteAllConfirmed(Answer answer);
