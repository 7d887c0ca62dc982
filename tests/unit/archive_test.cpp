// The archive: string prefixes and forms, hostile lengths, buffer edges and
// short reads, and closing or failing writes as a save relies on.
#include "storage/archive.h"
#include "storage/exceptions.h"
#include "storage/memory_file.h"
#include "tests/unit/test_notes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <new>
#include <stdexcept>
#include <tuple>

// The largest single allocation: a hostile length must fail before memory is taken.
static size_t g_nLargestNew = 0;
void* operator new(size_t n)
{
    g_nLargestNew = std::max(g_nLargestNew, n);
    if (void* p = std::malloc(n ? n : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }

namespace {

// Reads one string followed by a marker byte; returns the failure's cause
// (-1: none, and then exactly the string's bytes were taken).
int ReadString(Bytes bytes, std::u16string& str)
{
    bytes.push_back(0x41);
    CMemFile file(bytes);
    CArchive ar(file, CArchive::load);
    str = u"old";
    try {
        uint8_t b;
        ar.ReadString(str);
        ar.ReadByte(b);
        EXPECT_EQ(b, 0x41) << "the string took too few or too many bytes";
    } catch (const CArchiveException& e) {
        return e.m_cause;
    }
    return -1;
}

// A file that records its writes and runs out of room after m_nCapacity bytes.
struct CLimitedFile : CMemFile {
    explicit CLimitedFile(size_t nCapacity = SIZE_MAX) : m_nCapacity(nCapacity) {}
    void Write(const void* pBuf, uint32_t nCount) override
    {
        m_writes.push_back(nCount);
        size_t nRoom = m_nCapacity - std::min(m_nCapacity, Data().size());
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

}  // namespace

TEST(Archive, StringsTakeTheShortestPrefixStayNarrowWhenTheCodePageHoldsThemAndComeBackWhole)
{
    const struct { std::u16string text; Bytes head; size_t nUnitBytes; } rows[] = {
        {u"", {0x00}, 1},
        {std::u16string(254, 'x'), {0xFE}, 1},
        {std::u16string(255, 'x'), {0xFF, 0xFF, 0x00}, 1},
        {std::u16string(65533, 'x'), {0xFF, 0xFD, 0xFF}, 1},
        {std::u16string(65534, 'x'), {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}, 1},
        {std::u16string(70000, 'y'), {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}, 1},
        {std::u16string(255, u'\u0416'), {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0x00}, 2},  // wide lengths: the same forms
        {std::u16string(65534, u'\u0416'), {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}, 2},
        {u"ok\r\n\u00E9", {0x05, 'o', 'k', 0x0D, 0x0A, 0xE9}, 0},  // held by the code page: the bytes of old
        {u"\u0101", {0xFF, 0xFE, 0xFF, 0x01, 0x01, 0x01}, 0},  // not held
        {u"\u4E2D\U0001F41E", {0xFF, 0xFE, 0xFF, 0x03, 0x2D, 0x4E, 0x3D, 0xD8, 0x1E, 0xDC}, 0},  // a pair counts two
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.head));
        CMemFile file;
        CArchive ar(file, CArchive::store);
        ar.WriteString(row.text);
        ar.Close();
        const Bytes& data = file.Data();
        EXPECT_EQ(Bytes(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(std::min(data.size(), row.head.size()))), row.head);
        EXPECT_EQ(data.size(), row.head.size() + row.nUnitBytes * row.text.size());
        std::u16string back;
        EXPECT_EQ(ReadString(data, back), -1);
        EXPECT_EQ(back, row.text);
    }
}

// Byte 0x81 has no character of its own here, as in some system code pages.
const CodePage kLossyCodePage = {
    [](const std::u16string& wide) {
        std::string narrow;
        for (char16_t unit : wide)
            narrow += unit < 0x100 && unit != 0x81 ? static_cast<char>(unit) : '?';
        return narrow;
    },
    [](const std::string& narrow) {
        std::u16string wide;
        for (char c : narrow)
            wide += static_cast<uint8_t>(c) == 0x81 ? u'\uFFFD' : static_cast<char16_t>(static_cast<uint8_t>(c));
        return wide;
    }};

TEST(Archive, ANarrowTextThatWouldBeSavedWidePastTheLimitIsRefusedAtLoad)
{
    for (auto [nLength, bLossy, bTaken] : {std::tuple{40000u, true, false}, {40000u, false, true}, {30000u, true, true}}) {
        Bytes bytes = {0xFF, static_cast<uint8_t>(nLength & 0xFF), static_cast<uint8_t>(nLength >> 8)};
        bytes.resize(3 + nLength, bLossy ? 0x81 : 'x');
        CMemFile file(bytes);
        CArchive ar(file, CArchive::load, CArchive::kDefaultBufferSize, kLossyCodePage);
        std::u16string text;
        bool bRefused = false;
        try {
            ar.ReadString(text, 65535);
        } catch (const CArchiveException& e) {
            bRefused = e.m_cause == CArchiveException::genericException;
        }
        EXPECT_EQ(bRefused, !bTaken) << nLength << " " << bLossy;
    }
}

TEST(Archive, EveryLengthFormIsReadAndShortOrHostileLengthsFailWithoutAllocating)
{
    const int eof = CArchiveException::endOfFile, bad = CArchiveException::genericException;
    const struct { Bytes bytes; int nCause; std::u16string text; } rows[] = {
        {{0xFF, 0x03, 0x00, 'a', 'b', 'c'}, -1, u"abc"},  // longer forms than needed
        {{0xFF, 0xFF, 0xFF, 0x02, 0x00, 0x00, 0x00, 'o', 'k'}, -1, u"ok"},
        {{0xFF, 0xFE, 0xFF, 0x03, 0x41, 0x00, 0x00, 0x00, 0x43, 0x00}, -1, u"A"},  // cut at the first 0
        {{0xFF, 0xFE, 0xFF, 0xFF, 0x02, 0x00, 0xE9, 0x00, 0x3A, 0x04}, -1, u"\u00E9\u043A"},  // kept, not converted
        {{0x05, 'a', 'b'}, eof, {}},  // fewer characters than announced
        {{0xFF, 0x2C}, eof, {}},  // prefix cut short
        {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}, eof, {}},  // more than any file this size holds
        {{0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x3F}, eof, {}},
        {{0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x80}, bad, {}},  // more than any string holds
        {{0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x40}, bad, {}},
        {{0xFF, 0xFE, 0xFF, 0xFF, 0xFE, 0xFF, 0x01, 0x41, 0x00}, bad, {}},  // a second wide marker
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.bytes));
        g_nLargestNew = 0;
        std::u16string str;
        EXPECT_EQ(ReadString(row.bytes, str), row.nCause);
        EXPECT_LE(g_nLargestNew, 65536u);
        if (row.nCause == -1) {
            EXPECT_EQ(str, row.text);
        }
    }
    CMemFile file;
    CArchive out(file, CArchive::store);
    uint8_t b;
    EXPECT_THROW(out.ReadByte(b), CArchiveException);
    CArchive in(file, CArchive::load);
    EXPECT_THROW(in.WriteByte(1), CArchiveException);
}

