#include "notes/note_geometry.h"

#include <gtest/gtest.h>

#include <ostream>

std::ostream& operator<<(std::ostream& out, const NoteRect& r)
{
    return out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace {

// A note window as its tracker sees it: its own rectangle in client
// coordinates, with the 1-pixel border outside the client area.
const NoteRect kHome = {-1, -1, 127, 103};
constexpr int32_t h = 4;

TEST(NotePlacement, CentredOnThePointerKeepsTheSize)
{
    NoteRect r = CentredOn({0, 0, 128, 104}, 500, 400);
    EXPECT_EQ((NoteRect{436, 348, 564, 452}), r);
    // An odd size has a middle pixel, and the pointer is on it.
    EXPECT_EQ((NoteRect{9, 9, 12, 12}), CentredOn({0, 0, 3, 3}, 10, 10));
}

TEST(NotePlacement, PulledInsideMovesOnlyWhereItSticksOut)
{
    const NoteRect work = {0, 0, 1024, 748};
    EXPECT_EQ((NoteRect{100, 100, 228, 204}), PulledInside({100, 100, 228, 204}, work));
    EXPECT_EQ((NoteRect{896, 0, 1024, 104}), PulledInside({960, -52, 1088, 52}, work));
    EXPECT_EQ((NoteRect{0, 644, 128, 748}), PulledInside({-64, 700, 64, 804}, work));
    // Far away in any direction, as a note from a bigger desk would be.
    EXPECT_EQ((NoteRect{896, 644, 1024, 748}), PulledInside({5000, 5000, 5128, 5104}, work));
    EXPECT_EQ((NoteRect{0, 0, 128, 104}), PulledInside({-5000, -3000, -4872, -2896}, work));
    // A work area that does not start at the origin (a second monitor).
    EXPECT_EQ((NoteRect{1024, 30, 1152, 134}), PulledInside({900, 0, 1028, 104}, {1024, 30, 2048, 798}));
}

TEST(NotePlacement, TooBigForTheAreaShowsItsTopLeft)
{
    EXPECT_EQ((NoteRect{10, 20, 210, 220}), PulledInside({500, 500, 700, 700}, {10, 20, 110, 120}));
}

TEST(RectTrackerHits, CornersAndEdgeMiddlesAreHandlesInsideTheGrownRectangle)
{
    // Grown by 1: (-2, -2, 128, 104); squares of side 4 at its corners.
    EXPECT_EQ(TrackerHit::topLeft, TrackerHitTest(kHome, h, -2, -2));
    EXPECT_EQ(TrackerHit::topLeft, TrackerHitTest(kHome, h, 1, 1));
    EXPECT_EQ(TrackerHit::middle, TrackerHitTest(kHome, h, 2, 2));
    EXPECT_EQ(TrackerHit::bottomRight, TrackerHitTest(kHome, h, 127, 103));
    EXPECT_EQ(TrackerHit::bottomRight, TrackerHitTest(kHome, h, 124, 100));
    EXPECT_EQ(TrackerHit::middle, TrackerHitTest(kHome, h, 123, 100));
    EXPECT_EQ(TrackerHit::topRight, TrackerHitTest(kHome, h, 125, 0));
    EXPECT_EQ(TrackerHit::bottomLeft, TrackerHitTest(kHome, h, 0, 102));
    // Middle of the grown rectangle: x 63, squares from 61 to 64.
    EXPECT_EQ(TrackerHit::top, TrackerHitTest(kHome, h, 61, 0));
    EXPECT_EQ(TrackerHit::top, TrackerHitTest(kHome, h, 64, 1));
    EXPECT_EQ(TrackerHit::middle, TrackerHitTest(kHome, h, 65, 1));
    EXPECT_EQ(TrackerHit::bottom, TrackerHitTest(kHome, h, 62, 103));
    EXPECT_EQ(TrackerHit::left, TrackerHitTest(kHome, h, 0, 51));
    EXPECT_EQ(TrackerHit::right, TrackerHitTest(kHome, h, 126, 51));
    EXPECT_EQ(TrackerHit::middle, TrackerHitTest(kHome, h, 60, 50));
    EXPECT_EQ(TrackerHit::none, TrackerHitTest(kHome, h, 128, 50));
    EXPECT_EQ(TrackerHit::none, TrackerHitTest(kHome, h, -3, 50));
}

TEST(RectTrackerHits, SmallRectanglesLoseEdgeHandlesAndShrinkTheSquares)
{
    // Width 16 = 3h + 4: no middle handles on the top and bottom edges yet.
    const NoteRect narrow = {0, 0, 16, 100};
    EXPECT_TRUE(TrackerHandleRect(narrow, h, TrackerHit::top).Width() == 0);
    EXPECT_EQ(4, TrackerHandleRect(narrow, h, TrackerHit::left).Width());
    EXPECT_EQ(TrackerHit::middle, TrackerHitTest(narrow, h, 8, 0));
    // Smaller side 6 < 2h: squares of half of it.
    const NoteRect tiny = {0, 0, 6, 40};
    EXPECT_EQ(3, TrackerHandleSide(tiny, h));
    EXPECT_EQ((NoteRect{-1, -1, 2, 2}), TrackerHandleRect(tiny, h, TrackerHit::topLeft));
}

TEST(RectTrackerDrags, TheWholeOutlineKeepsItsSize)
{
    EXPECT_EQ((NoteRect{29, -21, 157, 83}), TrackerDragged(kHome, TrackerHit::middle, 30, -20, 2 * h));
}

TEST(RectTrackerDrags, AHandleMovesOnlyItsEdges)
{
    EXPECT_EQ((NoteRect{-1, -1, 157, 123}), TrackerDragged(kHome, TrackerHit::bottomRight, 30, 20, 2 * h));
    EXPECT_EQ((NoteRect{9, 4, 127, 103}), TrackerDragged(kHome, TrackerHit::topLeft, 10, 5, 2 * h));
    EXPECT_EQ((NoteRect{-1, -1, 127, 93}), TrackerDragged(kHome, TrackerHit::bottom, 50, -10, 2 * h));
    EXPECT_EQ((NoteRect{-11, -1, 127, 103}), TrackerDragged(kHome, TrackerHit::left, -10, 70, 2 * h));
    EXPECT_EQ((NoteRect{-1, 2, 130, 103}), TrackerDragged(kHome, TrackerHit::topRight, 3, 3, 2 * h));
}

TEST(RectTrackerDrags, OutlineStopsAtTheMinimumAndNeverTurnsInsideOut)
{
    EXPECT_EQ((NoteRect{119, 95, 127, 103}), TrackerDragged(kHome, TrackerHit::topLeft, 500, 500, 2 * h));
    EXPECT_EQ((NoteRect{-1, -1, 7, 7}), TrackerDragged(kHome, TrackerHit::bottomRight, -500, -500, 2 * h));
    EXPECT_EQ((NoteRect{-1, -1, 7, 103}), TrackerDragged(kHome, TrackerHit::right, -128, 0, 2 * h));
    // Exactly at the minimum is allowed.
    EXPECT_EQ((NoteRect{-1, -1, 127, 7}), TrackerDragged(kHome, TrackerHit::bottom, 0, -96, 2 * h));
}

}  // namespace
