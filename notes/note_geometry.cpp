#include "notes/note_geometry.h"

#include <algorithm>

namespace {

// Side of the handle squares for handle size h: h, or half the smaller side
// of the rectangle when 2h would not fit.
int32_t TrackerHandleSide(const NoteRect& r, int32_t h)
{
    int32_t smaller = std::min(r.Width(), r.Height());
    return 2 * h > smaller ? smaller / 2 : h;
}

}  // namespace

NoteRect CentredOn(const NoteRect& r, int32_t x, int32_t y)
{
    int32_t left = x - r.Width() / 2;
    int32_t top = y - r.Height() / 2;
    return {left, top, left + r.Width(), top + r.Height()};
}

NoteRect PulledInside(const NoteRect& r, const NoteRect& area)
{
    int32_t left = r.left;
    int32_t top = r.top;
    if (left + r.Width() > area.right)
        left = area.right - r.Width();
    if (top + r.Height() > area.bottom)
        top = area.bottom - r.Height();
    left = std::max(left, area.left);
    top = std::max(top, area.top);
    return {left, top, left + r.Width(), top + r.Height()};
}

NoteRect TrackerHandleRect(const NoteRect& r, int32_t h, TrackerHit hit)
{
    const NoteRect g = {r.left - 1, r.top - 1, r.right + 1, r.bottom + 1};
    const int32_t s = TrackerHandleSide(r, h);
    const bool edgesX = r.Width() > 3 * h + 4;   // room for the top and bottom middle handles
    const bool edgesY = r.Height() > 3 * h + 4;  // room for the left and right middle handles
    const int32_t midX = (g.left + g.right) / 2 - s / 2;
    const int32_t midY = (g.top + g.bottom) / 2 - s / 2;
    auto square = [s](int32_t x, int32_t y) { return NoteRect{x, y, x + s, y + s}; };
    switch (hit) {
    case TrackerHit::topLeft: return square(g.left, g.top);
    case TrackerHit::topRight: return square(g.right - s, g.top);
    case TrackerHit::bottomRight: return square(g.right - s, g.bottom - s);
    case TrackerHit::bottomLeft: return square(g.left, g.bottom - s);
    case TrackerHit::top: return edgesX ? square(midX, g.top) : NoteRect{};
    case TrackerHit::bottom: return edgesX ? square(midX, g.bottom - s) : NoteRect{};
    case TrackerHit::left: return edgesY ? square(g.left, midY) : NoteRect{};
    case TrackerHit::right: return edgesY ? square(g.right - s, midY) : NoteRect{};
    default: return {};
    }
}

TrackerHit TrackerHitTest(const NoteRect& r, int32_t h, int32_t x, int32_t y)
{
    for (TrackerHit hit : {TrackerHit::topLeft, TrackerHit::topRight, TrackerHit::bottomRight, TrackerHit::bottomLeft,
                           TrackerHit::top, TrackerHit::right, TrackerHit::bottom, TrackerHit::left}) {
        if (TrackerHandleRect(r, h, hit).Contains(x, y))
            return hit;
    }
    const NoteRect g = {r.left - 1, r.top - 1, r.right + 1, r.bottom + 1};
    return g.Contains(x, y) ? TrackerHit::middle : TrackerHit::none;
}

NoteRect TrackerDragged(const NoteRect& start, TrackerHit hit, int32_t dx, int32_t dy, int32_t minSize)
{
    NoteRect r = start;
    bool moveLeft = false, moveTop = false, moveRight = false, moveBottom = false;
    switch (hit) {
    case TrackerHit::middle:
        return {start.left + dx, start.top + dy, start.right + dx, start.bottom + dy};
    case TrackerHit::topLeft: moveLeft = moveTop = true; break;
    case TrackerHit::topRight: moveRight = moveTop = true; break;
    case TrackerHit::bottomRight: moveRight = moveBottom = true; break;
    case TrackerHit::bottomLeft: moveLeft = moveBottom = true; break;
    case TrackerHit::top: moveTop = true; break;
    case TrackerHit::right: moveRight = true; break;
    case TrackerHit::bottom: moveBottom = true; break;
    case TrackerHit::left: moveLeft = true; break;
    case TrackerHit::none: return start;
    }
    if (moveLeft)
        r.left = std::min(start.left + dx, start.right - minSize);
    if (moveRight)
        r.right = std::max(start.right + dx, start.left + minSize);
    if (moveTop)
        r.top = std::min(start.top + dy, start.bottom - minSize);
    if (moveBottom)
        r.bottom = std::max(start.bottom + dy, start.top + minSize);
    return r;
}
