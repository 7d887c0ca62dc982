// A note's decisions: when it is on screen, its toggles and context menu,
// where it is placed, and what its tracker grabs and drags.
#include "notes/note_geometry.h"
#include "notes/note_rules.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <iterator>
#include <ostream>

std::ostream& operator<<(std::ostream& out, const NoteRect& r)
{
    return out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace {

using H = TrackerHit;
// A note as its tracker sees it: client coordinates, the 1-pixel border outside.
const NoteRect kHome = {-1, -1, 127, 103};
constexpr int32_t h = 4;

TEST(NoteRules, OnScreenUnlessHiddenWhileHiddenNotesAreNotShownTogglesGoByTruthAndTheMenuFollowsTheFlags)
{
    // Any nonzero value read from a file counts as set.
    const struct { int32_t bHidden, bShowHidden; bool bOnScreen; } screens[] = {{0, 0, true}, {2, 0, false}, {2, 2, true}};
    for (const auto& row : screens)
        EXPECT_EQ(IsNoteOnScreen(row.bHidden, row.bShowHidden), row.bOnScreen) << row.bHidden << ' ' << row.bShowHidden;
    EXPECT_EQ(Toggled(0), 1);
    EXPECT_EQ(Toggled(2), 0);

    const unsigned kItems[] = {ID_EDIT_UNDO, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_DELETE,
                               ID_EDIT_PASTE, ID_EDIT_SELECTALL, ID_DELETENOTE, ID_ALWAYSONTOP, ID_HIDENOTE, ID_ALARM};
    // Each fact alone: enabled (1), disabled (0), checked (x), unchecked (-) or as the resource says (.).
    const struct { NoteMenuFacts facts; const char* states; } rows[] = {
        {{}, "0000011--."},
        {{true, false, false, 0, 0}, "1000011--."},
        {{false, true, false, 0, 0}, "0111011--."},
        {{false, false, true, 0, 0}, "0000111--."},
        {{false, false, false, 2, 0}, "0000011x-."},
        {{false, false, false, 0, 2}, "0000011-x."},
    };
    for (const auto& row : rows) {
        for (size_t i = 0; i < std::size(kItems); ++i) {
            const char c = row.states[i];
            MenuItemState expected = c == '.' ? MenuItemState{} : c == 'x' || c == '-' ? MenuItemState{std::nullopt, c == 'x'}
                                                                                   : MenuItemState{c == '1', std::nullopt};
            EXPECT_EQ(NoteMenuItemState(kItems[i], row.facts), expected) << row.states << " item " << i;
        }
    }
}

TEST(NotePlacement, CentresOnThePointerAndPullsInsideTheWorkArea)
{
    EXPECT_EQ((NoteRect{436, 348, 564, 452}), CentredOn({0, 0, 128, 104}, 500, 400));
    EXPECT_EQ((NoteRect{9, 9, 12, 12}), CentredOn({0, 0, 3, 3}, 10, 10));  // odd size: on the middle pixel
    const NoteRect work = {0, 0, 1024, 748};
    EXPECT_EQ((NoteRect{896, 0, 1024, 104}), PulledInside({960, -52, 1088, 52}, work));
    EXPECT_EQ((NoteRect{0, 644, 128, 748}), PulledInside({-64, 700, 64, 804}, work));
    EXPECT_EQ((NoteRect{1024, 30, 1152, 134}), PulledInside({900, 0, 1028, 104}, {1024, 30, 2048, 798}));
    // Too big for the area: its top-left shows.
    EXPECT_EQ((NoteRect{10, 20, 210, 220}), PulledInside({500, 500, 700, 700}, {10, 20, 110, 120}));
}

TEST(RectTracker, HandlesAreSquaresAtCornersAndEdgeMiddlesOfTheGrownRectangle)
{
    // Grown by 1: (-2, -2, 128, 104); edge middles at x 63 (61..64), y 51.
    const struct { int32_t x, y; H hit; } cases[] = {
        {-2, -2, H::topLeft}, {1, 1, H::topLeft}, {2, 2, H::middle}, {124, 100, H::bottomRight}, {123, 100, H::middle},
        {125, 0, H::topRight}, {0, 102, H::bottomLeft}, {61, 0, H::top}, {64, 1, H::top}, {65, 1, H::middle},
        {62, 103, H::bottom}, {0, 51, H::left}, {126, 51, H::right}, {128, 50, H::none}, {-3, 50, H::none},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.hit, TrackerHitTest(kHome, h, c.x, c.y)) << c.x << ", " << c.y;
    // Width 16 = 3h + 4 has no top and bottom handles yet; a side below 2h halves the squares.
    const NoteRect narrow = {0, 0, 16, 100};
    EXPECT_EQ(0, TrackerHandleRect(narrow, h, H::top).Width());
    EXPECT_EQ(4, TrackerHandleRect(narrow, h, H::left).Width());
    EXPECT_EQ((NoteRect{-1, -1, 2, 2}), TrackerHandleRect({0, 0, 6, 40}, h, H::topLeft));
}

TEST(RectTracker, DragsMoveTheGrabbedEdgesAndStopAtTheMinimumSize)
{
    const struct { H hit; int32_t dx, dy; NoteRect expected; } cases[] = {
        {H::middle, 30, -20, {29, -21, 157, 83}},
        {H::bottomRight, 30, 20, {-1, -1, 157, 123}},
        {H::left, -10, 70, {-11, -1, 127, 103}},
        {H::topRight, 3, 3, {-1, 2, 130, 103}},
        {H::topLeft, 500, 500, {119, 95, 127, 103}},  // never inside out
        {H::bottomRight, -500, -500, {-1, -1, 7, 7}},
        {H::right, -128, 0, {-1, -1, 7, 103}},  // exactly the minimum
        {H::bottom, 0, -96, {-1, -1, 127, 7}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, TrackerDragged(kHome, c.hit, c.dx, c.dy, 2 * h)) << int(c.hit) << ' ' << c.dx;
}

}  // namespace
