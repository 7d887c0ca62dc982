// What only a process of its own shows: one instance, the tray icon through
// a shell restart, the end of the run, and /i from another folder.
#include "tests/e2e/harness.h"

#include <shellapi.h>

namespace e2e {
namespace {

constexpr const char* kPrefs = kPreferencesKey;

using AppTest = DriftpadTest;

bool TrayIcon(HWND controller, DWORD action = NIM_MODIFY)
{
    NOTIFYICONDATAA nid = {};
    nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
    nid.hWnd = controller;
    nid.uID = IDI_DRIFTPAD;
    return Shell_NotifyIconA(action, &nid) != FALSE;
}

bool Visible(HWND w) { return IsWindowVisible(w) != FALSE; }

TEST_F(AppTest, OneInstanceShowsOnlyTheTrayIconKeepsItThroughAShellRestartAndQuitsAtOnceWithoutNotes)
{
    HWND controller = StartApp();
    EXPECT_TRUE(WaitUntil([&] { return TrayIcon(controller); }));
    EXPECT_FALSE(Visible(controller));
    EXPECT_TRUE(app.Notes().empty());
    for (const char* args : {"", "/i", "/u", "notes.dpd"}) {
        App second;  // ends at once with -1 and does nothing
        ASSERT_TRUE(second.Start(args));
        EXPECT_EQ(0xFFFFFFFFu, second.WaitExit()) << args;
        EXPECT_TRUE(ProcessWindows(second.Pid(), nullptr).empty()) << args;
    }
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, kPrefs));  // not even /i wrote
    EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, ".dpd"));

    ASSERT_TRUE(TrayIcon(controller, NIM_DELETE));  // a restarted shell has lost it
    PostMessageA(controller, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return TrayIcon(controller); }));
    app.Command(ID_QUIT);  // no question: a question would keep it running
    EXPECT_EQ(0u, app.WaitExit());  // (the icon's removal is checked where it is asked for, in process)
}

// Run from another folder, the program still names itself by its full path.
// (The installer's tests read the rest of what /i and /u /s leave.)
TEST_F(AppTest, InstallFromAnotherFolderSaysSoAndNamesTheProgram)
{
    App run;
    ASSERT_TRUE(run.Start("/i", dir));
    EXPECT_EQ("  Driftpad installation complete.", run.Answer("Driftpad", IDOK));
    EXPECT_EQ(0u, run.WaitExit());
    EXPECT_EQ("\"" + DriftpadPath() + "\" \"%1\"", RegString(HKEY_CLASSES_ROOT, "Driftpad\\shell\\open\\command", nullptr));
}

}  // namespace
}  // namespace e2e
