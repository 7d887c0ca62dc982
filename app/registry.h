#pragma once
// The registry side of the program: install, uninstall, preferences.
#include "app/registry_table.h"

#include <windows.h>

#include <string>

// Writes the install table for the running executable; true when complete.
bool RegisterProgram();
void UnregisterProgram();
// The start-up read from HKEY_CURRENT_USER.
Preferences ReadPreferencesFromRegistry();
// Writes the preferences, as the Options dialog's OK does; false when
// any could not be written.
bool WritePreferences(DWORD bSaveOnShutdown, DWORD nDblClick, DWORD bOnDesktop);

// Whether the installer left the first-start mark, which is then deleted:
// true only when it was there and is gone, so that it is answered once.
bool TakeFirstStartMark();
