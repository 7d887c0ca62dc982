#include "storage/notes_file_win.h"

#include "storage/exceptions.h"
#include "storage/file_win.h"

#include <windows.h>

std::unique_ptr<CFile> CWinFileSystem::CreateTempFile(const std::string& strFolder,
                                                      std::string& strTempPath)
{
    // In the target's folder, so that the final step is a rename on one volume.
    char szTemp[MAX_PATH];
    if (!GetTempFileNameA(strFolder.empty() ? "." : strFolder.c_str(), "dpd", 0, szTemp))
        ThrowFileError(GetLastError());
    DWORD dwError = 0;
    std::unique_ptr<CFile> pFile = CWinFile::Open(szTemp, CWinFile::modeWrite, &dwError);
    if (!pFile) {
        DeleteFileA(szTemp);
        ThrowFileError(dwError);
    }
    strTempPath = szTemp;
    return pFile;
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
