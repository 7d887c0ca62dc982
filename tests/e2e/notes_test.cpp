// Note windows as a user meets them: placement and look, typing, the context
// menu, always on top, hiding, drags, deleting, loaded notes, and what notes
// cost the process.
#include "tests/e2e/harness.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace e2e {
namespace {

HWND Editor(HWND note) { return GetDlgItem(note, IDC_NOTEEDIT); }
std::string Text(HWND note) { return WindowText(Editor(note)); }
// A command of the note's context menu, as if chosen there; carried out on return.
void NoteCommand(HWND note, WORD id)
{
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(Editor(note), WM_COMMAND, id, 0, SMTO_NORMAL, 5000, &ignored);
}
void Type(HWND note, const std::string& text)
{
    for (char c : text)
        PostMessageA(Editor(note), WM_CHAR, static_cast<unsigned char>(c), 1);
}
bool IsTopmost(HWND w) { return (GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }
POINT Centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }
RECT Offset(RECT r, int dx, int dy) { return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; }
FileNote Note(const std::string& text, RECT rect, int32_t onTop = 0, int32_t hidden = 0)
{
    FileNote n;
    n.text = text;
    n.rect = rect;
    n.onTop = onTop;
    n.hidden = hidden;
    return n;
}

bool Yellow(int x, int y)
{
    HDC dc = GetDC(nullptr);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(nullptr, dc);
    return c == RGB(255, 255, 0);
}

void SetClipboardText(const std::string& text)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    if (HGLOBAL mem = text.empty() ? nullptr : GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
        std::memcpy(GlobalLock(mem), text.c_str(), text.size() + 1);
        GlobalUnlock(mem);
        SetClipboardData(CF_TEXT, mem);
    }
    CloseClipboard();
}

class NotesTest : public DriftpadTest {
protected:
    HWND NewNoteAt(int x, int y)
    {
        POINT at = {x, y};
        return app.NewNote("", &at);
    }

    void CloseMenus(HWND menu)
    {
        MenuKeys(menu, {VK_ESCAPE, VK_ESCAPE});
        EXPECT_TRUE(WaitNoPopupMenu(app.Pid()));
    }

    // Opens the note's context menu at its centre (-1: as the keyboard asks for it).
    HWND OpenContextMenu(HWND note, LPARAM at = 0)
    {
        POINT c = Centre(WindowRect(Editor(note)));
        PostMessageA(Editor(note), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Editor(note)), at ? at : MAKELPARAM(c.x, c.y));
        return WaitPopupMenu(app.Pid());
    }

    // The states of the context menu and of its Note submenu, by id, as the note set them.
    std::map<UINT, MenuItemState> ReadMenus(HWND note)
    {
        std::map<UINT, MenuItemState> states;
        unsigned since = MenuProbeSequence();
        HWND menu = OpenContextMenu(note);
        auto main = WaitMenuProbe(since);
        since = MenuProbeSequence();
        MenuKeys(menu, {VK_UP, VK_RIGHT});  // from no selection to the last item, Note, and into it
        auto sub = WaitMenuProbe(since);
        CloseMenus(menu);
        EXPECT_TRUE(main && main->size() == 10 && main->back().popup && sub && sub->size() == 5);
        for (const auto* items : {&main, &sub})
            for (const MenuItemState& item : items->value_or(std::vector<MenuItemState>{}))
                states[item.id] = item;
        return states;
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
    SetClipboardText(std::string(200, 'l'));
    NoteCommand(note, ID_EDIT_PASTE);
    EXPECT_TRUE(WaitUntil([&] { return Text(note) == std::string(150, 'l'); })) << Text(note).size();
}

