#include "notes/note_alarm.h"

#include "alarm/alarm_dlg.h"
#include "alarm/alarm_notice_dlg.h"
#include "alarm/alarm_sound.h"
#include "alarm/alarm_timer.h"
#include "alarm/local_time.h"
#include "notes/note_dlg.h"
#include "notes/note_host.h"
#include "notes/note_messages.h"

void CNoteAlarm::ArmIfSet()
{
    if (m_bAlarmEnabled)
        Arm(m_nAlarmTime);
}

void CNoteAlarm::Arm(int32_t nTime)
{
    m_nAlarmTimer = SetTimer(m_note.GetSafeHwnd(), ALARM_TIMER_ID, AlarmArmPeriod(nTime, SystemNowMs()), nullptr);
}

void CNoteAlarm::Disarm()
{
    KillTimer(m_note.GetSafeHwnd(), ALARM_TIMER_ID);
    m_nAlarmTimer = 0;
}

bool CNoteAlarm::NoteStillThere(HWND hWnd) const
{
    return CDialog::FromHandle(hWnd) == &m_note;
}

void CNoteAlarm::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != ALARM_TIMER_ID)
        return;
    HWND hWnd = m_note.GetSafeHwnd();
    // The timer counts ticks, not the wall clock, and waits one step at most.
    if (std::optional<uint32_t> wait = AlarmWaitLeft(m_nAlarmTime, SystemNowMs())) {
        m_nAlarmTimer = SetTimer(hWnd, ALARM_TIMER_ID, *wait, nullptr);
        return;
    }
    std::u16string strText = m_note.GetText();
    StartAlarmSound(m_host.AlarmSound());
    Disarm();
    if (!CAlarmNoticeDlg::Show(strText, hWnd, WM_ALARMNOTICECLOSED))
        OnNoticeClosed(0);
}

void CNoteAlarm::OnNoticeClosed(INT_PTR nResult)
{
    HWND hWnd = m_note.GetSafeHwnd();
    if (nResult == -1)
        PostDeleteNote(hWnd);
    // Spent, unless the settings armed a new alarm while the notice was up.
    if (!m_nAlarmTimer) {
        m_bAlarmEnabled = 0;
        PostNoteChanged(hWnd);
    }
}

void CNoteAlarm::OnAlarmSettings()
{
    CAlarmDlg dlg;
    dlg.m_bEnable = m_bAlarmEnabled;
    if (m_bAlarmEnabled)
        dlg.SetAlarmTime(m_nAlarmTime);

    HWND hWnd = m_note.GetSafeHwnd();
    INT_PTR result = dlg.DoModal(nullptr);
    if (!NoteStillThere(hWnd))
        return;
    if (result != IDOK) {
        // Cancel leaves a waiting alarm waiting, and one whose notice is
        // up does not ring once more.
        OnClockChanged();
        return;
    }
    m_nAlarmTime = dlg.GetAlarmTime();
    m_bAlarmEnabled = dlg.m_bEnable;
    PostNoteChanged(hWnd);
    if (m_bAlarmEnabled)
        Arm(m_nAlarmTime);
    else if (m_nAlarmTimer)
        Disarm();  // a switched-off alarm does not ring
}

void CNoteAlarm::OnClockChanged()
{
    // Only a waiting alarm: one whose notice is up has gone off already.
    if (m_bAlarmEnabled && m_nAlarmTimer)
        Arm(m_nAlarmTime);
}
