// The controller's decisions: the tray menu's states, the double click, and
// what each answer to Quit and Delete All leads to.
#include "app/controller_rules.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

namespace {

constexpr std::nullopt_t kAsIs = std::nullopt;

TEST(ControllerRules, TrayMenuStatesFollowTheNotesAndTheShowHiddenMode)
{
    struct Case {
        unsigned nID;
        TrayFacts facts;
        MenuItemState expected;
    };
    const Case cases[] = {
        // Always there to use, with or without notes.
        {ID_NEWNOTE, {false, 0}, {true, kAsIs}},
        {ID_OPEN, {false, 0}, {true, kAsIs}},
        {ID_SAVE, {false, 0}, {true, kAsIs}},
        {ID_QUIT, {false, 1}, {true, kAsIs}},
        // Only with notes to act on.
        {ID_HIDEALL, {false, 0}, {false, kAsIs}},
        {ID_HIDEALL, {true, 0}, {true, kAsIs}},
        {ID_DELETEALL, {false, 1}, {false, kAsIs}},
        {ID_DELETEALL, {true, 1}, {true, kAsIs}},
        // The mark shows the mode, whatever nonzero value a file gave it.
        {ID_SHOWHIDDEN, {false, 1}, {false, true}},
        {ID_SHOWHIDDEN, {true, 0}, {true, false}},
        {ID_SHOWHIDDEN, {true, 2}, {true, true}},
        // The rest keep what the menu resource says.
        {ID_OPTIONS, {false, 0}, {}},
        {ID_SAVEAS, {true, 1}, {}},
        {0, {true, 1}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TrayMenuItemState(c.nID, c.facts), c.expected) << c.nID << " notes " << c.facts.bAnyNotes;
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
