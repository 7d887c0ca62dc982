#pragma once
// The three-way merge of a notes file changed elsewhere into the notes on
// screen. Notes have no ids: a note is its text and its whole record, so
// equal notes are counted, and an edit is the old note gone and a new one
// come.
#include "storage/notes_layout.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// One side of a notes file: its show-hidden mode and its notes in order.
struct NotesSide {
    int32_t nMode = 0;
    std::vector<NoteEntry> notes;
};

// What a merge does to the notes on screen: which of them go (indices into
// mine, ascending; of equal notes the last ones go), which notes come in (in
// theirs' order, to follow mine), and the show-hidden mode afterwards.
struct MergePlan {
    std::vector<size_t> remove;
    std::vector<NoteEntry> add;
    int32_t nMode = 0;

    // Whether carrying it out changes anything on a screen in mode nMyMode.
    bool Changes(int32_t nMyMode) const { return !remove.empty() || !add.empty() || nMode != nMyMode; }
};

// Merges what changed between base (the file as last read or written here)
// and theirs (the file now) into mine (the screen). A change on one side
// only wins; different changes on both sides are both kept, the old note
// gone; the same change on both sides is made once.
MergePlan PlanMerge(const NotesSide& base, const NotesSide& theirs, const NotesSide& mine);

// mine with the plan carried out: mine's order without the removed, then
// the added.
std::vector<NoteEntry> ApplyMerge(const std::vector<NoteEntry>& mine, const MergePlan& plan);
