// Where the notes go, from the stacking order alone. An order is written
// top first, a letter a window: T always on top, w another window, n a
// note, m the marker, D the desktop.
#include "app/desktop_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::vector<Stacked> Order(const std::string& letters)
{
    std::vector<Stacked> order;
    for (char c : letters)
        order.push_back(c == 'T' ? Stacked::topmost : c == 'w' ? Stacked::window : c == 'n' ? Stacked::note
                        : c == 'm' ? Stacked::marker : Stacked::desktop);
    return order;
}

TEST(DesktopRules, TheNotesGoRightAboveTheDesktopAndUpWithItWhenItComesToTheFront)
{
    using W = NotesMove::Where;
    const struct { const char* order; bool active; W where; size_t beneath; bool front, markerFollows; } rows[] = {
        {"TwwnnmD", false, W::stay, 0, false, true},     // on the desktop's layer already
        {"TwnwnmD", false, W::beneath, 3, false, true},  // a window between them: all under the lowest window
        {"TnnwwmD", false, W::beneath, 4, false, true},  // a note clicked, then left for another program
        {"TnnwwmD", true, W::stay, 0, false, true},      // ... but not while the user works in it
        {"TwwnnDm", false, W::beneath, 2, false, true},  // the marker had fallen behind the desktop
        {"TDwwnnm", false, W::top, 0, true, false},      // Show Desktop: under the lowest always-on-top window
        {"TnnDwwm", false, W::stay, 0, true, false},     // and shown there, judged again: nothing to do
        {"TwnnDwm", false, W::beneath, 1, false, true},  // a program brought back: under it, the marker follows
        {"TwnnmDw", false, W::stay, 0, false, true},     // ... and there they stay
        {"nnmD", false, W::stay, 0, false, true},        // nothing else on screen
        {"mnnD", false, W::top, 0, false, true},         // the marker above the notes: back under them
        {"Twnwnm", false, W::bottom, 0, false, true},   // no desktop known: at the bottom, the marker under them
        {"Twwnnm", false, W::stay, 0, false, true},
        {"Tmnnw", false, W::bottom, 0, false, true},    // a window sent to the bottom, under them
        {"Twwnmn", true, W::stay, 0, false, true},
    };
    for (const auto& row : rows) {
        const NotesMove move = PlaceNotes(Order(row.order), row.active);
        EXPECT_EQ(move.where, row.where) << row.order;
        if (row.where == W::beneath) {
            EXPECT_EQ(move.nBeneath, row.beneath) << row.order;
        }
        EXPECT_EQ(move.bDesktopInFront, row.front) << row.order;
        EXPECT_EQ(move.bMarkerFollows, row.markerFollows) << row.order;
    }
}

}  // namespace
