// Note windows as a user meets them: placement and look, typing, the context
// menu, always on top, hiding, drags, deleting, loaded notes, and what notes
// cost the process.
#include "tests/e2e/harness.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace e2e {
namespace {

constexpr WORD kNewNote = 40001, kDeleteNote = 40002, kShowHidden = 40004, kDeleteAll = 40005,
               kAlwaysOnTop = 40007, kHideNote = 40012, kUndo = 40015, kCut = 40016, kCopy = 40017,
               kPaste = 40018, kDelete = 40019, kSelectAll = 40020, kSave = 40022;

HWND Editor(HWND note) { return GetDlgItem(note, 1001); }
std::string Text(HWND note) { return WindowText(Editor(note)); }
// A command of the note's context menu, as if chosen there.
void NoteCommand(HWND note, WORD id) { PostMessageA(Editor(note), WM_COMMAND, id, 0); }
void Type(HWND note, const std::string& text)
{
    for (char c : text)
        PostMessageA(Editor(note), WM_CHAR, static_cast<unsigned char>(c), 1);
}
bool IsTopmost(HWND w) { return (GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }
POINT Centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }
RECT Offset(RECT r, int dx, int dy) { return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; }

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

struct FileNote {
    std::string text;
    RECT rect;
    LONG onTop = 0, hidden = 0;
};

// A notes file: mode, reserved, 16-bit count, then per note its text (one-byte
// length) and its record: rectangle, alarm flag and time, on top, hidden.
std::string NotesFileBytes(const std::vector<FileNote>& notes, char showHidden = 0)
{
    std::string out = {showHidden, 0, 0, 0, 0, 0, 0, 0, static_cast<char>(notes.size()), 0};
    for (const FileNote& n : notes) {
        out += static_cast<char>(n.text.size()) + n.text;
        for (LONG v : {n.rect.left, n.rect.top, n.rect.right, n.rect.bottom, 0L, 0L, n.onTop, n.hidden})
            out.append(reinterpret_cast<const char*>(&v), 4);
    }
    return out;
}

class NotesTest : public DriftpadTest {
protected:
    // Puts the pointer at (x, y), chooses New Note and returns the new note once visible.
    HWND NewNoteAt(int x, int y)
    {
        auto old = app.Notes();
        MovePointer(x, y);
        app.Command(kNewNote);
        HWND note = nullptr;
        WaitUntil([&] {
            for (HWND w : app.Notes(true))
                note = std::find(old.begin(), old.end(), w) == old.end() ? w : note;
            return note != nullptr;
        });
        return note;
    }

    // Starts on a notes file of the test's folder, so that Save writes there without asking.
    void StartWithFile(const std::string& bytes = "")
    {
        if (!bytes.empty())
            WriteFileBytes(dir + "\\notes.dpd", bytes);
        StartApp("\"" + dir + "\\notes.dpd\"");
    }

    std::string Save()
    {
        const std::string path = dir + "\\notes.dpd";
        DeleteFileA(path.c_str());
        app.Command(kSave);
        EXPECT_TRUE(WaitUntil([&] { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }));
        Sleep(100);
        return ReadFileBytes(path);
    }

    // The program's visible popup menu. A closing menu's windows can linger,
    // so menus are closed until none of the program's is visible.
    HWND Menu(int timeoutMs = 3000)
    {
        HWND menu = nullptr;
        WaitUntil([&] {
            auto menus = ProcessWindows(app.Pid(), "#32768", nullptr, true);
            return (menu = menus.empty() ? nullptr : menus.front()) != nullptr;
        }, timeoutMs);
        Sleep(150);  // keys posted before the menu's own loop runs are lost
        return menu;
    }

    // Opens the note's context menu at its centre (-1: as the keyboard asks for it).
    HWND OpenContextMenu(HWND note, LPARAM at = 0)
    {
        POINT c = Centre(WindowRect(Editor(note)));
        PostMessageA(Editor(note), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Editor(note)), at ? at : MAKELPARAM(c.x, c.y));
        return Menu();
    }

    void Keys(HWND menu, std::initializer_list<UINT> keys)
    {
        for (UINT key : keys) {
            PostMessageA(menu, WM_KEYDOWN, key, 0);
            Sleep(150);
        }
    }

    void CloseMenus(HWND menu)
    {
        Keys(menu, {VK_ESCAPE, VK_ESCAPE});
        EXPECT_TRUE(WaitUntil([&] { return ProcessWindows(app.Pid(), "#32768", nullptr, true).empty(); }));
    }

    // The states of the context menu and of its Note submenu, by id, as the note set them.
    std::map<UINT, MenuItemState> ReadMenus(HWND note)
    {
        std::map<UINT, MenuItemState> states;
        unsigned since = MenuProbeSequence();
        HWND menu = OpenContextMenu(note);
        auto main = WaitMenuProbe(since);
        since = MenuProbeSequence();
        Keys(menu, {VK_UP, VK_RIGHT});  // from no selection to the last item, Note, and into it
        auto sub = WaitMenuProbe(since);
        CloseMenus(menu);
        EXPECT_TRUE(main && main->size() == 10 && main->back().popup && sub && sub->size() == 5);
        for (const auto* items : {&main, &sub})
            for (const MenuItemState& item : items->value_or(std::vector<MenuItemState>{}))
                states[item.id] = item;
        return states;
    }

