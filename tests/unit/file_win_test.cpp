// Notes files on a real Win32 file system: round trips, and a save over a
// file another program holds open, which must fail loudly and harmlessly.
#include "storage/archive.h"
#include "storage/exceptions.h"
#include "storage/file_win.h"
#include "storage/memory_file.h"
#include "storage/notes_file.h"
#include "tests/unit/test_notes.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

CWinFileSystem g_fs;

namespace fs = std::filesystem;

// Each test works in a folder of its own, removed afterwards.
class FileWin : public testing::Test {
protected:
    FileWin()
        : m_dir(fs::temp_directory_path() / ("dp_storage_" + std::to_string(GetCurrentProcessId()) + "_" +
                                             testing::UnitTest::GetInstance()->current_test_info()->name()))
    {
        fs::remove_all(m_dir);
        fs::create_directory(m_dir);
    }
    ~FileWin() override
    {
        std::error_code ec;
        fs::remove_all(m_dir, ec);
    }
    std::string Path(const char* pszName) const { return (m_dir / pszName).string(); }
    size_t Count() const { return static_cast<size_t>(std::distance(fs::directory_iterator(m_dir), {})); }
    static Bytes ReadAll(const std::string& strPath)
    {
        std::ifstream in(strPath, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    static void WriteAll(const std::string& strPath, const Bytes& bytes)
    {
        std::ofstream(strPath, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                      static_cast<std::streamsize>(bytes.size()));
    }
    static std::vector<NoteEntry> SomeNotes()
    {
        std::vector<NoteEntry> notes;
        for (int i = 0; i < 40; ++i) {
            std::string text = "note " + std::to_string(i) + "\r\n" + std::string(static_cast<size_t>(i * 9), 'x');
            notes.push_back({{text.begin(), text.end()}, {-i, 0, 0, i * 1000, 0, 0, 0, i % 3 == 0}});
        }
        return notes;
    }

    fs::path m_dir;
};

}  // namespace

TEST_F(FileWin, SaveWritesTheLayoutsBytesAndLoadReadsThemBack)
{
    CMemFile expected;
    {
        CArchive ar(expected, CArchive::store);
        WriteNotes(ar, 1, SomeNotes());
    }
    SaveNotesFile(g_fs, Path("new.dpd"), 1, SomeNotes());
    WriteAll(Path("old.dpd"), {9, 9, 9});
    SaveNotesFile(g_fs, Path("old.dpd"), 1, SomeNotes());
    EXPECT_EQ(ReadAll(Path("new.dpd")), expected.Data());
    EXPECT_EQ(ReadAll(Path("old.dpd")), expected.Data());
    EXPECT_EQ(Count(), 2u);  // no temporary file left behind
    // What is left counts from the position: a hostile length is judged by it.
    std::unique_ptr<CWinFile> pFile = CWinFile::Open(Path("new.dpd"), CWinFile::modeRead);
    ASSERT_NE(pFile, nullptr);
    uint8_t head[4];
    EXPECT_EQ(pFile->Read(head, 4), 4u);
    EXPECT_EQ(pFile->GetRemaining(), expected.Data().size() - 4);
    pFile->Close();

    NotesSink sink;
    ASSERT_TRUE(LoadNotesFile(g_fs, Path("old.dpd"), sink));
    EXPECT_EQ(sink.modes, std::vector<int32_t>{1});
    EXPECT_EQ(sink.notes, SomeNotes());
}

TEST_F(FileWin, FailedSavesReportThePathAndLeaveTheOldBytes)
{
    const std::string strHeld = Path("held.dpd"), strNoFolder = Path("missing\\x.dpd");
    const Bytes old = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    WriteAll(strHeld, old);
    // Held open without sharing, as another program may.
    HANDLE hHeld = CreateFileA(strHeld.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(hHeld, INVALID_HANDLE_VALUE);
    for (const std::string& strPath : {strHeld, strNoFolder}) {
        try {
            SaveNotesFile(g_fs, strPath, 0, SomeNotes());
            ADD_FAILURE() << "not reported: " << strPath;
        } catch (const CFileException& e) {
            EXPECT_EQ(e.m_strFileName, strPath);
            EXPECT_TRUE(strPath != strHeld || e.m_cause == CFileException::sharingViolation ||
                        e.m_cause == CFileException::accessDenied) << e.m_cause << " os " << e.m_lOsError;
        }
    }
    // Held, the file cannot be opened for loading either: nothing read.
    NotesSink sink;
    EXPECT_FALSE(LoadNotesFile(g_fs, strHeld, sink));
    EXPECT_TRUE(sink.modes.empty());
    CloseHandle(hHeld);
    EXPECT_EQ(ReadAll(strHeld), old);
    EXPECT_EQ(Count(), 1u);
}

TEST_F(FileWin, MissingShortAndWideFilesLoadAsDocumented)
{
    NotesSink sink;
    EXPECT_FALSE(LoadNotesFile(g_fs, Path("absent.dpd"), sink));
    EXPECT_FALSE(LoadNotesFile(g_fs, "", sink));
    EXPECT_TRUE(sink.modes.empty());
    DWORD dwError = 0;
    EXPECT_EQ(CWinFile::Open(Path("absent.dpd"), CWinFile::modeRead, &dwError), nullptr);
    EXPECT_EQ(FileCauseFromOsError(dwError), CFileException::fileNotFound);

    // An older writer's wide text "Hi", then a record cut short.
    Bytes bytes = {0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0xFF, 0xFE, 0xFF, 2, 'H', 0, 'i', 0};
    bytes.resize(bytes.size() + 32);
    bytes.insert(bytes.end(), {1, 'z', 5, 0});
    WriteAll(Path("wide.dpd"), bytes);
    try {
        LoadNotesFile(g_fs, Path("wide.dpd"), sink);
        ADD_FAILURE() << "a short file loaded without a failure";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
        EXPECT_EQ(e.m_strFileName, Path("wide.dpd"));
    }
    ASSERT_EQ(sink.notes.size(), 1u);
    EXPECT_EQ(sink.notes[0].m_strText, u"Hi");
}
