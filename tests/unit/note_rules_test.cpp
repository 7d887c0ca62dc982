// A note's decisions: when it is on screen, how its toggles flip, and what
// its context menu shows.
#include "notes/note_rules.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <iterator>
#include <utility>

namespace {

TEST(NoteRules, OnScreenUnlessHiddenWhileHiddenNotesAreNotShownAndTogglesGoByTruth)
{
    // Any nonzero value read from a file counts as set.
    const struct { int32_t bHidden, bShowHidden; bool bOnScreen; } rows[] = {
        {0, 0, true}, {1, 0, false}, {0, 1, true}, {2, 0, false}, {2, 2, true},
    };
    for (const auto& row : rows)
        EXPECT_EQ(IsNoteOnScreen(row.bHidden, row.bShowHidden), row.bOnScreen) << row.bHidden << ' ' << row.bShowHidden;
    for (auto [bFlag, bToggled] : {std::pair{0, 1}, {1, 0}, {2, 0}})
        EXPECT_EQ(Toggled(bFlag), bToggled) << bFlag;
}

TEST(NoteRules, ContextMenuStatesFollowTheEditorAndTheFlags)
{
    const unsigned kItems[] = {ID_EDIT_UNDO, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_DELETE,
                               ID_EDIT_PASTE, ID_EDIT_SELECTALL, ID_DELETENOTE};
    // Each fact alone: which of kItems are enabled, and the two marks.
    const struct { NoteMenuFacts facts; const char* enabled; bool bOnTop, bHidden; } rows[] = {
        {{}, "0000011", false, false},
        {{true, false, false, 0, 0}, "1000011", false, false},
        {{false, true, false, 0, 0}, "0111011", false, false},
        {{false, false, true, 0, 0}, "0000111", false, false},
        {{false, false, false, 2, 0}, "0000011", true, false},
        {{false, false, false, 0, 2}, "0000011", false, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.enabled);
        for (size_t i = 0; i < std::size(kItems); ++i)
            EXPECT_EQ(NoteMenuItemState(kItems[i], row.facts), (MenuItemState{row.enabled[i] == '1', std::nullopt})) << i;
        EXPECT_EQ(NoteMenuItemState(ID_ALWAYSONTOP, row.facts), (MenuItemState{std::nullopt, row.bOnTop}));
        EXPECT_EQ(NoteMenuItemState(ID_HIDENOTE, row.facts), (MenuItemState{std::nullopt, row.bHidden}));
        EXPECT_EQ(NoteMenuItemState(ID_ALARM, row.facts), MenuItemState{});
    }
}

}  // namespace
