#include "alarm/alarm_notice_dlg.h"

#include "base/system_library.h"
#include "resources/resource.h"


namespace {

// The sound name belongs to the application, which keeps it until the run
// ends; flags 0: play to the end, as an event name first, then as a file
// name, and fall back to the default sound. The sound library (and the audio
// stack behind it) is loaded here, on the worker, the first time an alarm
// rings: start-up and the user interface never pay for it.
DWORD WINAPI AlarmSoundThread(LPVOID pSoundName)
{
    using PlaySoundFn = BOOL(WINAPI*)(LPCSTR, HMODULE, DWORD);
    HMODULE winmm = LoadSystemLibrary("winmm.dll");
    if (!winmm)
        return 0;
    auto play = reinterpret_cast<PlaySoundFn>(reinterpret_cast<void*>(GetProcAddress(winmm, "PlaySoundA")));
    if (play)
        play(static_cast<const char*>(pSoundName), nullptr, 0);
    FreeLibrary(winmm);
    return 0;
}

}  // namespace

void StartAlarmSound(const char* strSoundName)
{
    HANDLE hThread = CreateThread(nullptr, 0, AlarmSoundThread, const_cast<char*>(strSoundName), 0, nullptr);
    if (hThread)
        CloseHandle(hThread);
}

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


