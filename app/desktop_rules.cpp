#include "app/desktop_rules.h"

#include <algorithm>

namespace {

// Whether order[first, last) is every note and then, if it follows, the marker.
bool Settled(const std::vector<Stacked>& order, size_t first, size_t last, bool bMarkerFollows)
{
    const size_t nNotes = static_cast<size_t>(std::count(order.begin(), order.end(), Stacked::note));
    if (last - first != nNotes + (bMarkerFollows ? 1 : 0))
        return false;
    const auto begin = order.begin() + static_cast<std::ptrdiff_t>(first);
    return std::all_of(begin, begin + static_cast<std::ptrdiff_t>(nNotes), [](Stacked s) { return s == Stacked::note; })
           && (!bMarkerFollows || order[last - 1] == Stacked::marker);
}

}  // namespace

NotesMove PlaceNotes(const std::vector<Stacked>& order, bool bNoteActive)
{
    NotesMove move;
    const auto indexOf = [&order](Stacked kind) {
        return static_cast<size_t>(std::find(order.begin(), order.end(), kind) - order.begin());
    };
    const size_t nDesktop = indexOf(Stacked::desktop);
    if (nDesktop == order.size()) {
        move.bMarkerFollows = true;
        const size_t nNotes = static_cast<size_t>(std::count(order.begin(), order.end(), Stacked::note));
        const size_t first = order.size() - std::min(order.size(), nNotes + 1);
        move.where = Settled(order, first, order.size(), true) || bNoteActive ? NotesMove::stay : NotesMove::bottom;
        return move;
    }
    // The lowest window above the desktop that is not Driftpad's: the notes
    // go right under it, or under the always-on-top ones, never among them.
    size_t nAbove = nDesktop;
    for (size_t i = 0; i < nDesktop; ++i)
        if (order[i] == Stacked::window || order[i] == Stacked::topmost)
            nAbove = i;
    const bool bWindowAbove = nAbove != nDesktop && order[nAbove] == Stacked::window;
    move.bDesktopInFront = nDesktop < indexOf(Stacked::marker) && !bWindowAbove;
    move.bMarkerFollows = !move.bDesktopInFront;
    const size_t first = nAbove == nDesktop ? 0 : nAbove + 1;
    if (bNoteActive || Settled(order, first, nDesktop, move.bMarkerFollows))
        return move;
    move.where = bWindowAbove ? NotesMove::beneath : NotesMove::top;
    move.nBeneath = bWindowAbove ? nAbove : 0;
    return move;
}
