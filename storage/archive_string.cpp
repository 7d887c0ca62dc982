// The archive's strings: a length prefix of one, three or seven bytes, then
// the 8-bit characters, or a marker and the UTF-16 code units.
#include "storage/archive.h"

#include "storage/exceptions.h"

#include <new>

namespace {

// The string type holds lengths below 2^31; longer ones cannot be genuine.
constexpr uint32_t kMaxStringLength = 0x7FFFFFFFu;

}  // namespace

void CArchive::WriteLength(uint32_t n)
{
    if (n < 0xFF) {
        WriteByte(static_cast<uint8_t>(n));
        return;
    }
    WriteByte(0xFF);
    if (n < 0xFFFE) {
        WriteWord(static_cast<uint16_t>(n));
    } else {
        WriteWord(0xFFFF);
        WriteDword(n);
    }
}

void CArchive::WriteString(const std::string& str)
{
    if (str.size() > kMaxStringLength)
        throw CArchiveException(CArchiveException::genericException);
    auto n = static_cast<uint32_t>(str.size());
    WriteLength(n);
    WriteBlock(str.data(), n);
}

void CArchive::WriteString(const std::u16string& str)
{
    // A best fit (a for ā) is no exact hold: the text must come back the same.
    std::string narrow = m_codePage.pfnFromWide(str);
    if (m_codePage.pfnToWide(narrow) == str) {
        WriteString(narrow);
        return;
    }
    if (str.size() > kMaxStringLength / 2)
        throw CArchiveException(CArchiveException::genericException);
    WriteByte(0xFF);
    WriteWord(0xFFFE);
    WriteLength(static_cast<uint32_t>(str.size()));
    for (char16_t unit : str)
        WriteWord(unit);
}

uint32_t CArchive::ReadStringLength(bool& bWide)
{
    bWide = false;
    for (;;) {
        uint8_t b;
        ReadByte(b);
        if (b < 0xFF)
            return b;
        uint16_t w;
        ReadWord(w);
        if (w == 0xFFFE) {
            if (bWide)
                throw CArchiveException(CArchiveException::genericException);
            bWide = true;
            continue;
        }
        if (w != 0xFFFF)
            return w;
        uint32_t dw;
        ReadDword(dw);
        return dw;
    }
}

void CArchive::ReadString(std::u16string& str, uint32_t nMaxBytes)
{
    bool bWide;
    uint32_t nLength = ReadStringLength(bWide);
    if (nLength == 0) {
        str.clear();
        return;
    }
    if (nLength > kMaxStringLength || (bWide && nLength > kMaxStringLength / 2))
        throw CArchiveException(CArchiveException::genericException);
    uint32_t nBytes = bWide ? 2 * nLength : nLength;
    if (nBytes > nMaxBytes)
        throw CArchiveException(CArchiveException::genericException);
    // A hostile length must not make us allocate what the file cannot hold.
    if (nBytes > BytesAvailable(nBytes))
        throw CArchiveException(CArchiveException::endOfFile);

    try {
        std::string bytes(nBytes, '\0');
        if (ReadBlock(&bytes[0], nBytes) != nBytes)
            throw CArchiveException(CArchiveException::endOfFile);
        if (!bWide) {
            str = m_codePage.pfnToWide(bytes);
            // A text the code page cannot hold is saved wide, at two bytes a
            // character: refused here, as an overlong text is, when that form
            // would pass the limit, so that no save writes what no load takes.
            if (2 * str.size() > nMaxBytes && m_codePage.pfnToWide(m_codePage.pfnFromWide(str)) != str)
                throw CArchiveException(CArchiveException::genericException);
            return;
        }
        str.clear();
        str.reserve(nLength);
        for (uint32_t i = 0; i < nLength; ++i) {
            auto unit = static_cast<char16_t>(static_cast<uint8_t>(bytes[2 * i]) | static_cast<uint8_t>(bytes[2 * i + 1]) << 8);
            if (unit == 0)
                break;  // the text ends there, as readers always took it
            str.push_back(unit);
        }
    } catch (const std::bad_alloc&) {
        throw CMemoryException();
    }
}
