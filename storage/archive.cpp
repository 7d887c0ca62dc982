#include "storage/archive.h"

#include "storage/exceptions.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <new>

namespace {

uint32_t Distance(const uint8_t* from, const uint8_t* to)
{
    return static_cast<uint32_t>(to - from);
}

}  // namespace

CArchive::CArchive(CFile& file, Mode mode, uint32_t nBufSize, const CodePage& codePage)
    : m_pFile(&file),
      m_mode(mode),
      m_nBufSize(std::max(nBufSize, kMinBufferSize)),
      m_codePage(codePage),
      m_nUncaughtAtStart(std::uncaught_exceptions())
{
    m_pBuf.reset(new (std::nothrow) uint8_t[m_nBufSize]);
    if (!m_pBuf)
        throw CMemoryException();
    // Store: empty, all room free. Load: counts as empty, the first read fills it.
    m_pEnd = m_pBuf.get() + m_nBufSize;
    m_pCur = IsStoring() ? m_pBuf.get() : m_pEnd;
}

CArchive::~CArchive() noexcept(false)
{
    if (!m_pFile)
        return;
    if (std::uncaught_exceptions() > m_nUncaughtAtStart) {
        try {
            Close();
        } catch (...) {
            // The failure already travelling is the one to report.
        }
    } else {
        Close();
    }
}

void CArchive::CheckStoring() const
{
    if (!IsStoring())
        throw CArchiveException(CArchiveException::readOnly);
}

void CArchive::CheckLoading() const
{
    if (!IsLoading())
        throw CArchiveException(CArchiveException::writeOnly);
}

void CArchive::WriteToFile(const uint8_t* p, uint32_t n)
{
    // After a failed write the file's content is already wrong; offering it
    // more bytes could only put them at the wrong place.
    if (m_bWriteFailed || n == 0)
        return;
    try {
        m_pFile->Write(p, n);
    } catch (...) {
        m_bWriteFailed = true;
        throw;
    }
}

void CArchive::WriteValue(const uint8_t* pBytes, uint32_t nBytes)
{
    CheckStoring();
    if (Distance(m_pCur, m_pEnd) < nBytes)
        Flush();
    std::memcpy(m_pCur, pBytes, nBytes);
    m_pCur += nBytes;
}

void CArchive::WriteByte(uint8_t b)
{
    WriteValue(&b, 1);
}

void CArchive::WriteWord(uint16_t w)
{
    const uint8_t bytes[2] = {static_cast<uint8_t>(w), static_cast<uint8_t>(w >> 8)};
    WriteValue(bytes, 2);
}

void CArchive::WriteDword(uint32_t dw)
{
    const uint8_t bytes[4] = {static_cast<uint8_t>(dw), static_cast<uint8_t>(dw >> 8),
                              static_cast<uint8_t>(dw >> 16), static_cast<uint8_t>(dw >> 24)};
    WriteValue(bytes, 4);
}

void CArchive::WriteBlock(const void* pBuf, uint32_t nCount)
{
    CheckStoring();
    auto p = static_cast<const uint8_t*>(pBuf);
    uint32_t nCopy = std::min(nCount, Distance(m_pCur, m_pEnd));
    if (nCopy != 0)
        std::memcpy(m_pCur, p, nCopy);
    m_pCur += nCopy;
    p += nCopy;
    nCount -= nCopy;
    if (nCount == 0)
        return;

    Flush();
    // Whole buffers go straight to the file; only the tail is buffered.
    uint32_t nDirect = nCount - nCount % m_nBufSize;
    WriteToFile(p, nDirect);
    p += nDirect;
    nCount -= nDirect;
    std::memcpy(m_pCur, p, nCount);
    m_pCur += nCount;
}

