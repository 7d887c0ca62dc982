// Notes files on a real Win32 file system: a save over a file another
// program holds open, or into no folder, must fail loudly and harmlessly.
#include "storage/exceptions.h"
#include "storage/file_win.h"
#include "storage/notes_file.h"
#include "tests/unit/test_notes.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

namespace fs = std::filesystem;
CWinFileSystem g_fs;

// A folder of the test's own, removed afterwards.
struct Folder {
    fs::path dir = fs::temp_directory_path() / ("dp_storage_" + std::to_string(GetCurrentProcessId()) + "_" +
                                                 testing::UnitTest::GetInstance()->current_test_info()->name());
    Folder()
    {
        fs::remove_all(dir);
        fs::create_directory(dir);
    }
    ~Folder() { std::error_code ec; fs::remove_all(dir, ec); }
    std::string operator[](const char* pszName) const { return (dir / pszName).string(); }
    size_t Count() const { return static_cast<size_t>(std::distance(fs::directory_iterator(dir), {})); }
};

Bytes ReadAll(const std::string& strPath)
{
    std::ifstream in(strPath, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::string& strPath, const Bytes& bytes)
{
    std::ofstream(strPath, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<NoteEntry> SomeNotes()
{
    std::vector<NoteEntry> notes;
    for (int i = 0; i < 40; ++i)
        notes.push_back({u"note\r\n" + std::u16string(static_cast<size_t>(i * 9), u'x'), {-i, 0, 0, i * 1000, 0, 0, 0, i % 3 == 0}});
    return notes;
}

}  // namespace

// (Saves over a file, and files cut short, are read back by the controller's tests.)
TEST(FileWin, FailedSavesReportThePathAndLeaveTheOldBytesAndUnopenableFilesLoadNothing)
{
    Folder folder;
    const std::string strHeld = folder["held.dpd"], strNoFolder = folder["missing\\x.dpd"];
    const Bytes old = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    WriteAll(strHeld, old);
    // Held open without sharing, as another program may.
    HANDLE hHeld = CreateFileA(strHeld.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(hHeld, INVALID_HANDLE_VALUE);
    for (const std::string& strPath : {strHeld, strNoFolder}) {
        CFileException e = Raised<CFileException>([&] { SaveNotesFile(g_fs, strPath, 0, SomeNotes()); }).value_or(CFileException(0, 0));
        EXPECT_EQ(e.m_strFileName, strPath);
        EXPECT_TRUE(strPath != strHeld || e.m_cause == CFileException::sharingViolation ||
                    e.m_cause == CFileException::accessDenied) << e.m_cause << " os " << e.m_lOsError;
    }
    NotesSink sink;  // held, missing or unnamed: nothing read
    EXPECT_FALSE(LoadNotesFile(g_fs, strHeld, sink) || LoadNotesFile(g_fs, folder["absent.dpd"], sink) || LoadNotesFile(g_fs, "", sink));
    EXPECT_TRUE(sink.modes.empty());
    CloseHandle(hHeld);
    EXPECT_EQ(ReadAll(strHeld), old);
    EXPECT_EQ(folder.Count(), 1u);
    DWORD dwError = 0;
    EXPECT_EQ(CWinFile::Open(folder["absent.dpd"], CWinFile::modeRead, &dwError), nullptr);
    EXPECT_EQ(FileCauseFromOsError(dwError), CFileException::fileNotFound);

    // What is left counts from the position: a hostile length is judged by it.
    std::unique_ptr<CWinFile> pFile = CWinFile::Open(strHeld, CWinFile::modeRead);
    ASSERT_NE(pFile, nullptr);
    uint8_t head[4];
    EXPECT_EQ(pFile->Read(head, 4), 4u);
    EXPECT_EQ(pFile->GetRemaining(), old.size() - 4);
}
