#pragma once
// Every note of the run, in creation order (the order a notes file keeps),
// with the current notes file's name and the show-hidden-notes mode.
#include <windows.h>

#include <cstdint>
#include <list>
#include <string>

class CNoteDlg;
class CStickyNoteApp;
struct NoteRecord;

class CNoteCollection {
public:
    // The application keeps the copy of the mode that notes read.
    explicit CNoteCollection(CStickyNoteApp& app) : m_app(app) {}
    // Notes still there go with the collection (a start that failed).
    ~CNoteCollection() { DeleteAll(); }
    CNoteCollection(const CNoteCollection&) = delete;
    CNoteCollection& operator=(const CNoteCollection&) = delete;

    // The window that owns every note.
    void SetOwner(HWND hWndOwner) { m_hWndOwner = hWndOwner; }

    bool Empty() const { return m_noteList.empty(); }
    size_t Count() const { return m_noteList.size(); }

    // A new note at the pointer, or one from a file's record with its text;
    // null when its window cannot be made.
    CNoteDlg* Add(const NoteRecord* pRecord = nullptr, const std::u16string& strText = std::u16string());
    // Ends the note whose window this is; a stale request for a note that is
    // gone already changes nothing.
    void Delete(HWND hWndNote);
    void DeleteAll();
    // Marks every note hidden.
    void HideAll();

    int32_t GetShowHidden() const { return m_bShowHidden; }
    // The one place the mode changes: the application's copy and every note
    // follow at once.
    void SetShowHidden(int32_t bShowHidden);

    const std::string& GetFileName() const { return m_strFileName; }
    void SetFileName(const std::string& strFileName) { m_strFileName = strFileName; }

    // Adds the notes of a file; false, having done nothing, when it cannot
    // be opened. A failure while reading is raised after the complete notes
    // were added and the file's mode applied.
    bool Load(const std::string& strPath);
    // Writes every note; a failure is raised and leaves the old file as it was.
    void Save(const std::string& strPath) const;

private:
    CStickyNoteApp& m_app;
    HWND m_hWndOwner = nullptr;
    std::list<CNoteDlg*> m_noteList;
    std::string m_strFileName;
    int32_t m_bShowHidden = 0;
};
