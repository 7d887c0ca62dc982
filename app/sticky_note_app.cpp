#include "app/sticky_note_app.h"

#include "app/command_line.h"
#include "app/registry.h"
#include "app/sticky_note_dlg.h"
#include "base/dialog.h"
#include "base/handle.h"
#include "storage/failure_text.h"

#include <cstring>

namespace {

// Held from the check to the end of the run; only a marker, never waited on.
UniqueKernelHandle g_hSingleInstanceMutex;

// Notes-file failures reach the user here, whichever handler raised them.
void ReportNotesFileFailure(HWND hWndOwner, const std::exception& failure)
{
    FailureMessage message = DescribeFailure(failure);
    AppMessageBox(hWndOwner, message.strText.c_str(),
                  message.bOutOfMemory ? MB_OK | MB_ICONEXCLAMATION | MB_SYSTEMMODAL : MB_OK | MB_ICONSTOP);
}

}  // namespace

CStickyNoteApp& GetApp()
{
    static CStickyNoteApp theApp;
    return theApp;
}

bool CStickyNoteApp::InitApplication()
{
    HANDLE mutex = CreateMutexA(nullptr, FALSE, "_DriftpadMutex_");
    if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return false;
    }
    g_hSingleInstanceMutex.reset(mutex);  // no handle: run without protection
    return true;
}

bool CStickyNoteApp::InitInstance(const char* commandLine)
{
    SetFailureReporter(ReportNotesFileFailure);
    CStickyNoteCmdLineInfo cmdInfo;
    ParseCommandLine(commandLine, cmdInfo);

    if (cmdInfo.m_bInstall) {
        bool complete = RegisterProgram();
        if (!complete)
            m_nExitCode = 1;
        if (!cmdInfo.m_bSilent) {
            if (complete)
                AppMessageBox(nullptr, "  Driftpad installation complete.", MB_OK | MB_ICONINFORMATION);
            else
                AppMessageBox(nullptr, "  Driftpad installation incomplete: some registry entries could not be written.",
                              MB_OK | MB_ICONEXCLAMATION);
        }
        return false;
    }
    if (cmdInfo.m_bUninstall) {
        UnregisterProgram();
        if (!cmdInfo.m_bSilent)
            AppMessageBox(nullptr, "  Driftpad has been uninstalled.", MB_OK | MB_ICONINFORMATION);
        return false;
    }

    Preferences prefs = ReadPreferencesFromRegistry();
    m_bSaveOnShutdown = prefs.saveOnShutdown;
    m_nDblClick = prefs.dblClick;
    if (prefs.alarmSound) {
        m_strAlarmSound.reset(new char[prefs.alarmSound->size() + 1]);
        std::memcpy(m_strAlarmSound.get(), prefs.alarmSound->c_str(), prefs.alarmSound->size() + 1);
    }

    m_pStickyNoteDlg = new CStickyNoteDlg(this);
    HWND hWnd = m_pStickyNoteDlg->GetSafeHwnd();
    if (!hWnd) {
        delete m_pStickyNoteDlg;
        m_pStickyNoteDlg = nullptr;
        m_nExitCode = 1;
        return false;
    }
    ShowWindow(hWnd, SW_HIDE);
    UpdateWindow(hWnd);
    m_pStickyNoteDlg->OpenNotesFileAtStartup(cmdInfo.m_strFileName);
    return true;
}

int CStickyNoteApp::Run()
{
    MSG msg = {};
    BOOL got;
    while ((got = GetMessageA(&msg, nullptr, 0, 0)) != 0) {
        if (got == -1)
            return 1;
        // Tab, Enter and Esc in the modeless dialogs (Options, notes).
        HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
        if (root && IsDialogMessageA(root, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    m_nExitCode = static_cast<int>(msg.wParam);
    return m_nExitCode;
}

int CStickyNoteApp::ExitInstance()
{
    m_strAlarmSound.reset();
    g_hSingleInstanceMutex.reset();
    return m_nExitCode;
}
