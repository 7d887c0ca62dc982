#pragma once
// The registry side of the program: install, uninstall, preferences.
#include "app/registry_table.h"

#include <windows.h>

#include <string>

// Writes one value (or only the key when data is null); true on success.
bool SetRegistryValue(HKEY hRoot, const char* key, const char* valueName, const void* data,
                      DWORD type, DWORD size);
bool SetRegistryString(HKEY hRoot, const char* key, const char* valueName, const char* text);
bool SetRegistryDword(HKEY hRoot, const char* key, const char* valueName, DWORD value);

// Writes the install table for the running executable; true when complete.
bool RegisterProgram();
void UnregisterProgram();
// The start-up read from HKEY_CURRENT_USER.
Preferences ReadPreferencesFromRegistry();
// Writes the preferences, as the Options dialog's OK does; false when
// any could not be written.
bool WritePreferences(DWORD bSaveOnShutdown, DWORD nDblClick, DWORD bOnDesktop);

// The running executable's full path, however long.
std::string ModulePath();

// Whether the installer left the first-start mark, which is then deleted:
// true only when it was there and is gone, so that it is answered once.
bool TakeFirstStartMark();