    // A press at 'from', a move to 'to' by way of a middle point, the action
    // (if any) while the button is still down, and the release.
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
        Sleep(50);
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
    for (const char* key : {"Escape", "alt+F4", "Return"}) {
        Xdotool({"key", key});
        Sleep(50);
    }
    Sleep(300);
    ASSERT_TRUE(IsWindowVisible(note));
    EXPECT_EQ(0u, Text(note).find('x'));

    // Narrow characters, so that 150 fit in the lines (the control does not
    // scroll and refuses what would not fit): the 151st, ':', is refused.
    NoteCommand(note, kSelectAll);
    NoteCommand(note, kDelete);
    const std::string typed = std::string(149, 'i') + ".:";
    Type(note, typed);
    EXPECT_TRUE(WaitUntil([&] { return Text(note).size() == 150; })) << Text(note).size();
    Sleep(200);
    EXPECT_EQ(typed.substr(0, 150), Text(note));
    // Pasting stops there too.
    NoteCommand(note, kSelectAll);
    SetClipboardText(std::string(200, 'l'));
    NoteCommand(note, kPaste);
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
    HWND menu = Menu();
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
    EXPECT_FALSE(Menu(400));

    // No text, no selection, an empty clipboard: only Select All and Delete Note.
    auto states = ReadMenus(note);
    for (UINT id : {kUndo, kCut, kCopy, kDelete, kPaste, kSelectAll, kDeleteNote})
        EXPECT_EQ(id != kSelectAll && id != kDeleteNote, states[id].grayed) << id;
    EXPECT_FALSE(states[kHideNote].checked || states[kAlwaysOnTop].checked);

    // Text selected, text on the clipboard; Always On Top through the menu
    // (Note, its third item) and Hide Note while hidden notes are shown.
    Type(note, "hello");
    NoteCommand(note, kSelectAll);
    SetClipboardText("pasted");
    ASSERT_NE(nullptr, menu = OpenContextMenu(note));
    Keys(menu, {VK_UP, VK_RIGHT, VK_DOWN, VK_DOWN, VK_RETURN});
    EXPECT_TRUE(WaitUntil([&] { return IsTopmost(note); }));
    app.Command(kShowHidden);
    NoteCommand(note, kHideNote);
    states = ReadMenus(note);
    for (UINT id : {kUndo, kCut, kCopy, kDelete, kPaste, kSelectAll})
        EXPECT_FALSE(states[id].grayed) << id;
    EXPECT_TRUE(states[kHideNote].checked && states[kAlwaysOnTop].checked);

    // Cut through the menu (Undo, Cut), and Paste brings it back.
    ASSERT_NE(nullptr, menu = OpenContextMenu(note));
    ChooseMenuItemByKeys(menu, 1);
    EXPECT_TRUE(WaitUntil([&] { return Text(note).empty(); }));
    NoteCommand(note, kPaste);
    EXPECT_TRUE(WaitUntil([&] { return Text(note) == "hello"; })) << Text(note);

    // Always On Top again: back in the normal layer, though a lone note has
    // only topmost windows above its owner.
    NoteCommand(note, kAlwaysOnTop);
    EXPECT_TRUE(WaitUntil([&] { return !IsTopmost(note); }));
    EXPECT_EQ(controller, GetWindow(note, GW_OWNER));

    // Hide Note hides at once only while hidden notes are not shown.
    EXPECT_TRUE(IsWindowVisible(note));
    NoteCommand(note, kHideNote);  // unmarked, still in view
    app.Command(kShowHidden);      // mode off: only marked notes go
    Sleep(300);
    EXPECT_TRUE(IsWindowVisible(note));
    NoteCommand(note, kHideNote);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(note); }));
    app.Command(kShowHidden);
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
    Sleep(150);
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
    Sleep(200);
    EXPECT_TRUE(SameRect(moved, WindowRect(note)));
    RECT grown = {moved.left, moved.top, moved.right + 30, moved.bottom + 20};
    EXPECT_EQ(NotesFileBytes({{"", grown}, {"o", WindowRect(other)}}), Save());
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
    StartWithFile(NotesFileBytes(
        {{longText, longRect}, {"far", farRect}, {"gone", {200, 400, 300, 500}}, {"top", topRect, 2, 0}, {"hid", hidRect, 0, 2}}));
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
    NoteCommand(by["top"], kAlwaysOnTop);
    EXPECT_TRUE(WaitUntil([&] { return !IsTopmost(by["top"]); }));
    EXPECT_FALSE(IsWindowVisible(by["hid"]));
    app.Command(kShowHidden);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(by["hid"]); }));
    NoteCommand(by["hid"], kHideNote);

    // Delete Note through the menu (Note, its first item) asks nothing and leaves the others.
    HWND menu = OpenContextMenu(by["gone"]);
    ASSERT_NE(nullptr, menu);
    Keys(menu, {VK_UP, VK_RIGHT, VK_RETURN});
    EXPECT_TRUE(app.WaitNoteCount(5));
    EXPECT_FALSE(IsWindow(by["gone"]));
    EXPECT_TRUE(app.NoDialog("Driftpad: Delete", 200));
    // Saved in order, with the rectangles as loaded or last placed by the user.
    EXPECT_EQ(NotesFileBytes({{longText, longRect}, {"far", farRect}, {"top", topRect}, {"hid", hidRect}, {"", freshRect}}, 1),
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
            app.Command(kNewNote);
        return WaitUntil([&] { return notes(true).size() == n; }, 30000);
    };
    auto deleteAll = [&] {
        app.Command(kDeleteAll);
        PressButton(app.WaitDialog("Driftpad: Delete"), IDYES);
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
        NoteCommand(all[i], kDeleteNote);
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