TEST_F(NotesTest, ContextMenuPlacesStatesAlwaysOnTopAndHideNote)
{
    HWND controller = StartApp();
    ASSERT_TRUE(InjectMenuProbe(app));
    HWND note = NewNoteAt(400, 300);
    ASSERT_NE(nullptr, note);
    SetClipboardText("");

    // Centred on a right click; from the keyboard just below the caret; none from the margin.
    const RECT e = WindowRect(Editor(note)), r = WindowRect(note);
    MovePointer(e.left + 40, e.top + 20);
    Xdotool({"click", "3"});
    HWND menu = WaitPopupMenu(app.Pid());
    ASSERT_NE(nullptr, menu);
    RECT m = WindowRect(menu);
    EXPECT_TRUE(std::abs(m.top - (e.top + 20)) <= 1 && std::abs(Centre(m).x - (e.left + 40)) <= 2);
    CloseMenus(menu);
    ASSERT_NE(nullptr, menu = OpenContextMenu(note, -1));
    m = WindowRect(menu);
    EXPECT_TRUE(m.top > e.top + 5 && m.top < e.top + 40 && std::abs(Centre(m).x - e.left) <= 4);
    CloseMenus(menu);
    MovePointer(r.left + 3, r.bottom - 3);
    Xdotool({"click", "3"});
    Xdotool({"key", "z"});  // handled after the click, and typed only if no menu opened
    ASSERT_TRUE(WaitUntil([&] { return Text(note) == "z"; }));
    SetItemText(note, IDC_NOTEEDIT, "");  // nothing to undo either

    // No text, no selection, an empty clipboard: only Select All and Delete Note.
    auto states = ReadMenus(note);
    for (UINT id : {ID_EDIT_UNDO, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_DELETE, ID_EDIT_PASTE, ID_EDIT_SELECTALL, ID_DELETENOTE})
        EXPECT_EQ(id != ID_EDIT_SELECTALL && id != ID_DELETENOTE, states[id].grayed) << id;
    EXPECT_FALSE(states[ID_HIDENOTE].checked || states[ID_ALWAYSONTOP].checked);

    // Text selected, text on the clipboard; Always On Top through the menu
    // (Note, its third item) and Hide Note while hidden notes are shown.
    Type(note, "hello");
    ASSERT_TRUE(WaitUntil([&] { return Text(note) == "hello"; }));
    NoteCommand(note, ID_EDIT_SELECTALL);
    SetClipboardText("pasted");
    ASSERT_NE(nullptr, menu = OpenContextMenu(note));
    MenuKeys(menu, {VK_UP, VK_RIGHT, VK_DOWN, VK_DOWN, VK_RETURN});
    EXPECT_TRUE(WaitUntil([&] { return IsTopmost(note); }));
    app.Command(ID_SHOWHIDDEN);
    NoteCommand(note, ID_HIDENOTE);
    states = ReadMenus(note);
    for (UINT id : {ID_EDIT_UNDO, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_DELETE, ID_EDIT_PASTE, ID_EDIT_SELECTALL})
        EXPECT_FALSE(states[id].grayed) << id;
    EXPECT_TRUE(states[ID_HIDENOTE].checked && states[ID_ALWAYSONTOP].checked);

    // Cut through the menu (Undo, Cut), and Paste brings it back.
    ASSERT_NE(nullptr, menu = OpenContextMenu(note));
    MenuKeys(menu, {VK_DOWN, VK_DOWN, VK_RETURN});
    EXPECT_TRUE(WaitUntil([&] { return Text(note).empty(); }));
    NoteCommand(note, ID_EDIT_PASTE);
    EXPECT_TRUE(WaitUntil([&] { return Text(note) == "hello"; })) << Text(note);

    // Always On Top again: back in the normal layer, though a lone note has
    // only topmost windows above its owner.
    NoteCommand(note, ID_ALWAYSONTOP);
    EXPECT_TRUE(WaitUntil([&] { return !IsTopmost(note); }));
    EXPECT_EQ(controller, GetWindow(note, GW_OWNER));

    // Hide Note hides at once only while hidden notes are not shown.
    EXPECT_TRUE(IsWindowVisible(note));
    NoteCommand(note, ID_HIDENOTE);          // unmarked, still in view
    ASSERT_TRUE(app.CommandAndWait(ID_SHOWHIDDEN));  // mode off: only marked notes go
    EXPECT_TRUE(IsWindowVisible(note));
    NoteCommand(note, ID_HIDENOTE);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(note); }));
    app.Command(ID_SHOWHIDDEN);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(note); }));
}

