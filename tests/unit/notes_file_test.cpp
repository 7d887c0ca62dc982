// Saving never destroys the old file: a failure at any step of a save leaves
// it byte for byte, removes the new file and is raised with the path.
#include "storage/exceptions.h"
#include "storage/memory_file.h"
#include "storage/notes_file.h"
#include "tests/unit/fake_file_system.h"
#include "tests/unit/test_notes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

const std::string kTarget = "C:\\notes\\mine.dpd";
const Bytes kOldBytes = {1, 0, 0, 0, 0, 0, 0, 0, 0, 0};

// Large texts, so that a save takes several writes, direct ones included.
std::vector<NoteEntry> SomeNotes()
{
    std::vector<NoteEntry> notes;
    for (int i = 0; i < 5; ++i)
        notes.push_back({std::u16string(static_cast<size_t>(1500 * i + 3), static_cast<char16_t>('a' + i)), {i, 0, 0, 0, i % 2}});
    return notes;
}

// A save over the old file that must fail: it is raised with the path and
// leaves every file as it was.
CFileException FailedSave(CFakeFileSystem& fs)
{
    fs.m_files[kTarget] = kOldBytes;
    const auto before = fs.m_files;
    try {
        SaveNotesFile(fs, kTarget, 0, SomeNotes());
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_strFileName, kTarget);
        EXPECT_EQ(fs.m_files, before);
        return e;
    }
    ADD_FAILURE() << "the failure was not raised";
    return CFileException(CFileException::none, 0);
}

}  // namespace

TEST(SafeSave, FolderOfKeepsTheSeparatorOrDrive)
{
    const std::pair<const char*, const char*> rows[] = {
        {"C:\\notes\\mine.dpd", "C:\\notes\\"}, {"C:mine.dpd", "C:"}, {"dir/mine.dpd", "dir/"}, {"mine.dpd", ""}};
    for (const auto& [pszPath, pszFolder] : rows)
        EXPECT_EQ(FolderOf(pszPath), pszFolder) << pszPath;
}

TEST(SafeSave, AFailureAtAnyStepOrByteLeavesTheOldFileAndIsRaised)
{
    CFakeFileSystem whole;
    SaveNotesFile(whole, kTarget, 0, SomeNotes());
    // The new file is written, flushed to the disk and closed before it
    // replaces the old one: a crash after the replace must not leave it short.
    std::vector<std::string> steps = whole.m_steps;
    steps.erase(std::unique(steps.begin(), steps.end()), steps.end());
    ASSERT_EQ(steps, (std::vector<std::string>{"create", "write", "flush", "close", "replace"}));
    ASSERT_GT(whole.m_steps.size(), 6u);

    for (size_t nStep = 1; nStep <= whole.m_steps.size(); ++nStep) {
        SCOPED_TRACE(testing::Message() << "failing step " << nStep);
        CFakeFileSystem fs;
        fs.m_nFailAtStep = nStep;
        EXPECT_EQ(FailedSave(fs).m_lOsError, static_cast<long>(1000 + nStep));
    }
    for (size_t nRoom = 0; nRoom < whole.m_files.at(kTarget).size(); nRoom += 7) {
        SCOPED_TRACE(testing::Message() << "disk room " << nRoom);
        CFakeFileSystem fs;
        fs.m_nDiskRoom = nRoom;
        EXPECT_EQ(FailedSave(fs).m_cause, CFileException::diskFull);
    }
}

TEST(SafeSave, TooManyNotesAreRefusedBeforeAnyFileIsMade)
{
    CFakeFileSystem fs;
    fs.m_files[kTarget] = kOldBytes;
    try {
        SaveNotesFile(fs, kTarget, 0, std::vector<NoteEntry>(kMaxNotesInFile + 1));
        FAIL() << "65536 notes were saved";
    } catch (const CTooManyNotesException& e) {
        EXPECT_EQ(e.m_strFileName, kTarget);
    }
    EXPECT_TRUE(fs.m_steps.empty());
    EXPECT_EQ(fs.m_files, (std::map<std::string, Bytes>{{kTarget, kOldBytes}}));
}

TEST(SafeSave, LoadReadsBackWhatWasSavedAndReportsOnlyWhatItCouldOpen)
{
    CFakeFileSystem fs;
    NotesSink sink;
    EXPECT_FALSE(LoadNotesFile(fs, kTarget, sink));  // and reports nothing: see the modes below

    fs.m_files[kTarget] = kOldBytes;
    SaveNotesFile(fs, kTarget, 1, SomeNotes());
    ASSERT_EQ(fs.m_files.size(), 1u);  // the temporary file took the target's place
    EXPECT_TRUE(LoadNotesFile(fs, kTarget, sink));
    EXPECT_EQ(sink.modes, std::vector<int32_t>{1});
    EXPECT_EQ(sink.notes, SomeNotes());

    fs.m_files.at(kTarget).pop_back();  // the last note's record ends early
    NotesSink cut;
    try {
        LoadNotesFile(fs, kTarget, cut);
        FAIL() << "a short file loaded without a failure";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
        EXPECT_EQ(e.m_strFileName, kTarget);
    }
    EXPECT_EQ(cut.notes.size(), SomeNotes().size() - 1);
}
