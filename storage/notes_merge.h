#pragma once
// A notes file that another computer (through a synced folder) or another
// program changes: what Driftpad last read from it or wrote to it, the
// check before a save onto it, and the merge that loses no note.
#include "storage/archive.h"
#include "storage/file_system.h"
#include "storage/notes_layout.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The notes file as Driftpad last read it or wrote it.
struct NotesBaseline {
    std::optional<uint64_t> nDigest;  // of its bytes; none: there was no file, or nothing is known of it
    std::vector<NoteEntry> notes;
    int32_t nMode = 0;
};

// A notes file whose notes are not all on screen, so that a save over it
// asks first: how many it holds, how many a load or a restore showed, and
// whether it could be read whole at all (damaged, foreign, held by another
// program, or a load cut off).
struct ShortFile {
    size_t nHeld = 0;
    size_t nShown = 0;
    bool bNotReadWhole = false;
};

// How the notes file stands before a save onto it. A file that is gone,
// or has the bytes last read or written (a sync client may only touch it),
// is not changed. One that cannot be read (held by another program) is.
struct FileChange {
    bool bChanged = false;
    bool bReadable = false;  // changed, and read whole as a notes file: notes holds it
    std::optional<uint64_t> nDigest;  // of the bytes checked, when they could be read
    std::vector<NoteEntry> notes;
    int32_t nMode = 0;
};
FileChange CheckNotesFile(IFileSystem& fs, const std::string& strPath, const NotesBaseline& baseline);

// A recovery copy keeps the baseline, and how short its file was, after
// its notes, where a reader of notes files never looks. None from a copy
// without one (written by an older Driftpad) or with a damaged one.
void WriteBaseline(CArchive& ar, const NotesBaseline& baseline, const ShortFile& shortFile);
std::shared_ptr<const NotesBaseline> ReadBaseline(CArchive& ar, ShortFile* pShortFile = nullptr);
// After a file's last note: true when nothing follows, or only a recovery
// copy's own block (so that a kept copy opens as a notes file).
bool EndsAfterNotes(CArchive& ar);
