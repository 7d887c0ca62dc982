#include "app/note_collection.h"

#include "app/sticky_note_app.h"
#include "notes/note_dlg.h"
#include "notes/note_messages.h"
#include "notes/note_rules.h"
#include "recovery/recovery_files.h"
#include "storage/file_win.h"
#include "storage/merge_plan.h"
#include "storage/notes_file.h"

#include <algorithm>
#include <exception>

namespace {

std::shared_ptr<const NotesBaseline> BaselineOf(const FileChange& change)
{
    auto baseline = std::make_shared<NotesBaseline>();
    baseline->nDigest = change.nDigest;
    baseline->notes = change.notes;
    baseline->nMode = change.nMode;
    return baseline;
}

}  // namespace

// Sent, not posted: the change is known before anything that follows it on
// this thread, a Save sent by another program included.
void CNoteCollection::Changed(WPARAM nBy) const
{
    SendMessageA(m_hWndOwner, WM_NOTECHANGED, nBy, 0);
}

void CNoteCollection::SetFileName(const std::string& strFileName)
{
    if (strFileName == m_strFileName)
        return;
    m_strFileName = strFileName;
    m_baseline = std::make_shared<const NotesBaseline>();  // nothing known of that file yet
    Changed(kChangedByFile);  // the recovery copy carries it
}

CNoteDlg* CNoteCollection::Add(const NoteRecord* pRecord, const std::u16string& strText)
{
    auto* note = new CNoteDlg(m_app);
    if (pRecord)
        note->LoadRecord(*pRecord, strText);
    m_noteList.push_back(note);
    if (!note->CreateNote(m_hWndOwner)) {
        m_noteList.pop_back();
        delete note;
        return nullptr;
    }
    note->SetEndHandler([this](CNoteDlg* pNote) { Forget(pNote); });
    if (!pRecord)
        Changed(kChangedByUser);
    return note;
}

void CNoteCollection::Delete(HWND hWndNote)
{
    // A note is known by its window, in requests and in alarms alike.
    const CDialog* dialog = CDialog::FromHandle(hWndNote);
    auto it = std::find_if(m_noteList.begin(), m_noteList.end(),
                           [dialog](const CNoteDlg* note) { return note == dialog; });
    if (it == m_noteList.end())
        return;
    End(it);
    Changed(kChangedByUser);
}

void CNoteCollection::End(std::list<CNoteDlg*>::iterator it)
{
    CNoteDlg* note = *it;
    m_noteList.erase(it);
    delete note;  // the window goes with it, without telling us again
}

void CNoteCollection::Forget(CNoteDlg* pNote)
{
    // Delete All ends the notes from the front.
    auto it = std::find(m_noteList.begin(), m_noteList.end(), pNote);
    if (it != m_noteList.end())
        m_noteList.erase(it);
}

void CNoteCollection::DeleteAll()
{
    if (!m_noteList.empty())
        Changed(kChangedByUser);
    while (!m_noteList.empty()) {
        CNoteDlg* note = m_noteList.front();
        // The note leaves the list and deletes itself with its window;
        // still first, its window could not be destroyed: ours to end.
        DestroyWindow(note->GetSafeHwnd());
        if (!m_noteList.empty() && m_noteList.front() == note) {
            m_noteList.pop_front();
            delete note;
        }
    }
}

void CNoteCollection::HideAll()
{
    for (CNoteDlg* note : m_noteList) {
        note->SetHiddenFlag(1);
        note->ApplyVisibility();
    }
    Changed(kChangedByUser);
}

std::vector<HWND> CNoteCollection::ShownWindows() const
{
    std::vector<HWND> windows;
    for (const CNoteDlg* note : m_noteList)
        if (IsNoteOnScreen(note->GetHiddenFlag(), m_bShowHidden))
            windows.push_back(note->GetSafeHwnd());
    return windows;
}

void CNoteCollection::SetShowHidden(int32_t bShowHidden, WPARAM nBy)
{
    m_bShowHidden = bShowHidden;
    m_app.m_bShowHidden = bShowHidden;
    for (CNoteDlg* note : m_noteList)
        note->ApplyVisibility();
    Changed(nBy);
}

