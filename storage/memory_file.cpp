#include "storage/memory_file.h"

#include "storage/exceptions.h"

#include <algorithm>
#include <cstring>

uint32_t CMemFile::Read(void* pBuf, uint32_t nCount)
{
    size_t nLeft = m_nPos < m_data.size() ? m_data.size() - m_nPos : 0;
    uint32_t n = static_cast<uint32_t>(std::min<size_t>({nCount, nLeft, m_nMaxReadChunk}));
    if (n != 0)
        std::memcpy(pBuf, m_data.data() + m_nPos, n);
    m_nPos += n;
    return n;
}

void CMemFile::Write(const void* pBuf, uint32_t nCount)
{
    if (nCount == 0)
        return;
    if (m_data.size() < m_nPos + nCount)
        m_data.resize(m_nPos + nCount);
    std::memcpy(m_data.data() + m_nPos, pBuf, nCount);
    m_nPos += nCount;
}

void CMemFile::Seek(int64_t nOffset)
{
    if (nOffset < 0 && static_cast<uint64_t>(-nOffset) > m_nPos)
        throw CFileException(CFileException::badSeek, -1);
    m_nPos = static_cast<size_t>(static_cast<int64_t>(m_nPos) + nOffset);
}

uint64_t CMemFile::GetRemaining()
{
    return m_nPos < m_data.size() ? m_data.size() - m_nPos : 0;
}
