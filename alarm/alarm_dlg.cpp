#include "alarm/alarm_dlg.h"

#include "alarm/alarm_settings.h"
#include "alarm/alarm_text.h"
#include "base/message_box.h"
#include "base/window_text.h"
#include "resources/resource.h"

namespace {

constexpr int kMaxTextLength = 15;

}  // namespace

CAlarmDlg::CAlarmDlg() : CDialog(IDD_ALARM)
{
    SetAlarmTime(SystemLocalTimeRules().Now());
    m_bEnable = 0;
}

void CAlarmDlg::SetAlarmTime(int32_t nTime)
{
    AlarmTexts texts = FormatAlarmText(nTime, SystemLocalTimeRules());
    m_strDate = texts.strDate;
    m_strTime = texts.strTime;
}

void CAlarmDlg::DoDataExchange(bool bSave)
{
    if (bSave) {
        m_strDate = WindowText(GetDlgItem(IDC_ALARMDATE));
        m_strTime = WindowText(GetDlgItem(IDC_ALARMTIME));
        m_bEnable = IsDlgButtonChecked(m_hWnd, IDC_ALARMENABLE) == BST_CHECKED ? 1 : 0;
        return;
    }
    SetDlgItemTextA(m_hWnd, IDC_ALARMDATE, m_strDate.c_str());
    SendDlgItemMessageA(m_hWnd, IDC_ALARMDATE, EM_LIMITTEXT, kMaxTextLength, 0);
    SetDlgItemTextA(m_hWnd, IDC_ALARMTIME, m_strTime.c_str());
    SendDlgItemMessageA(m_hWnd, IDC_ALARMTIME, EM_LIMITTEXT, kMaxTextLength, 0);
    CheckDlgButton(m_hWnd, IDC_ALARMENABLE, m_bEnable ? BST_CHECKED : BST_UNCHECKED);
}

BOOL CAlarmDlg::OnInitDialog()
{
    DoDataExchange(false);
    return TRUE;  // the focus goes to OK, the first control that takes it
}

bool CAlarmDlg::OnCommand(WORD nID, WORD nCode, HWND)
{
    if (nCode != EN_KILLFOCUS)
        return false;
    if (nID == IDC_ALARMDATE)
        OnKillFocusDate();
    else if (nID == IDC_ALARMTIME)
        OnKillFocusTime();
    else
        return false;
    return true;
}

void CAlarmDlg::OnKillFocusDate()
{
    DoDataExchange(true);
    Complain(LeavingFieldComplaint(AlarmField::date, m_strDate));
}

void CAlarmDlg::OnKillFocusTime()
{
    DoDataExchange(true);
    Complain(LeavingFieldComplaint(AlarmField::time, m_strTime));
}

void CAlarmDlg::OnOK()
{
    DoDataExchange(true);
    AlarmTextCheck check = CheckAlarmTexts(m_strDate, m_strTime, SystemLocalTimeRules());
    if (const char* complaint = OkComplaint(check.fault)) {
        Complain(complaint);
        return;
    }
    m_nTime = check.nTime;
    EndDialog(IDOK);
}

void CAlarmDlg::Complain(const char* text)
{
    if (!text || m_bComplaining)
        return;
    m_bComplaining = true;
    AppMessageBox(m_hWnd, text, MB_OK | MB_ICONEXCLAMATION);
    m_bComplaining = false;
}
