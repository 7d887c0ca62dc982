// Where the notes go, from the stacking order alone. An order is written
// top first, a letter a window: T always on top, w another window, n a
// note, m the marker, D the desktop.
#include "app/desktop_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(DesktopRules, TheNotesGoRightAboveTheDesktopAndUpWithItWhenItComesToTheFront)
{
    using W = NotesMove::Where;
    const struct { const char* order; bool active; W where; size_t beneath; bool front; } rows[] = {
        {"TwwnnmD", false, W::stay, 0, false},     // on the desktop's layer already
        {"TwnwnmD", false, W::beneath, 3, false},  // a window between them: all under the lowest window
        {"TnnwwmD", false, W::beneath, 4, false},  // a note clicked, then left for another program
        {"TnnwwmD", true, W::stay, 0, false},      // ... but not while the user works in it
        {"TwwnnDm", false, W::beneath, 2, false},  // the marker had fallen behind the desktop
        {"TDwwnnm", false, W::top, 0, true},       // Show Desktop: under the lowest always-on-top window
        {"TnnDwwm", false, W::stay, 0, true},      // and shown there, judged again: nothing to do
        {"TwnnDwm", false, W::beneath, 1, false},  // a program brought back: under it, the marker follows
        {"Twnwnm", false, W::bottom, 0, false},    // no desktop known: at the bottom, the marker under them
        {"Twwnnm", false, W::stay, 0, false},
        {"Tmnnw", false, W::bottom, 0, false},     // a window sent to the bottom, under them
    };
    for (const auto& row : rows) {
        std::vector<Stacked> order;
        for (const char* c = row.order; *c; ++c)
            order.push_back(static_cast<Stacked>(std::string("TwnmD").find(*c)));  // in the enum's order
        const NotesMove move = PlaceNotes(order, row.active);
        EXPECT_EQ(move.where, row.where) << row.order;
        EXPECT_EQ(move.nBeneath, row.beneath) << row.order;
        EXPECT_EQ(move.bDesktopInFront, row.front) << row.order;
        EXPECT_EQ(move.bMarkerFollows, !row.front) << row.order;  // it stays behind a desktop in front
    }
}

}  // namespace
