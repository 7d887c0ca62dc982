#pragma once
// The controller's decisions over plain values: the tray menu's states,
// the tray double click, when a save onto a file that was not shown whole
// asks first, and what a save does with a file changed elsewhere.
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

// The file's notes that a save would leave out; a save with any, or over a
// file not read whole, asks first. Notes of other files on the screen never
// make up for them.
size_t NotesLeftOut(const ShortFile& shortFile);
inline bool SaveAsksFirst(const ShortFile& shortFile) { return NotesLeftOut(shortFile) || shortFile.bNotReadWhole; }

enum class Answer { yes, no, cancel };

// A save onto its file changed elsewhere since Driftpad read or wrote it.
struct ChangedFileFacts {
    bool bUserToAsk = true;  // false at the end of a session: nobody answers
    bool bReadable = false;  // the changed file reads whole as a notes file
    Answer answer = Answer::cancel;  // the user's, when asked
    bool bNoRoom = false;  // merged onto the screen, some of its notes found no window
};
enum class ChangedFileStep {
    merge,    // its changes come onto the notes, which are then written
    replace,  // the notes are written over it as they are
    leave,    // nothing is written, so that nothing is lost unasked
};
ChangedFileStep ChangedFileStepFor(const ChangedFileFacts& facts);
