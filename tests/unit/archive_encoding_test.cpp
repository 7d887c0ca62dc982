// The archive's byte encoding: integers, string prefixes as written and as
// read, wide strings, and the failures a short or hostile file gives.
#include "storage/archive.h"
#include "storage/exceptions.h"
#include "storage/memory_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <new>
#include <string>
#include <vector>

// The largest single allocation, so that hostile lengths can be shown to
// fail before memory is taken for them.
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

using Bytes = std::vector<uint8_t>;
using Step = std::function<void(CArchive&)>;

// Runs a read; returns the archive failure's cause, or -1 if none.
int Cause(const Bytes& bytes, const Step& read, WideToNarrowFn pfn = Latin1FromWide)
{
    CMemFile file(bytes);
    CArchive ar(file, CArchive::load, 4096, pfn);
    try {
        read(ar);
    } catch (const CArchiveException& e) {
        return e.m_cause;
    }
    return -1;
}

// Reads one string, then checks that exactly its bytes were taken.
std::string ReadString(Bytes bytes, WideToNarrowFn pfn = Latin1FromWide)
{
    bytes.push_back(0x41);
    std::string str = "old";
    EXPECT_EQ(Cause(bytes, [&](CArchive& ar) {
        uint8_t b;
        ar.ReadString(str);
        ar.ReadByte(b);
        EXPECT_EQ(b, 0x41) << "the string took too few or too many bytes";
    }, pfn), -1);
    return str;
}

}  // namespace

TEST(ArchiveEncoding, StringPrefixesTakeTheShortestFormAtEveryBoundary)
{
    const std::pair<size_t, Bytes> cases[] = {
        {0, {0x00}}, {3, {0x03}}, {254, {0xFE}}, {255, {0xFF, 0xFF, 0x00}}, {300, {0xFF, 0x2C, 0x01}},
        {65533, {0xFF, 0xFD, 0xFF}}, {65534, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
        {65535, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}}, {70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}},
    };
    for (const auto& [nLength, prefix] : cases) {
        SCOPED_TRACE(nLength);
        std::string text(nLength, 'x');
        for (size_t i = 0; i < text.size(); ++i)
            text[i] = static_cast<char>('a' + i % 26);
        Bytes want = prefix;
        want.insert(want.end(), text.begin(), text.end());
        CMemFile file;
        CArchive ar(file, CArchive::store);
        ar.WriteString(text);
        ar.Close();
        EXPECT_EQ(file.Data(), want);
        EXPECT_EQ(ReadString(file.Data()), text);
    }
}

TEST(ArchiveEncoding, LongerLengthFormsAndWideStringsAreRead)
{
    const std::pair<Bytes, std::string> cases[] = {
        {{0xFF, 0x03, 0x00, 'a', 'b', 'c'}, "abc"},
        {{0xFF, 0xFF, 0xFF, 0x02, 0x00, 0x00, 0x00, 'o', 'k'}, "ok"},
        {{0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00}, ""},
        {{0xFF, 0xFE, 0xFF, 0x03, 0x41, 0x00, 0x42, 0x00, 0x43, 0x00}, "ABC"},
        {{0xFF, 0xFE, 0xFF, 0x03, 0x41, 0x00, 0x00, 0x00, 0x43, 0x00}, "A"},  // cut at the first 0
        {{0xFF, 0xFE, 0xFF, 0xFF, 0x02, 0x00, 0xE9, 0x00, 0x3A, 0x04}, "\xE9?"},  // a unit 8 bits lack
        {{0xFF, 0xFE, 0xFF, 0x00}, ""},
    };
    for (const auto& [bytes, text] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(ReadString(bytes), text);
    }
    // The conversion of wide units is the caller's choice.
    static std::u16string s_seen;
    auto convert = [](const char16_t* p, size_t n) { s_seen.assign(p, n); return std::string("converted"); };
    EXPECT_EQ(ReadString({0xFF, 0xFE, 0xFF, 0x02, 0x3A, 0x04, 0x00, 0x00}, convert), "converted");
    EXPECT_EQ(s_seen, u"\u043A");
}

// Integers' byte order is shown with the buffer tests and the notes layout.
TEST(ArchiveEncoding, ValuesPastTheEndOrTheWrongWayFailButShortBlocksDoNot)
{
    CMemFile file;
    CArchive out(file, CArchive::store);
    uint8_t b;
    EXPECT_THROW(out.ReadByte(b), CArchiveException);
    EXPECT_EQ(Cause({1}, [](CArchive& ar) { ar.WriteByte(1); }), CArchiveException::readOnly);
    EXPECT_EQ(Cause({1, 2, 3}, [](CArchive& ar) { uint32_t dw; ar.ReadDword(dw); }), CArchiveException::endOfFile);
    EXPECT_EQ(Cause({1, 2, 3}, [](CArchive& ar) {
        uint8_t block[16] = {};
        EXPECT_EQ(ar.ReadBlock(block, sizeof block), 3u);
        EXPECT_EQ(Bytes(block, block + 4), (Bytes{1, 2, 3, 0}));
        EXPECT_EQ(ar.ReadBlock(block, sizeof block), 0u);
    }), -1);
}

TEST(ArchiveEncoding, ShortOrHostileStringLengthsFailWithoutAllocating)
{
    const int eof = CArchiveException::endOfFile, bad = CArchiveException::genericException;
    const std::pair<Bytes, int> cases[] = {
        {{0x05, 'a', 'b'}, eof},  // fewer characters than announced
        {{0xFF, 0x2C}, eof},  // prefix cut short
        {{0xFF, 0xFE, 0xFF, 0x02, 0x41, 0x00, 0x42}, eof},
        {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}, eof},  // more than any file this size holds
        {{0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x3F}, eof},
        {{0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x80}, bad},  // more than any string holds
        {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, bad},
        {{0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x40}, bad},
        {{0xFF, 0xFE, 0xFF, 0xFF, 0xFE, 0xFF, 0x01, 0x41, 0x00}, bad},  // a second wide marker
    };
    for (const auto& [bytes, nCause] : cases) {
        SCOPED_TRACE(testing::PrintToString(bytes));
        g_nLargestNew = 0;
        EXPECT_EQ(Cause(bytes, [](CArchive& ar) { std::string s; ar.ReadString(s); }), nCause);
        EXPECT_LE(g_nLargestNew, 65536u);
    }
}
