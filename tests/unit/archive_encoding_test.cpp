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

// A code page of the kind systems have: ASCII, the euro sign at 0x80, a best
// fit of ā to a (no exact hold), '?' for the rest.
std::string FakeFromWide(const std::u16string& wide)
{
    std::string narrow;
    for (char16_t c : wide)
        narrow += c < 0x80 ? static_cast<char>(c) : c == u'\u20AC' ? '\x80' : c == u'\u0101' ? 'a' : '?';
    return narrow;
}
std::u16string FakeToWide(const std::string& narrow)
{
    std::u16string wide;
    for (char c : narrow)
        wide += c == '\x80' ? u'\u20AC' : static_cast<char16_t>(c & 0x7F);
    return wide;
}
const CodePage kFakeCodePage = {FakeFromWide, FakeToWide};

// Runs a read; returns the archive failure's cause, or -1 if none.
int Cause(const Bytes& bytes, const Step& read, const CodePage& codePage = kLatin1CodePage)
{
    CMemFile file(bytes);
    CArchive ar(file, CArchive::load, 4096, codePage);
    try {
        read(ar);
    } catch (const CArchiveException& e) {
        return e.m_cause;
    }
    return -1;
}

// Reads one string, then checks that exactly its bytes were taken.
std::u16string ReadString(Bytes bytes, const CodePage& codePage = kLatin1CodePage)
{
    bytes.push_back(0x41);
    std::u16string str = u"old";
    EXPECT_EQ(Cause(bytes, [&](CArchive& ar) {
        uint8_t b;
        ar.ReadString(str);
        ar.ReadByte(b);
        EXPECT_EQ(b, 0x41) << "the string took too few or too many bytes";
    }, codePage), -1);
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
        EXPECT_EQ(ReadString(file.Data()), std::u16string(text.begin(), text.end()));
    }
}

TEST(ArchiveEncoding, LongerLengthFormsAndWideStringsAreRead)
{
    const std::pair<Bytes, std::u16string> cases[] = {
        {{0xFF, 0x03, 0x00, 'a', 'b', 'c'}, u"abc"},
        {{0xFF, 0xFF, 0xFF, 0x02, 0x00, 0x00, 0x00, 'o', 'k'}, u"ok"},
        {{0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00}, u""},
        {{0xFF, 0xFE, 0xFF, 0x03, 0x41, 0x00, 0x42, 0x00, 0x43, 0x00}, u"ABC"},
        {{0xFF, 0xFE, 0xFF, 0x03, 0x41, 0x00, 0x00, 0x00, 0x43, 0x00}, u"A"},  // cut at the first 0
        {{0xFF, 0xFE, 0xFF, 0xFF, 0x02, 0x00, 0xE9, 0x00, 0x3A, 0x04}, u"\u00E9\u043A"},  // kept, not converted
        {{0xFF, 0xFE, 0xFF, 0x00}, u""},
    };
    for (const auto& [bytes, text] : cases) {
        SCOPED_TRACE(testing::PrintToString(bytes));
        EXPECT_EQ(ReadString(bytes), text);
    }
}

TEST(ArchiveEncoding, TextsTheCodePageHoldsStayNarrowOthersGoWideAndComeBackWhole)
{
    const Bytes kWide = {0xFF, 0xFE, 0xFF};
    const std::pair<std::u16string, Bytes> cases[] = {
        {u"ok\r\n\u20AC", {0x05, 'o', 'k', 0x0D, 0x0A, 0x80}},  // held: the bytes of old
        {u"\u0101", {0xFF, 0xFE, 0xFF, 0x01, 0x01, 0x01}},  // its best fit is not the text
        {u"\u00E9", {0xFF, 0xFE, 0xFF, 0x01, 0xE9, 0x00}},
        {u"\u0416\u0443\u043A \u03B1\u03B2",
         {0xFF, 0xFE, 0xFF, 0x06, 0x16, 0x04, 0x43, 0x04, 0x3A, 0x04, 0x20, 0x00, 0xB1, 0x03, 0xB2, 0x03}},
        {u"\u4E2D\u6587\U0001F41E", {0xFF, 0xFE, 0xFF, 0x04, 0x2D, 0x4E, 0x87, 0x65, 0x3D, 0xD8, 0x1E, 0xDC}},  // a pair counts two
    };
    for (const auto& [text, bytes] : cases) {
        SCOPED_TRACE(testing::PrintToString(bytes));
        CMemFile file;
        CArchive ar(file, CArchive::store, 4096, kFakeCodePage);
        ar.WriteString(text);
        ar.Close();
        EXPECT_EQ(file.Data(), bytes);
        EXPECT_EQ(ReadString(file.Data(), kFakeCodePage), text);
    }
    // Wide lengths take the prefix forms of 8-bit ones, in code units.
    const std::pair<size_t, Bytes> lengths[] = {
        {254, {0xFE}}, {255, {0xFF, 0xFF, 0x00}}, {65533, {0xFF, 0xFD, 0xFF}},
        {65534, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
    };
    for (const auto& [nUnits, prefix] : lengths) {
        SCOPED_TRACE(nUnits);
        std::u16string text(nUnits, u'\u0416');
        CMemFile file;
        CArchive ar(file, CArchive::store, 4096, kFakeCodePage);
        ar.WriteString(text);
        ar.Close();
        Bytes want = kWide;
        want.insert(want.end(), prefix.begin(), prefix.end());
        EXPECT_EQ(Bytes(file.Data().begin(), file.Data().begin() + static_cast<std::ptrdiff_t>(want.size())), want);
        EXPECT_EQ(file.Data().size(), want.size() + 2 * nUnits);
        EXPECT_EQ(ReadString(file.Data(), kFakeCodePage), text);
    }
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
        EXPECT_EQ(Cause(bytes, [](CArchive& ar) { std::u16string s; ar.ReadString(s); }), nCause);
        EXPECT_LE(g_nLargestNew, 65536u);
    }
}