// Stores must be byte-identical to the primitives' sum, and loads must read
// them back across buffer edges, whatever the file hands out per read.
TEST(Archive, PrimitivesCrossBufferEdgesUnchangedBothWays)
{
    // Four bytes: a little-endian dword; any other size: a block.
    std::vector<Bytes> ops = {Pattern(3, 0), Pattern(4092, 1),  // 1 byte left: the dword must not split
                              {0xD4, 0xC3, 0xB2, 0xA1}, Pattern(4096 * 2 + 5, 2)};
    for (uint32_t i = 0; i < 1500; ++i)
        ops.push_back(Pattern(4, static_cast<uint8_t>(i)));
    ops.insert(ops.end(), {Pattern(4096, 3), Pattern(1, 4), {}, Pattern(9000, 5)});
    Bytes all;
    for (const Bytes& op : ops)
        all.insert(all.end(), op.begin(), op.end());
    auto dword = [](const Bytes& b) { return uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24; };

    for (auto [nBufSize, nChunk] : {std::pair{4096u, 1u}, {128u, 3u}, {1u, 4096u}, {1000u, 100000u}}) {
        SCOPED_TRACE(testing::Message() << "buffer " << nBufSize << " chunk " << nChunk);
        CLimitedFile file;
        CArchive ar(file, CArchive::store, nBufSize);
        for (const Bytes& op : ops) {
            if (op.size() == 4)
                ar.WriteDword(dword(op));
            else
                ar.WriteBlock(op.data(), static_cast<uint32_t>(op.size()));
        }
        ar.Close();
        ASSERT_EQ(file.Data(), all);
        // The file system is called per buffer (128 bytes at least), not per value.
        EXPECT_LE(file.m_writes.size(), all.size() / std::max(nBufSize, 128u) + 8);

        CMemFile stored(file.Data());
        stored.SetMaxReadChunk(nChunk);
        CArchive in(stored, CArchive::load);
        for (const Bytes& op : ops) {
            uint32_t dw;
            if (op.size() == 4) {
                in.ReadDword(dw);
                ASSERT_EQ(dw, dword(op));
                continue;
            }
            // The last block asks for more than is left: the count says so.
            Bytes got(op.size() + (&op == &ops.back() ? 100 : 0));
            ASSERT_EQ(in.ReadBlock(got.data(), static_cast<uint32_t>(got.size())), op.size());
            got.resize(op.size());
            ASSERT_EQ(got, op);
        }
        uint8_t b;
        EXPECT_THROW(in.ReadByte(b), CArchiveException);
    }
}

TEST(Archive, ClosingWritesOrGivesBackTheBufferAndAfterAFailedWriteNothingMoreIsOffered)
{
    CMemFile file;  // let go without Close: the bytes are still written
    {
        CArchive ar(file, CArchive::store);
        ar.WriteString("ok");
        ar.WriteDword(7);
    }
    EXPECT_EQ(file.Data(), (Bytes{0x02, 'o', 'k', 7, 0, 0, 0}));
    CMemFile read(Pattern(300, 0));  // a load gives back what it buffered but did not read
    CArchive in(read, CArchive::load);
    uint16_t w;
    in.ReadWord(w);
    in.Close();
    EXPECT_EQ(read.GetPosition(), 2u);

    // After a failed write, even an explicit close offers nothing more.
    CLimitedFile room(100), full(0), unwinding(0);
    {
        CArchive ar(room, CArchive::store, 128);
        EXPECT_THROW(ar.WriteBlock(Pattern(300, 0).data(), 300), CFileException);
        ar.WriteDword(1);
        ar.Close();
    }
    EXPECT_EQ(room.m_writes.size(), 1u);
    EXPECT_EQ(room.Data(), Pattern(100, 0));
    // The closing write's failure is raised, unless another failure is unwinding (it still tried).
    EXPECT_THROW([&] { CArchive ar(full, CArchive::store); ar.WriteDword(1); }(), CFileException);
    EXPECT_THROW([&] { CArchive ar(unwinding, CArchive::store); ar.WriteDword(1); throw std::runtime_error("first"); }(),
                 std::runtime_error);
    EXPECT_EQ(unwinding.m_writes.size(), 1u);
}
