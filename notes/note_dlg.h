#pragma once
// A note: a small yellow window without a title bar holding up to 150
// characters. The controller creates it and is the only one that ends it.
#include "base/dialog.h"
#include "base/handle.h"
#include "storage/notes_layout.h"

#include <cstdint>
#include <string>

class CArchive;

class CNoteDlg : public CDialog {
public:
    CNoteDlg();
    ~CNoteDlg() override;

    // Creates the window from the note template, owned by the controller.
    bool CreateNote(HWND hWndController);

    int32_t GetHiddenFlag() const { return m_bHidden; }
    void SetHiddenFlag(int32_t bHidden) { m_bHidden = bHidden; }
    std::string GetText() const;
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
    void ApplyVisibility();
    void ApplyAlwaysOnTop(UINT extraFlags);

    // Alarm handlers (note_alarm.cpp).
    void OnTimer(UINT_PTR nIDEvent);
    void OnAlarmSettings();
    // The clock was set or the machine woke up: re-arm from the present.
    void OnClockChanged();

    UniqueBrush m_brush;
    RECT m_rcSaved = {};          // screen rectangle, written to the file
    int32_t m_bAlarmEnabled = 0;
    int32_t m_nAlarmTime = 0;
    UINT_PTR m_nAlarmTimer = 0;
    bool m_bLoaded = false;       // created from a file record
    int32_t m_bAlwaysOnTop = 0;
    int32_t m_bHidden = 0;
};
