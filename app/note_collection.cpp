#include "app/note_collection.h"

#include "app/sticky_note_app.h"
#include "notes/note_dlg.h"
#include "notes/note_messages.h"
#include "notes/note_rules.h"
#include "storage/file_win.h"
#include "storage/notes_file.h"

#include <algorithm>
#include <exception>

namespace {

std::string PathKey(const std::string& strPath)
{
    std::string key = FullPath(strPath);
    CharLowerBuffA(&key[0], static_cast<DWORD>(key.size()));
    return key;
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
    if (!(m_makeWindow ? m_makeWindow(*note, m_hWndOwner) : note->CreateNote(m_hWndOwner))) {
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
    CNoteDlg* note = *it;
    m_noteList.erase(it);
    delete note;  // the window goes with it, without telling us again
    Changed(kChangedByUser);
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
    try {
        result.bOpened = LoadNotesFile(fs, strPath, read, &baseline->nDigest);
    } catch (...) {
        failure = std::current_exception();  // the notes read before the damage stay
    }
    if (read.nMode)
        SetShowHidden(*read.nMode, kChangedByFile);
    baseline->notes = std::move(read.notes);
    m_baseline = baseline;  // the local one keeps the notes while their windows are made
    const size_t nShown = AddEntries(baseline->notes);
    if (nShown < baseline->notes.size()) {
        // Windows has no room for more windows: the notes shown stay, and
        // the file must not be saved over with fewer without a word.
        result.nNotShown = read.nCount - nShown;
        RememberShortFile(strPath, {read.nCount, nShown});
    } else {
        m_shortFiles.erase(PathKey(strPath));  // shown whole now: a save writes them all
    }
    Changed(kChangedByFile);
    if (failure)
        std::rethrow_exception(failure);
    return result;
}

size_t CNoteCollection::AddEntries(const std::vector<NoteEntry>& entries)
{
    m_bAdding = true;
    struct Done {
        bool& bAdding;
        ~Done() { bAdding = false; }
    } done{m_bAdding};
    const size_t nBefore = m_noteList.size();
    size_t nShown = 0;
    while (nShown < entries.size() && Add(&entries[nShown].record, entries[nShown].strText))
        ++nShown;
    GiveFocusToLastAdded(nBefore);
    return nShown;
}

void CNoteCollection::GiveFocusToLastAdded(size_t nBefore) const
{
    size_t nAdded = m_noteList.size() - nBefore;
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

void CNoteCollection::RememberShortFile(const std::string& strPath, ShortFile shortFile)
{
    m_shortFiles[PathKey(strPath)] = shortFile;
}

void CNoteCollection::Save(const std::string& strPath)
{
    CWinFileSystem fs;
    auto written = std::make_shared<NotesBaseline>();
    written->notes = TypedEntries();
    written->nDigest = SaveNotesFile(fs, strPath, m_bShowHidden, written->notes);
    m_shortFiles.erase(PathKey(strPath));  // it holds what was written now
    if (strPath == m_strFileName)
        m_baseline = std::move(written);
}

FileChange CNoteCollection::CheckFile() const
{
    CWinFileSystem fs;
    return CheckNotesFile(fs, m_strFileName, *m_baseline);
}

size_t CNoteCollection::Merge(const std::vector<NoteEntry>& changed)
{
    const std::vector<NoteEntry> incoming = NotesToMerge(changed, TypedEntries(), m_baseline->notes);
    const size_t nShown = AddEntries(incoming);
    Changed(kChangedByFile);
    return incoming.size() - nShown;
}

void CNoteCollection::SetBaseline(std::shared_ptr<const NotesBaseline> baseline)
{
    m_baseline = baseline ? std::move(baseline) : std::make_shared<const NotesBaseline>();
}

std::vector<NoteEntry> CNoteCollection::TypedEntries() const
{
    std::vector<NoteEntry> notes;
    notes.reserve(m_noteList.size());
    for (const CNoteDlg* note : m_noteList)
        notes.push_back({note->TypedText(), note->GetRecord()});
    return notes;
}
