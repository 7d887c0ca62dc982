#include "alarm/alarm_notice_dlg.h"

#include "base/window_text.h"
#include "resources/resource.h"

// Unicode, so that the note's text shows with every character.
CAlarmNoticeDlg::CAlarmNoticeDlg(const std::u16string& strText, HWND hWndAnswer, UINT nAnswerMsg)
    : CDialog(IDD_ALARMNOTICE, true), m_strText(strText), m_hWndAnswer(hWndAnswer), m_nAnswerMsg(nAnswerMsg)
{
}

bool CAlarmNoticeDlg::Show(const std::u16string& strText, HWND hWndAnswer, UINT nAnswerMsg)
{
    auto* notice = new CAlarmNoticeDlg(strText, hWndAnswer, nAnswerMsg);
    if (!notice->Create(nullptr)) {
        delete notice;
        return false;
    }
    // Active with the focus on OK, as a dialog box of its own would be.
    SetForegroundWindow(notice->GetSafeHwnd());
    return true;
}

void CAlarmNoticeDlg::Close(INT_PTR nResult)
{
    PostMessageA(m_hWndAnswer, m_nAnswerMsg, static_cast<WPARAM>(nResult), 0);
    DestroyWindow(m_hWnd);  // the notice ends with its window
}

BOOL CAlarmNoticeDlg::OnInitDialog()
{
    SetWideWindowText(GetDlgItem(IDC_NOTICETEXT), m_strText);
    // System-modal means above every ordinary window; Wine does not make
    // such a dialog topmost by itself.
    SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    return TRUE;  // the focus goes to OK
}

bool CAlarmNoticeDlg::OnCommand(WORD nID, WORD, HWND)
{
    if (nID != ID_DELETENOTE)
        return false;
    Close(-1);
    return true;
}


