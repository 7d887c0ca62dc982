// The archive's buffering: buffer boundaries never show in the bytes, files
// that hand out short reads are read whole, and closing, flushing and
// failing writes behave as a save relies on.
#include "storage/archive.h"
#include "storage/exceptions.h"
#include "storage/memory_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
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
        CMemFile::Write(pBuf, static_cast<uint32_t>(std::min<size_t>(nCount, nRoom)));
        if (nCount > nRoom)
            throw CFileException(CFileException::diskFull, 112);
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

// A value of nWidth (1, 2 or 4) little-endian bytes, or (nWidth 0) a block.
struct Op {
    uint32_t nWidth;
    Bytes bytes;
    uint32_t Value() const
    {
        uint32_t v = 0;
        for (uint32_t i = 0; i < nWidth; ++i)
            v |= uint32_t{bytes[i]} << (8 * i);
        return v;
    }
};

}  // namespace

// Stores must be byte-identical to the primitives' sum, and loads must read
// them back across buffer edges, whatever the file hands out per read.
TEST(ArchiveBuffer, PrimitivesCrossBufferEdgesUnchangedBothWays)
{
    std::vector<Op> ops = {{1, {0x11}}, {0, Pattern(4093, 1)},  // 2 bytes left: the dword must not split
                           {4, {0xD4, 0xC3, 0xB2, 0xA1}}, {0, Pattern(4096 * 2 + 5, 2)}, {2, {0xEF, 0xBE}}};
    for (uint32_t i = 0; i < 1500; ++i)
        ops.push_back({4, Pattern(4, static_cast<uint8_t>(i))});
    ops.insert(ops.end(), {{0, Pattern(4096, 3)}, {1, {0x22}}, {0, Pattern(1, 4)}, {0, {}}, {0, Pattern(9000, 5)}});
    Bytes all;
    for (const Op& op : ops)
        all.insert(all.end(), op.bytes.begin(), op.bytes.end());

    for (auto [nBufSize, nChunk] : {std::pair{4096u, 1u}, {128u, 3u}, {1u, 4096u}, {1000u, 100000u}}) {
        SCOPED_TRACE(testing::Message() << "buffer " << nBufSize << " chunk " << nChunk);
        CLimitedFile file;
        CArchive ar(file, CArchive::store, nBufSize);
        for (const Op& op : ops) {
            switch (op.nWidth) {
            case 1: ar.WriteByte(static_cast<uint8_t>(op.Value())); break;
            case 2: ar.WriteWord(static_cast<uint16_t>(op.Value())); break;
            case 4: ar.WriteDword(op.Value()); break;
            default: ar.WriteBlock(op.bytes.data(), static_cast<uint32_t>(op.bytes.size()));
            }
        }
        ar.Close();
        ASSERT_EQ(file.Data(), all);
        // The file system is called per buffer (128 bytes at least), not per value.
        EXPECT_LE(file.m_writes.size(), all.size() / std::max(nBufSize, 128u) + 8);

        CMemFile stored(file.Data());
        stored.SetMaxReadChunk(nChunk);
        CArchive in(stored, CArchive::load);
        uint8_t b;
        uint16_t w;
        uint32_t dw;
        for (const Op& op : ops) {
            if (op.nWidth == 1) { in.ReadByte(b); ASSERT_EQ(b, op.Value()); }
            if (op.nWidth == 2) { in.ReadWord(w); ASSERT_EQ(w, op.Value()); }
            if (op.nWidth == 4) { in.ReadDword(dw); ASSERT_EQ(dw, op.Value()); }
            if (op.nWidth == 0) {
                // The last block asks for more than is left: the count says so.
                Bytes got(op.bytes.size() + (&op == &ops.back() ? 100 : 0));
                ASSERT_EQ(in.ReadBlock(got.data(), static_cast<uint32_t>(got.size())), op.bytes.size());
                got.resize(op.bytes.size());
                ASSERT_EQ(got, op.bytes);
            }
        }
        EXPECT_THROW(in.ReadByte(b), CArchiveException);
    }
}

TEST(ArchiveBuffer, AfterAFailedWriteNothingMoreIsWritten)
{
    // Room for 100 bytes: the first flush of a full buffer fails short.
    CLimitedFile file(100);
    try {
        CArchive ar(file, CArchive::store, 128);
        for (uint8_t b : Pattern(200, 0))
            ar.WriteByte(b);
        FAIL() << "a short write must raise";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::diskFull);
    }
    EXPECT_EQ(file.m_writes.size(), 1u);  // the closing flush did not retry
    EXPECT_EQ(file.Data(), Pattern(100, 0));

    // Once failed, even an explicit close offers nothing more.
    CLimitedFile full(0);
    CArchive ar(full, CArchive::store);
    EXPECT_THROW(ar.WriteBlock(Pattern(5000, 1).data(), 5000), CFileException);
    ar.WriteDword(1);
    ar.Close();
    EXPECT_EQ(full.m_writes.size(), 1u);
}

TEST(ArchiveBuffer, ClosingWritesOrGivesBackTheBufferAndRaisesUnlessAnotherFailureIsUnwinding)
{
    CMemFile file;  // let go without Close: the bytes are still written
    {
        CArchive ar(file, CArchive::store);
        ar.WriteString("ok");
        ar.WriteDword(7);
    }
    EXPECT_EQ(file.Data(), (Bytes{0x02, 'o', 'k', 7, 0, 0, 0}));
    // A load gives back what it buffered but did not read.
    CMemFile read(Pattern(300, 0));
    CArchive in(read, CArchive::load);
    uint16_t w;
    in.ReadWord(w);
    in.Close();
    EXPECT_EQ(read.GetPosition(), 2u);

    CLimitedFile full(0), full2(0);
    EXPECT_THROW([&] { CArchive ar(full, CArchive::store); ar.WriteDword(1); }(), CFileException);
    EXPECT_THROW([&] {
        CArchive ar(full2, CArchive::store);
        ar.WriteDword(1);
        throw std::runtime_error("first");
    }(), std::runtime_error);
    EXPECT_EQ(full2.m_writes.size(), 1u);  // it still tried to write its bytes
}
