// The archive's byte encoding: integers, string prefixes as written and as
// read, wide strings, and the failures a short or hostile file gives.
#include "storage/archive.h"
#include "storage/exceptions.h"
#include "storage/memory_file.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Store(const std::function<void(CArchive&)>& write)
{
    CMemFile file;
    {
        CArchive ar(file, CArchive::store);
        write(ar);
        ar.Close();
    }
    return file.Data();
}

std::string ReadStringFrom(const Bytes& bytes)
{
    CMemFile file(bytes);
    CArchive ar(file, CArchive::load);
    std::string str;
    ar.ReadString(str);
    return str;
}

Bytes Prefix(const Bytes& bytes, size_t n)
{
    return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
}

// Runs a read and returns the archive failure's cause, or -1 if none.
int ArchiveCause(const Bytes& bytes, const std::function<void(CArchive&)>& read)
{
    CMemFile file(bytes);
    CArchive ar(file, CArchive::load);
    try {
        read(ar);
    } catch (const CArchiveException& e) {
        return e.m_cause;
    }
    return -1;
}

}  // namespace

TEST(ArchiveEncoding, IntegersAreLittleEndianWithoutPadding)
{
    Bytes bytes = Store([](CArchive& ar) {
        ar.WriteByte(0xAB);
        ar.WriteWord(0x1234);
        ar.WriteDword(0xDEADBEEF);
        ar.WriteDword(static_cast<uint32_t>(-2));
    });
    EXPECT_EQ(bytes, (Bytes{0xAB, 0x34, 0x12, 0xEF, 0xBE, 0xAD, 0xDE, 0xFE, 0xFF, 0xFF, 0xFF}));

    CMemFile file(bytes);
    CArchive ar(file, CArchive::load);
    uint8_t b;
    uint16_t w;
    uint32_t dw;
    int32_t n;
    ar.ReadByte(b);
    ar.ReadWord(w);
    ar.ReadDword(dw);
    ar.ReadDword(n);
    EXPECT_EQ(b, 0xAB);
    EXPECT_EQ(w, 0x1234);
    EXPECT_EQ(dw, 0xDEADBEEFu);
    EXPECT_EQ(n, -2);
}

TEST(ArchiveEncoding, StringPrefixesTakeTheShortestFormAtEveryBoundary)
{
    struct Case {
        size_t nLength;
        Bytes prefix;
    };
    const Case cases[] = {
        {0, {0x00}},
        {3, {0x03}},
        {254, {0xFE}},
        {255, {0xFF, 0xFF, 0x00}},
        {300, {0xFF, 0x2C, 0x01}},
        {65533, {0xFF, 0xFD, 0xFF}},
        {65534, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
        {65535, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}},
        {70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nLength);
        std::string text(c.nLength, 'x');
        for (size_t i = 0; i < text.size(); ++i)
            text[i] = static_cast<char>('a' + i % 26);
        Bytes bytes = Store([&](CArchive& ar) { ar.WriteString(text); });
        ASSERT_EQ(bytes.size(), c.prefix.size() + c.nLength);
        EXPECT_EQ(Prefix(bytes, c.prefix.size()), c.prefix);
        EXPECT_EQ(std::string(bytes.begin() + static_cast<std::ptrdiff_t>(c.prefix.size()), bytes.end()), text);
        EXPECT_EQ(ReadStringFrom(bytes), text);
    }
}

TEST(ArchiveEncoding, EmptyStringReadsWithoutTouchingTheFileFurther)
{
    CMemFile file(Bytes{0x00, 0x41});
    CArchive ar(file, CArchive::load);
    std::string str = "old";
    ar.ReadString(str);
    EXPECT_EQ(str, "");
    uint8_t b;
    ar.ReadByte(b);
    EXPECT_EQ(b, 0x41);
}

TEST(ArchiveEncoding, LongerLengthFormsThanNeededAreRead)
{
    EXPECT_EQ(ReadStringFrom({0xFF, 0x03, 0x00, 'a', 'b', 'c'}), "abc");
    EXPECT_EQ(ReadStringFrom({0xFF, 0xFF, 0xFF, 0x02, 0x00, 0x00, 0x00, 'o', 'k'}), "ok");
    EXPECT_EQ(ReadStringFrom({0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 'z'}), "");
}

