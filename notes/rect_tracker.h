#pragma once
// Moves a rectangle with the mouse: an outline drawn on the whole screen
// follows the pointer until the left button is released.
#include "notes/note_geometry.h"

#include <windows.h>

class CRectTracker {
public:
    CRectTracker();

    // What a press at pt (client coordinates of the tracking window) grabs.
    TrackerHit HitTest(POINT pt) const;
    // Runs the drag for a press at pt in hWnd's client coordinates. True
    // when the outline ended somewhere else: m_rect then holds it. Esc, the
    // right button or a lost capture cancel. Messages for other windows
    // keep being dispatched; if one of them destroys hWnd, the tracker
    // returns false at once without touching itself again.
    bool Track(HWND hWnd, POINT pt);

    RECT m_rect = {};       // client coordinates of the tracking window
    int m_nHandleSize = 4;  // the system's in-place border width
    SIZE m_sizeMin = {8, 8};
};
