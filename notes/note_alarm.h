#pragma once
// A note's alarm: timer 1029 armed for the alarm time, the notice when it
// goes off, and the Alarm Settings dialog. Part of the note, and gone with it.
#include <windows.h>

#include <cstdint>

class CNoteDlg;
class INoteHost;

class CNoteAlarm {
public:
    CNoteAlarm(CNoteDlg& note, const INoteHost& host) : m_note(note), m_host(host) {}
    CNoteAlarm(const CNoteAlarm&) = delete;
    CNoteAlarm& operator=(const CNoteAlarm&) = delete;

    // Arms the timer for a set alarm (the note's window exists).
    void ArmIfSet();

    // The window messages of the alarm.
    void OnTimer(UINT_PTR nIDEvent);
    // The notice closed with IDOK, IDCANCEL or -1 (Delete).
    void OnNoticeClosed(INT_PTR nResult);
    void OnAlarmSettings();
    // The clock was set or the machine woke up: re-arm from the present.
    void OnClockChanged();

    // Flags keep the value stored in the file; any nonzero value is set.
    int32_t m_bAlarmEnabled = 0;
    int32_t m_nAlarmTime = 0;

private:
    void Arm(int32_t nTime);
    void Disarm();
    // A modal loop lets the tray delete notes meanwhile, and this alarm
    // ends with its note: after one, only a note still there goes on.
    bool NoteStillThere(HWND hWnd) const;

    CNoteDlg& m_note;
    const INoteHost& m_host;
    UINT_PTR m_nAlarmTimer = 0;
};
