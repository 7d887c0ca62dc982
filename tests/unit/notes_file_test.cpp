// The notes file: exact bytes, files cut at every byte, refused counts and
// texts; saving that never destroys the old file; the words for failures.
#include "storage/failure_text.h"
#include "storage/notes_file.h"
#include "tests/unit/fake_file_system.h"
#include "tests/unit/test_notes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>

namespace {

const std::string kTarget = "C:\\notes\\mine.dpd";
const Bytes kOldBytes = {1, 0, 0, 0, 0, 0, 0, 0, 0, 0};

// Large texts, so that a save takes several writes, direct ones included.
std::vector<NoteEntry> SomeNotes()
{
    std::vector<NoteEntry> notes;
    for (int i = 0; i < 5; ++i)
        notes.push_back({std::u16string(static_cast<size_t>(1500 * i + 3), static_cast<char16_t>('a' + i)), {i, 0, 0, 0, i % 2}});
    return notes;
}

}  // namespace

TEST(NotesLayout, AKnownFileIsWrittenAndReadExactly)
{
    const Bytes bytes = {
        0, 0, 0, 0, 0, 0, 0, 0, 1, 0,  // show-hidden mode 0, reserved, one note
        0x02, 'o', 'k',  // its text
        100, 0, 0, 0, 120, 0, 0, 0, 226, 0, 0, 0, 223, 0, 0, 0,  // left, top, right, bottom
        1, 0, 0, 0, 0xD2, 0x02, 0x96, 0x49, 0, 0, 0, 0, 3, 0, 0, 0,  // alarm flag and time, on top, hidden
    };
    const std::vector<NoteEntry> notes = {{u"ok", {100, 120, 226, 223, 1, 1234567890, 0, 3}}};
    EXPECT_EQ(WriteBytes(0, notes), bytes);
    ReadResult r = ReadBytes(bytes);
    EXPECT_EQ(r.nFailure, -1);
    EXPECT_EQ(r.modes, std::vector<int32_t>{0});
    EXPECT_EQ(r.notes, notes);
}

// Also the round trip: the uncut file gives back every note as stored.
TEST(NotesLayout, FileCutAtEveryByteRaisesOnceAndKeepsTheCompleteNotes)
{
    // A failed conversion's time (-1) and a flag of 2 are kept as stored.
    std::vector<NoteEntry> notes = {{u"", {-32000, -5, 2147483647, -2147483647 - 1, 1, -1, 2, 1}},
                                    {u"line one\r\nline two", {10, 20, 30, 40}},
                                    {std::u16string(5000, 'z'), {7, 7, 7, 7}},  // three-byte prefix, past a buffer
                                    {u"last", {8, 8, 8, 8, 0, 0, 0, 1}}};
    Bytes full = WriteBytes(1, notes);
    std::vector<size_t> entryEnds;
    size_t nOffset = 10;
    for (const NoteEntry& n : notes)
        entryEnds.push_back(nOffset += (n.strText.size() < 255 ? 1 : 3) + n.strText.size() + 32);
    ASSERT_EQ(nOffset, full.size());

    for (uint32_t nChunk : {UINT32_MAX, 5u}) {
        for (size_t nCut = 0; nCut <= full.size(); ++nCut) {
            SCOPED_TRACE(testing::Message() << "cut " << nCut << " chunk " << nChunk);
            ReadResult r = ReadBytes(Bytes(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(nCut)), nChunk);
            auto nComplete = std::count_if(entryEnds.begin(), entryEnds.end(), [&](size_t nEnd) { return nEnd <= nCut; });
            ASSERT_EQ(r.nFailure, nCut < full.size() ? CArchiveException::endOfFile : -1);
            ASSERT_EQ(r.modes, std::vector<int32_t>(nCut >= 4 ? 1 : 0, 1));
            ASSERT_EQ(r.notes, std::vector<NoteEntry>(notes.begin(), notes.begin() + nComplete));
        }
    }
    full[8] = 1;  // a smaller count than entries reads that many; the rest is ignored
    ReadResult fewer = ReadBytes(full);
    EXPECT_EQ(fewer.nFailure, -1);
    EXPECT_EQ(fewer.notes, std::vector<NoteEntry>(notes.begin(), notes.begin() + 1));
}

