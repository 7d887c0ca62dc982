// A notes file changed elsewhere: the check that tells it was, and the
// merge that brings its new notes in and keeps those deleted here deleted.
#include "storage/notes_file.h"
#include "storage/notes_merge.h"
#include "tests/unit/fake_file_system.h"
#include "tests/unit/test_notes.h"

#include <gtest/gtest.h>

static NoteEntry N(const char16_t* text, int32_t left = 0) { return {text, {left, 0, 100, 100, 0, 0, 0, 0}}; }

TEST(NotesMerge, WhatIsNewElsewhereComesInAndWhatWasDeletedHereStaysDeleted)
{
    const NoteEntry a = N(u"a"), b = N(u"b"), c = N(u"c"), edited = N(u"a, edited"), moved = N(u"a", 5), mine = N(u"mine");
    struct Case { const char* what; std::vector<NoteEntry> changed, onScreen, baseline, merged; };
    const Case cases[] = {
        {"added elsewhere", {a, c}, {a}, {a}, {c}},
        {"deleted here", {a, b}, {a}, {a, b}, {}},
        {"edited elsewhere, beside this one", {edited, moved}, {a}, {a}, {edited, moved}},
        {"the same on both sides", {mine, a}, {mine, a}, {a}, {}},
        {"duplicates as the file has them", {c, a, c}, {}, {a}, {c, c}},
    };
    for (const Case& t : cases)
        EXPECT_EQ(t.merged, NotesToMerge(t.changed, t.onScreen, t.baseline)) << t.what;
}

TEST(NotesMerge, AFileIsChangedOnlyWhenItIsThereWithOtherBytesThanLastReadOrWritten)
{
    CFakeFileSystem fs;
    const std::string path = "C:\\notes.dpd";
    const NotesBaseline baseline{SaveNotesFile(fs, path, 0, {N(u"a")}), {N(u"a")}};
    EXPECT_FALSE(CheckNotesFile(fs, path, baseline).bChanged);
    EXPECT_TRUE(CheckNotesFile(fs, path, NotesBaseline()).bChanged) << "there, where there was none";
    fs.m_files[path][11] ^= 1;  // the text's one byte
    EXPECT_EQ(CheckNotesFile(fs, path, baseline).notes, std::vector<NoteEntry>{N(u"`")});
    fs.m_files[path].pop_back();
    const FileChange cut = CheckNotesFile(fs, path, baseline);
    EXPECT_TRUE(cut.bChanged && !cut.bReadable && cut.notes.empty() && cut.nDigest);
    fs.m_files[path].insert(fs.m_files[path].end(), {0, 0});  // whole, and bytes after its note: no notes file
    EXPECT_FALSE(CheckNotesFile(fs, path, baseline).bReadable);
    fs.m_held.insert(path);
    const FileChange held = CheckNotesFile(fs, path, baseline);
    EXPECT_TRUE(held.bChanged && !held.bReadable) << "held by another program";
    fs.m_held.clear();
    fs.m_files.erase(path);
    EXPECT_FALSE(CheckNotesFile(fs, path, baseline).bChanged) << "gone";
}
