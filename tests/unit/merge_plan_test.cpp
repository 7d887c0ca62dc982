// The three-way merge of a notes file changed elsewhere: a case per rule.
#include "storage/merge_plan.h"

#include <gtest/gtest.h>

#include <string>

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
