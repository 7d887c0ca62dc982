// Feeds arbitrary bytes to the notes-file reader. Besides the sanitizers'
// checks: reading must give the same notes whether the file hands out its
// bytes all at once or one at a time, and what was read completely must
// write and read back unchanged.
#include "storage/exceptions.h"
#include "storage/memory_file.h"
#include "tests/unit/test_notes.h"

#include <cstdlib>

namespace {

struct Outcome : NotesSink {
    int nFailure = -1;  // archive cause, or 100 + file cause, or 200 for memory
    bool operator==(const Outcome& o) const { return modes == o.modes && notes == o.notes && nFailure == o.nFailure; }
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
    size_t nTextBytes = 0;  // texts can only come from the file's own bytes
    for (const NoteEntry& note : whole.notes)
        nTextBytes += note.strText.size();
    if (!(Read(bytes, 1) == whole) || nTextBytes > size)
        abort();
    if (whole.nFailure == -1) {
        CMemFile out;
        {
            CArchive ar(out, CArchive::store);
            WriteNotes(ar, whole.modes.at(0), whole.notes);
        }
        if (!(Read(out.Data(), UINT32_MAX) == whole))
            abort();
    }
    return 0;
}
