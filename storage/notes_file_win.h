#pragma once
// Saving and loading notes files on disk: what the controller calls.
#include "storage/notes_layout.h"
#include "storage/safe_save.h"

#include <string>
#include <vector>

class CWinFileSystem : public IFileSystem {
public:
    std::unique_ptr<CFile> CreateTempFile(const std::string& strFolder,
                                          std::string& strTempPath) override;
    std::unique_ptr<CFile> OpenForReading(const std::string& strPath) override;
    void Replace(const std::string& strFrom, const std::string& strTo) override;
    void Remove(const std::string& strPath) noexcept override;
};

// Writes the collection to strPath through a temporary file beside it; the
// old file stays intact on any failure, which is raised with the path.
void SaveNotes(const std::string& strPath, int32_t nShowHiddenMode,
               const std::vector<NoteEntry>& notes);
// false (nothing read, nothing reported) when strPath cannot be opened;
// failures while reading are raised with the path, after the complete notes.
bool LoadNotes(const std::string& strPath, INotesSink& sink);
