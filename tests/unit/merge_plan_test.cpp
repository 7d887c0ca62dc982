// The three-way merge of a notes file changed elsewhere: a case per rule,
// and three computers sharing one file through a late sync client.
#include "storage/merge_plan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>

static NoteEntry N(std::u16string text, int32_t left = 0) { return {text, {left, 0, 100, 100, 0, 0, 0, 0}}; }

TEST(MergePlan, ChangesThereComeInChangesHereStayAndDifferentChangesAreBothKept)
{
    const NoteEntry a = N(u"a"), b = N(u"b"), a2 = N(u"a2"), a5 = N(u"a", 5);
    struct Case { const char* what; NotesSide base, theirs, mine; std::vector<NoteEntry> merged; int32_t nMode; };
    const Case cases[] = {
        {"added there", {0, {a}}, {0, {a, b}}, {0, {a}}, {a, b}, 0},
        {"deleted there", {0, {a, b}}, {0, {b}}, {0, {a, b}}, {b}, 0},
        {"edited there", {0, {a, b}}, {0, {a2, b}}, {0, {a, b}}, {b, a2}, 0},
        {"moved there", {0, {a}}, {0, {a5}}, {0, {a}}, {a5}, 0},
        {"deleted here, mode changed here", {0, {a, b}}, {0, {a, b}}, {1, {b}}, {b}, 1},
        {"edited here, deleted there", {0, {a, b}}, {0, {b}}, {0, {a2, b}}, {a2, b}, 0},
        {"edited both ways", {0, {a}}, {0, {a5}}, {0, {a2}}, {a2, a5}, 0},
        {"edited the same way", {0, {a, b}}, {0, {b, a2}}, {0, {a2, b}}, {a2, b}, 0},
        {"two made there, one of them here too", {0, {}}, {0, {b, a, b}}, {0, {a}}, {a, b, b}, 0},
        {"one of two deleted there: the last here", {0, {a, b, a}}, {0, {a, b}}, {0, {a, b, a}}, {a, b}, 0},
        {"mode changed there", {0, {a}}, {1, {a}}, {0, {a}}, {a}, 1},
        {"mode changed both ways", {0, {a}}, {1, {a}}, {2, {a}}, {a}, 2},
    };
    for (const Case& t : cases) {
        const MergePlan plan = PlanMerge(t.base, t.theirs, t.mine);
        EXPECT_EQ(t.merged, ApplyMerge(t.mine.notes, plan)) << t.what;
        EXPECT_EQ(t.nMode, plan.nMode) << t.what;
        EXPECT_EQ(t.merged != t.mine.notes || t.nMode != t.mine.nMode, plan.Changes(t.mine.nMode)) << t.what;
    }
}

// Users type on three computers while the sync client hands each the files
// the others write late, out of order or never; at the end all agree, and
// hold each note typed and not since deleted or changed, once.
TEST(MergeConverge, ThreeComputersBehindALateSyncClientEndAlikeWithEveryLiveNoteOnce)
{
    struct File { int nVersion = 0; NotesSide side; };
    struct Computer { NotesSide screen; File baseline, held; };  // held: the file on its disk
    Computer pcs[3];
    File server;                                   // the newest file written
    std::vector<std::pair<size_t, File>> transit;  // files on their way to a computer
    std::vector<NoteEntry> live;                   // typed, and not deleted or changed since
    std::mt19937 rng(7);
    auto Pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng); };
    int32_t nNext = 0;  // every note made is new: an edit, a move or a hide makes another
    auto Sorted = [](std::vector<NoteEntry> notes) {  // a merge puts what comes in last
        auto Key = [](const NoteEntry& e) {
            return std::tie(e.strText, e.record.m_nLeft, e.record.m_nTop, e.record.m_bHidden);
        };
        std::sort(notes.begin(), notes.end(), [&](const NoteEntry& x, const NoteEntry& y) { return Key(x) < Key(y); });
        return notes;
    };
    auto Merge = [](Computer& pc, const File& file) {
        const MergePlan plan = PlanMerge(pc.baseline.side, file.side, pc.screen);
        pc.screen = {plan.nMode, ApplyMerge(pc.screen.notes, plan)};
        pc.baseline = file;
    };
    // A Save, or the end of a session: the same merge, then the same write. The client hands over
    // a newer file before it uploads over it; uploading blind would lose what that one held.
    auto Save = [&](size_t i) {
        if ((pcs[i].held = server).nVersion != pcs[i].baseline.nVersion)
            Merge(pcs[i], server);
        server = pcs[i].held = pcs[i].baseline = {server.nVersion + 1, pcs[i].screen};
        transit.push_back({(i + 1) % 3, server});
        transit.push_back({(i + 2) % 3, server});
    };
    for (int nStep = 0; nStep < 4000; ++nStep) {
        Computer& pc = pcs[Pick(3)];
        std::vector<NoteEntry>& notes = pc.screen.notes;
        const size_t nOp = Pick(11), i = notes.empty() ? 0 : Pick(notes.size());
        if (nOp == 0) {
            live.push_back(notes.emplace_back(N(std::u16string(1, char16_t(0x100 + ++nNext)))));
        } else if (nOp <= 4 && !notes.empty()) {  // an edit, a move, a hide or a delete
            live.erase(std::remove(live.begin(), live.end(), notes[i]), live.end());
            NoteRecord& record = notes[i].record;
            (nOp == 1 ? record.m_nTop : nOp == 2 ? record.m_nLeft : record.m_bHidden) = ++nNext;  // any nonzero hides
            if (nOp == 4)
                notes.erase(notes.begin() + i);
            else
                live.push_back(notes[i]);
        } else if (nOp == 5) {
            pc.screen.nMode ^= 1;
        } else if (nOp == 6) {
            Save(&pc - pcs);
        } else if (nOp == 7 && pc.held.nVersion != pc.baseline.nVersion) {
            Merge(pc, pc.held);  // a changed file, noticed
        } else if (nOp >= 8 && !transit.empty()) {
            const size_t t = Pick(transit.size());
            const auto [nTo, file] = transit[t];
            transit.erase(transit.begin() + t);
            if (Pick(4) && file.nVersion > pcs[nTo].held.nVersion)  // some never arrive
                pcs[nTo].held = file;
        }
    }
    for (int nRound = 0, nOld = -1; nOld != server.nVersion; ++nRound) {
        ASSERT_LT(nRound, 5) << "the computers keep overwriting each other";
        nOld = server.nVersion;
        for (size_t i = 0; i < 3; ++i) {
            Merge(pcs[i], pcs[i].held = server);
            if (Sorted(pcs[i].screen.notes) != Sorted(server.side.notes) || pcs[i].screen.nMode != server.side.nMode)
                Save(i);
        }
    }
    EXPECT_EQ(Sorted(live), Sorted(server.side.notes));
    for (const Computer& pc : pcs)
        EXPECT_TRUE(Sorted(server.side.notes) == Sorted(pc.screen.notes) && server.side.nMode == pc.screen.nMode);
}
