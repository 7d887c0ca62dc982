#pragma once
// Where the notes go while they live on the desktop, decided from the
// stacking order alone: each look gives the same answer however many
// events came before it (Show Desktop and its undo raise the same one).
#include <cstddef>
#include <vector>

// A window of the stacking order as the desktop layer sees it; windows
// that are not on screen are left out.
enum class Stacked {
    topmost,  // always on top (a note kept on top too: it stays there)
    window,   // any other window on screen
    note,     // a note that lives on the desktop's layer
    marker,   // Driftpad's hidden window, kept under the notes
    desktop,  // the shell's desktop window
};

struct NotesMove {
    enum Where {
        stay,     // already where they belong
        top,      // at the top of the ordinary windows, under the lowest always-on-top one
        beneath,  // right under the window nBeneath of the order
        bottom,   // no desktop known: at the bottom, the marker under them
    };
    Where where = stay;
    size_t nBeneath = 0;
    // The desktop came to the front (it stands above the marker and no
    // other window stands above it): the notes go up with it.
    bool bDesktopInFront = false;
    // The marker goes right under the notes, so that the desktop coming
    // forward passes it. Not while the desktop is in front: it stays behind.
    bool bMarkerFollows = false;
};

// order: the windows from the top. A note that the user works in is left
// where the user put it, and the others with it.
NotesMove PlaceNotes(const std::vector<Stacked>& order, bool bNoteActive);
