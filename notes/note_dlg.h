#pragma once
// A note: a small yellow window without a title bar holding up to 150
// characters. The controller creates it and is the only one that ends it.
#include "base/dialog.h"
#include "base/handle.h"
#include "notes/note_edit.h"
#include "notes/rect_tracker.h"
#include "storage/notes_layout.h"

#include <cstdint>
#include <string>

class CNoteDlg : public CDialog {
public:
    CNoteDlg();
    // Destroys the window if it still exists (the controller's single delete).
    ~CNoteDlg() override;

    // Creates the window from the note template, owned by the controller.
    bool CreateNote(HWND hWndController);

    int32_t GetHiddenFlag() const { return m_edit.m_bHidden; }
    void SetHiddenFlag(int32_t bHidden) { m_edit.m_bHidden = bHidden; }
    std::string GetText() const;
    // The program's own text is never cut to the typing limit.
    void SetText(const std::string& text);

    // The persisted state apart from the text.
    NoteRecord GetRecord() const;
    // Takes a record read from a file: the window, created next, goes to
    // the saved top-left corner instead of the pointer.
    void LoadRecord(const NoteRecord& record);

    // Alarm (note_alarm.cpp): arms timer 1029 for the given time value.
    void SetAlarmTimer(int32_t nTime);

protected:
    BOOL OnInitDialog() override;
    // A note holds the user's text: Enter, Esc and the close command never end it.
    void OnOK() override {}
    void OnCancel() override {}
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
    // The window is gone: the note ends with it.
    void PostNcDestroy() override { delete this; }

private:
    void PlaceNewNote();
    // A window lying wholly outside every monitor comes back into the
    // nearest one's work area; the saved rectangle is left alone.
    void KeepOnScreen();
    void UseFallbackFontIfMissing();
    void OnLButtonDown(POINT pt);
    void ApplyVisibility();
    void ApplyAlwaysOnTop(UINT extraFlags);

    // Alarm handlers (note_alarm.cpp).
    void OnTimer(UINT_PTR nIDEvent);
    void OnAlarmSettings();
    // The clock was set or the machine woke up: re-arm from the present.
    void OnClockChanged();

    UniqueBrush m_brush;
    RECT m_rcHome = {};           // the window's own rectangle in its client coordinates
    RECT m_rcSaved = {};          // screen rectangle, written to the file
    CRectTracker m_tracker;
    int32_t m_bAlarmEnabled = 0;
    int32_t m_nAlarmTime = 0;
    UINT_PTR m_nAlarmTimer = 0;
    bool m_bLoaded = false;       // created from a file record
    CNoteEdit m_edit;             // the text, the two window flags, the context menu
    UniqueHandle<GdiObjectTraits> m_fallbackFont;
};
