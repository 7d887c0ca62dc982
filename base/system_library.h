#pragma once
// System libraries come from the system folder only: a library of the same
// name lying beside the program (a Downloads folder) must never run.
#include <windows.h>

// Makes the system folder the only place libraries load from by default,
// where the system knows how; older systems start as before.
void LoadLibrariesFromSystemFolderOnly();
// Loads a library of the system folder; null when it is not there.
HMODULE LoadSystemLibrary(const char* name);
