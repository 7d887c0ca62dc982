#pragma once
// Saving a notes file without ever destroying the old one, and loading one.
#include "storage/archive.h"
#include "storage/file_system.h"
#include "storage/notes_layout.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The folder part of a path, up to and with its last separator or drive
// colon ("" for a bare name).
std::string FolderOf(const std::string& strPath);

// Writes a file by write(), into a new file next to strPath that then takes
// strPath's place. On any failure the old file is left byte for byte as it
// was, the new file is removed, and the failure is raised (a CException
// with m_strFileName = strPath). Should Windows stop the replace half-way,
// with the old file gone, the new one is moved into place; failing that it
// is kept, and named in the failure's m_strKeptAs.
void SaveFileSafely(IFileSystem& fs, const std::string& strPath, const std::function<void(CFile&)>& write);

// Writes the collection to a new file next to strPath and then puts it in
// strPath's place. On any failure the old file is left byte for byte as it
// was, the new file is removed, and the failure is raised with
// m_strFileName = strPath (CTooManyNotesException before anything is made).
// Returns the digest of the bytes written.
uint64_t SaveNotesFile(IFileSystem& fs, const std::string& strPath, int32_t nShowHiddenMode,
                   const std::vector<NoteEntry>& notes);

// 65,535 notes of at most 65,535 bytes each (with a length and a record),
// and a recovery copy's second set after them: a larger file is no notes
// file, and is refused before it is read whole.
constexpr uint64_t kMaxNotesFileBytes = 2 * uint64_t{kMaxNotesInFile} * (kMaxNoteTextBytes + 64) + 64;

// Opens a notes file for reading: nullptr when there is no such file; a file
// that cannot be opened, or is too large to be one, is raised.
std::unique_ptr<CFile> OpenNotesFile(IFileSystem& fs, const std::string& strPath);

enum class LoadOutcome {
    missing,   // no such file: nothing was done
    whole,
    notWhole,  // bytes follow its last note (not a notes file, or one of a later version)
};
// Reads strPath into the sink. A failure (the file there but not readable,
// or damaged) is raised with m_strFileName = strPath, after the sink
// received every note read completely. *pDigest gets the digest of the
// file's bytes before anything is read into the sink.
LoadOutcome LoadNotesFile(IFileSystem& fs, const std::string& strPath, INotesSink& sink,
                          std::optional<uint64_t>* pDigest = nullptr);
