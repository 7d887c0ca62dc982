#include "storage/notes_file_win.h"

#include "storage/exceptions.h"
#include "storage/file_win.h"

#include <windows.h>

#include <cstdio>

std::unique_ptr<CFile> CWinFileSystem::CreateTempFile(const std::string& strFolder,
                                                      std::string& strTempPath)
{
    // In the target's folder, so that the final step is a rename on one
    // volume. A new name is made and created in one call (CREATE_NEW).
    DWORD dwSeed = GetTickCount() ^ (GetCurrentProcessId() << 16);
    DWORD dwError = ERROR_FILE_EXISTS;
    for (DWORD i = 0; i < 100 && (dwError == ERROR_FILE_EXISTS || dwError == ERROR_ALREADY_EXISTS); ++i) {
        char szName[16];
        std::snprintf(szName, sizeof szName, "~dp%05lx.tmp",
                      static_cast<unsigned long>((dwSeed + i * 7919) & 0xFFFFF));
        std::string strName = strFolder + szName;
        UniqueFileHandle hFile(CreateFileA(strName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
        if (hFile) {
            strTempPath = strName;
            return CWinFile::Adopt(std::move(hFile));
        }
        dwError = GetLastError();
    }
    ThrowFileError(dwError);
}

std::unique_ptr<CFile> CWinFileSystem::OpenForReading(const std::string& strPath)
{
    return CWinFile::Open(strPath, CWinFile::modeRead);
}

void CWinFileSystem::Replace(const std::string& strFrom, const std::string& strTo)
{
    // ReplaceFile keeps the old file's attributes and security; some file
    // systems do not support it, and a plain replacing move does there.
    if (GetFileAttributesA(strTo.c_str()) != INVALID_FILE_ATTRIBUTES) {
        // A file that could not be opened for writing (read-only, or held
        // open by another program) is refused here with that reason, before
        // ReplaceFile tries to move it aside.
        DWORD dwError = 0;
        std::unique_ptr<CWinFile> pTarget = CWinFile::Open(strTo, CWinFile::modeWriteExisting, &dwError);
        if (!pTarget)
            ThrowFileError(dwError);
        pTarget.reset();
        if (ReplaceFileA(strTo.c_str(), strFrom.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                         nullptr, nullptr))
            return;
        dwError = GetLastError();
        if (dwError != ERROR_NOT_SUPPORTED && dwError != ERROR_INVALID_FUNCTION &&
            dwError != ERROR_CALL_NOT_IMPLEMENTED)
            ThrowFileError(dwError);
    }
    if (!MoveFileExA(strFrom.c_str(), strTo.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        ThrowFileError(GetLastError());
}

void CWinFileSystem::Remove(const std::string& strPath) noexcept
{
    DeleteFileA(strPath.c_str());
}

void SaveNotes(const std::string& strPath, int32_t nShowHiddenMode, const std::vector<NoteEntry>& notes)
{
    CWinFileSystem fs;
    SaveNotesFile(fs, strPath, nShowHiddenMode, notes);
}

bool LoadNotes(const std::string& strPath, INotesSink& sink)
{
    CWinFileSystem fs;
    return LoadNotesFile(fs, strPath, sink, AnsiFromWide);
}
