#pragma once
// What the notes-file tests share: bytes, notes compared whole, a reader
// that keeps what the layout hands it and how it failed, and a writer.
#include "storage/exceptions.h"
#include "storage/memory_file.h"
#include "storage/notes_layout.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// The failure of type E that f raised; none if it raised none.
template <typename E, typename F>
std::optional<E> Raised(F&& f)
{
    try {
        f();
    } catch (const E& e) {
        return e;
    }
    return std::nullopt;
}

struct NotesSink : INotesSink {
    std::vector<int32_t> modes;
    std::vector<NoteEntry> notes;
    void OnShowHiddenMode(int32_t nMode) override { modes.push_back(nMode); }
    void OnNote(const std::u16string& strText, const NoteRecord& r) override { notes.push_back({strText, r}); }
};

// What reading the bytes, handed out nChunk at a time, gave; nFailure is the
// archive's cause, 100 + the file's, 200 for memory, or -1 for none.
struct ReadResult : NotesSink {
    int nFailure = -1;
    bool operator==(const ReadResult& o) const { return modes == o.modes && notes == o.notes && nFailure == o.nFailure; }
};

inline ReadResult ReadBytes(Bytes bytes, uint32_t nChunk = UINT32_MAX)
{
    ReadResult result;
    CMemFile file(std::move(bytes));
    file.SetMaxReadChunk(nChunk);
    try {
        CArchive ar(file, CArchive::load);
        ReadNotes(ar, result);
    } catch (const CArchiveException& e) {
        result.nFailure = e.m_cause;
    } catch (const CFileException& e) {
        result.nFailure = 100 + e.m_cause;
    } catch (const CMemoryException&) {
        result.nFailure = 200;
    }
    return result;
}

inline Bytes WriteBytes(int32_t nMode, const std::vector<NoteEntry>& notes)
{
    CMemFile file;
    CArchive ar(file, CArchive::store);
    WriteNotes(ar, nMode, notes);
    ar.Close();
    return file.Data();
}
