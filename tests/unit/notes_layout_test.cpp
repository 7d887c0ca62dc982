// The notes file layout: exact bytes of known files, records that keep what
// they read, and files cut short at every byte.
#include "storage/archive.h"
#include "storage/exceptions.h"
#include "storage/memory_file.h"
#include "storage/notes_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

struct RecordingSink : INotesSink {
    std::vector<int32_t> modes;
    std::vector<NoteEntry> notes;
    void OnShowHiddenMode(int32_t nMode) override { modes.push_back(nMode); }
    void OnNote(const std::string& strText, const NoteRecord& record) override
    {
        notes.push_back({strText, record});
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

// Reads bytes through the layout; returns how many failures were raised.
int Read(const Bytes& bytes, RecordingSink& sink, uint32_t nChunk = UINT32_MAX)
{
    CMemFile file(bytes);
    file.SetMaxReadChunk(nChunk);
    CArchive ar(file, CArchive::load);
    try {
        ReadNotes(ar, sink);
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
        return 1;
    }
    return 0;
}

NoteRecord Record(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    NoteRecord r;
    r.m_nLeft = left;
    r.m_nTop = top;
    r.m_nRight = right;
    r.m_nBottom = bottom;
    return r;
}

void ExpectSameNotes(const std::vector<NoteEntry>& got, const std::vector<NoteEntry>& want)
{
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].m_strText, want[i].m_strText) << "note " << i;
        EXPECT_TRUE(got[i].m_record == want[i].m_record) << "note " << i;
    }
}

const Bytes kWorkedExample = {
    0x00, 0x00, 0x00, 0x00,  // show-hidden-notes mode 0
    0x00, 0x00, 0x00, 0x00,  // reserved
    0x01, 0x00,              // one note
    0x02, 0x6F, 0x6B,        // text "ok"
    0x64, 0x00, 0x00, 0x00, 0x78, 0x00, 0x00, 0x00,  // left 100, top 120
    0xE2, 0x00, 0x00, 0x00, 0xDF, 0x00, 0x00, 0x00,  // right 226, bottom 223
    0x00, 0x00, 0x00, 0x00,  // alarm flag
    0x00, 0x00, 0x00, 0x00,  // alarm time
    0x00, 0x00, 0x00, 0x00,  // always-on-top flag
    0x00, 0x00, 0x00, 0x00,  // hidden flag
};

}  // namespace

