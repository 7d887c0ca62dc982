// Feeds arbitrary bytes to the notes-file reader. Besides the sanitizers'
// checks: reading must give the same notes whether the file hands out its
// bytes all at once or one at a time, and what was read completely must
// write and read back unchanged.
#include "tests/unit/test_notes.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> bytes(data, data + size);
    ReadResult whole = ReadBytes(bytes);
    size_t nTextBytes = 0;  // texts can only come from the file's own bytes
    for (const NoteEntry& note : whole.notes)
        nTextBytes += note.strText.size();
    if (!(ReadBytes(bytes, 1) == whole) || nTextBytes > size)
        abort();
    if (whole.nFailure == -1 && !(ReadBytes(WriteBytes(whole.modes.at(0), whole.notes)) == whole))
        abort();
    return 0;
}
