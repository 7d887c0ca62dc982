#pragma once
// The small file interface the archive works over. The Win32 file and the
// memory file implement it; failures are raised as CFileException.
#include <cstdint>

class CFile {
public:
    virtual ~CFile() = default;
    CFile() = default;
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // Reads up to nCount bytes; fewer (0 at the end) is not a failure.
    virtual uint32_t Read(void* pBuf, uint32_t nCount) = 0;
    // Writes all nCount bytes or raises (disk full for a short write).
    virtual void Write(const void* pBuf, uint32_t nCount) = 0;
    // Moves the position by nOffset bytes from where it stands.
    virtual void Seek(int64_t nOffset) = 0;
    // Bytes between the position and the end of the file: what a read can
    // still deliver, so a length read from the file can be checked first.
    virtual uint64_t GetRemaining() = 0;
    // Pushes written bytes to the storage device.
    virtual void Flush() = 0;
    // Releases the file; a failure here can mean bytes never reached it.
    virtual void Close() = 0;
};