TEST(ArchiveEncoding, WideStringsAreConvertedAndCutAtTheFirstZero)
{
    EXPECT_EQ(ReadStringFrom({0xFF, 0xFE, 0xFF, 0x03, 0x41, 0x00, 0x42, 0x00, 0x43, 0x00}), "ABC");
    EXPECT_EQ(ReadStringFrom({0xFF, 0xFE, 0xFF, 0x03, 0x41, 0x00, 0x00, 0x00, 0x43, 0x00}), "A");
    // Wide length in the three-byte form, and a unit the 8-bit set lacks.
    EXPECT_EQ(ReadStringFrom({0xFF, 0xFE, 0xFF, 0xFF, 0x02, 0x00, 0xE9, 0x00, 0x3A, 0x04}), "\xE9?");
    EXPECT_EQ(ReadStringFrom({0xFF, 0xFE, 0xFF, 0x00, 0x99}), "");
}

TEST(ArchiveEncoding, WideConversionIsTheCallersChoice)
{
    std::u16string seen;
    static std::u16string* s_pSeen;
    s_pSeen = &seen;
    auto convert = [](const char16_t* p, size_t n) {
        s_pSeen->assign(p, n);
        return std::string("converted");
    };
    CMemFile file(Bytes{0xFF, 0xFE, 0xFF, 0x02, 0x3A, 0x04, 0x00, 0x00});
    CArchive ar(file, CArchive::load, 4096, convert);
    std::string str;
    ar.ReadString(str);
    EXPECT_EQ(str, "converted");
    EXPECT_EQ(seen, u"\u043A");
}

TEST(ArchiveEncoding, ValuesPastTheEndFailButShortBlocksDoNot)
{
    const Bytes three = {1, 2, 3};
    EXPECT_EQ(ArchiveCause(three, [](CArchive& ar) { uint32_t dw; ar.ReadDword(dw); }),
              CArchiveException::endOfFile);
    EXPECT_EQ(ArchiveCause({}, [](CArchive& ar) { uint8_t b; ar.ReadByte(b); }),
              CArchiveException::endOfFile);
    EXPECT_EQ(ArchiveCause({9}, [](CArchive& ar) { uint16_t w; ar.ReadWord(w); }),
              CArchiveException::endOfFile);

    CMemFile file(three);
    CArchive ar(file, CArchive::load);
    uint8_t block[16] = {};
    EXPECT_EQ(ar.ReadBlock(block, sizeof block), 3u);
    EXPECT_EQ(Bytes(block, block + 3), three);
    EXPECT_EQ(ar.ReadBlock(block, sizeof block), 0u);
}

TEST(ArchiveEncoding, ShortOrImpossibleStringLengthsFail)
{
    auto readString = [](CArchive& ar) { std::string s; ar.ReadString(s); };
    const int eof = CArchiveException::endOfFile;
    const int bad = CArchiveException::genericException;
    // Characters fewer than announced, or a prefix cut short.
    EXPECT_EQ(ArchiveCause({0x05, 'a', 'b'}, readString), eof);
    EXPECT_EQ(ArchiveCause({0xFF, 0x2C}, readString), eof);
    EXPECT_EQ(ArchiveCause({0xFF, 0xFE, 0xFF, 0x02, 0x41, 0x00, 0x42}, readString), eof);
    // Lengths no file this size can hold (checked before allocating).
    EXPECT_EQ(ArchiveCause({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}, readString), eof);
    EXPECT_EQ(ArchiveCause({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x3F}, readString), eof);
    // Lengths no string can hold, and a second wide marker.
    EXPECT_EQ(ArchiveCause({0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x80}, readString), bad);
    EXPECT_EQ(ArchiveCause({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, readString), bad);
    EXPECT_EQ(ArchiveCause({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x40}, readString), bad);
    EXPECT_EQ(ArchiveCause({0xFF, 0xFE, 0xFF, 0xFF, 0xFE, 0xFF, 0x01, 0x41, 0x00}, readString), bad);
}

TEST(ArchiveEncoding, WrongDirectionIsRefused)
{
    CMemFile file(Bytes{1, 2, 3, 4});
    CArchive loader(file, CArchive::load);
    EXPECT_THROW(loader.WriteByte(1), CArchiveException);
    CMemFile out;
    CArchive storer(out, CArchive::store);
    uint8_t b;
    EXPECT_THROW(storer.ReadByte(b), CArchiveException);
}