TEST(NotesLayout, KnownFilesAreWrittenAndReadExactly)
{
    std::vector<NoteEntry> one = {{"ok", Record(100, 120, 226, 223)}};
    EXPECT_EQ(Write(0, one), kWorkedExample);
    RecordingSink sink;
    EXPECT_EQ(Read(kWorkedExample, sink), 0);
    EXPECT_EQ(sink.modes, std::vector<int32_t>{0});
    ExpectSameNotes(sink.notes, one);

    const Bytes empty = {1, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(Write(1, {}), empty);
    RecordingSink emptySink;
    EXPECT_EQ(Read(empty, emptySink), 0);
    EXPECT_EQ(emptySink.modes, std::vector<int32_t>{1});
    EXPECT_TRUE(emptySink.notes.empty());
}

TEST(NotesLayout, RecordsAndTextsKeepWhatWasStored)
{
    NoteRecord odd = Record(-32000, -5, 2147483647, -2147483647 - 1);
    odd.m_bAlarmEnabled = 1;
    odd.m_nAlarmTime = -1;  // a failed conversion's time is stored as any other
    odd.m_bAlwaysOnTop = 2;  // not 0 or 1: kept as stored, counts as set
    odd.m_bHidden = 1;
    std::vector<NoteEntry> notes = {
        {std::string(150, 'n'), Record(1, 2, 3, 4)},
        {"", odd},
        {"line one\r\nline two", Record(10, 20, 30, 40)},
        {std::string(300, 'L'), Record(5, 6, 7, 8)},
    };
    Bytes bytes = Write(1, notes);
    EXPECT_EQ(bytes[10], 0x96);  // 150 characters take the one-byte prefix
    EXPECT_EQ(bytes[11 + 150 + 32], 0x00);  // the empty text before its record
    RecordingSink sink;
    EXPECT_EQ(Read(bytes, sink), 0);
    ExpectSameNotes(sink.notes, notes);
    EXPECT_EQ(sink.notes[1].m_record.m_bAlwaysOnTop, 2);
}

TEST(NotesLayout, ShortFilesDeliverOnlyCompleteNotes)
{
    // The count says 2, one entry follows.
    Bytes bytes = kWorkedExample;
    bytes[8] = 2;
    RecordingSink sink;
    EXPECT_EQ(Read(bytes, sink), 1);
    EXPECT_EQ(sink.notes.size(), 1u);

    // 9 bytes: the mode is taken, the count cannot be read.
    RecordingSink nine;
    EXPECT_EQ(Read(Bytes(kWorkedExample.begin(), kWorkedExample.begin() + 9), nine), 1);
    EXPECT_EQ(nine.modes.size(), 1u);
    EXPECT_TRUE(nine.notes.empty());

    // A smaller count than entries reads that many; trailing bytes are ignored.
    bytes = Write(0, {{"a", {}}, {"b", {}}});
    bytes[8] = 1;
    bytes.push_back(0xEE);
    RecordingSink fewer;
    EXPECT_EQ(Read(bytes, fewer), 0);
    ASSERT_EQ(fewer.notes.size(), 1u);
    EXPECT_EQ(fewer.notes[0].m_strText, "a");
}

TEST(NotesLayout, FileCutAtEveryByteRaisesOnceAndKeepsTheCompleteNotes)
{
    std::vector<NoteEntry> notes;
    for (int i = 0; i < 6; ++i) {
        NoteRecord r = Record(i, i * 10, i * 100, i * 1000);
        r.m_bHidden = i % 2;
        notes.push_back({std::string(static_cast<size_t>(i * 37), static_cast<char>('A' + i)), r});
    }
    notes.push_back({std::string(5000, 'z'), Record(7, 7, 7, 7)});  // three-byte prefix, past a buffer
    notes.push_back({"last", Record(8, 8, 8, 8)});
    Bytes full = Write(0, notes);

    std::vector<size_t> entryEnds;
    size_t nOffset = 10;
    for (const NoteEntry& n : notes) {
        nOffset += (n.m_strText.size() < 255 ? 1 : 3) + n.m_strText.size() + 32;
        entryEnds.push_back(nOffset);
    }
    ASSERT_EQ(nOffset, full.size());

    for (uint32_t nChunk : {UINT32_MAX, 5u}) {
        for (size_t nCut = 0; nCut <= full.size(); ++nCut) {
            SCOPED_TRACE(testing::Message() << "cut " << nCut << " chunk " << nChunk);
            RecordingSink sink;
            int nFailures = Read(Bytes(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(nCut)), sink, nChunk);
            size_t nComplete = 0;
            while (nComplete < entryEnds.size() && entryEnds[nComplete] <= nCut)
                ++nComplete;
            ASSERT_EQ(nFailures, nCut < full.size() ? 1 : 0);
            ASSERT_EQ(sink.modes.size(), nCut >= 4 ? 1u : 0u);
            ASSERT_EQ(sink.notes.size(), nComplete);
            for (size_t i = 0; i < nComplete; ++i)
                ASSERT_EQ(sink.notes[i].m_strText, notes[i].m_strText);
        }
    }
}

TEST(NotesLayout, MoreNotesThanTheCountCanSayAreRefusedBeforeWriting)
{
    std::vector<NoteEntry> notes(kMaxNotesInFile);
    Bytes bytes = Write(0, notes);
    EXPECT_EQ(bytes[8], 0xFF);
    EXPECT_EQ(bytes[9], 0xFF);
    EXPECT_EQ(bytes.size(), 10 + kMaxNotesInFile * 33);

    notes.emplace_back();
    CMemFile file;
    CArchive ar(file, CArchive::store);
    try {
        WriteNotes(ar, 0, notes);
        FAIL() << "65536 notes must be refused";
    } catch (const CTooManyNotesException& e) {
        EXPECT_EQ(e.m_nCount, kMaxNotesInFile + 1);
    }
    ar.Close();
    EXPECT_TRUE(file.Data().empty());
}
