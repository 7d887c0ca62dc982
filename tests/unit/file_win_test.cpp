// Notes files on a real Win32 file system: a save over a file another
// program holds open, or into no folder, must fail loudly and harmlessly.
#include "storage/exceptions.h"
#include "storage/file_win.h"
#include "storage/notes_file.h"
#include "tests/e2e/harness.h"
#include "tests/unit/test_notes.h"

#include <filesystem>

namespace {

CWinFileSystem g_fs;
const std::vector<NoteEntry> kNotes = {{u"note", {1, 2, 3, 4, 0, 0, 0, 0}}};

}  // namespace

// (Saves over a file, and files cut short, are read back by the controller's tests.)
TEST(FileWin, FailedSavesReportThePathAndLeaveTheOldBytesAndUnopenableFilesLoadNothing)
{
    const std::string dir = e2e::TempDir(), strHeld = dir + "\\held.dpd", strAbsent = dir + "\\absent.dpd";
    const std::string old(10, '\0');
    e2e::WriteFileBytes(strHeld, old);
    // Held open without sharing, as another program may.
    HANDLE hHeld = CreateFileA(strHeld.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(hHeld, INVALID_HANDLE_VALUE);
    for (const std::string& strPath : {strHeld, dir + "\\missing\\x.dpd"}) {
        CFileException e = Raised<CFileException>([&] { SaveNotesFile(g_fs, strPath, 0, kNotes); }).value_or(CFileException(0, 0));
        EXPECT_EQ(e.m_strFileName, strPath);  // its words: the controller's tests
    }
    NotesSink sink;  // held: there, and raised, not taken for gone; missing: nothing read
    auto held = Raised<CFileException>([&] { LoadNotesFile(g_fs, strHeld, sink); });
    EXPECT_TRUE(held && held->m_strFileName == strHeld && held->m_cause == CFileException::sharingViolation);
    EXPECT_EQ(LoadNotesFile(g_fs, strAbsent, sink), LoadOutcome::missing);
    EXPECT_TRUE(sink.modes.empty());
    CloseHandle(hHeld);
    // A reader that shares everything (an indexer, a sync client) does not keep the notes from loading.
    hHeld = CreateFileA(strHeld.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(LoadNotesFile(g_fs, strHeld, sink), LoadOutcome::whole);
    CloseHandle(hHeld);
    // One file, however its name is written.
    EXPECT_TRUE(SameFile(dir + "\\\xe9t\xe9.dpd", dir + "\\.\\\xc9T\xc9.DPD") && !SameFile(strHeld, strHeld + "2"));
    EXPECT_EQ(e2e::ReadFileBytes(strHeld), old);
    EXPECT_EQ(e2e::FilesIn(dir), 1);
    DWORD dwError = 0;
    EXPECT_EQ(CWinFile::Open(strAbsent, CWinFile::modeRead, &dwError), nullptr);
    EXPECT_EQ(FileCauseFromOsError(dwError), CFileException::fileNotFound);

    // What is left counts from the position: a hostile length is judged by it.
    std::unique_ptr<CWinFile> pFile = CWinFile::Open(strHeld, CWinFile::modeRead);
    ASSERT_NE(pFile, nullptr);
    uint8_t head[4];
    EXPECT_EQ(pFile->Read(head, 4), 4u);
    EXPECT_EQ(pFile->GetRemaining(), old.size() - 4);
    pFile.reset();
    std::filesystem::remove_all(dir);
}
