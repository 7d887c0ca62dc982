#pragma once
// Every note of the run, in creation order (the order a notes file keeps),
// with the current notes file's name and the show-hidden-notes mode.
#include "app/controller_rules.h"
#include "notes/note_messages.h"
#include "storage/notes_merge.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CNoteDlg;
class CStickyNoteApp;
struct NoteEntry;
struct NoteRecord;
struct RecoverySnapshot;

class CNoteCollection {
public:
    // The application keeps the copy of the mode that notes read.
    explicit CNoteCollection(CStickyNoteApp& app) : m_app(app) {}
    // Notes still there go with the collection (a start that failed).
    ~CNoteCollection() { DeleteAll(); }
    CNoteCollection(const CNoteCollection&) = delete;
    CNoteCollection& operator=(const CNoteCollection&) = delete;

    // The window that owns every note, and is told of every change as
    // WM_NOTECHANGED: the notes post their own, the collection those it
    // makes (a note created or deleted, all hidden, the mode or the file
    // name set).
    void SetOwner(HWND hWndOwner) { m_hWndOwner = hWndOwner; }

    bool Empty() const { return m_noteList.empty(); }
    size_t Count() const { return m_noteList.size(); }

    // A new note at the pointer (a change), or one from a file's record with
    // its text (none: its reader tells); null when its window cannot be made.
    CNoteDlg* Add(const NoteRecord* pRecord = nullptr, const std::u16string& strText = std::u16string());
    // Ends the note whose window this is; a stale request for a note that is
    // gone already changes nothing.
    void Delete(HWND hWndNote);
    void DeleteAll();
    // Marks every note hidden.
    void HideAll();
    // The windows of the notes that should be on screen.
    std::vector<HWND> ShownWindows() const;

    int32_t GetShowHidden() const { return m_bShowHidden; }
    // The one place the mode changes: the application's copy and every note
    // follow at once. nBy: the user's toggle, or a file read.
    void SetShowHidden(int32_t bShowHidden, WPARAM nBy = kChangedByUser);

    const std::string& GetFileName() const { return m_strFileName; }
    void SetFileName(const std::string& strFileName);

    struct LoadResult {
        bool bOpened = false;
        size_t nNotShown = 0;  // the file's notes left out when a note window could not be made
    };
    // Makes strPath the current file and adds its notes; not opened, having
    // added nothing, when it cannot be. Loading stops at the first note
    // whose window cannot be made: the notes shown stay. A failure while
    // reading is raised after the complete notes were added and the file's
    // mode applied. Notes read are no change of the user's: they are what
    // the file holds, and what was read becomes the baseline.
    LoadResult Load(const std::string& strPath);
    // Takes back a recovery copy's notes, mode, file name and baseline as a
    // load would; the number of its notes shown. The caller says they are
    // unsaved.
    size_t Restore(const RecoverySnapshot& copy);
    // Making a window lets other programs' sent messages in: true while
    // notes are added, so that a command sent meanwhile can wait for the
    // notes to be all there.
    bool Adding() const { return m_bAdding; }
    // Writes every note; a failure is raised and leaves the old file as it
    // was. Written onto the current file, the notes become its baseline.
    void Save(const std::string& strPath);

    // The current file as Driftpad last read or wrote it; shared with the
    // recovery copy's snapshots, never null. A file name set anew knows nothing.
    std::shared_ptr<const NotesBaseline> Baseline() const { return m_baseline; }
    // The current file now, against its baseline.
    FileChange CheckFile() const;
    // Whether the current file moved on from the version checked.
    bool ChangedSince(const FileChange& change) const;
    // Brings what was added, changed or deleted in the changed current file
    // onto the screen, keeping what was changed here; the number of incoming
    // notes that found no room. With all of them shown, the changed file
    // becomes the baseline. A change from the file: unsaved notes stay unsaved.
    size_t Merge(const FileChange& change);
    // The end of a session: the current file written, merged as data when it
    // changed elsewhere, unless that needs a question (a file not read or
    // shown whole, or not readable now): false then, with nothing written.
    bool SaveAtSessionEnd();
    // The notes of strPath that a load (or a restore of notes from it)
    // could not show, until a save writes it again; 0 for any other file.
    // Notes from other files do not make up for them.
    ShortFile NotesLeftOutOf(const std::string& strPath) const;

    // Every note with the text it holds as typed, without asking its window.
    std::vector<NoteEntry> TypedEntries() const;

private:
    // The one way a whole collection comes in, from its file or a recovery
    // copy: the mode (none: kept), the file's name and baseline, then the
    // notes. shortFile: what the file lacked before any window was made;
    // while notes are left out, counted as they are shown, a save over the
    // file asks first. The number shown.
    size_t Take(const std::vector<NoteEntry>& notes, std::optional<int32_t> nMode, const std::string& strFileName,
                std::shared_ptr<const NotesBaseline> baseline, ShortFile shortFile);
    // Notes in order until one's window cannot be made; the number shown.
    // They are shown without the focus (each taking it in turn keeps the
    // desktop busy): the last on screen takes it. No change: the caller
    // says what they are. onShown, when given, hears of each.
    size_t AddEntries(const std::vector<NoteEntry>& entries, const std::function<void(size_t)>& onShown = nullptr);
    void Changed(WPARAM nBy) const;
    // Ends a note without a word: the caller says what the change was.
    void End(std::list<CNoteDlg*>::iterator it);
    // Writes the notes to strPath; what was written, for a baseline.
    std::shared_ptr<const NotesBaseline> Write(const std::string& strPath, int32_t nMode, std::vector<NoteEntry> notes);
    void GiveFocusToLastAdded(size_t nBefore) const;
    // A note whose window went: out of the list before it deletes itself.
    void Forget(CNoteDlg* pNote);

    CStickyNoteApp& m_app;
    HWND m_hWndOwner = nullptr;
    std::list<CNoteDlg*> m_noteList;
    std::string m_strFileName;
    int32_t m_bShowHidden = 0;
    std::map<std::wstring, ShortFile> m_shortFiles;  // by PathKey
    std::shared_ptr<const NotesBaseline> m_baseline = std::make_shared<const NotesBaseline>();
    bool m_bAdding = false;
};
