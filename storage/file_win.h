#pragma once
// The Win32 file under the archive, and the Win32 side of its failures and
// of wide strings.
#include "base/handle.h"
#include "storage/archive.h"
#include "storage/file.h"
#include "storage/file_system.h"

#include <windows.h>

#include <memory>
#include <string>

// The CFileException cause for a Win32 error code.
int FileCauseFromOsError(DWORD dwError);

// The path made absolute; as given when Windows cannot.
std::string FullPath(const std::string& strPath);
// One file's one key, whatever the path's case (non-ASCII letters
// included) and however relative: Windows' own rule for names.
std::wstring PathKey(const std::string& strPath);
inline bool SameFile(const std::string& strA, const std::string& strB) { return PathKey(strA) == PathKey(strB); }
[[noreturn]] void ThrowFileError(DWORD dwError);

// The ANSI code page, for the notes' texts in notes files.
extern const CodePage kAnsiCodePage;

class CWinFile : public CFile {
public:
    enum OpenMode {
        modeRead,   // read only, shared with readers only, the file must exist
        modeWriteExisting,  // write only, exclusive, must exist, kept as it is
    };
    // nullptr when the file cannot be opened; *pdwError then says why.
    static std::unique_ptr<CWinFile> Open(const std::string& strPath, OpenMode mode,
                                          DWORD* pdwError = nullptr);
    // Takes over a handle opened elsewhere.
    static std::unique_ptr<CWinFile> Adopt(UniqueFileHandle hFile);

    uint32_t Read(void* pBuf, uint32_t nCount) override;
    void Write(const void* pBuf, uint32_t nCount) override;
    void Seek(int64_t nOffset) override;
    uint64_t GetRemaining() override;
    void Flush() override;
    void Close() override;

private:
    explicit CWinFile(UniqueFileHandle hFile) : m_hFile(std::move(hFile)) {}
    UniqueFileHandle m_hFile;
};

// The real file system under a notes-file save or load.
class CWinFileSystem : public IFileSystem {
public:
    std::unique_ptr<CFile> CreateTempFile(const std::string& strFolder,
                                          std::string& strTempPath) override;
    std::unique_ptr<CFile> OpenForReading(const std::string& strPath) override;
    void Replace(const std::string& strFrom, const std::string& strTo) override;
    void Move(const std::string& strFrom, const std::string& strTo) override;
    bool Exists(const std::string& strPath) noexcept override;
    void MakeFolder(const std::string& strFolder) override;
    void Remove(const std::string& strPath) noexcept override;
};