CNoteCollection::LoadResult CNoteCollection::Load(const std::string& strPath)
{
    LoadResult result;
    if (strPath.empty())
        return result;
    // Read whole before any window is made: making windows lets other
    // programs' messages in (a Save among them), and the file must not be
    // held then.
    CWinFileSystem fs;
    NotesRead read;
    auto baseline = std::make_shared<NotesBaseline>();
    std::exception_ptr failure;
    LoadOutcome outcome = LoadOutcome::missing;
    try {
        outcome = LoadNotesFile(fs, strPath, read, &baseline->nDigest);
    } catch (...) {
        failure = std::current_exception();  // the notes read before the damage stay
    }
    result.bOpened = outcome != LoadOutcome::missing;
    baseline->nMode = read.nMode.value_or(m_bShowHidden);
    baseline->notes = std::move(read.notes);
    const size_t nRead = baseline->notes.size();
    const bool bNotReadWhole = failure || outcome == LoadOutcome::notWhole || read.nCount > nRead;
    // The local baseline keeps the notes while their windows are made.
    const size_t nShown = Take(baseline->notes, read.nMode, strPath, baseline, {0, 0, bNotReadWhole});
    if (nShown < nRead)
        result.nNotShown = std::max(read.nCount, nRead) - nShown;  // Windows has no room for more windows
    if (failure)
        std::rethrow_exception(failure);
    return result;
}

size_t CNoteCollection::Restore(const RecoverySnapshot& copy)
{
    return Take(copy.notes, copy.nShowHiddenMode, copy.strFileName, copy.baseline, copy.shortFile);
}

size_t CNoteCollection::Take(const std::vector<NoteEntry>& notes, std::optional<int32_t> nMode,
                             const std::string& strFileName, std::shared_ptr<const NotesBaseline> baseline,
                             ShortFile shortFile)
{
    if (nMode)
        SetShowHidden(*nMode, kChangedByFile);
    SetFileName(strFileName);
    m_baseline = baseline ? std::move(baseline) : std::make_shared<const NotesBaseline>();
    // Notes the file lacked already (a copy of a file not shown whole)
    // stand; else short until every note is shown, so that the end of a
    // session meanwhile leaves the file alone, and for good when some
    // found no room.
    const std::wstring key = PathKey(strFileName);
    auto mark = [&](size_t nShown) {
        const ShortFile now = NotesLeftOut(shortFile) || nShown == notes.size()
                                  ? shortFile
                                  : ShortFile{notes.size(), nShown, shortFile.bNotReadWhole};
        if (SaveAsksFirst(now) && !strFileName.empty())
            m_shortFiles[key] = now;
        else
            m_shortFiles.erase(key);  // shown whole: a save writes them all
    };
    mark(0);
    const size_t nShown = AddEntries(notes, mark);
    Changed(kChangedByFile);
    return nShown;
}

size_t CNoteCollection::AddEntries(const std::vector<NoteEntry>& entries, const std::function<void(size_t)>& onShown)
{
    m_bAdding = true;
    struct Done {
        bool& bAdding;
        ~Done() { bAdding = false; }
    } done{m_bAdding};
    const size_t nBefore = m_noteList.size();
    size_t nShown = 0;
    while (nShown < entries.size() && Add(&entries[nShown].record, entries[nShown].strText)) {
        ++nShown;
        if (onShown)
            onShown(nShown);
    }
    GiveFocusToLastAdded(nBefore);
    return nShown;
}

void CNoteCollection::GiveFocusToLastAdded(size_t nBefore) const
{
    // A note can end while others are made: never more than the list holds.
    size_t nAdded = m_noteList.size() > nBefore ? m_noteList.size() - nBefore : 0;
    for (auto it = m_noteList.rbegin(); nAdded > 0; ++it, --nAdded) {
        if (IsNoteOnScreen((*it)->GetHiddenFlag(), m_bShowHidden)) {
            PostMessageA((*it)->GetSafeHwnd(), WM_APPLYVISIBILITY, kVisibilityTakeFocus, 0);
            return;
        }
    }
}

