#pragma once
// The application object: the start and end of a run.
#include <windows.h>

#include <cstdint>
#include <memory>

class CStickyNoteDlg;

class CStickyNoteApp {
public:
    // Single-instance check; false ends the process at once with status -1.
    bool InitApplication();
    // True starts the message loop; false ends the run.
    bool InitInstance(const char* commandLine);
    // The message loop; returns the quit message's value.
    int Run();
    int ExitInstance();

    const char* AlarmSound() const { return m_strAlarmSound.get(); }

    // The show-hidden-notes mode as note windows read it.
    int32_t m_bShowHidden = 0;
    uint32_t m_bSaveOnShutdown = 0;
    uint32_t m_nDblClick = 0;
    std::unique_ptr<char[]> m_strAlarmSound;
    CStickyNoteDlg* m_pStickyNoteDlg = nullptr;

private:
    int m_nExitCode = 0;
};

// The one application object of the process.
CStickyNoteApp& GetApp();