// No note is typed longer than 150 characters: a text of more than 65,535
// bytes as stored (2 a code unit) is damage, refused before it is read.
TEST(NotesLayout, TextsOfMoreThan65535BytesAreRefusedAndTheNotesBeforeThemStay)
{
    const struct { Bytes prefix; size_t nBytes; int nCause; } texts[] = {
        {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}, 65535, -1},
        {{0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00}, 0, CArchiveException::genericException},  // none of its bytes there
        {{0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0x7F}, 65534, -1},  // 32767 code units
        {{0xFF, 0xFE, 0xFF, 0xFF, 0x00, 0x80}, 0, CArchiveException::genericException},
    };
    for (const auto& [prefix, nBytes, nCause] : texts) {
        SCOPED_TRACE(testing::PrintToString(prefix));
        Bytes bytes = WriteBytes(0, {{u"ok", {1, 2, 3, 4}}});
        bytes[8] = 2;
        bytes.insert(bytes.end(), prefix.begin(), prefix.end());
        bytes.resize(bytes.size() + (nBytes ? nBytes + 32 : 0), 'x');
        ReadResult r = ReadBytes(bytes);
        EXPECT_EQ(r.nFailure, nCause);
        EXPECT_EQ(r.notes.size(), nCause == -1 ? 2u : 1u);
    }
}

TEST(NotesLayout, MoreNotesThanTheCountCanSayAreRefusedBeforeAnyByteOrFileIsMade)
{
    std::vector<NoteEntry> notes(kMaxNotesInFile);
    Bytes bytes = WriteBytes(0, notes);
    EXPECT_EQ(Bytes(bytes.begin() + 8, bytes.begin() + 10), (Bytes{0xFF, 0xFF}));
    EXPECT_EQ(bytes.size(), 10 + kMaxNotesInFile * 33);
    notes.emplace_back();
    CMemFile file;
    CArchive ar(file, CArchive::store);
    EXPECT_THROW(WriteNotes(ar, 0, notes), CTooManyNotesException);
    ar.Close();
    EXPECT_TRUE(file.Data().empty());

    CFakeFileSystem fs;
    auto failure = Raised<CTooManyNotesException>([&] { SaveNotesFile(fs, kTarget, 0, notes); });
    EXPECT_EQ(failure.value_or(CTooManyNotesException(0)).m_strFileName, kTarget);
    EXPECT_TRUE(fs.m_steps.empty());
}

TEST(SafeSave, AFailureAtAnyStepOrByteLeavesTheOldFileAndIsRaisedWithThePath)
{
    for (const auto& [pszPath, pszFolder] : {std::pair{"C:\\notes\\mine.dpd", "C:\\notes\\"}, {"C:mine.dpd", "C:"}, {"mine.dpd", ""}})
        EXPECT_EQ(FolderOf(pszPath), pszFolder) << pszPath;
    CFakeFileSystem whole;
    SaveNotesFile(whole, kTarget, 0, SomeNotes());
    // Flushed to the disk and closed before it replaces the old one: a crash after must not leave it short.
    std::vector<std::string> steps = whole.m_steps;
    steps.erase(std::unique(steps.begin(), steps.end()), steps.end());
    ASSERT_EQ(steps, (std::vector<std::string>{"create", "write", "flush", "close", "replace"}));

    // Each step fails in turn, then the disk fills at every 7th byte.
    const size_t nSteps = whole.m_steps.size(), nSize = whole.m_files.at(kTarget).size();
    for (size_t i = 1; i <= nSteps + nSize / 7; ++i) {
        SCOPED_TRACE(i);
        CFakeFileSystem fs;
        if (i <= nSteps)
            fs.m_nFailAtStep = i;
        else
            fs.m_nDiskRoom = (i - nSteps - 1) * 7;
        fs.m_files[kTarget] = kOldBytes;
        auto failure = Raised<CFileException>([&] { SaveNotesFile(fs, kTarget, 0, SomeNotes()); });
        EXPECT_EQ(failure.value_or(CFileException(0, 0)).m_strFileName, kTarget);
        EXPECT_EQ(fs.m_files, (std::map<std::string, Bytes>{{kTarget, kOldBytes}}));
    }
}

// Windows can stop a replace with the old file gone (1176) or renamed aside
// (1177): the new file is then the only copy, moved into place or kept.
TEST(SafeSave, AReplaceStoppedHalfWayNeverLosesTheNewFile)
{
    CFakeFileSystem whole;
    SaveNotesFile(whole, kTarget, 0, SomeNotes());
    for (long nHalf : {1176L, 1177L}) {
        CFakeFileSystem fs;
        fs.m_files[kTarget] = kOldBytes;
        fs.m_nHalfReplace = nHalf;
        SaveNotesFile(fs, kTarget, 0, SomeNotes());
        EXPECT_EQ(fs.m_files.at(kTarget), whole.m_files.at(kTarget)) << nHalf;
        fs.m_files[kTarget] = kOldBytes;
        fs.m_nFailAtStep = 2 * fs.m_steps.size();  // the second save's last step: the move
        auto failure = Raised<CFileException>([&] { SaveNotesFile(fs, kTarget, 0, SomeNotes()); });
        ASSERT_TRUE(failure && fs.m_files.count(failure->m_strKeptAs)) << nHalf;
        EXPECT_NE(DescribeFailure(*failure).strText.find("written to \"" + failure->m_strKeptAs + "\""), std::string::npos);
    }
}

