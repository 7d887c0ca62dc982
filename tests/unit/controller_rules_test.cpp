// The controller's decisions: the tray menu's states, the double click, and
// what each answer to Quit and Delete All leads to.
#include "app/controller_rules.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

namespace {

constexpr std::nullopt_t kAsIs = std::nullopt;

TEST(ControllerRules, TrayMenuStatesFollowTheNotesAndTheShowHiddenMode)
{
    const struct { unsigned nID; TrayFacts facts; MenuItemState expected; } rows[] = {
        {ID_NEWNOTE, {false, 0}, {true, kAsIs}},  // always there to use
        {ID_OPEN, {false, 0}, {true, kAsIs}},
        {ID_SAVE, {false, 0}, {true, kAsIs}},
        {ID_QUIT, {false, 1}, {true, kAsIs}},
        {ID_HIDEALL, {false, 0}, {false, kAsIs}},  // only with notes to act on
        {ID_DELETEALL, {false, 1}, {false, kAsIs}},
        {ID_DELETEALL, {true, 1}, {true, kAsIs}},
        {ID_SHOWHIDDEN, {false, 1}, {false, true}},  // the mark shows any nonzero mode
        {ID_SHOWHIDDEN, {true, 0}, {true, false}},
        {ID_SHOWHIDDEN, {true, 2}, {true, true}},
        {ID_OPTIONS, {false, 0}, {}},  // the rest keep what the menu resource says
    };
    for (const auto& row : rows)
        EXPECT_EQ(TrayMenuItemState(row.nID, row.facts), row.expected) << row.nID << " notes " << row.facts.bAnyNotes;
}

TEST(ControllerRules, DoubleClickAndAnswersLeadWhereTheUserAsked)
{
    EXPECT_EQ(DoubleClickCommand(0), unsigned{ID_OPTIONS});
    EXPECT_EQ(DoubleClickCommand(1), unsigned{ID_NEWNOTE});
    EXPECT_EQ(DoubleClickCommand(2), 0u);
    EXPECT_EQ(QuitStepFor(Answer::yes), QuitStep::saveThenQuit);
    EXPECT_EQ(QuitStepFor(Answer::no), QuitStep::quit);
    EXPECT_EQ(QuitStepFor(Answer::cancel), QuitStep::stay);
    EXPECT_TRUE(DeleteAllConfirmed(Answer::yes));
    EXPECT_FALSE(DeleteAllConfirmed(Answer::no));
    EXPECT_FALSE(DeleteAllConfirmed(Answer::cancel));
}

}  // namespace
