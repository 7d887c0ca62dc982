// Note windows as a user meets them: placement and look, typing, the context
// menu, always on top, hiding, deleting and loaded notes.
#include "tests/e2e/notes_fixture.h"

#include <map>

namespace e2e {
namespace {

TEST_F(NotesTest, NewNoteIsCentredOnThePointerYellowOwnedAndInsideTheWorkArea)
{
    HWND controller = StartApp();
    HWND note = NewNoteAt(500, 400);
    ASSERT_NE(nullptr, note);
    RECT r = WindowRect(note), e = WindowRect(Editor(note));
    EXPECT_TRUE(std::abs(Centre(r).x - 500) <= 1 && std::abs(Centre(r).y - 400) <= 1);
    EXPECT_TRUE(controller == GetWindow(note, GW_OWNER) && note == GetForegroundWindow());
    EXPECT_EQ(WS_POPUP, GetWindowLongA(note, GWL_STYLE) & (WS_POPUP | WS_DLGFRAME));  // no title bar
    EXPECT_EQ(0, GetWindowLongA(note, GWL_EXSTYLE) & (WS_EX_APPWINDOW | WS_EX_TOPMOST));  // no taskbar button
    // A margin to grab on every side, yellow like the space behind the text.
    EXPECT_TRUE(e.left - r.left > 4 && e.top - r.top > 4 && r.right - e.right > 4 && r.bottom - e.bottom > 4);
    EXPECT_TRUE(WaitUntil([&] { return Yellow(r.left + 3, r.top + 3); }, 2000));
    EXPECT_TRUE(Yellow(r.right - 4, r.bottom - 4) && Yellow(Centre(e).x, e.bottom - 3));

    // Near an edge: pulled inside the work area only as far as needed.
    const RECT work = WorkArea();
    for (POINT at : {POINT{work.right - 3, 2}, POINT{1, work.bottom - 2}, POINT{1020, 760}}) {
        SCOPED_TRACE(testing::Message() << at.x << "," << at.y);
        ASSERT_NE(nullptr, note = NewNoteAt(at.x, at.y));
        r = WindowRect(note);
        EXPECT_TRUE(r.left >= work.left && r.top >= work.top && r.right <= work.right && r.bottom <= work.bottom);
        EXPECT_TRUE((r.right == work.right || r.left == work.left) && (r.top == work.top || r.bottom == work.bottom));
    }
}

TEST_F(NotesTest, CloseRequestsNeverEndANoteAndTextStopsAt150Characters)
{
    StartApp();
    HWND note = NewNoteAt(400, 300);
    ASSERT_NE(nullptr, note);
    Type(note, "x");
    ASSERT_TRUE(WaitUntil([&] { return Text(note) == "x"; }));
    for (auto [msg, w] : {std::pair<UINT, WPARAM>{WM_CLOSE, 0}, {WM_SYSCOMMAND, SC_CLOSE}, {WM_COMMAND, IDOK}, {WM_COMMAND, IDCANCEL}})
        PostMessageA(note, msg, w, 0);
    SetForegroundWindow(note);
    for (const char* key : {"Escape", "alt+F4", "Return", "y"}) {
        Xdotool({"key", key});
        Sleep(50);
    }
    // The y comes after the rest: once it is there, the rest were handled.
    ASSERT_TRUE(WaitUntil([&] { return Text(note).find('y') != std::string::npos; }));
    ASSERT_TRUE(IsWindowVisible(note));
    EXPECT_EQ(0u, Text(note).find('x'));

    // Narrow characters, so that 150 fit in the lines (the control does not
    // scroll and refuses what would not fit): the 151st, ':', is refused.
    NoteCommand(note, ID_EDIT_SELECTALL);
    NoteCommand(note, ID_EDIT_DELETE);
    const std::string typed = std::string(149, 'i') + ".:";
    Type(note, typed);
    EXPECT_TRUE(WaitUntil([&] { return Text(note).size() == 150; })) << Text(note).size();
    ASSERT_TRUE(app.Sync());
    EXPECT_EQ(typed.substr(0, 150), Text(note));
    // Pasting stops there too.
    NoteCommand(note, ID_EDIT_SELECTALL);
    SetClipboardText(std::u16string(200, u'l'));
    NoteCommand(note, ID_EDIT_PASTE);
    EXPECT_TRUE(WaitUntil([&] { return Text(note) == std::string(150, 'l'); })) << Text(note).size();
}

TEST_F(NotesTest, LoadedNotesStayInViewDeleteNoteLeavesTheOthersAndTogglesSetByTruth)
{
    const std::string longText(200, 'L');
    const RECT longRect = {100, 120, 400, 500}, farRect = {5000, 5000, 5128, 5100}, topRect = {300, 200, 310, 210},
               hidRect = {500, 200, 600, 300};
    StartWithFile(NotesFileBytes({Note(longText, longRect), Note("far", farRect), Note("gone", {200, 400, 300, 500}),
                                  Note("top", topRect, 2, 0), Note("hid", hidRect, 0, 2)}));
    ASSERT_TRUE(app.WaitNoteCount(5));
    ASSERT_TRUE(app.WaitNoteCount(4, true));
    HWND fresh = NewNoteAt(700, 500);  // at the pointer, not after the last loaded note
    ASSERT_NE(nullptr, fresh);
    const RECT freshRect = WindowRect(fresh);
    EXPECT_LE(std::abs(Centre(freshRect).x - 700), 1);
    std::map<std::string, HWND> by;
    for (HWND n : app.Notes())
        by[Text(n)] = n;
    ASSERT_EQ(6u, by.size());
    // The saved corner with the template's size.
    EXPECT_TRUE(SameRect(Offset(freshRect, 100 - freshRect.left, 120 - freshRect.top), WindowRect(by[longText])));

    // Wholly off every monitor: shown in the nearest work area, whether so
    // loaded or left there when the display changed.
    const RECT work = WorkArea();
    EXPECT_TRUE(IsWindowVisible(by["far"]));
    // (Wine now and then answers a process just started with the whole screen as its work area.)
    const RECT pulled = WindowRect(by["far"]);
    EXPECT_TRUE(pulled.right == work.right && (pulled.bottom == work.bottom || pulled.bottom == GetSystemMetrics(SM_CYSCREEN)))
        << pulled.right << "," << pulled.bottom;
    SetWindowPos(fresh, nullptr, 3000, -2000, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(WaitUntil([&] { return WindowRect(fresh).left == 3000; }));
    PostMessageA(fresh, WM_DISPLAYCHANGE, 32, MAKELPARAM(1024, 768));
    EXPECT_TRUE(WaitUntil([&] { return WindowRect(fresh).right == work.right && WindowRect(fresh).top == work.top; }));

    // A stored 2 counts as set, and a toggle turns it off.
    EXPECT_TRUE(WaitUntil([&] { return IsTopmost(by["top"]); }));
    NoteCommand(by["top"], ID_ALWAYSONTOP);
    EXPECT_TRUE(WaitUntil([&] { return !IsTopmost(by["top"]); }));
    EXPECT_FALSE(IsWindowVisible(by["hid"]));
    app.Command(ID_SHOWHIDDEN);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(by["hid"]); }));
    NoteCommand(by["hid"], ID_HIDENOTE);

    // Delete Note asks nothing and leaves the others.
    NoteCommand(by["gone"], ID_DELETENOTE);
    EXPECT_TRUE(app.WaitNoteCount(5));  // no question first
    EXPECT_FALSE(IsWindow(by["gone"]));
    // Saved in order, with the rectangles as loaded or last placed by the user.
    EXPECT_EQ(NotesFileBytes({Note(longText, longRect), Note("far", farRect), Note("top", topRect), Note("hid", hidRect),
                              Note("", freshRect)}, 1),
              Save());
}

}  // namespace
}  // namespace e2e
