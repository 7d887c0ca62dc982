// Notes kept on the desktop, in a process of their own: a stand-in of the
// shell's desktop window, brought to the front as Show Desktop brings it.
#include "tests/e2e/harness.h"

namespace e2e {
namespace {

using DesktopTest = DriftpadTest;

TEST_F(DesktopTest, AStandInDesktopBroughtToTheFrontHasTheNotesAboveItOnlyWhileTheChoiceIsOn)
{
    for (DWORD bOn : {0u, 1u}) {
        SetRegDword(HKEY_CURRENT_USER, kPreferencesKey, "SaveOnShutdown", 0);
        SetRegDword(HKEY_CURRENT_USER, kPreferencesKey, "OnDesktop", bOn);
        const UniqueWindow desktop = TestWindow("WorkerW", true);
        StartApp();
        const HWND note = app.NewNote("on the desktop");
        ToFront(desktop.get());
        EXPECT_EQ(WaitUntil([&] { return Above(note, desktop.get()); }, 2000), bOn != 0) << bOn;
        app.Kill();
    }
}

}  // namespace
}  // namespace e2e
