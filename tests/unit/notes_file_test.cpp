// Saving never destroys the old file: a failure at any step of a save leaves
// it byte for byte, removes the new file and is raised with the path.
#include "storage/exceptions.h"
#include "storage/memory_file.h"
#include "storage/notes_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

static bool operator==(const NoteEntry& a, const NoteEntry& b)
{
    return a.m_strText == b.m_strText && a.m_record == b.m_record;
}

namespace {

using Bytes = std::vector<uint8_t>;

// Files in a map, with one step (create, a write, flush, close, replace)
// made to fail on request, and a disk that can run out of room.
class CFakeFileSystem : public IFileSystem {
public:
    std::map<std::string, Bytes> m_files;
    int m_nFailAtStep = 0;  // 1-based; 0: no step fails
    int m_nSteps = 0;
    size_t m_nDiskRoom = SIZE_MAX;

    void Step(int nCause)
    {
        if (++m_nSteps == m_nFailAtStep)
            throw CFileException(nCause, 1000 + m_nSteps);
    }

    // Each write lands in m_files at once, so bytes written too late show too.
    class CFakeFile : public CMemFile {
    public:
        CFakeFile(CFakeFileSystem& fs, std::string strName) : m_fs(fs), m_strName(std::move(strName)) {}
        void Write(const void* pBuf, uint32_t nCount) override
        {
            m_fs.Step(CFileException::hardIO);
            size_t nRoom = m_fs.m_nDiskRoom - std::min(m_fs.m_nDiskRoom, Data().size());
            CMemFile::Write(pBuf, static_cast<uint32_t>(std::min<size_t>(nCount, nRoom)));
            m_fs.m_files[m_strName] = Data();
            if (nCount > nRoom)
                throw CFileException(CFileException::diskFull, 112);
        }
        void Flush() override { m_fs.Step(CFileException::hardIO); }
        void Close() override { m_fs.Step(CFileException::hardIO); }
        CFakeFileSystem& m_fs;
        std::string m_strName;
    };

    std::unique_ptr<CFile> CreateTempFile(const std::string& strFolder, std::string& strTempPath) override
    {
        Step(CFileException::accessDenied);
        strTempPath = strFolder + "~dp" + std::to_string(m_files.size()) + ".tmp";
        m_files[strTempPath];
        return std::make_unique<CFakeFile>(*this, strTempPath);
    }
    std::unique_ptr<CFile> OpenForReading(const std::string& strPath) override
    {
        return m_files.count(strPath) ? std::make_unique<CMemFile>(m_files[strPath]) : nullptr;
    }
    void Replace(const std::string& strFrom, const std::string& strTo) override
    {
        Step(CFileException::sharingViolation);
        m_files[strTo] = m_files.at(strFrom);
        m_files.erase(strFrom);
    }
    void Remove(const std::string& strPath) noexcept override { m_files.erase(strPath); }
};

struct Sink : INotesSink {
    std::vector<int32_t> modes;
    std::vector<NoteEntry> notes;
    void OnShowHiddenMode(int32_t nMode) override { modes.push_back(nMode); }
    void OnNote(const std::u16string& strText, const NoteRecord& r) override { notes.push_back({strText, r}); }
};

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
    EXPECT_EQ(FolderOf("C:\\notes\\mine.dpd"), "C:\\notes\\");
    EXPECT_EQ(FolderOf("C:\\mine.dpd"), "C:\\");
    EXPECT_EQ(FolderOf("C:mine.dpd"), "C:");
    EXPECT_EQ(FolderOf("dir/mine.dpd"), "dir/");
    EXPECT_EQ(FolderOf("mine.dpd"), "");
}

TEST(SafeSave, AFailureAtAnyStepOrByteLeavesTheOldFileAndIsRaised)
{
    CFakeFileSystem whole;
    SaveNotesFile(whole, kTarget, 0, SomeNotes());
    ASSERT_GT(whole.m_nSteps, 6);  // create, several writes, flush, close, replace

    for (int nStep = 1; nStep <= whole.m_nSteps; ++nStep) {
        SCOPED_TRACE(testing::Message() << "failing step " << nStep);
        CFakeFileSystem fs;
        fs.m_nFailAtStep = nStep;
        EXPECT_EQ(FailedSave(fs).m_lOsError, 1000 + nStep);
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
    EXPECT_EQ(fs.m_nSteps, 0);
    EXPECT_EQ(fs.m_files, (std::map<std::string, Bytes>{{kTarget, kOldBytes}}));
}

TEST(SafeSave, LoadReadsBackWhatWasSavedAndReportsOnlyWhatItCouldOpen)
{
    CFakeFileSystem fs;
    Sink sink;
    EXPECT_FALSE(LoadNotesFile(fs, kTarget, sink));  // and reports nothing: see the modes below

    fs.m_files[kTarget] = kOldBytes;
    SaveNotesFile(fs, kTarget, 1, SomeNotes());
    ASSERT_EQ(fs.m_files.size(), 1u);  // the temporary file took the target's place
    EXPECT_TRUE(LoadNotesFile(fs, kTarget, sink));
    EXPECT_EQ(sink.modes, std::vector<int32_t>{1});
    EXPECT_EQ(sink.notes, SomeNotes());

    fs.m_files.at(kTarget).pop_back();  // the last note's record ends early
    Sink cut;
    try {
        LoadNotesFile(fs, kTarget, cut);
        FAIL() << "a short file loaded without a failure";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
        EXPECT_EQ(e.m_strFileName, kTarget);
    }
    EXPECT_EQ(cut.notes.size(), SomeNotes().size() - 1);
}
