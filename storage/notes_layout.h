#pragma once
// The notes file: a header (show-hidden mode, reserved, note count) and one
// entry per note (its text, then its 32-byte record), oldest note first.
#include "storage/archive.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A note's persisted state apart from its text.
struct NoteRecord {
    // Saved window rectangle, screen pixels, right and bottom exclusive.
    int32_t m_nLeft = 0;
    int32_t m_nTop = 0;
    int32_t m_nRight = 0;
    int32_t m_nBottom = 0;
    // Flags keep the value stored in the file; any nonzero value is set.
    int32_t m_bAlarmEnabled = 0;
    int32_t m_nAlarmTime = 0;  // seconds since 1970-01-01 UTC
    int32_t m_bAlwaysOnTop = 0;
    int32_t m_bHidden = 0;

    // Writes or reads the 32 bytes, as the archive's mode says. A record
    // that the file cannot complete raises the end-of-file failure.
    void Serialize(CArchive& ar);

    friend bool operator==(const NoteRecord& a, const NoteRecord& b);
};

struct NoteEntry {
    std::u16string strText;  // UTF-16, line breaks as CR LF
    NoteRecord record;

    friend bool operator==(const NoteEntry& a, const NoteEntry& b) { return a.strText == b.strText && a.record == b.record; }
};

// The count field is 16 bits wide.
constexpr size_t kMaxNotesInFile = 65535;
// Typing stops at 150 characters: a longer text is a damaged file, refused
// before it can cost minutes or all memory.
constexpr uint32_t kMaxNoteTextBytes = 65535;

// Receives a notes file as it is read.
class INotesSink {
public:
    virtual ~INotesSink() = default;
    // Right after the file's first dword, before any note.
    virtual void OnShowHiddenMode(int32_t nMode) = 0;
    // The number of entries the file announces, before the first.
    virtual void OnNoteCount(size_t /*nCount*/) {}
    // Once per entry whose text and record were both read completely.
    virtual void OnNote(const std::u16string& strText, const NoteRecord& record) = 0;
};

// Keeps what a notes file holds, as it is read.
struct NotesRead : INotesSink {
    std::optional<int32_t> nMode;  // none: the file ended before it
    size_t nCount = 0;             // the entries it announced
    std::vector<NoteEntry> notes;  // those read whole

    void OnShowHiddenMode(int32_t n) override { nMode = n; }
    void OnNoteCount(size_t n) override { nCount = n; }
    void OnNote(const std::u16string& strText, const NoteRecord& record) override { notes.push_back({strText, record}); }
};

// Raises CTooManyNotesException, before writing anything, for more notes
// than the file can count.
void WriteNotes(CArchive& ar, int32_t nShowHiddenMode, const std::vector<NoteEntry>& notes);
void ReadNotes(CArchive& ar, INotesSink& sink);