ShortFile CNoteCollection::NotesLeftOutOf(const std::string& strPath) const
{
    auto it = m_shortFiles.find(PathKey(strPath));
    return it == m_shortFiles.end() ? ShortFile{} : it->second;
}

void CNoteCollection::Save(const std::string& strPath)
{
    auto written = Write(strPath, m_bShowHidden, TypedEntries());
    if (SameFile(strPath, m_strFileName))
        m_baseline = std::move(written);
}

std::shared_ptr<const NotesBaseline> CNoteCollection::Write(const std::string& strPath, int32_t nMode,
                                                            std::vector<NoteEntry> notes)
{
    CWinFileSystem fs;
    auto written = std::make_shared<NotesBaseline>();
    written->nDigest = SaveNotesFile(fs, strPath, nMode, notes);
    written->notes = std::move(notes);
    written->nMode = nMode;
    m_shortFiles.erase(PathKey(strPath));  // it holds what was written now
    return written;
}

FileChange CNoteCollection::CheckFile() const
{
    CWinFileSystem fs;
    return CheckNotesFile(fs, m_strFileName, *m_baseline);
}

bool CNoteCollection::ChangedSince(const FileChange& change) const
{
    CWinFileSystem fs;
    NotesBaseline checked;
    checked.nDigest = change.nDigest;
    return CheckNotesFile(fs, m_strFileName, checked).bChanged;
}

size_t CNoteCollection::Merge(const FileChange& change)
{
    const MergePlan plan = PlanMerge({m_baseline->nMode, m_baseline->notes}, {change.nMode, change.notes},
                                     {m_bShowHidden, TypedEntries()});
    // Indices into the list as it stands. A note being typed in holds its
    // typed text, which the file never held: a change here, never taken
    // away under the caret. One that only has the focus (the last note a
    // load showed takes it) is no change, and follows the file.
    std::vector<std::list<CNoteDlg*>::iterator> notes;
    for (auto it = m_noteList.begin(); it != m_noteList.end(); ++it)
        notes.push_back(it);
    for (size_t i : plan.remove)
        End(notes[i]);
    if (plan.nMode != m_bShowHidden)
        SetShowHidden(plan.nMode, kChangedByFile);
    const size_t nShown = AddEntries(plan.add);
    Changed(kChangedByFile);
    if (nShown < plan.add.size())
        return plan.add.size() - nShown;
    // The screen holds what the file holds now: should the save that follows
    // not happen, a note deleted after this must not come back from it.
    m_baseline = BaselineOf(change);
    return 0;
}

bool CNoteCollection::SaveAtSessionEnd()
{
    if (SaveAsksFirst(NotesLeftOutOf(m_strFileName)))
        return false;
    const FileChange change = CheckFile();
    std::vector<NoteEntry> notes = TypedEntries();
    int32_t nMode = m_bShowHidden;
    if (change.bChanged) {
        // Merged as data: Windows gives a sign-out seconds, not the time to
        // make a window for each incoming note. They show at the next start.
        if (ChangedFileStepFor({false, change.bReadable}) == ChangedFileStep::leave)
            return false;
        const MergePlan plan = PlanMerge({m_baseline->nMode, m_baseline->notes}, {change.nMode, change.notes},
                                         {nMode, notes});
        notes = ApplyMerge(notes, plan);
        nMode = plan.nMode;
    }
    auto written = Write(m_strFileName, nMode, std::move(notes));
    // Merged, the screen did not take it in: should the run go on, what was
    // read before stays the baseline, so that the next Save merges again.
    if (!change.bChanged)
        m_baseline = std::move(written);
    return true;
}

std::vector<NoteEntry> CNoteCollection::TypedEntries() const
{
    std::vector<NoteEntry> notes;
    notes.reserve(m_noteList.size());
    for (const CNoteDlg* note : m_noteList)
        notes.push_back({note->TypedText(), note->GetRecord()});
    return notes;
}
