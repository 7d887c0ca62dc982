// Moving the collection between the screen and a notes file.
#include "app/sticky_note_dlg.h"

#include "app/sticky_note_app.h"
#include "notes/note_dlg.h"
#include "storage/file_win.h"
#include "storage/notes_file.h"

namespace {

// Builds each note as its entry arrives complete: a note whose record the
// file cannot finish never appears.
class NoteCreatingSink : public INotesSink {
public:
    NoteCreatingSink(HWND hWndController, std::list<CNoteDlg*>& noteList, int32_t& bShowHidden)
        : m_hWndController(hWndController), m_noteList(noteList), m_bShowHidden(bShowHidden)
    {
    }

    void OnShowHiddenMode(int32_t nMode) override { m_bShowHidden = nMode; }

    void OnNote(const std::string& strText, const NoteRecord& record) override
    {
        auto* note = new CNoteDlg;
        note->LoadRecord(record);
        m_noteList.push_back(note);
        if (!note->CreateNote(m_hWndController)) {
            m_noteList.pop_back();
            delete note;
            return;
        }
        note->SetText(strText);
    }

private:
    HWND m_hWndController;
    std::list<CNoteDlg*>& m_noteList;
    int32_t& m_bShowHidden;
};

}  // namespace

void CStickyNoteDlg::LoadNotesFile(const std::string& path)
{
    if (path.empty())
        return;
    NoteCreatingSink sink(m_hWnd, m_noteList, m_bShowHidden);
    try {
        CWinFileSystem fs;
        if (!::LoadNotesFile(fs, path, sink, AnsiFromWide))
            return;
    } catch (...) {
        // The mode read before the failure holds for the notes read so far,
        // and the application's copy agrees with ours.
        m_pApp->m_bShowHidden = m_bShowHidden;
        ApplyShowHidden();
        throw;
    }
    m_pApp->m_bShowHidden = m_bShowHidden;
    ApplyShowHidden();
}

void CStickyNoteDlg::SaveNotesFile(const std::string& path)
{
    std::vector<NoteEntry> notes;
    notes.reserve(m_noteList.size());
    for (const CNoteDlg* note : m_noteList)
        notes.push_back({note->GetText(), note->GetRecord()});
    CWinFileSystem fs;
    ::SaveNotesFile(fs, path, m_bShowHidden, notes);
}
