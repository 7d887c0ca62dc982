#pragma once
// The buffered byte stream through which a notes file is written and read:
// little-endian integers, raw blocks and length-prefixed 8-bit strings.
#include "storage/file.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// Turns UTF-16 code units (no 0 among them) into the 8-bit character set.
using WideToNarrowFn = std::string (*)(const char16_t* pUnits, size_t nCount);

// Portable stand-in: code units below 256 map to themselves, others to '?'.
std::string Latin1FromWide(const char16_t* pUnits, size_t nCount);

class CArchive {
public:
    enum Mode { store = 0, load = 1 };
    static constexpr uint32_t kDefaultBufferSize = 4096;
    static constexpr uint32_t kMinBufferSize = 128;

    // The file is not owned: its owner opens it before and closes it after.
    CArchive(CFile& file, Mode mode, uint32_t nBufSize = kDefaultBufferSize,
             WideToNarrowFn pfnWideToNarrow = Latin1FromWide);
    // Closes the archive if still attached (a store writes what it buffered).
    // A failure of that close is raised, except while another failure is
    // unwinding the stack, when it is dropped so the first one travels on.
    ~CArchive() noexcept(false);
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    bool IsLoading() const { return m_mode == load; }
    bool IsStoring() const { return m_mode == store; }

    void WriteByte(uint8_t b);
    void WriteWord(uint16_t w);
    void WriteDword(uint32_t dw);
    void ReadByte(uint8_t& b);
    void ReadWord(uint16_t& w);
    void ReadDword(uint32_t& dw);
    void ReadDword(int32_t& n);

    void WriteBlock(const void* pBuf, uint32_t nCount);
    // Returns the number of bytes copied; a short count is not a failure.
    uint32_t ReadBlock(void* pBuf, uint32_t nCount);

    void WriteString(const std::string& str);
    void ReadString(std::string& str);

    // Store: writes the buffered bytes. Load: gives the unread buffered bytes
    // back to the file by moving its position back over them.
    void Flush();
    // Flush, then detach from the file (which stays open).
    void Close();

private:
    void CheckStoring() const;
    void CheckLoading() const;
    void WriteToFile(const uint8_t* p, uint32_t n);
    void WriteValue(const uint8_t* pBytes, uint32_t nBytes);
    void FillBuffer(uint32_t nNeeded);
    void ReadValue(uint8_t* pBytes, uint32_t nBytes);
    uint32_t ReadStringLength(bool& bWide);
    uint64_t BytesAvailable(uint32_t nWanted);

    CFile* m_pFile;
    Mode m_mode;
    uint32_t m_nBufSize;
    std::unique_ptr<uint8_t[]> m_pBuf;
    uint8_t* m_pCur;
    uint8_t* m_pEnd;
    bool m_bWriteFailed = false;
    WideToNarrowFn m_pfnWideToNarrow;
    int m_nUncaughtAtStart;
};
