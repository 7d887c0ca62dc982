#pragma once
// Saving a notes file without ever destroying the old one, and loading one.
#include "storage/archive.h"
#include "storage/file.h"
#include "storage/notes_layout.h"

#include <memory>
#include <string>
#include <vector>

// The few file-system operations a save and a load need.
class IFileSystem {
public:
    virtual ~IFileSystem() = default;
    // Creates a new, empty, uniquely named file in strFolder ("" = the
    // current folder), open for writing; raises CFileException on failure.
    virtual std::unique_ptr<CFile> CreateTempFile(const std::string& strFolder,
                                                  std::string& strTempPath) = 0;
    // Opens an existing file for reading, exclusively; nullptr if it cannot.
    virtual std::unique_ptr<CFile> OpenForReading(const std::string& strPath) = 0;
    // Puts strFrom in the place of strTo (which may or may not exist) in one
    // step; raises CFileException on failure, leaving strTo as it was.
    virtual void Replace(const std::string& strFrom, const std::string& strTo) = 0;
    // Best effort: used only to clean up after a failure.
    virtual void Remove(const std::string& strPath) noexcept = 0;
};

// The folder part of a path, up to and with its last separator or drive
// colon ("" for a bare name).
std::string FolderOf(const std::string& strPath);

// Writes the collection to a new file next to strPath and then puts it in
// strPath's place. On any failure the old file is left byte for byte as it
// was, the new file is removed, and the failure is raised with
// m_strFileName = strPath (CTooManyNotesException before anything is made).
void SaveNotesFile(IFileSystem& fs, const std::string& strPath, int32_t nShowHiddenMode,
                   const std::vector<NoteEntry>& notes);

// Returns false, having done nothing, when strPath cannot be opened for
// reading. Otherwise reads it into the sink and returns true; a failure on
// the way is raised with m_strFileName = strPath, after the sink received
// every note read completely.
bool LoadNotesFile(IFileSystem& fs, const std::string& strPath, INotesSink& sink,
                   WideToNarrowFn pfnWideToNarrow = Latin1FromWide);
