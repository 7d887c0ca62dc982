#pragma once
// A CFile over bytes in memory, for tests and the fuzzer.
#include "storage/file.h"

#include <cstddef>
#include <vector>

class CMemFile : public CFile {
public:
    CMemFile() = default;
    explicit CMemFile(std::vector<uint8_t> data) : m_data(std::move(data)) {}

    uint32_t Read(void* pBuf, uint32_t nCount) override;
    void Write(const void* pBuf, uint32_t nCount) override;
    void Seek(int64_t nOffset) override;
    uint64_t GetRemaining() override;
    void Flush() override {}
    void Close() override {}

    const std::vector<uint8_t>& Data() const { return m_data; }
    size_t GetPosition() const { return m_nPos; }
    // Hands out at most this many bytes per Read, as a device may.
    void SetMaxReadChunk(uint32_t nMax) { m_nMaxReadChunk = nMax; }

private:
    std::vector<uint8_t> m_data;
    size_t m_nPos = 0;
    uint32_t m_nMaxReadChunk = UINT32_MAX;
};
