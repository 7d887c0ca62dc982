// The archive's buffering: buffer boundaries never show in the bytes, files
// that hand out short reads are read whole, and closing, flushing and
// failing writes behave as a save relies on.
#include "storage/archive.h"
#include "storage/exceptions.h"
#include "storage/memory_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// A file that records its writes and runs out of room after m_nCapacity bytes.
class CLimitedFile : public CMemFile {
public:
    explicit CLimitedFile(size_t nCapacity = SIZE_MAX) : m_nCapacity(nCapacity) {}
    void Write(const void* pBuf, uint32_t nCount) override
    {
        m_writes.push_back(nCount);
        size_t nRoom = m_nCapacity > Data().size() ? m_nCapacity - Data().size() : 0;
        if (nCount > nRoom) {
            CMemFile::Write(pBuf, static_cast<uint32_t>(nRoom));
            throw CFileException(CFileException::diskFull, 112);
        }
        CMemFile::Write(pBuf, nCount);
    }
    size_t m_nCapacity;
    std::vector<uint32_t> m_writes;
};

Bytes Pattern(size_t n, uint8_t seed)
{
    Bytes bytes(n);
    for (size_t i = 0; i < n; ++i)
        bytes[i] = static_cast<uint8_t>(seed + i * 7);
    return bytes;
}

// A sequence of primitives, written through the archive and, independently,
// as the bytes each one stands for.
struct Script {
    Bytes expected;
    std::vector<std::function<void(CArchive&)>> steps;

    void Dword(uint32_t dw)
    {
        for (int i = 0; i < 4; ++i)
            expected.push_back(static_cast<uint8_t>(dw >> (8 * i)));
        steps.push_back([dw](CArchive& ar) { ar.WriteDword(dw); });
    }
    void Word(uint16_t w)
    {
        expected.push_back(static_cast<uint8_t>(w));
        expected.push_back(static_cast<uint8_t>(w >> 8));
        steps.push_back([w](CArchive& ar) { ar.WriteWord(w); });
    }
    void Byte(uint8_t b)
    {
        expected.push_back(b);
        steps.push_back([b](CArchive& ar) { ar.WriteByte(b); });
    }
    void Block(const Bytes& bytes)
    {
        expected.insert(expected.end(), bytes.begin(), bytes.end());
        steps.push_back([bytes](CArchive& ar) {
            ar.WriteBlock(bytes.data(), static_cast<uint32_t>(bytes.size()));
        });
    }
};

Script MixedScript()
{
    Script s;
    s.Byte(0x11);
    s.Block(Pattern(4093, 1));  // leaves 2 bytes of room: the next dword must not be split
    s.Dword(0xA1B2C3D4);
    s.Block(Pattern(4096 * 2 + 5, 2));  // whole buffers go direct
    s.Word(0xBEEF);
    for (uint32_t i = 0; i < 1500; ++i)
        s.Dword(i * 2654435761u);
    s.Block(Pattern(4096, 3));
    s.Byte(0x22);
    s.Block(Pattern(1, 4));
    s.Block({});
    s.Block(Pattern(9000, 5));
    return s;
}

}  // namespace

TEST(ArchiveBuffer, StoreBytesEqualTheSumOfThePrimitivesAtAnyBufferSize)
{
    Script s = MixedScript();
    for (uint32_t nBufSize : {4096u, 128u, 1u, 1000u}) {
        SCOPED_TRACE(nBufSize);
        CLimitedFile file;
        {
            CArchive ar(file, CArchive::store, nBufSize);
            for (auto& step : s.steps)
                step(ar);
            ar.Close();
        }
        EXPECT_EQ(file.Data(), s.expected);
        // The file system is called per buffer, not per value (128 at least).
        uint32_t nEffective = std::max(nBufSize, 128u);
        EXPECT_LE(file.m_writes.size(), s.expected.size() / nEffective + 8);
    }
}

