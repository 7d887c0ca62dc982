// Saving never destroys the old file: a failure at any step of a save leaves
// it byte for byte, removes the new file and is raised with the path.
#include "storage/exceptions.h"
#include "storage/memory_file.h"
#include "storage/safe_save.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

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

    class CFakeFile : public CFile {
    public:
        CFakeFile(CFakeFileSystem& fs, std::string strName) : m_fs(fs), m_strName(std::move(strName)) {}
        uint32_t Read(void*, uint32_t) override { return 0; }
        void Write(const void* pBuf, uint32_t nCount) override
        {
            m_fs.Step(CFileException::hardIO);
            Bytes& data = m_fs.m_files.at(m_strName);
            auto p = static_cast<const uint8_t*>(pBuf);
            size_t nRoom = m_fs.m_nDiskRoom - std::min(m_fs.m_nDiskRoom, data.size());
            data.insert(data.end(), p, p + std::min<size_t>(nCount, nRoom));
            if (nCount > nRoom)
                throw CFileException(CFileException::diskFull, 112);
        }
        void Seek(int64_t) override {}
        uint64_t GetRemaining() override { return 0; }
        void Flush() override { m_fs.Step(CFileException::hardIO); }
        void Close() override { m_fs.Step(CFileException::hardIO); }

    private:
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
        auto it = m_files.find(strPath);
        return it == m_files.end() ? nullptr : std::make_unique<CMemFile>(it->second);
    }
    void Replace(const std::string& strFrom, const std::string& strTo) override
    {
        Step(CFileException::sharingViolation);
        m_files[strTo] = m_files.at(strFrom);
        m_files.erase(strFrom);
    }
    void Remove(const std::string& strPath) noexcept override { m_files.erase(strPath); }
};

struct RecordingSink : INotesSink {
    std::vector<int32_t> modes;
    std::vector<NoteEntry> notes;
    void OnShowHiddenMode(int32_t nMode) override { modes.push_back(nMode); }
    void OnNote(const std::string& strText, const NoteRecord& record) override
    {
        notes.push_back({strText, record});
    }
};

std::vector<NoteEntry> SomeNotes()
{
    // Large texts, so that a save takes several writes, direct ones included.
    std::vector<NoteEntry> notes;
    for (int i = 0; i < 5; ++i) {
        NoteEntry note;
        note.m_strText.assign(static_cast<size_t>(1500 * i + 3), static_cast<char>('a' + i));
        note.m_record.m_nLeft = i;
        note.m_record.m_bAlarmEnabled = i % 2;
        notes.push_back(note);
    }
    return notes;
}

const std::string kTarget = "C:\\notes\\mine.dpd";
const Bytes kOldBytes = {1, 0, 0, 0, 0, 0, 0, 0, 0, 0};

}  // namespace

TEST(SafeSave, FolderOfKeepsTheSeparatorOrDrive)
{
    EXPECT_EQ(FolderOf("C:\\notes\\mine.dpd"), "C:\\notes\\");
    EXPECT_EQ(FolderOf("C:\\mine.dpd"), "C:\\");
    EXPECT_EQ(FolderOf("C:mine.dpd"), "C:");
    EXPECT_EQ(FolderOf("dir/mine.dpd"), "dir/");
    EXPECT_EQ(FolderOf("mine.dpd"), "");
}

TEST(SafeSave, SavedFileReadsBackThroughTheLoader)
{
    CFakeFileSystem fs;
    fs.m_files[kTarget] = kOldBytes;
    SaveNotesFile(fs, kTarget, 1, SomeNotes());
    ASSERT_EQ(fs.m_files.size(), 1u);  // the temporary file took the target's place

    RecordingSink sink;
    EXPECT_TRUE(LoadNotesFile(fs, kTarget, sink));
    EXPECT_EQ(sink.modes, std::vector<int32_t>{1});
    ASSERT_EQ(sink.notes.size(), SomeNotes().size());
    for (size_t i = 0; i < sink.notes.size(); ++i) {
        EXPECT_EQ(sink.notes[i].m_strText, SomeNotes()[i].m_strText);
        EXPECT_TRUE(sink.notes[i].m_record == SomeNotes()[i].m_record);
    }
}

