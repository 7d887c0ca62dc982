// The order of a run: the single-instance check, start-up, the message loop
// (only after a normal start), and the end of the run.
#include "app/sticky_note_app.h"
#include "base/system_library.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    LoadLibrariesFromSystemFolderOnly();  // before anything can load one
    CStickyNoteApp app;
    if (!app.InitApplication())
        return -1;
    if (app.InitInstance(GetCommandLineA()))
        app.Run();
    return app.ExitInstance();
}
