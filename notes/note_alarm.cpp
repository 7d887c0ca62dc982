// The note's alarm: arming timer 1029, the alarm going off, the settings.
#include "notes/note_dlg.h"

#include "alarm/alarm_dlg.h"
#include "alarm/alarm_notice_dlg.h"
#include "alarm/alarm_timer.h"
#include "alarm/local_time.h"
#include "notes/note_messages.h"
#include "app/sticky_note_app.h"

namespace {

constexpr UINT_PTR ALARM_TIMER_ID = 1029;

// A modal loop lets the tray delete notes meanwhile; the note ends with its
// window, so after one the note may be gone.
bool StillThere(HWND hWnd, const CNoteDlg* note)
{
    return IsWindow(hWnd) && GetWindowLongPtrA(hWnd, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(note);
}

}  // namespace

void CNoteDlg::SetAlarmTimer(int32_t nTime)
{
    m_nAlarmTimer = SetTimer(m_hWnd, ALARM_TIMER_ID, AlarmArmPeriod(nTime, SystemNowMs()), nullptr);
}

void CNoteDlg::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != ALARM_TIMER_ID)
        return;
    // The timer counts ticks, not the wall clock, and waits one step at most.
    if (std::optional<uint32_t> wait = AlarmWaitLeft(m_nAlarmTime, SystemNowMs())) {
        m_nAlarmTimer = SetTimer(m_hWnd, ALARM_TIMER_ID, *wait, nullptr);
        return;
    }
    CAlarmNoticeDlg notice(GetText());
    StartAlarmSound(GetApp().AlarmSound());
    KillTimer(m_hWnd, ALARM_TIMER_ID);
    m_nAlarmTimer = 0;

    HWND hWnd = m_hWnd;
    INT_PTR result = notice.Run();
    if (!StillThere(hWnd, this))
        return;
    if (result == -1)
        PostMessageA(GetWindow(hWnd, GW_OWNER), WM_DELETENOTE, reinterpret_cast<WPARAM>(this), 0);
    // Spent, unless the settings armed a new alarm while the notice was up.
    if (!m_nAlarmTimer)
        m_bAlarmEnabled = 0;
}

void CNoteDlg::OnAlarmSettings()
{
    CAlarmDlg dlg(nullptr);
    dlg.m_bEnable = m_bAlarmEnabled;
    if (m_bAlarmEnabled)
        dlg.SetAlarmTime(m_nAlarmTime);

    HWND hWnd = m_hWnd;
    INT_PTR result = dlg.DoModal();
    if (!StillThere(hWnd, this))
        return;
    if (result != IDOK) {
        // Cancel leaves a waiting alarm waiting, and one whose notice is
        // up does not ring once more.
        OnClockChanged();
        return;
    }
    m_nAlarmTime = dlg.GetAlarmTime();
    m_bAlarmEnabled = dlg.m_bEnable;
    if (m_bAlarmEnabled) {
        SetAlarmTimer(m_nAlarmTime);
    } else if (m_nAlarmTimer) {
        // A switched-off alarm does not ring.
        KillTimer(m_hWnd, ALARM_TIMER_ID);
        m_nAlarmTimer = 0;
    }
}

void CNoteDlg::OnClockChanged()
{
    // Only a waiting alarm: one whose notice is up has gone off already.
    if (m_bAlarmEnabled && m_nAlarmTimer)
        SetAlarmTimer(m_nAlarmTime);
}
