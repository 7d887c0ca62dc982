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
// with m_strFileName = strPath).
void SaveFileSafely(IFileSystem& fs, const std::string& strPath, const std::function<void(CFile&)>& write);

// Writes the collection to a new file next to strPath and then puts it in
// strPath's place. On any failure the old file is left byte for byte as it
// was, the new file is removed, and the failure is raised with
// m_strFileName = strPath (CTooManyNotesException before anything is made).
// Returns the digest of the bytes written.
uint64_t SaveNotesFile(IFileSystem& fs, const std::string& strPath, int32_t nShowHiddenMode,
                   const std::vector<NoteEntry>& notes);

// Returns false, having done nothing, when strPath cannot be opened for
// reading. Otherwise reads it into the sink and returns true; a failure on
// the way is raised with m_strFileName = strPath, after the sink received
// every note read completely. *pDigest gets the digest of the file's bytes
// before anything is read into the sink.
bool LoadNotesFile(IFileSystem& fs, const std::string& strPath, INotesSink& sink,
                   std::optional<uint64_t>* pDigest = nullptr);
