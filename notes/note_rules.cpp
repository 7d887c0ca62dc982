#include "notes/note_rules.h"

#include "resources/resource.h"

bool IsNoteOnScreen(int32_t bHidden, int32_t bShowHidden)
{
    return !bHidden || bShowHidden;
}

int32_t Toggled(int32_t bFlag)
{
    return bFlag ? 0 : 1;
}

MenuItemState NoteMenuItemState(unsigned nID, const NoteMenuFacts& facts)
{
    switch (nID) {
    case ID_DELETENOTE:
    case ID_EDIT_SELECTALL:
        return {true, std::nullopt};
    case ID_EDIT_UNDO:
        return {facts.bCanUndo, std::nullopt};
    case ID_EDIT_CUT:
    case ID_EDIT_COPY:
    case ID_EDIT_DELETE:
        return {facts.bHasSelection, std::nullopt};
    case ID_EDIT_PASTE:
        return {facts.bCanPaste, std::nullopt};
    case ID_ALWAYSONTOP:
        return {std::nullopt, facts.bAlwaysOnTop != 0};
    case ID_HIDENOTE:
        return {std::nullopt, facts.bHidden != 0};
    default:
        return {};
    }
}
