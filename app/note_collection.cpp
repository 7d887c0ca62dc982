#include "app/note_collection.h"

#include "app/sticky_note_app.h"
#include "notes/note_dlg.h"
#include "storage/file_win.h"
#include "storage/notes_file.h"

#include <algorithm>

namespace {

// Builds each note as its entry arrives complete: a note whose record the
// file cannot finish never appears.
class NoteCreatingSink : public INotesSink {
public:
    explicit NoteCreatingSink(CNoteCollection& notes) : m_notes(notes) {}

    void OnShowHiddenMode(int32_t nMode) override { m_notes.SetShowHidden(nMode); }
    void OnNote(const std::u16string& strText, const NoteRecord& record) override { m_notes.Add(&record, strText); }

private:
    CNoteCollection& m_notes;
};

}  // namespace

CNoteDlg* CNoteCollection::Add(const NoteRecord* pRecord, const std::u16string& strText)
{
    auto* note = new CNoteDlg(m_app);
    if (pRecord)
        note->LoadRecord(*pRecord);
    m_noteList.push_back(note);
    if (!note->CreateNote(m_hWndOwner)) {
        m_noteList.pop_back();
        delete note;
        return nullptr;
    }
    if (pRecord)
        note->SetText(strText);
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
    delete note;
}

void CNoteCollection::DeleteAll()
{
    while (!m_noteList.empty()) {
        CNoteDlg* note = m_noteList.front();
        m_noteList.pop_front();
        DestroyWindow(note->GetSafeHwnd());  // the note deletes itself with its window
    }
}

void CNoteCollection::HideAll()
{
    for (CNoteDlg* note : m_noteList) {
        note->SetHiddenFlag(1);
        note->ApplyVisibility();
    }
}

void CNoteCollection::SetShowHidden(int32_t bShowHidden)
{
    m_bShowHidden = bShowHidden;
    m_app.m_bShowHidden = bShowHidden;
    for (CNoteDlg* note : m_noteList)
        note->ApplyVisibility();
}

bool CNoteCollection::Load(const std::string& strPath)
{
    if (strPath.empty())
        return false;
    CWinFileSystem fs;
    NoteCreatingSink sink(*this);
    return LoadNotesFile(fs, strPath, sink);
}

void CNoteCollection::Save(const std::string& strPath) const
{
    std::vector<NoteEntry> notes;
    notes.reserve(m_noteList.size());
    for (const CNoteDlg* note : m_noteList)
        notes.push_back({note->GetText(), note->GetRecord()});
    CWinFileSystem fs;
    SaveNotesFile(fs, strPath, m_bShowHidden, notes);
}
