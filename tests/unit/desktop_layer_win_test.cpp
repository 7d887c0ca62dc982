// Notes kept on the desktop, against stand-ins of the shell's desktop
// windows (there is no Windows shell here): made by the test, brought to
// the front as Show Desktop brings them, replaced as an Explorer restart does.
#include "base/handle.h"
#include "tests/unit/in_process.h"

#include <filesystem>

namespace e2e {
namespace {

using DesktopLayerTest = InProcessTest;

// A window of the test's own, on screen at the bottom of its layer; with an
// icon view inside it stands in for the shell's desktop.
UniqueWindow TestWindow(const char* className, bool bIconView = false, DWORD exStyle = 0)
{
    for (const char* name : {className, "SHELLDLL_DefView"}) {
        const WNDCLASSA wc = {0, DefWindowProcA, 0, 0, GetModuleHandleA(nullptr), nullptr, nullptr, nullptr, nullptr, name};
        RegisterClassA(&wc);  // once a run
    }
    UniqueWindow w(CreateWindowExA(exStyle | WS_EX_TOOLWINDOW, className, "", WS_POPUP | WS_VISIBLE, 0, 0, 600, 500,
                                   nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
    if (bIconView)
        CreateWindowExA(0, "SHELLDLL_DefView", "", WS_CHILD | WS_VISIBLE, 0, 0, 600, 500, w.get(), nullptr, nullptr, nullptr);
    if (!(exStyle & WS_EX_TOPMOST))  // at the bottom it would be topmost no more
        SetWindowPos(w.get(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return w;
}

// As a click, or Show Desktop, brings it.
void ToFront(HWND w)
{
    SetWindowPos(w, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(w);
}

bool Above(HWND upper, HWND lower)
{
    HWND w = GetWindow(upper, GW_HWNDNEXT);
    while (w && w != lower)
        w = GetWindow(w, GW_HWNDNEXT);
    return w != nullptr;
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
        ASSERT_TRUE(PumpUntil([&] { return Above(program.get(), note); }));
        for (int restart = 0; restart < 2; ++restart) {
            ToFront(desktop.get());
            const bool bUp = PumpUntil([&] { return Above(note, desktop.get()); }, bOn ? 1000 : 600);
            EXPECT_EQ(bUp, bOn != 0) << restart;
            EXPECT_TRUE(Above(onTop.get(), note) && !IsWindowVisible(hidden)) << restart;
            EXPECT_TRUE(IsTopmost(topNote) && Above(topNote, desktop.get())) << restart;  // kept on top
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
        std::filesystem::remove_all(RecoveryFolder());  // its notes were never saved: nothing to offer next
    }
}

}  // namespace
}  // namespace e2e
