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
CAlarmNoticeDlg::CAlarmNoticeDlg(const std::u16string& strText)
    : CDialog(IDD_ALARMNOTICE, true), m_strText(strText)
{
}

INT_PTR CAlarmNoticeDlg::Run()
{
    INT_PTR result = DoModal(nullptr);
    // The dialog box's own failure is -1 too, which must not read as Delete.
    return m_bShown ? result : 0;
}

BOOL CAlarmNoticeDlg::OnInitDialog()
{
    m_bShown = true;
    SetWideWindowText(GetDlgItem(IDC_NOTICETEXT), m_strText);
    // System-modal means above every ordinary window; Wine does not make
    // such a dialog topmost by itself. Shown now, not when the modal loop
    // first goes idle: another note's alarm falling due at the same moment
    // runs its own notice inside this loop and would keep this one hidden
    // until it closed.
    SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    return TRUE;  // the focus goes to OK
}

bool CAlarmNoticeDlg::OnCommand(WORD nID, WORD, HWND)
{
    if (nID != ID_DELETENOTE)
        return false;
    OnDelete();
    return true;
}

void CAlarmNoticeDlg::OnDelete()
{
    EndDialog(-1);
}
