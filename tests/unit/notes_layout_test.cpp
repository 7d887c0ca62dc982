// The notes file layout: exact bytes of known files, records that keep what
// they read, and files cut short at every byte.
#include "storage/archive.h"
#include "storage/exceptions.h"
#include "storage/memory_file.h"
#include "storage/notes_layout.h"
#include "tests/unit/test_notes.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

// Reads bytes through the layout, counting the failures raised.
struct Reader : NotesSink {
    int nFailures = 0;
    int nCause = -1;
    explicit Reader(const Bytes& bytes, uint32_t nChunk = UINT32_MAX)
    {
        CMemFile file(bytes);
        file.SetMaxReadChunk(nChunk);
        CArchive ar(file, CArchive::load);
        try {
            ReadNotes(ar, *this);
        } catch (const CArchiveException& e) {
            nCause = e.m_cause;
            ++nFailures;
        }
    }
};

Bytes Write(int32_t nMode, const std::vector<NoteEntry>& notes)
{
    CMemFile file;
    CArchive ar(file, CArchive::store);
    WriteNotes(ar, nMode, notes);
    ar.Close();
    return file.Data();
}

}  // namespace

TEST(NotesLayout, KnownFilesAreWrittenAndReadExactly)
{
    const Bytes worked = {
        0, 0, 0, 0, 0, 0, 0, 0, 1, 0,  // show-hidden mode 0, reserved, one note
        0x02, 'o', 'k',  // its text
        100, 0, 0, 0, 120, 0, 0, 0, 226, 0, 0, 0, 223, 0, 0, 0,  // left, top, right, bottom
        1, 0, 0, 0, 0xD2, 0x02, 0x96, 0x49, 0, 0, 0, 0, 3, 0, 0, 0,  // alarm flag and time, on top, hidden
    };
    const Bytes empty = {1, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    const std::tuple<int32_t, std::vector<NoteEntry>, Bytes> files[] = {
        {0, {{u"ok", {100, 120, 226, 223, 1, 1234567890, 0, 3}}}, worked}, {1, {}, empty}};
    for (const auto& [nMode, notes, bytes] : files) {
        EXPECT_EQ(Write(nMode, notes), bytes);
        Reader r(bytes);
        EXPECT_EQ(r.nFailures, 0);
        EXPECT_EQ(r.modes, std::vector<int32_t>{nMode});
        EXPECT_EQ(r.notes, notes);
    }
}

// Also the round trip: the uncut file gives back every note as stored.
TEST(NotesLayout, FileCutAtEveryByteRaisesOnceAndKeepsTheCompleteNotes)
{
    // A failed conversion's time (-1) and a flag of 2 are kept as stored.
    std::vector<NoteEntry> notes = {{u"", {-32000, -5, 2147483647, -2147483647 - 1, 1, -1, 2, 1}},
                                    {u"line one\r\nline two", {10, 20, 30, 40}}};
    for (int i = 0; i < 5; ++i)
        notes.push_back({std::u16string(static_cast<size_t>(i * 37), static_cast<char16_t>('A' + i)),
                         {i, i * 10, i * 100, i * 1000, 0, 0, 0, i % 2}});
    notes.push_back({std::u16string(5000, 'z'), {7, 7, 7, 7}});  // three-byte prefix, past a buffer
    notes.push_back({u"last", {8, 8, 8, 8}});
    Bytes full = Write(1, notes);
    std::vector<size_t> entryEnds;
    size_t nOffset = 10;
    for (const NoteEntry& n : notes)
        entryEnds.push_back(nOffset += (n.m_strText.size() < 255 ? 1 : 3) + n.m_strText.size() + 32);
    ASSERT_EQ(nOffset, full.size());

    for (uint32_t nChunk : {UINT32_MAX, 5u}) {
        for (size_t nCut = 0; nCut <= full.size(); ++nCut) {
            SCOPED_TRACE(testing::Message() << "cut " << nCut << " chunk " << nChunk);
            Reader r(Bytes(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(nCut)), nChunk);
            size_t nComplete = 0;
            while (nComplete < entryEnds.size() && entryEnds[nComplete] <= nCut)
                ++nComplete;
            ASSERT_EQ(r.nCause, nCut < full.size() ? CArchiveException::endOfFile : -1);
            ASSERT_EQ(r.modes, std::vector<int32_t>(nCut >= 4 ? 1 : 0, 1));
            ASSERT_EQ(r.notes, std::vector<NoteEntry>(notes.begin(), notes.begin() + static_cast<std::ptrdiff_t>(nComplete)));
        }
    }
    // A smaller count than entries reads that many; trailing bytes are ignored.
    full[8] = 1;
    Reader fewer(full);
    EXPECT_EQ(fewer.nFailures, 0);
    EXPECT_EQ(fewer.notes, std::vector<NoteEntry>(notes.begin(), notes.begin() + 1));
}

// No note is typed longer than 150 characters: a text of more than 65,535
// bytes as stored (2 a code unit) is damage, refused before it is read.
TEST(NotesLayout, TextsOfMoreThan65535BytesAreRefusedAndTheNotesBeforeThemStay)
{
    const int bad = CArchiveException::genericException;
    const std::tuple<Bytes, size_t, int> texts[] = {
        {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}, 65535, -1},
        {{0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00}, 0, bad},  // none of its bytes there
        {{0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0x7F}, 65534, -1},  // 32767 code units
        {{0xFF, 0xFE, 0xFF, 0xFF, 0x00, 0x80}, 0, bad},
    };
    for (const auto& [prefix, nBytes, nCause] : texts) {
        SCOPED_TRACE(testing::PrintToString(prefix));
        Bytes bytes = Write(0, {{u"ok", {1, 2, 3, 4}}});
        bytes[8] = 2;
        bytes.insert(bytes.end(), prefix.begin(), prefix.end());
        bytes.resize(bytes.size() + (nBytes ? nBytes + 32 : 0), 'x');
        Reader r(bytes);
        EXPECT_EQ(r.nCause, nCause);
        EXPECT_EQ(r.notes.size(), nCause == -1 ? 2u : 1u);
    }
}

TEST(NotesLayout, MoreNotesThanTheCountCanSayAreRefusedBeforeWriting)
{
    std::vector<NoteEntry> notes(kMaxNotesInFile);
    Bytes bytes = Write(0, notes);
    EXPECT_EQ(Bytes(bytes.begin() + 8, bytes.begin() + 10), (Bytes{0xFF, 0xFF}));
    EXPECT_EQ(bytes.size(), 10 + kMaxNotesInFile * 33);
    notes.emplace_back();
    CMemFile file;
    CArchive ar(file, CArchive::store);
    EXPECT_THROW(WriteNotes(ar, 0, notes), CTooManyNotesException);
    ar.Close();
    EXPECT_TRUE(file.Data().empty());
}
