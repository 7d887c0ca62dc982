// Feeds arbitrary bytes to the notes-file reader. Besides the sanitizers'
// checks: reading must give the same notes whether the file hands out its
// bytes all at once or one at a time, and what was read completely must
// write and read back unchanged.
#include "storage/archive.h"
#include "storage/exceptions.h"
#include "storage/memory_file.h"
#include "storage/notes_layout.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Outcome : INotesSink {
    std::vector<int32_t> modes;
    std::vector<NoteEntry> notes;
    int nFailure = -1;  // archive cause, or 100 + file cause, or 200 for memory

    void OnShowHiddenMode(int32_t nMode) override { modes.push_back(nMode); }
    void OnNote(const std::u16string& strText, const NoteRecord& r) override { notes.push_back({strText, r}); }
    bool operator==(const Outcome& o) const
    {
        return modes == o.modes && nFailure == o.nFailure &&
               std::equal(notes.begin(), notes.end(), o.notes.begin(), o.notes.end(), [](auto& a, auto& b) {
                   return a.m_strText == b.m_strText && a.m_record == b.m_record;
               });
    }
};

Outcome Read(std::vector<uint8_t> bytes, uint32_t nChunk)
{
    Outcome outcome;
    CMemFile file(std::move(bytes));
    file.SetMaxReadChunk(nChunk);
    try {
        CArchive ar(file, CArchive::load);
        ReadNotes(ar, outcome);
    } catch (const CArchiveException& e) {
        outcome.nFailure = e.m_cause;
    } catch (const CFileException& e) {
        outcome.nFailure = 100 + e.m_cause;
    } catch (const CMemoryException&) {
        outcome.nFailure = 200;
    }
    return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> bytes(data, data + size);
    Outcome whole = Read(bytes, UINT32_MAX);
    if (!(Read(bytes, 1) == whole))
        abort();

    size_t nTextBytes = 0;
    for (const NoteEntry& note : whole.notes)
        nTextBytes += note.m_strText.size();
    if (nTextBytes > size)
        abort();  // texts can only come from the file's own bytes

    if (whole.nFailure == -1) {
        CMemFile out;
        {
            CArchive ar(out, CArchive::store);
            WriteNotes(ar, whole.modes.at(0), whole.notes);
        }
        Outcome again = Read(out.Data(), UINT32_MAX);
        if (!(again == whole))
            abort();
    }
    return 0;
}
