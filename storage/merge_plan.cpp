#include "storage/merge_plan.h"

#include "storage/digest.h"

#include <algorithm>
#include <unordered_map>

namespace {

struct EntryHash {
    size_t operator()(const NoteEntry& entry) const
    {
        uint64_t nDigest = DigestBytes(entry.strText.data(), entry.strText.size() * sizeof(char16_t));
        return static_cast<size_t>(DigestBytes(&entry.record, sizeof entry.record, nDigest));
    }
};

// How often one note is in each side, then how many of it to take out of
// mine or bring in from theirs.
struct Counts {
    size_t nBase = 0, nTheirs = 0, nMine = 0;
    size_t nRemove = 0, nAdd = 0;
};

// How often a note is there after the merge. A side that left the count
// alone yields to the other; both raising it or both lowering it is one
// change, made as far as the side that went further; otherwise both
// changes apply.
size_t MergedCount(size_t nBase, size_t nTheirs, size_t nMine)
{
    if (nMine == nBase)
        return nTheirs;
    if (nTheirs == nBase)
        return nMine;
    if (nMine > nBase && nTheirs > nBase)
        return std::max(nMine, nTheirs);
    if (nMine < nBase && nTheirs < nBase)
        return std::min(nMine, nTheirs);
    return nMine + nTheirs - nBase;  // one above the base and one below: never negative
}

}  // namespace

MergePlan PlanMerge(const NotesSide& base, const NotesSide& theirs, const NotesSide& mine)
{
    std::unordered_map<NoteEntry, Counts, EntryHash> counts(base.notes.size() + theirs.notes.size() + mine.notes.size());
    for (const NoteEntry& entry : base.notes)
        ++counts[entry].nBase;
    for (const NoteEntry& entry : theirs.notes)
        ++counts[entry].nTheirs;
    for (const NoteEntry& entry : mine.notes)
        ++counts[entry].nMine;
    for (auto& [entry, c] : counts) {
        size_t nMerged = MergedCount(c.nBase, c.nTheirs, c.nMine);
        c.nRemove = c.nMine > nMerged ? c.nMine - nMerged : 0;
        c.nAdd = nMerged > c.nMine ? nMerged - c.nMine : 0;  // never more than theirs holds
    }

    MergePlan plan;
    plan.nMode = mine.nMode == base.nMode ? theirs.nMode : mine.nMode;
    // From the end, so that of equal notes the ones made last go.
    for (size_t i = mine.notes.size(); i-- > 0;) {
        Counts& c = counts[mine.notes[i]];
        if (c.nRemove) {
            --c.nRemove;
            plan.remove.push_back(i);
        }
    }
    std::reverse(plan.remove.begin(), plan.remove.end());
    for (const NoteEntry& entry : theirs.notes) {
        Counts& c = counts[entry];
        if (c.nAdd) {
            --c.nAdd;
            plan.add.push_back(entry);
        }
    }
    return plan;
}

std::vector<NoteEntry> ApplyMerge(const std::vector<NoteEntry>& mine, const MergePlan& plan)
{
    std::vector<NoteEntry> merged;
    merged.reserve(mine.size() - plan.remove.size() + plan.add.size());
    auto itRemove = plan.remove.begin();
    for (size_t i = 0; i < mine.size(); ++i) {
        if (itRemove != plan.remove.end() && *itRemove == i)
            ++itRemove;
        else
            merged.push_back(mine[i]);
    }
    merged.insert(merged.end(), plan.add.begin(), plan.add.end());
    return merged;
}
