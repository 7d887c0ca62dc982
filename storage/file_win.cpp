#include "storage/file_win.h"

#include "storage/exceptions.h"

#include <cstdio>

int FileCauseFromOsError(DWORD dwError)
{
    switch (dwError) {
    case NO_ERROR:
        return CFileException::none;
    case ERROR_FILE_NOT_FOUND:
        return CFileException::fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_BAD_NETPATH:
        return CFileException::badPath;
    case ERROR_TOO_MANY_OPEN_FILES:
        return CFileException::tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
        return CFileException::accessDenied;
    case ERROR_INVALID_HANDLE:
        return CFileException::invalidFile;
    case ERROR_CURRENT_DIRECTORY:
        return CFileException::removeCurrentDir;
    case ERROR_CANNOT_MAKE:
        return CFileException::directoryFull;
    case ERROR_SEEK:
    case ERROR_NEGATIVE_SEEK:
        return CFileException::badSeek;
    case ERROR_WRITE_FAULT:
    case ERROR_READ_FAULT:
    case ERROR_CRC:
    case ERROR_SECTOR_NOT_FOUND:
    case ERROR_NOT_READY:
    case ERROR_GEN_FAILURE:
    case ERROR_IO_DEVICE:
        return CFileException::hardIO;
    case ERROR_SHARING_VIOLATION:
        return CFileException::sharingViolation;
    case ERROR_LOCK_VIOLATION:
        return CFileException::lockViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return CFileException::diskFull;
    case ERROR_HANDLE_EOF:
        return CFileException::endOfFile;
    default:
        return CFileException::genericException;
    }
}

void ThrowFileError(DWORD dwError)
{
    throw CFileException(FileCauseFromOsError(dwError), static_cast<long>(dwError));
}

