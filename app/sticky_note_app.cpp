#include "app/sticky_note_app.h"

#include "app/command_line.h"
#include "app/registry.h"
#include "app/sticky_note_dlg.h"
#include "base/failure_report.h"
#include "base/handle.h"
#include "base/message_box.h"
#include "storage/failure_text.h"
#include "storage/file_win.h"

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
    InstallCodePage(kAnsiCodePage);
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

    m_prefs = ReadPreferencesFromRegistry();
    m_bFirstStart = !cmdInfo.m_bSilent && TakeFirstStartMark();

    // The controller ends itself with its window, at Quit.
    auto* controller = new CStickyNoteDlg(*this);
    HWND hWnd = controller->GetSafeHwnd();
    if (!hWnd) {
        delete controller;
        m_nExitCode = 1;
        return false;
    }
    ShowWindow(hWnd, SW_HIDE);
    UpdateWindow(hWnd);
    controller->OpenNotesFileAtStartup(cmdInfo.m_strFileName);
    return true;
}

int CStickyNoteApp::Run()
{
    MSG msg = {};
    BOOL got;
    // Wide messages: a character typed into a note reaches its Unicode
    // editor whole (8-bit windows are handed their code page's form).
    while ((got = GetMessageW(&msg, nullptr, 0, 0)) != 0) {
        if (got == -1)
            return 1;
        DispatchLoopMessage(msg);
    }
    m_nExitCode = static_cast<int>(msg.wParam);
    return m_nExitCode;
}

void DispatchLoopMessage(MSG& msg)
{
    // Tab, Enter and Esc in the modeless dialogs (Options, notes).
    HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (root && IsDialogMessageW(root, &msg))
        return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

int CStickyNoteApp::ExitInstance()
{
    m_prefs.strAlarmSound.reset();
    g_hSingleInstanceMutex.reset();
    return m_nExitCode;
}

bool CStickyNoteApp::SetPreferences(uint32_t bSaveOnShutdown, uint32_t nDblClick, uint32_t bOnDesktop)
{
    m_prefs.bSaveOnShutdown = bSaveOnShutdown;
    m_prefs.nDblClick = nDblClick;
    m_prefs.bOnDesktop = bOnDesktop;
    return WritePreferences(bSaveOnShutdown, nDblClick, bOnDesktop);
}
