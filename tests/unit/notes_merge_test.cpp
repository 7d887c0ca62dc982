// A notes file changed elsewhere: the check that tells it was, and whether
// it can be merged with.
#include "storage/notes_file.h"
#include "storage/notes_merge.h"
#include "tests/unit/fake_file_system.h"
#include "tests/unit/test_notes.h"

#include <gtest/gtest.h>

static NoteEntry N(const char16_t* text, int32_t left = 0) { return {text, {left, 0, 100, 100, 0, 0, 0, 0}}; }

TEST(NotesMerge, AFileIsChangedOnlyWhenItIsThereWithOtherBytesThanLastReadOrWritten)
{
    CFakeFileSystem fs;
    const std::string path = "C:\\notes.dpd";
    const NotesBaseline baseline{SaveNotesFile(fs, path, 0, {N(u"a")}), {N(u"a")}};
    EXPECT_FALSE(CheckNotesFile(fs, path, baseline).bChanged);
    EXPECT_TRUE(CheckNotesFile(fs, path, NotesBaseline()).bChanged) << "there, where there was none";
    fs.m_files[path].back() ^= 1;  // the last byte, which a digest read by blocks could miss
    EXPECT_TRUE(CheckNotesFile(fs, path, baseline).bChanged);
    fs.m_files[path].back() ^= 1;
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
