// Notes files on a real Win32 file system: round trips, and a save over a
// file another program holds open, which must fail loudly and harmlessly.
#include "storage/archive.h"
#include "storage/exceptions.h"
#include "storage/file_win.h"
#include "storage/memory_file.h"
#include "storage/notes_file_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

struct RecordingSink : INotesSink {
    std::vector<int32_t> modes;
    std::vector<NoteEntry> notes;
    void OnShowHiddenMode(int32_t nMode) override { modes.push_back(nMode); }
    void OnNote(const std::string& strText, const NoteRecord& record) override
    {
        notes.push_back({strText, record});
    }
};

class FileWin : public testing::Test {
protected:
    void SetUp() override
    {
        char szTemp[MAX_PATH];
        ASSERT_NE(GetTempPathA(MAX_PATH, szTemp), 0u);
        m_strDir = std::string(szTemp) + "dp_storage_" + std::to_string(GetCurrentProcessId()) + "_" +
                   testing::UnitTest::GetInstance()->current_test_info()->name();
        ASSERT_TRUE(CreateDirectoryA(m_strDir.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
        RemoveAll();
    }
    void TearDown() override
    {
        RemoveAll();
        RemoveDirectoryA(m_strDir.c_str());
    }

    std::vector<std::string> List() const
    {
        std::vector<std::string> names;
        WIN32_FIND_DATAA fd;
        HANDLE hFind = FindFirstFileA((m_strDir + "\\*").c_str(), &fd);
        if (hFind == INVALID_HANDLE_VALUE)
            return names;
        do {
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.push_back(fd.cFileName);
        } while (FindNextFileA(hFind, &fd));
        FindClose(hFind);
        return names;
    }
    void RemoveAll() const
    {
        for (const std::string& name : List())
            DeleteFileA((m_strDir + "\\" + name).c_str());
    }
    std::string Path(const char* pszName) const { return m_strDir + "\\" + pszName; }

    static Bytes ReadAll(const std::string& strPath)
    {
        Bytes bytes;
        HANDLE h = CreateFileA(strPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            return bytes;
        uint8_t buf[4096];
        DWORD dwRead;
        while (ReadFile(h, buf, sizeof buf, &dwRead, nullptr) && dwRead != 0)
            bytes.insert(bytes.end(), buf, buf + dwRead);
        CloseHandle(h);
        return bytes;
    }
    static void WriteAll(const std::string& strPath, const Bytes& bytes)
    {
        HANDLE h = CreateFileA(strPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        DWORD dwWritten;
        ASSERT_TRUE(WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &dwWritten, nullptr));
        CloseHandle(h);
    }

    static std::vector<NoteEntry> SomeNotes()
    {
        std::vector<NoteEntry> notes;
        for (int i = 0; i < 40; ++i) {
            NoteEntry note;
            note.m_strText = "note " + std::to_string(i) + "\r\n" + std::string(static_cast<size_t>(i * 9), 'x');
            note.m_record.m_nLeft = -i;
            note.m_record.m_nBottom = i * 1000;
            note.m_record.m_bHidden = i % 3 == 0;
            notes.push_back(note);
        }
        return notes;
    }

    std::string m_strDir;
};

}  // namespace

TEST_F(FileWin, SaveWritesTheLayoutsBytesAndLoadReadsThemBack)
{
    const std::string strPath = Path("round.dpd");
    SaveNotes(strPath, 1, SomeNotes());
    WriteAll(Path("old.dpd"), {9, 9, 9});
    SaveNotes(Path("old.dpd"), 1, SomeNotes());  // over an existing file

    CMemFile expected;
    {
        CArchive ar(expected, CArchive::store);
        WriteNotes(ar, 1, SomeNotes());
    }
    EXPECT_EQ(ReadAll(strPath), expected.Data());
    EXPECT_EQ(ReadAll(Path("old.dpd")), expected.Data());
    EXPECT_EQ(List().size(), 2u);  // no temporary file left behind

    RecordingSink sink;
    ASSERT_TRUE(LoadNotes(strPath, sink));
    EXPECT_EQ(sink.modes, std::vector<int32_t>{1});
    ASSERT_EQ(sink.notes.size(), SomeNotes().size());
    for (size_t i = 0; i < sink.notes.size(); ++i) {
        EXPECT_EQ(sink.notes[i].m_strText, SomeNotes()[i].m_strText);
        EXPECT_TRUE(sink.notes[i].m_record == SomeNotes()[i].m_record);
    }
}

TEST_F(FileWin, SaveOverAFileHeldOpenFailsReportsAndKeepsTheOldBytes)
{
    const std::string strPath = Path("held.dpd");
    const Bytes old = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    WriteAll(strPath, old);
    HANDLE hHeld = CreateFileA(strPath.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(hHeld, INVALID_HANDLE_VALUE);
    try {
        SaveNotes(strPath, 0, SomeNotes());
        ADD_FAILURE() << "the save over a held file was not reported";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_strFileName, strPath);
        EXPECT_TRUE(e.m_cause == CFileException::sharingViolation || e.m_cause == CFileException::accessDenied)
            << e.m_cause << " os " << e.m_lOsError;
    }
    CloseHandle(hHeld);
    EXPECT_EQ(ReadAll(strPath), old);
    EXPECT_EQ(List(), std::vector<std::string>{"held.dpd"});

    // Held by us, the file cannot be opened for loading either: nothing read.
    hHeld = CreateFileA(strPath.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    RecordingSink sink;
    EXPECT_FALSE(LoadNotes(strPath, sink));
    EXPECT_TRUE(sink.modes.empty());
    CloseHandle(hHeld);
}

TEST_F(FileWin, FilesThatCannotBeMadeOrFoundAreHandledAsDocumented)
{
    const std::string strNoFolder = Path("missing\\x.dpd");
    try {
        SaveNotes(strNoFolder, 0, {});
        ADD_FAILURE() << "a save into a missing folder was not reported";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_strFileName, strNoFolder);
    }
    RecordingSink sink;
    EXPECT_FALSE(LoadNotes(Path("absent.dpd"), sink));
    EXPECT_FALSE(LoadNotes("", sink));
    EXPECT_TRUE(sink.modes.empty());
    EXPECT_TRUE(List().empty());

    DWORD dwError = 0;
    EXPECT_EQ(CWinFile::Open(Path("absent.dpd"), CWinFile::modeRead, &dwError), nullptr);
    EXPECT_EQ(FileCauseFromOsError(dwError), CFileException::fileNotFound);
}

TEST_F(FileWin, WideStringsAndShortFilesReadFromDisk)
{
    // An older writer's wide text "Hi", then a record cut short.
    Bytes bytes = {0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0xFF, 0xFE, 0xFF, 2, 'H', 0, 'i', 0};
    bytes.resize(bytes.size() + 32);
    bytes.insert(bytes.end(), {1, 'z', 5, 0});
    WriteAll(Path("wide.dpd"), bytes);
    RecordingSink sink;
    try {
        LoadNotes(Path("wide.dpd"), sink);
        ADD_FAILURE() << "a short file loaded without a failure";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
        EXPECT_EQ(e.m_strFileName, Path("wide.dpd"));
    }
    ASSERT_EQ(sink.notes.size(), 1u);
    EXPECT_EQ(sink.notes[0].m_strText, "Hi");
    EXPECT_EQ(AnsiFromWide(u"ABC", 3), "ABC");
}
