#pragma once
// What the note tests share: the note's editor and commands, the pointer,
// the pointer and drags.
#include "tests/e2e/harness.h"

#include <algorithm>
#include <map>

namespace e2e {

inline HWND Editor(HWND note) { return GetDlgItem(note, IDC_NOTEEDIT); }
inline std::string Text(HWND note) { return WindowText(Editor(note)); }
// A command of the note's context menu, as if chosen there; carried out on return.
inline void NoteCommand(HWND note, WORD id)
{
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(Editor(note), WM_COMMAND, id, 0, SMTO_NORMAL, 5000, &ignored);
}
inline void Type(HWND note, const std::string& text)
{
    for (char c : text)
        PostMessageA(Editor(note), WM_CHAR, static_cast<unsigned char>(c), 1);
}
inline bool IsTopmost(HWND w) { return (GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }
inline POINT Centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
inline bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }
inline RECT Offset(RECT r, int dx, int dy) { return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; }

inline bool Yellow(int x, int y)
{
    HDC dc = GetDC(nullptr);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(nullptr, dc);
    return c == RGB(255, 255, 0);
}

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

}  // namespace e2e