TEST(ArchiveBuffer, ReadsAcrossBoundariesWhateverTheFileHandsOutPerRead)
{
    Script s = MixedScript();
    for (uint32_t nChunk : {1u, 3u, 4096u, 100000u}) {
        SCOPED_TRACE(nChunk);
        CMemFile file(s.expected);
        file.SetMaxReadChunk(nChunk);
        CArchive ar(file, CArchive::load);
        uint8_t b;
        uint16_t w;
        uint32_t dw;
        Bytes block(4093);
        ar.ReadByte(b);
        EXPECT_EQ(b, 0x11);
        ASSERT_EQ(ar.ReadBlock(block.data(), 4093), 4093u);
        EXPECT_EQ(block, Pattern(4093, 1));
        ar.ReadDword(dw);
        EXPECT_EQ(dw, 0xA1B2C3D4u);
        block.resize(4096 * 2 + 5);
        ASSERT_EQ(ar.ReadBlock(block.data(), 4096 * 2 + 5), 4096u * 2 + 5);
        EXPECT_EQ(block, Pattern(4096 * 2 + 5, 2));
        ar.ReadWord(w);
        EXPECT_EQ(w, 0xBEEF);
        for (uint32_t i = 0; i < 1500; ++i) {
            ar.ReadDword(dw);
            ASSERT_EQ(dw, i * 2654435761u);
        }
        block.resize(4096);
        ASSERT_EQ(ar.ReadBlock(block.data(), 4096), 4096u);
        EXPECT_EQ(block, Pattern(4096, 3));
        ar.ReadByte(b);
        EXPECT_EQ(b, 0x22);
        ar.ReadByte(b);
        EXPECT_EQ(b, Pattern(1, 4)[0]);
        // The last block asks for more than is left: the count says so.
        block.assign(9100, 0);
        ASSERT_EQ(ar.ReadBlock(block.data(), 9100), 9000u);
        block.resize(9000);
        EXPECT_EQ(block, Pattern(9000, 5));
        EXPECT_THROW(ar.ReadByte(b), CArchiveException);
    }
}

TEST(ArchiveBuffer, StoreLetGoWithoutCloseStillWritesItsBytes)
{
    CMemFile file;
    {
        CArchive ar(file, CArchive::store);
        ar.WriteString("ok");
        ar.WriteDword(7);
    }
    EXPECT_EQ(file.Data(), (Bytes{0x02, 'o', 'k', 7, 0, 0, 0}));
}

TEST(ArchiveBuffer, LoadFlushGivesBackTheUnreadBytes)
{
    CMemFile file(Pattern(5000, 9));
    CArchive ar(file, CArchive::load);
    uint16_t w;
    ar.ReadWord(w);
    ar.Flush();
    EXPECT_EQ(file.GetPosition(), 2u);
    ar.ReadWord(w);
    EXPECT_EQ(w, Pattern(5000, 9)[2] | Pattern(5000, 9)[3] << 8);
    ar.Close();
    EXPECT_EQ(file.GetPosition(), 4u);
}

TEST(ArchiveBuffer, AfterAFailedWriteNothingMoreIsWritten)
{
    // Room for 100 bytes: the first flush of a full buffer fails short.
    CLimitedFile file(100);
    try {
        CArchive ar(file, CArchive::store, 128);
        for (uint8_t i = 0; i < 200; ++i)
            ar.WriteByte(i);
        FAIL() << "a short write must raise";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::diskFull);
    }
    EXPECT_EQ(file.m_writes.size(), 1u);  // the closing flush did not retry
    ASSERT_EQ(file.Data().size(), 100u);
    for (size_t i = 0; i < file.Data().size(); ++i)
        ASSERT_EQ(file.Data()[i], i);

    // Once failed, even an explicit close offers nothing more.
    CLimitedFile file2(0);
    CArchive ar(file2, CArchive::store);
    EXPECT_THROW(ar.WriteBlock(Pattern(5000, 1).data(), 5000), CFileException);
    ar.WriteDword(1);
    ar.Close();
    EXPECT_EQ(file2.m_writes.size(), 1u);
}

TEST(ArchiveBuffer, CloseOnDestructionReportsItsFailureUnlessAnotherIsUnwinding)
{
    CLimitedFile full(0);
    auto letGo = [&] {
        CArchive ar(full, CArchive::store);
        ar.WriteDword(1);
    };
    EXPECT_THROW(letGo(), CFileException);

    CLimitedFile full2(0);
    auto failInside = [&] {
        CArchive ar(full2, CArchive::store);
        ar.WriteDword(1);
        throw std::runtime_error("first");
    };
    EXPECT_THROW(failInside(), std::runtime_error);
    EXPECT_EQ(full2.m_writes.size(), 1u);  // it still tried to write its bytes
}
