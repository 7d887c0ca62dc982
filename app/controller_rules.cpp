#include "app/controller_rules.h"

#include "resources/resource.h"

MenuItemState TrayMenuItemState(unsigned nID, const TrayFacts& facts)
{
    switch (nID) {
    case ID_NEWNOTE:
    case ID_QUIT:
    case ID_OPEN:
    case ID_SAVE:
        return {true, std::nullopt};
    case ID_HIDEALL:
    case ID_DELETEALL:
        return {facts.bAnyNotes, std::nullopt};
    case ID_SHOWHIDDEN:
        return {facts.bAnyNotes, facts.bShowHidden != 0};
    default:
        return {};
    }
}

unsigned DoubleClickCommand(uint32_t nDblClick)
{
    switch (nDblClick) {
    case 0: return ID_OPTIONS;
    case 1: return ID_NEWNOTE;
    default: return 0;
    }
}

std::string FirstStartBalloonText(uint32_t nDblClick)
{
    const std::string text = "Driftpad runs here. Right-click the icon for a new note";
    switch (DoubleClickCommand(nDblClick)) {
    case ID_OPTIONS: return text + "; double-click for Options.";
    case ID_NEWNOTE: return text + "; double-click for a new note straight away.";
    default: return text + ".";  // a double click does nothing
    }
}

size_t NotesLeftOut(const ShortFile& shortFile)
{
    return shortFile.nShown < shortFile.nHeld ? shortFile.nHeld - shortFile.nShown : 0;
}

ChangedFileStep ChangedFileStepFor(const ChangedFileFacts& facts)
{
    // Nobody to ask: the notes that are there join a file that can be read
    // (as data, needing no window), and one that cannot be is left alone.
    if (!facts.bUserToAsk)
        return facts.bReadable ? ChangedFileStep::merge : ChangedFileStep::leave;
    if (!facts.bReadable)  // asked only whether to replace it
        return facts.answer == Answer::yes ? ChangedFileStep::replace : ChangedFileStep::leave;
    switch (facts.answer) {
    case Answer::yes: return facts.bNoRoom ? ChangedFileStep::leave : ChangedFileStep::merge;
    case Answer::no: return ChangedFileStep::replace;
    default: return ChangedFileStep::leave;
    }
}
