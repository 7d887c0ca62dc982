// Notes kept on the desktop, against stand-ins of the shell's desktop
// windows (there is no Windows shell here): made by the test, brought to
// the front as Show Desktop brings them, replaced as an Explorer restart does.
#include "tests/unit/in_process.h"

namespace e2e {
namespace {

using DesktopLayerTest = InProcessTest;

HWND Marker() { return FindWindowA("Static", "Driftpad desktop marker"); }

TEST_F(DesktopLayerTest, OptionsOffersTheChoiceUntickedAndOkStoresItAndTurnsTheLayerOnAndOff)
{
    Start();
    for (DWORD bOn : {1u, 0u}) {
        Command(ID_OPTIONS);
        EXPECT_EQ(IsDlgButtonChecked(controller, IDC_ONDESKTOP), bOn ? BST_UNCHECKED : BST_CHECKED);
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(controller, IDC_ONDESKTOP)));
        SendDlgItemMessageA(controller, IDC_ONDESKTOP, BM_CLICK, 0, 0);
        Command(IDOK);
        EXPECT_EQ(RegDword(HKEY_CURRENT_USER, kPreferencesKey, "OnDesktop"), bOn);
        EXPECT_EQ(Marker() != nullptr, bOn != 0);
    }
    // Below Autosave, beside Quit, inside the dialog.
    RECT box = WindowRect(GetDlgItem(controller, IDC_ONDESKTOP)), autosave = WindowRect(GetDlgItem(controller, IDC_AUTOSAVE));
    RECT quit = WindowRect(GetDlgItem(controller, IDC_QUIT)), client = {};
    GetClientRect(controller, &client);
    MapWindowPoints(controller, nullptr, reinterpret_cast<POINT*>(&client), 2);
    EXPECT_TRUE(box.left == autosave.left && box.top > autosave.bottom && box.right < quit.left && box.bottom <= client.bottom);
}

// Show Desktop brings the desktop's window forward: the notes go up with it,
// under the always-on-top windows; a program brought back covers them again.
TEST_F(DesktopLayerTest, NotesComeForwardWithAStandInDesktopAndGoBackUnderAProgram)
{
    const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    for (DWORD bOn : {0u, 1u}) {
        SCOPED_TRACE(bOn);
        SetRegDword(HKEY_CURRENT_USER, kPreferencesKey, "SaveOnShutdown", 0);
        SetRegDword(HKEY_CURRENT_USER, kPreferencesKey, "OnDesktop", bOn);
        const UniqueWindow emptyWorker = TestWindow("WorkerW"), onTop = TestWindow("TestOnTop", false, WS_EX_TOPMOST);
        UniqueWindow desktop = TestWindow("WorkerW", true), program = TestWindow("TestProgram");
        Start();
        const HWND note = NewNote("stays"), topNote = NewNote("on top"), hidden = NewNote("hidden");
        NoteCommand(topNote, ID_ALWAYSONTOP);
        NoteCommand(hidden, ID_HIDENOTE);
        ToFront(program.get());
        Pump();
        ASSERT_TRUE(Above(program.get(), note));
        for (int restart = 0; restart < 2; ++restart) {
            ToFront(desktop.get());
            const bool bUp = PumpUntil([&] { return Above(note, desktop.get()); }, bOn ? 1000 : 600);
            EXPECT_EQ(bUp, bOn != 0) << restart;
            EXPECT_TRUE(Above(onTop.get(), note));
            EXPECT_TRUE(Above(topNote, desktop.get()));
            EXPECT_TRUE(IsTopmost(topNote));
            EXPECT_FALSE(IsWindowVisible(hidden));
            ToFront(program.get());
            EXPECT_TRUE(PumpUntil([&] { return Above(program.get(), note); }, 1000)) << restart;
            EXPECT_EQ(Above(note, desktop.get()), bOn != 0) << restart;  // still on the desktop, not under it
            // Explorer restarts: its desktop comes back as a new window.
            desktop = TestWindow("Progman", true);
            SendMessageA(controller, taskbarCreated, 0, 0);
            Pump();
        }
        DestroyWindow(controller);
        Pump();
    }
}

}  // namespace
}  // namespace e2e
