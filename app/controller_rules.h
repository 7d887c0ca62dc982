#pragma once
// The controller's decisions over plain values: the tray menu's states,
// the tray double click, what each answer to Quit and Delete All does, and
// when a save onto a file that was not shown whole asks first.
#include "base/menu_state.h"
#include "storage/notes_merge.h"

#include <cstddef>
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

// The file's notes that a save would leave out; a save with any, or over a
// file not read whole, asks first. Notes of other files on the screen never
// make up for them.
size_t NotesLeftOut(const ShortFile& shortFile);
inline bool SaveAsksFirst(const ShortFile& shortFile) { return NotesLeftOut(shortFile) || shortFile.bNotReadWhole; }
