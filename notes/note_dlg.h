#pragma once
// A note: a small yellow window without a title bar holding up to 150
// UTF-16 code units of any script. The controller creates it and is the only one that ends it.
#include "base/dialog.h"
#include "base/handle.h"
#include "notes/note_alarm.h"
#include "notes/note_edit.h"
#include "notes/rect_tracker.h"
#include "storage/notes_layout.h"

#include <cstdint>
#include <functional>
#include <string>

class INoteHost;

// Puts a note window into the topmost band or back into the normal one,
// with the given SetWindowPos flags (besides no move and no size).
void SetNoteTopmost(HWND hWndNote, bool bTopmost, UINT flags);

class CNoteDlg : public CDialog {
public:
    explicit CNoteDlg(const INoteHost& host);
    // Destroys the window if it still exists (the controller's single delete).
    ~CNoteDlg() override;

    // Creates the window from the note template, owned by the controller.
    bool CreateNote(HWND hWndController);
    // Called as the window goes, whatever destroys it (Delete All, Quit, its
    // owner's end), just before the note deletes itself: whoever lists the
    // note forgets it there, so that no list ever holds a freed note.
    using EndHandler = std::function<void(CNoteDlg* pNote)>;
    void SetEndHandler(EndHandler onEnd) { m_onEnd = std::move(onEnd); }

    int32_t GetHiddenFlag() const { return m_edit.m_bHidden; }
    void SetHiddenFlag(int32_t bHidden) { m_edit.m_bHidden = bHidden; }
    // Shows or hides the window as its hidden flag and the host's mode say.
    void ApplyVisibility();
    std::u16string GetText() const;
    // The text as the editor last reported it (typed, pasted, undone or set
    // from outside): saving and the recovery copy ask no window.
    const std::u16string& TypedText() const { return m_strTyped; }

    // The persisted state apart from the text.
    NoteRecord GetRecord() const;
    // Takes a note read from a file: the window, created next, goes to the
    // saved top-left corner instead of the pointer, and appears with its text.
    void LoadRecord(const NoteRecord& record, const std::u16string& text);

protected:
    BOOL OnInitDialog() override;
    // A note holds the user's text: Enter, Esc and the close command never end it.
    void OnOK() override {}
    void OnCancel() override {}
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
    bool OnCommand(WORD nID, WORD nCode, HWND hCtl) override;
    // The window is gone: the note ends with it.
    void PostNcDestroy() override;

private:
    // The program's own text is never cut to the typing limit.
    void SetText(const std::u16string& text);
    void PlaceNewNote();
    // A window lying wholly outside every monitor comes back into the
    // nearest one's work area; the saved rectangle is left alone.
    void KeepOnScreen();
    void MoveIntoView(const RECT& window, UINT nShowFlag);
    void UseFallbackFontIfMissing();
    void OnLButtonDown(POINT pt);
    void ApplyAlwaysOnTop();
    void OnApplyVisibility(WPARAM nWhy);

    const INoteHost& m_host;
    RECT m_rcHome = {};           // the window's own rectangle in its client coordinates
    RECT m_rcSaved = {};          // screen rectangle, written to the file
    CRectTracker m_tracker;
    CNoteAlarm m_alarm;
    bool m_bLoaded = false;       // created from a file record
    CNoteEdit m_edit;             // the text, the two window flags, the context menu
    UniqueGdiObject m_fallbackFont;
    std::u16string m_strTyped;
    EndHandler m_onEnd;
};
