#pragma once
// The "Note Alarm!" notice: the note's text, OK and Delete.
#include "base/dialog.h"

#include <string>

class CAlarmNoticeDlg : public CDialog {
public:
    explicit CAlarmNoticeDlg(const std::u16string& strText);

    // Runs the notice modally: IDOK, IDCANCEL (Esc, the close box) or -1
    // (Delete); 0 when it could not be shown, which asks for nothing.
    INT_PTR Run();

    std::u16string m_strText;

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD nID, WORD nCode, HWND hCtl) override;

private:
    void OnDelete();

    bool m_bShown = false;
};

// Plays the alarm sound on a thread of its own, which nobody waits for;
// without a thread there is no sound and nothing else changes.
void StartAlarmSound(const char* strSoundName);
