#pragma once
// The arithmetic of placing and moving a note, kept apart from the window
// system so that it can be checked on its own.
#include <cstdint>

struct NoteRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;   // exclusive
    int32_t bottom = 0;  // exclusive

    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    bool Contains(int32_t x, int32_t y) const { return x >= left && x < right && y >= top && y < bottom; }
    friend bool operator==(const NoteRect& a, const NoteRect& b)
    {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    }
    friend bool operator!=(const NoteRect& a, const NoteRect& b) { return !(a == b); }
};

// From a window system's rectangle (a RECT), which has the same fields.
template <typename Rect>
NoteRect ToNoteRect(const Rect& r)
{
    return {static_cast<int32_t>(r.left), static_cast<int32_t>(r.top), static_cast<int32_t>(r.right),
            static_cast<int32_t>(r.bottom)};
}

// The same size, its centre on (x, y) (rounded towards the top-left).
NoteRect CentredOn(const NoteRect& r, int32_t x, int32_t y);
// The same size, moved the least so that it lies inside area; a rectangle
// larger than the area keeps its top-left corner at the area's.
NoteRect PulledInside(const NoteRect& r, const NoteRect& area);

// What a press on the tracker rectangle grabs.
enum class TrackerHit {
    none,
    topLeft, topRight, bottomRight, bottomLeft,
    top, right, bottom, left,
    middle,
};

// The handle square of one hit, inside r grown by 1 pixel; empty when that
// handle is not offered (edge handles need room beside the corners).
NoteRect TrackerHandleRect(const NoteRect& r, int32_t h, TrackerHit hit);
// Handles first, then the whole rectangle grown by 1 pixel.
TrackerHit TrackerHitTest(const NoteRect& r, int32_t h, int32_t x, int32_t y);
// The outline after the pointer moved by (dx, dy) from where the press was:
// the whole rectangle follows a middle press; a handle moves only its edges,
// and those stop minSize short of the opposite edge, so the outline never
// gets smaller than minSize nor turns inside out.
NoteRect TrackerDragged(const NoteRect& start, TrackerHit hit, int32_t dx, int32_t dy, int32_t minSize);