TEST_F(NotesTest, MarginDragMovesEscCancelsAndHandleDragsKeepTheSize)
{
    StartWithFile();
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
    EXPECT_EQ(std::string::npos, Text(note).find('q'));
    EXPECT_EQ(std::vector<bool>(16, true), outline());

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

    // The bottom-right handle: the note stays, the saved rectangle takes the outline.
    Drag({moved.right - 2, moved.bottom - 2}, {moved.right + 28, moved.bottom + 18});
    EXPECT_TRUE(SameRect(moved, WindowRect(note)));
    RECT grown = {moved.left, moved.top, moved.right + 30, moved.bottom + 20};
    EXPECT_EQ(NotesFileBytes({Note("", grown), Note("o", WindowRect(other))}), Save());
    // The top-left handle far past the other corner: the outline stops 8
    // pixels short of it, and only its top-left moves the note.
    Drag({moved.left + 1, moved.top + 1}, {moved.left + 400, moved.top + 200});
    const RECT last = Offset(r, moved.right - 8 - r.left, moved.bottom - 8 - r.top);
    EXPECT_TRUE(WaitUntil([&] { return SameRect(last, WindowRect(note)); }, 2000)) << WindowRect(note).left;
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

    // Delete Note through the menu (Note, its first item) asks nothing and leaves the others.
    HWND menu = OpenContextMenu(by["gone"]);
    ASSERT_NE(nullptr, menu);
    MenuKeys(menu, {VK_UP, VK_RIGHT, VK_RETURN});
    EXPECT_TRUE(app.WaitNoteCount(5));  // no question first
    EXPECT_FALSE(IsWindow(by["gone"]));
    // Saved in order, with the rectangles as loaded or last placed by the user.
    EXPECT_EQ(NotesFileBytes({Note(longText, longRect), Note("far", farRect), Note("top", topRect), Note("hid", hidRect),
                              Note("", freshRect)}, 1),
              Save());
}

// Every note ends exactly once with its window, editor, menu and brush, whichever way it goes.
TEST_F(NotesTest, TwoHundredNotesCreatedAndDeletedLeaveNoObjectsBehind)
{
    HWND controller = StartApp();
    ASSERT_TRUE(InjectMenuProbe(app));
    auto notes = [&](bool visibleOnly = false) {  // cheaper than App::Notes: no texts asked
        auto all = ProcessWindows(app.Pid(), "#32770", nullptr, visibleOnly);
        all.erase(std::remove_if(all.begin(), all.end(), [&](HWND w) { return GetWindow(w, GW_OWNER) != controller; }),
                  all.end());
        return all;
    };
    auto create = [&](size_t n) {
        for (size_t i = 0; i < n; ++i)
            app.Command(ID_NEWNOTE);
        return WaitUntil([&] { return notes(true).size() == n; }, 30000);
    };
    auto deleteAll = [&] {
        app.Command(ID_DELETEALL);
        app.Answer("Driftpad: Delete", IDYES);
        return WaitUntil([&] { return notes().empty(); }, 20000);
    };
    // A first round puts what is loaded or cached once (fonts, the edit class,
    // Wine's 64 cached device contexts, the menu's window) in the start count.
    MovePointer(400, 300);
    ASSERT_TRUE(create(64));
    CloseMenus(OpenContextMenu(notes().front()));
    ASSERT_TRUE(deleteAll());
    const GuiObjectCounts start = CountGuiObjects(app);
    ASSERT_TRUE(start.gdi > 0 && start.user > 0);

    ASSERT_TRUE(create(200));
    const GuiObjectCounts full = CountGuiObjects(app);
    EXPECT_EQ(full.user, start.user + 2 * 200);  // window and editor: the menu is loaded only when shown
    EXPECT_GE(full.gdi, start.gdi + 200);        // a brush each at least
    // Half through each note's own Delete Note, half through Delete All.
    auto all = notes();
    for (size_t i = 0; i < 100; ++i)
        NoteCommand(all[i], ID_DELETENOTE);
    ASSERT_TRUE(WaitUntil([&] { return notes().size() == 100; }, 20000));
    ASSERT_TRUE(deleteAll());
    GuiObjectCounts end;
    EXPECT_TRUE(WaitUntil([&] {
        end = CountGuiObjects(app);
        return end.gdi == start.gdi && end.user == start.user;
    }, 3000)) << "GDI " << start.gdi << " -> " << full.gdi << " -> " << end.gdi << ", USER " << start.user << " -> "
              << full.user << " -> " << end.user;
}

}  // namespace
}  // namespace e2e
