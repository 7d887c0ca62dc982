#include "app/recovery_files.h"

#include "storage/archive.h"
#include "storage/exceptions.h"
#include "storage/notes_file.h"

#include <algorithm>

namespace {

struct CollectingSink : INotesSink {
    explicit CollectingSink(RecoverySnapshot& copy) : m_copy(copy) {}
    void OnShowHiddenMode(int32_t nMode) override { m_copy.nShowHiddenMode = nMode; }
    void OnNote(const std::u16string& strText, const NoteRecord& record) override { m_copy.notes.push_back({strText, record}); }
    RecoverySnapshot& m_copy;
};

// A path is far shorter; a longer file is not ours.
constexpr uint32_t kMaxNameBytes = 32768;

}  // namespace

bool CopyIsSaved(IFileSystem& fs, const RecoverySnapshot& copy)
{
    if (copy.strFileName.empty())
        return false;
    RecoverySnapshot onDisk;
    CollectingSink sink(onDisk);
    try {
        if (!LoadNotesFile(fs, copy.strFileName, sink))
            return false;
    } catch (const std::exception&) {
        return false;  // a damaged file holds less than a whole copy
    }
    auto same = [](const NoteEntry& a, const NoteEntry& b) { return a.strText == b.strText && a.record == b.record; };
    return onDisk.nShowHiddenMode == copy.nShowHiddenMode && onDisk.notes.size() == copy.notes.size()
           && std::equal(copy.notes.begin(), copy.notes.end(), onDisk.notes.begin(), same);
}

void CRecoveryFiles::Write(const RecoverySnapshot& snapshot)
{
    m_fs.MakeFolder(m_strFolder);
    SaveNotesFile(m_fs, CopyPath(), snapshot.nShowHiddenMode, snapshot.notes);
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
    CollectingSink sink(found.copy);
    try {
        found.bPresent = LoadNotesFile(m_fs, CopyPath(), sink);
    } catch (const std::exception&) {
        found.bPresent = found.bDamaged = true;
    }
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
