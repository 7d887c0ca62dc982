#pragma once
// The application object: the start and end of a run, the preferences, and
// what the notes read of the program.
#include "app/registry_table.h"
#include "notes/note_host.h"

#include <windows.h>

#include <cstdint>
#include <utility>

class CStickyNoteApp : public INoteHost {
public:
    // Single-instance check; false ends the process at once with status -1.
    bool InitApplication();
    // True starts the message loop; false ends the run.
    bool InitInstance(const char* commandLine);
    // The message loop; returns the quit message's value.
    int Run();
    int ExitInstance();

    int32_t ShowHiddenMode() const override { return m_bShowHidden; }
    const char* AlarmSound() const override { return m_prefs.strAlarmSound ? m_prefs.strAlarmSound->c_str() : nullptr; }

    // Read once at start-up; the Options dialog's OK changes them here and
    // in the registry. False when the registry refused them: they hold for
    // this run only.
    const Preferences& GetPreferences() const { return m_prefs; }
    bool SetPreferences(uint32_t bSaveOnShutdown, uint32_t nDblClick, uint32_t bOnDesktop);
    // True once in the run that follows an install, unless started silently:
    // the tray icon then says where it is.
    bool TakeFirstStart() { return std::exchange(m_bFirstStart, false); }

    // The show-hidden-notes mode as notes read it; the note collection keeps
    // it in step with its own.
    int32_t m_bShowHidden = 0;

private:
    Preferences m_prefs;
    int m_nExitCode = 0;
    bool m_bFirstStart = false;
};

// One message of the run's loop, as Run hands it on: wide, so that a
// character typed into a note reaches its Unicode editor whole, with Tab,
// Enter and Esc going to the modeless dialog they were typed in.
void DispatchLoopMessage(MSG& msg);
