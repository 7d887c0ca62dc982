#pragma once
// The buffered byte stream through which a notes file is written and read:
// little-endian integers, raw blocks and length-prefixed strings, 8-bit or
// UTF-16.
#include "storage/code_page.h"
#include "storage/file.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class CArchive {
public:
    enum Mode { store = 0, load = 1 };
    static constexpr uint32_t kDefaultBufferSize = 4096;
    static constexpr uint32_t kMinBufferSize = 128;

    // The file is not owned: its owner opens it before and closes it after.
    CArchive(CFile& file, Mode mode, uint32_t nBufSize = kDefaultBufferSize,
             const CodePage& codePage = InstalledCodePage());
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

    // The 8-bit characters as they are.
    void WriteString(const std::string& str);
    // As 8-bit characters when the code page holds the text exactly (so
    // such files stay as they always were), else as the wide form.
    void WriteString(const std::u16string& str);
    // Either form: a wide string keeps its code units up to the first 0; an
    // 8-bit one is converted from the code page. A string of more than
    // nMaxBytes as stored is refused (genericException) before anything is
    // allocated or read for it.
    void ReadString(std::u16string& str, uint32_t nMaxBytes = UINT32_MAX);

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
    void WriteLength(uint32_t n);
    uint32_t ReadStringLength(bool& bWide);
    uint64_t BytesAvailable(uint32_t nWanted);

    CFile* m_pFile;
    Mode m_mode;
    uint32_t m_nBufSize;
    std::unique_ptr<uint8_t[]> m_pBuf;
    uint8_t* m_pCur;
    uint8_t* m_pEnd;
    bool m_bWriteFailed = false;
    const CodePage& m_codePage;
    int m_nUncaughtAtStart;
};
