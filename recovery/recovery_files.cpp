#include "recovery/recovery_files.h"

#include "storage/archive.h"
#include "storage/exceptions.h"
#include "storage/notes_file.h"

namespace {

// A path is far shorter; a longer file is not ours.
constexpr uint32_t kMaxNameBytes = 32768;

}  // namespace

bool CopyIsSaved(IFileSystem& fs, const RecoverySnapshot& copy)
{
    if (copy.strFileName.empty())
        return false;
    NotesRead onDisk;
    try {
        if (LoadNotesFile(fs, copy.strFileName, onDisk) != LoadOutcome::whole)
            return false;
    } catch (const std::exception&) {
        return false;  // a damaged file holds less than a whole copy
    }
    return onDisk.nMode == copy.nShowHiddenMode && onDisk.notes == copy.notes;
}

void CRecoveryFiles::Write(const RecoverySnapshot& snapshot)
{
    m_fs.MakeFolder(m_strFolder);
    SaveFileSafely(m_fs, CopyPath(), [&](CFile& file) {
        CArchive ar(file, CArchive::store);
        WriteNotes(ar, snapshot.nShowHiddenMode, snapshot.notes);
        if (snapshot.baseline)
            WriteBaseline(ar, *snapshot.baseline, snapshot.shortFile);
        ar.Close();
    });
    // The copy first: should the name fail, a restore saves the notes into
    // the file named before, which loses nothing.
    if (m_strNameWritten == snapshot.strFileName)
        return;
    m_strNameWritten.reset();
    SaveFileSafely(m_fs, NamePath(), [&](CFile& file) {
        file.Write(snapshot.strFileName.data(), static_cast<uint32_t>(snapshot.strFileName.size()));
    });
    m_strNameWritten = snapshot.strFileName;
}

void CRecoveryFiles::Remove() noexcept
{
    m_fs.Remove(CopyPath());
    m_fs.Remove(NamePath());
    m_strNameWritten.reset();
}

FoundRecovery CRecoveryFiles::Read()
{
    FoundRecovery found;
    NotesRead read;
    if (std::unique_ptr<CFile> pCopy = m_fs.OpenForReading(CopyPath())) {
        found.bPresent = true;
        try {
            CArchive ar(*pCopy, CArchive::load);
            ReadNotes(ar, read);
            found.copy.baseline = ReadBaseline(ar, &found.copy.shortFile);
        } catch (const std::exception&) {
            found.bDamaged = true;
        }
    }
    found.copy.nShowHiddenMode = read.nMode.value_or(0);
    found.copy.notes = std::move(read.notes);
    if (std::unique_ptr<CFile> pName = m_fs.OpenForReading(NamePath())) {
        try {
            char buffer[4096];
            uint32_t nGot;
            while ((nGot = pName->Read(buffer, sizeof buffer)) > 0 && found.copy.strFileName.size() < kMaxNameBytes)
                found.copy.strFileName.append(buffer, nGot);
        } catch (const std::exception&) {
            found.copy.strFileName.clear();  // a cut name would point at another file
        }
        if (found.copy.strFileName.size() >= kMaxNameBytes)
            found.copy.strFileName.clear();
    }
    return found;
}

void CRecoveryFiles::KeepAsPrevious()
{
    m_fs.Replace(CopyPath(), PreviousPath());
    m_fs.Remove(NamePath());
    m_strNameWritten.reset();
}
