#pragma once
// The recovery copy's files: the whole collection in a notes file of its
// own, kept while notes are unsaved, so that a crash, a kill or a power cut
// loses nothing typed.
#include "storage/file_system.h"
#include "storage/notes_merge.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// What the copy keeps: the collection, the name of its notes file, and
// what that file held when last read or written (so that a change made
// elsewhere while Driftpad was down is still noticed).
struct RecoverySnapshot {
    int32_t nShowHiddenMode = 0;
    std::vector<NoteEntry> notes;
    std::string strFileName;
    std::shared_ptr<const NotesBaseline> baseline;  // none: nothing known
    ShortFile shortFile;  // the file's notes were not all on screen: a save over it asks
};

// A copy found at start-up.
struct FoundRecovery {
    bool bPresent = false;
    bool bDamaged = false;  // it could not be read whole: notes holds what came before the damage
    RecoverySnapshot copy;
};

// Whether a copy holds exactly what its notes file holds on disk (the
// mode and every note): such a copy has nothing to recover.
bool CopyIsSaved(IFileSystem& fs, const RecoverySnapshot& copy);

// Recovery.dpd, the current file's name beside it in Recovery.txt, and
// Recovery.previous.dpd, all in one folder.
class CRecoveryFiles {
public:
    // strFolder ends with a separator.
    CRecoveryFiles(IFileSystem& fs, std::string strFolder) : m_fs(fs), m_strFolder(std::move(strFolder)) {}

    std::string CopyPath() const { return m_strFolder + "Recovery.dpd"; }
    std::string NamePath() const { return m_strFolder + "Recovery.txt"; }
    std::string PreviousPath() const { return m_strFolder + "Recovery.previous.dpd"; }

    // The folder is made when missing; the copy, then its name (when it
    // changed), each by the save that never destroys the old file. A
    // failure is raised and leaves the files that were there whole.
    void Write(const RecoverySnapshot& snapshot);
    void Remove() noexcept;
    FoundRecovery Read();
    // The copy becomes Recovery.previous.dpd, replacing an older one.
    void KeepAsPrevious();

private:
    IFileSystem& m_fs;
    std::string m_strFolder;
    std::optional<std::string> m_strNameWritten;  // what Recovery.txt holds, when known
};