void CArchive::FillBuffer(uint32_t nNeeded)
{
    uint8_t* pStart = m_pBuf.get();
    uint32_t nLeftover = Distance(m_pCur, m_pEnd);
    // At the buffer's start the buffer was just filled: the file has no more.
    if (m_pCur != pStart) {
        std::memmove(pStart, m_pCur, nLeftover);
        uint8_t* pHeld = pStart + nLeftover;
        uint8_t* pLimit = pStart + m_nBufSize;
        while (Distance(pStart, pHeld) < nLeftover + nNeeded && pHeld < pLimit) {
            uint32_t nRead = m_pFile->Read(pHeld, Distance(pHeld, pLimit));
            if (nRead == 0)
                break;
            pHeld += nRead;
        }
        m_pCur = pStart;
        m_pEnd = pHeld;
    }
    if (Distance(m_pCur, m_pEnd) < nLeftover + nNeeded)
        throw CArchiveException(CArchiveException::endOfFile);
}

void CArchive::ReadValue(uint8_t* pBytes, uint32_t nBytes)
{
    CheckLoading();
    uint32_t nHeld = Distance(m_pCur, m_pEnd);
    if (nHeld < nBytes)
        FillBuffer(nBytes - nHeld);
    std::memcpy(pBytes, m_pCur, nBytes);
    m_pCur += nBytes;
}

void CArchive::ReadByte(uint8_t& b)
{
    ReadValue(&b, 1);
}

void CArchive::ReadWord(uint16_t& w)
{
    uint8_t bytes[2];
    ReadValue(bytes, 2);
    w = static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
}

void CArchive::ReadDword(uint32_t& dw)
{
    uint8_t bytes[4];
    ReadValue(bytes, 4);
    dw = uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 |
         uint32_t{bytes[3]} << 24;
}

void CArchive::ReadDword(int32_t& n)
{
    uint32_t dw;
    ReadDword(dw);
    n = static_cast<int32_t>(dw);
}

uint32_t CArchive::ReadBlock(void* pBuf, uint32_t nCount)
{
    CheckLoading();
    auto p = static_cast<uint8_t*>(pBuf);
    uint32_t nCopy = std::min(nCount, Distance(m_pCur, m_pEnd));
    if (nCopy != 0)
        std::memcpy(p, m_pCur, nCopy);
    m_pCur += nCopy;
    p += nCopy;
    uint32_t nWanted = nCount - nCopy;
    if (nWanted == 0)
        return nCount;

    uint32_t nDirect = nWanted - nWanted % m_nBufSize;
    uint32_t nGot = 0;
    while (nGot < nDirect) {
        uint32_t nRead = m_pFile->Read(p + nGot, nDirect - nGot);
        if (nRead == 0)
            break;
        nGot += nRead;
    }
    p += nGot;
    nWanted -= nGot;
    if (nGot == nDirect && nWanted != 0) {
        uint8_t* pStart = m_pBuf.get();
        uint8_t* pHeld = pStart;
        while (Distance(pStart, pHeld) < nWanted) {
            uint32_t nRead = m_pFile->Read(pHeld, m_nBufSize - Distance(pStart, pHeld));
            if (nRead == 0)
                break;
            pHeld += nRead;
        }
        m_pCur = pStart;
        m_pEnd = pHeld;
        nCopy = std::min(nWanted, Distance(pStart, pHeld));
        std::memcpy(p, m_pCur, nCopy);
        m_pCur += nCopy;
        nWanted -= nCopy;
    }
    return nCount - nWanted;
}

uint64_t CArchive::BytesAvailable(uint32_t nWanted)
{
    // Most strings are already in the buffer: ask the file only when not.
    uint32_t nHeld = Distance(m_pCur, m_pEnd);
    return nHeld >= nWanted ? nHeld : nHeld + m_pFile->GetRemaining();
}

void CArchive::Flush()
{
    if (!m_pFile)
        return;
    if (IsStoring()) {
        uint8_t* pStart = m_pBuf.get();
        uint32_t nHeld = Distance(pStart, m_pCur);
        m_pCur = pStart;
        WriteToFile(pStart, nHeld);
    } else {
        uint32_t nUnread = Distance(m_pCur, m_pEnd);
        m_pCur = m_pEnd = m_pBuf.get() + m_nBufSize;
        if (nUnread != 0)
            m_pFile->Seek(-static_cast<int64_t>(nUnread));
    }
}

void CArchive::Close()
{
    struct Detach {
        CFile*& pFile;
        ~Detach() { pFile = nullptr; }
    } detach{m_pFile};
    Flush();
}
