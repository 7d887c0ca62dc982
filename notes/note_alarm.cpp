// The note's alarm: arming timer 1029, the alarm going off, the settings.
#include "notes/note_dlg.h"

#include <ctime>

namespace {
constexpr UINT_PTR ALARM_TIMER_ID = 1029;
}

void CNoteDlg::SetAlarmTimer(int32_t nTime)
{
    long long delay = static_cast<long long>(nTime) - static_cast<long long>(std::time(nullptr));
    if (delay < 0)
        delay = 1;
    m_nAlarmTimer = SetTimer(m_hWnd, ALARM_TIMER_ID, static_cast<UINT>(delay * 1000), nullptr);
}

void CNoteDlg::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != ALARM_TIMER_ID)
        return;
    KillTimer(m_hWnd, ALARM_TIMER_ID);
    m_bAlarmEnabled = 0;
}

void CNoteDlg::OnAlarmSettings() {}

void CNoteDlg::OnClockChanged()
{
    if (m_bAlarmEnabled)
        SetAlarmTimer(m_nAlarmTime);
}