namespace {

// Texts are a note's few hundred characters at most, which an int counts.
std::string AnsiFromWide(const std::u16string& wide)
{
    if (wide.empty())
        return std::string();
    auto pWide = reinterpret_cast<const wchar_t*>(wide.data());
    int nUnits = static_cast<int>(wide.size());
    int nBytes = WideCharToMultiByte(CP_ACP, 0, pWide, nUnits, nullptr, 0, nullptr, nullptr);
    if (nBytes <= 0)
        return std::string();
    std::string str(static_cast<size_t>(nBytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, pWide, nUnits, &str[0], nBytes, nullptr, nullptr);
    return str;
}

std::u16string WideFromAnsi(const std::string& narrow)
{
    if (narrow.empty())
        return std::u16string();
    int nBytes = static_cast<int>(narrow.size());
    int nUnits = MultiByteToWideChar(CP_ACP, 0, narrow.data(), nBytes, nullptr, 0);
    if (nUnits <= 0)
        return std::u16string();
    std::u16string str(static_cast<size_t>(nUnits), u'\0');
    MultiByteToWideChar(CP_ACP, 0, narrow.data(), nBytes, reinterpret_cast<wchar_t*>(&str[0]), nUnits);
    return str;
}

}  // namespace

const CodePage kAnsiCodePage = {AnsiFromWide, WideFromAnsi};

std::unique_ptr<CWinFile> CWinFile::Open(const std::string& strPath, OpenMode mode, DWORD* pdwError)
{
    DWORD dwAccess = mode == modeRead ? GENERIC_READ : GENERIC_WRITE;
    // A reader lets the indexer, a scanner or a sync client read beside it,
    // and still keeps every writer out.
    DWORD dwShare = mode == modeRead ? FILE_SHARE_READ : 0;
    UniqueFileHandle hFile(CreateFileA(strPath.c_str(), dwAccess, dwShare, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!hFile) {
        if (pdwError)
            *pdwError = GetLastError();
        return nullptr;
    }
    return Adopt(std::move(hFile));
}

std::unique_ptr<CWinFile> CWinFile::Adopt(UniqueFileHandle hFile)
{
    return std::unique_ptr<CWinFile>(new CWinFile(std::move(hFile)));
}

uint32_t CWinFile::Read(void* pBuf, uint32_t nCount)
{
    DWORD dwRead = 0;
    if (!ReadFile(m_hFile.get(), pBuf, nCount, &dwRead, nullptr))
        ThrowFileError(GetLastError());
    return dwRead;
}

void CWinFile::Write(const void* pBuf, uint32_t nCount)
{
    DWORD dwWritten = 0;
    if (!WriteFile(m_hFile.get(), pBuf, nCount, &dwWritten, nullptr))
        ThrowFileError(GetLastError());
    if (dwWritten != nCount)
        throw CFileException(CFileException::diskFull, ERROR_DISK_FULL);
}

void CWinFile::Seek(int64_t nOffset)
{
    LARGE_INTEGER li;
    li.QuadPart = nOffset;
    if (!SetFilePointerEx(m_hFile.get(), li, nullptr, FILE_CURRENT))
        ThrowFileError(GetLastError());
}

uint64_t CWinFile::GetRemaining()
{
    LARGE_INTEGER size;
    LARGE_INTEGER zero;
    LARGE_INTEGER pos;
    zero.QuadPart = 0;
    if (!GetFileSizeEx(m_hFile.get(), &size) ||
        !SetFilePointerEx(m_hFile.get(), zero, &pos, FILE_CURRENT))
        ThrowFileError(GetLastError());
    return size.QuadPart > pos.QuadPart ? static_cast<uint64_t>(size.QuadPart - pos.QuadPart) : 0;
}

void CWinFile::Flush()
{
    if (!FlushFileBuffers(m_hFile.get()))
        ThrowFileError(GetLastError());
}

void CWinFile::Close()
{
    HANDLE hFile = m_hFile.release();
    if (hFile != INVALID_HANDLE_VALUE && !CloseHandle(hFile))
        ThrowFileError(GetLastError());
}

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
    // A scanner or a sync client holds a file for a moment: tried again
    // for about half a second before it counts as held.
    DWORD dwError = 0;
    for (int nTry = 0; nTry < 10; ++nTry) {
        if (std::unique_ptr<CWinFile> pFile = CWinFile::Open(strPath, CWinFile::modeRead, &dwError))
            return pFile;
        if (dwError != ERROR_SHARING_VIOLATION && dwError != ERROR_LOCK_VIOLATION)
            break;
        Sleep(50);
    }
    if (dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_PATH_NOT_FOUND)
        return nullptr;
    ThrowFileError(dwError);
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
    Move(strFrom, strTo);
}

void CWinFileSystem::Move(const std::string& strFrom, const std::string& strTo)
{
    if (!MoveFileExA(strFrom.c_str(), strTo.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        ThrowFileError(GetLastError());
}

bool CWinFileSystem::Exists(const std::string& strPath) noexcept
{
    return GetFileAttributesA(strPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void CWinFileSystem::MakeFolder(const std::string& strFolder)
{
    // Each level in turn, from the top; levels that exist already refuse
    // with a reason that does not matter: only the last level's outcome counts.
    for (size_t nAt = strFolder.find_first_of("\\/", 3); ; nAt = strFolder.find_first_of("\\/", nAt + 1)) {
        std::string strLevel = strFolder.substr(0, nAt);
        if (!strLevel.empty())
            CreateDirectoryA(strLevel.c_str(), nullptr);
        if (nAt == std::string::npos)
            break;
    }
    DWORD dwAttributes = GetFileAttributesA(strFolder.c_str());
    if (dwAttributes == INVALID_FILE_ATTRIBUTES || !(dwAttributes & FILE_ATTRIBUTE_DIRECTORY))
        ThrowFileError(dwAttributes == INVALID_FILE_ATTRIBUTES ? GetLastError() : ERROR_ALREADY_EXISTS);
}

void CWinFileSystem::Remove(const std::string& strPath) noexcept
{
    DeleteFileA(strPath.c_str());
}

std::string FullPath(const std::string& strPath)
{
    char full[MAX_PATH] = {};
    DWORD length = GetFullPathNameA(strPath.c_str(), MAX_PATH, full, nullptr);
    return length && length < MAX_PATH ? std::string(full, length) : strPath;
}

std::wstring PathKey(const std::string& strPath)
{
    std::u16string wide = WideFromAnsi(FullPath(strPath));
    std::wstring key(wide.begin(), wide.end());
    if (!key.empty())
        CharUpperBuffW(&key[0], static_cast<DWORD>(key.size()));
    return key;
}