TEST(SafeSave, LoadReadsBackWhatWasSavedAndTellsAFileThatIsNotWholeFromOneThatIsGone)
{
    CFakeFileSystem fs;
    NotesSink sink, cut;
    EXPECT_EQ(LoadNotesFile(fs, kTarget, sink), LoadOutcome::missing);  // and reports nothing
    SaveNotesFile(fs, kTarget, 1, SomeNotes());
    EXPECT_EQ(LoadNotesFile(fs, kTarget, sink), LoadOutcome::whole);
    EXPECT_EQ(sink.modes, std::vector<int32_t>{1});
    fs.m_held.insert(kTarget);  // another program holds it: there, not gone
    EXPECT_EQ(Raised<CFileException>([&] { LoadNotesFile(fs, kTarget, cut); }).value_or(CFileException(0, 0)).m_strFileName, kTarget);
    fs.m_held.clear();
    fs.m_files.at(kTarget).push_back(0);  // a byte after the last note
    EXPECT_EQ(LoadNotesFile(fs, kTarget, sink), LoadOutcome::notWhole);

    fs.m_files.at(kTarget).resize(fs.m_files.at(kTarget).size() - 2);  // the last note's record ends early
    auto failure = Raised<CArchiveException>([&] { LoadNotesFile(fs, kTarget, cut); });
    EXPECT_EQ(failure.value_or(CArchiveException(0)).m_strFileName, kTarget);
    EXPECT_EQ(cut.notes.size(), SomeNotes().size() - 1);
}

TEST(FailureText, EachKindOfFailureHasItsOwnWordsAndNamesTheFile)
{
    auto named = [](auto e, const char* pszName) {
        e.m_strFileName = pszName;
        return std::shared_ptr<std::exception>(new decltype(e)(e));
    };
    const std::string kLeft = ".\r\nThe file on disk was left as it was.", kKept = ".\r\nThe notes read before the damage are kept.";
    const std::string kBusy = " could not be read or written: access was denied or another program is using it" + kLeft;
    const std::string kMemory = "Out of memory: the operation could not be completed.";
    const struct { std::shared_ptr<std::exception> failure; std::string expected; bool bOutOfMemory; } rows[] = {
        {named(CArchiveException(CArchiveException::endOfFile), "C:\\a.dpd"),
         "\"C:\\a.dpd\" ends too early: it is damaged or is not a notes file" + kKept, false},
        {named(CArchiveException(CArchiveException::genericException), ""), "The notes file is damaged or is not a notes file" + kKept, false},
        {named(CArchiveException(CArchiveException::badSchema), "b.dpd"), "\"b.dpd\" is damaged or is not a notes file" + kKept, false},
        {named(CTooManyNotesException(65536), "n.dpd"),
         "\"n.dpd\" was not saved: a notes file holds at most 65,535 notes, and there are 65536" + kLeft, false},
        {named(CFileException(CFileException::diskFull, 112), "d.dpd"), "\"d.dpd\" could not be saved: the disk is full" + kLeft, false},
        {named(CFileException(CFileException::accessDenied, 5), "r.dpd"), "\"r.dpd\"" + kBusy, false},
        {named(CFileException(CFileException::sharingViolation, 32), "s.dpd"), "\"s.dpd\"" + kBusy, false},
        {named(CFileException(CFileException::badPath, 3), "x\\y.dpd"),
         "\"x\\y.dpd\" could not be read or written (system error 3).\r\nA file on disk that could not be written was left as it was.", false},
        {std::make_shared<CMemoryException>(), kMemory, true},
        {std::make_shared<std::bad_alloc>(), kMemory, true},
        {std::make_shared<std::runtime_error>("boom"), "The operation failed: boom", false},
    };
    for (const auto& row : rows) {
        FailureMessage message = DescribeFailure(*row.failure);
        EXPECT_EQ(message.strText, row.expected);
        EXPECT_EQ(message.bOutOfMemory, row.bOutOfMemory) << row.expected;
    }
}
