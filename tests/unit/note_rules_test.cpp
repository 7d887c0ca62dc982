// A note's decisions: when it is on screen, how its toggles flip, and what
// its context menu shows.
#include "notes/note_rules.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

namespace {

constexpr std::nullopt_t kAsIs = std::nullopt;

TEST(NoteRules, OnScreenUnlessHiddenWhileHiddenNotesAreNotShownAndTogglesGoByTruth)
{
    struct Case {
        int32_t bHidden, bShowHidden;
        bool bOnScreen;
    };
    const Case cases[] = {
        {0, 0, true}, {1, 0, false}, {0, 1, true}, {1, 1, true},
        {2, 0, false}, {2, 2, true},  // any nonzero value read from a file counts as set
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsNoteOnScreen(c.bHidden, c.bShowHidden), c.bOnScreen) << c.bHidden << ' ' << c.bShowHidden;

    EXPECT_EQ(Toggled(0), 1);
    EXPECT_EQ(Toggled(1), 0);
    EXPECT_EQ(Toggled(2), 0);
}

TEST(NoteRules, ContextMenuStatesFollowTheEditorAndTheFlags)
{
    NoteMenuFacts none;
    NoteMenuFacts all;
    all.bCanUndo = all.bHasSelection = all.bCanPaste = true;
    all.bAlwaysOnTop = 1;
    all.bHidden = 2;
    struct Case {
        unsigned nID;
        MenuItemState withNone, withAll;
    };
    const Case cases[] = {
        {ID_EDIT_UNDO, {false, kAsIs}, {true, kAsIs}},
        {ID_EDIT_CUT, {false, kAsIs}, {true, kAsIs}},
        {ID_EDIT_COPY, {false, kAsIs}, {true, kAsIs}},
        {ID_EDIT_DELETE, {false, kAsIs}, {true, kAsIs}},
        {ID_EDIT_PASTE, {false, kAsIs}, {true, kAsIs}},
        {ID_EDIT_SELECTALL, {true, kAsIs}, {true, kAsIs}},
        {ID_DELETENOTE, {true, kAsIs}, {true, kAsIs}},
        {ID_ALWAYSONTOP, {kAsIs, false}, {kAsIs, true}},
        {ID_HIDENOTE, {kAsIs, false}, {kAsIs, true}},
        {ID_ALARM, {}, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NoteMenuItemState(c.nID, none), c.withNone) << c.nID;
        EXPECT_EQ(NoteMenuItemState(c.nID, all), c.withAll) << c.nID;
    }
    // Each fact drives its own items only.
    NoteMenuFacts paste;
    paste.bCanPaste = true;
    EXPECT_EQ(NoteMenuItemState(ID_EDIT_CUT, paste), (MenuItemState{false, kAsIs}));
    EXPECT_EQ(NoteMenuItemState(ID_EDIT_PASTE, paste), (MenuItemState{true, kAsIs}));
    NoteMenuFacts undo;
    undo.bCanUndo = true;
    EXPECT_EQ(NoteMenuItemState(ID_EDIT_COPY, undo), (MenuItemState{false, kAsIs}));
    NoteMenuFacts hidden;
    hidden.bHidden = 1;
    EXPECT_EQ(NoteMenuItemState(ID_ALWAYSONTOP, hidden), (MenuItemState{kAsIs, false}));
}

}  // namespace