TEST(SafeSave, AFailureAtAnyStepLeavesTheOldFileAndIsRaised)
{
    int nStepsOfASave;
    {
        CFakeFileSystem fs;
        SaveNotesFile(fs, kTarget, 0, SomeNotes());
        nStepsOfASave = fs.m_nSteps;
    }
    ASSERT_GT(nStepsOfASave, 6);  // create, several writes, flush, close, replace

    for (bool bTargetExists : {true, false}) {
        for (int nStep = 1; nStep <= nStepsOfASave; ++nStep) {
            SCOPED_TRACE(testing::Message() << "step " << nStep << " exists " << bTargetExists);
            CFakeFileSystem fs;
            if (bTargetExists)
                fs.m_files[kTarget] = kOldBytes;
            auto before = fs.m_files;
            fs.m_nFailAtStep = nStep;
            try {
                SaveNotesFile(fs, kTarget, 0, SomeNotes());
                ADD_FAILURE() << "the failure was not raised";
            } catch (const CFileException& e) {
                EXPECT_EQ(e.m_strFileName, kTarget);
                EXPECT_EQ(e.m_lOsError, 1000 + nStep);
            }
            EXPECT_EQ(fs.m_files, before);
        }
    }
}

TEST(SafeSave, AFullDiskAtAnyByteLeavesTheOldFile)
{
    size_t nSize;
    {
        CFakeFileSystem fs;
        SaveNotesFile(fs, kTarget, 0, SomeNotes());
        nSize = fs.m_files.at(kTarget).size();
    }
    for (size_t nRoom = 0; nRoom < nSize; nRoom += 7) {
        SCOPED_TRACE(nRoom);
        CFakeFileSystem fs;
        fs.m_files[kTarget] = kOldBytes;
        auto before = fs.m_files;
        fs.m_nDiskRoom = nRoom;
        try {
            SaveNotesFile(fs, kTarget, 0, SomeNotes());
            ADD_FAILURE() << "a full disk was not reported";
        } catch (const CFileException& e) {
            EXPECT_EQ(e.m_cause, CFileException::diskFull);
            EXPECT_EQ(e.m_strFileName, kTarget);
        }
        EXPECT_EQ(fs.m_files, before);
    }
}

TEST(SafeSave, TooManyNotesAreRefusedBeforeAnyFileIsMade)
{
    CFakeFileSystem fs;
    fs.m_files[kTarget] = kOldBytes;
    auto before = fs.m_files;
    try {
        SaveNotesFile(fs, kTarget, 0, std::vector<NoteEntry>(kMaxNotesInFile + 1));
        FAIL() << "65536 notes were saved";
    } catch (const CTooManyNotesException& e) {
        EXPECT_EQ(e.m_strFileName, kTarget);
    }
    EXPECT_EQ(fs.m_nSteps, 0);
    EXPECT_EQ(fs.m_files, before);
}

TEST(SafeSave, LoadingReportsOnlyWhatItCouldOpen)
{
    CFakeFileSystem fs;
    RecordingSink sink;
    EXPECT_FALSE(LoadNotesFile(fs, "missing.dpd", sink));
    EXPECT_TRUE(sink.modes.empty());

    SaveNotesFile(fs, kTarget, 1, SomeNotes());
    Bytes& bytes = fs.m_files.at(kTarget);
    bytes.resize(bytes.size() - 1);  // the last note's record ends early
    try {
        LoadNotesFile(fs, kTarget, sink);
        FAIL() << "a short file loaded without a failure";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
        EXPECT_EQ(e.m_strFileName, kTarget);
    }
    EXPECT_EQ(sink.notes.size(), SomeNotes().size() - 1);
}
