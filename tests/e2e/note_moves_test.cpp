// Notes moved by their margin and handles with the real pointer, in the
// program's own process: the rectangle tracker runs a loop of its own.
#include "tests/e2e/harness.h"

#include <algorithm>
#include <functional>

namespace e2e {
namespace {

class NotesTest : public DriftpadTest {
protected:
    HWND NewNoteAt(int x, int y)
    {
        POINT at = {x, y};
        return app.NewNote("", &at);
    }

    // A press at 'from', a move to 'to' by way of a middle point, the action
    // (if any) while the button is still down, and the release; returns once
    // the note's thread has let the pointer go and answered.
    void Drag(POINT from, POINT to, const std::function<void()>& whileDown = {})
    {
        MovePointer(from.x, from.y);
        Xdotool({"mousedown", "1"});
        for (POINT p : {POINT{(from.x + to.x) / 2, (from.y + to.y) / 2}, to}) {
            Sleep(40);
            MovePointer(p.x, p.y);
        }
        Sleep(50);
        if (whileDown)
            whileDown();
        Xdotool({"mouseup", "1"});
        EXPECT_TRUE(WaitUntil([&] {
            GUITHREADINFO gui = {};
            gui.cbSize = sizeof gui;
            return GetGUIThreadInfo(GetWindowThreadProcessId(app.Controller(), nullptr), &gui) && !gui.hwndCapture;
        }));
        EXPECT_TRUE(app.Sync());
    }
};

TEST_F(NotesTest, MarginDragMovesEscCancelsAndHandleDragsKeepTheSize)
{
    StartApp('"' + notesFile + '"');
    HWND note = NewNoteAt(400, 300), other = NewNoteAt(200, 600);
    ASSERT_TRUE(note && other);
    const RECT r = WindowRect(note);
    const POINT grab = {r.left + 5, Centre(r).y}, to = {grab.x + 60, grab.y + 40};

    // Esc during a drag: the note stays; the outline was drawn by inverting
    // every other pixel and is erased again; keys typed meanwhile are dropped.
    SetForegroundWindow(note);
    auto outline = [&] {
        std::vector<bool> row;
        for (int x = 0; x < 16; ++x)
            row.push_back(Yellow(r.left + 100 + x, r.top + 40));
        return row;
    };
    std::vector<bool> during;
    GUITHREADINFO gui = {};
    gui.cbSize = sizeof gui;
    Drag(grab, to, [&] {
        GetGUIThreadInfo(GetWindowThreadProcessId(note, nullptr), &gui);
        during = outline();
        Xdotool({"key", "q"});
        Sleep(200);
        Xdotool({"key", "Escape"});
        Sleep(200);
    });
    EXPECT_EQ(note, gui.hwndCapture);
    EXPECT_EQ(8, std::count(during.begin(), during.end(), true));
    EXPECT_TRUE(SameRect(r, WindowRect(note)));
    EXPECT_EQ(std::vector<bool>(16, true), outline());
    Xdotool({"key", "w"});  // typed afterwards, it arrives alone
    EXPECT_TRUE(WaitUntil([&] { return Text(note) == "w"; }, 2000)) << Text(note);

    // A real drag moves it by the same offset, size kept; other windows'
    // posted messages are handled while the button is down.
    bool selected = false;
    Drag(grab, to, [&] {
        SendMessageA(Editor(other), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("o"));
        PostMessageA(Editor(other), EM_SETSEL, 0, -1);
        selected = WaitUntil([&] { return SendMessageA(Editor(other), EM_GETSEL, 0, 0) == MAKELRESULT(0, 1); }, 1000);
    });
    EXPECT_TRUE(selected);
    const RECT moved = Offset(r, 60, 40);
    EXPECT_TRUE(WaitUntil([&] { return SameRect(moved, WindowRect(note)); }, 2000));
    // A move alone reaches the recovery copy too. Each write is read once it
    // is done, never while it runs.
    const std::string copy = RecoveryFolder() + "\\Recovery.dpd";
    uint64_t seen = 0;
    auto copyHolds = [&](const std::vector<FileNote>& notes) {
        return WaitUntil([&] {  // the notes first, then what their file held
            return WrittenAgain(copy, seen) && ReadFileBytes(copy).rfind(NotesFileBytes(notes), 0) == 0;
        });
    };
    EXPECT_TRUE(copyHolds({Note("w", moved), Note("o", WindowRect(other))}));

    // The bottom-right handle: the note stays, the saved rectangle takes the outline.
    Drag({moved.right - 2, moved.bottom - 2}, {moved.right + 28, moved.bottom + 18});
    EXPECT_TRUE(SameRect(moved, WindowRect(note)));
    RECT grown = {moved.left, moved.top, moved.right + 30, moved.bottom + 20};
    EXPECT_TRUE(copyHolds({Note("w", grown), Note("o", WindowRect(other))}));
    EXPECT_EQ(NotesFileBytes({Note("w", grown), Note("o", WindowRect(other))}), Save());
    // The top-left handle far past the other corner: the outline stops 8
    // pixels short of it, and only its top-left moves the note.
    Drag({moved.left + 1, moved.top + 1}, {moved.left + 400, moved.top + 200});
    const RECT last = Offset(r, moved.right - 8 - r.left, moved.bottom - 8 - r.top);
    EXPECT_TRUE(WaitUntil([&] { return SameRect(last, WindowRect(note)); }, 2000)) << WindowRect(note).left;
}

}  // namespace
}  // namespace e2e
