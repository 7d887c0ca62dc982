// Note windows as a user meets them: placement and look, typing, the context
// menu, always on top, hiding, drags, deleting, loaded notes, and what notes
// cost the process.
#include "tests/e2e/harness.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <set>

namespace e2e {
namespace {

constexpr WORD kNewNote = 40001, kDeleteNote = 40002, kShowHidden = 40004, kDeleteAll = 40005,
               kAlwaysOnTop = 40007, kHideNote = 40012, kUndo = 40015, kCut = 40016, kCopy = 40017,
               kPaste = 40018, kDelete = 40019, kSelectAll = 40020, kSave = 40022;
const COLORREF kYellow = RGB(255, 255, 0);

HWND Editor(HWND note) { return GetDlgItem(note, 1001); }
std::string Text(HWND note) { return WindowText(Editor(note)); }
// A command of the note's context menu, as if chosen there.
void NoteCommand(HWND note, WORD id) { PostMessageA(Editor(note), WM_COMMAND, id, 0); }
bool IsTopmost(HWND w) { return (GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }
POINT Centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

COLORREF ScreenPixel(int x, int y)
{
    HDC dc = GetDC(nullptr);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(nullptr, dc);
    return c;
}

void SetClipboardText(const std::string& text)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    if (!text.empty()) {
        HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
        std::memcpy(GlobalLock(mem), text.c_str(), text.size() + 1);
        GlobalUnlock(mem);
        SetClipboardData(CF_TEXT, mem);
    }
    CloseClipboard();
}

const MenuItemState* Item(const std::vector<MenuItemState>& items, UINT id)
{
    auto it = std::find_if(items.begin(), items.end(), [&](const MenuItemState& i) { return i.id == id; });
    return it == items.end() ? nullptr : &*it;
}

struct FileNote {
    std::string text;
    RECT rect;
    LONG onTop = 0;
    LONG hidden = 0;
};

// A notes file: mode, reserved, 16-bit count, then per note its text (one-byte
// length) and its record: rectangle, alarm flag and time, on top, hidden.
std::string NotesFileBytes(const std::vector<FileNote>& notes)
{
    std::string out(8, '\0');
    out += static_cast<char>(notes.size());
    out += static_cast<char>(notes.size() >> 8);
    for (const FileNote& n : notes) {
        out += static_cast<char>(n.text.size()) + n.text;
        for (LONG v : {n.rect.left, n.rect.top, n.rect.right, n.rect.bottom, 0L, 0L, n.onTop, n.hidden})
            out.append(reinterpret_cast<const char*>(&v), 4);
    }
    return out;
}

std::vector<FileNote> ParseNotesFile(const std::string& b)
{
    std::vector<FileNote> notes;
    size_t count = b.size() < 10 ? 0 : static_cast<unsigned char>(b[8]) | static_cast<unsigned char>(b[9]) << 8;
    for (size_t i = 0, at = 10; i < count && at < b.size(); ++i) {
        size_t length = static_cast<unsigned char>(b[at++]);
        if (at + length + 32 > b.size())
            break;
        LONG v[8];
        std::memcpy(v, b.data() + at + length, sizeof v);
        notes.push_back({b.substr(at, length), {v[0], v[1], v[2], v[3]}, v[6], v[7]});
        at += length + 32;
    }
    return notes;
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
                if (std::find(old.begin(), old.end(), w) == old.end())
                    note = w;
            return note != nullptr;
        });
        EXPECT_NE(nullptr, note);
        return note;
    }

    // Starts on a notes file of the test's folder, so that Save writes there without asking.
    std::string StartWithFile(const std::string& bytes = "")
    {
        std::string path = dir + "\\notes.dpd";
        if (!bytes.empty())
            WriteFileBytes(path, bytes);
        StartApp("\"" + path + "\"");
        return path;
    }

    std::vector<FileNote> SaveAndRead(const std::string& path)
    {
        DeleteFileA(path.c_str());
        app.Command(kSave);
        EXPECT_TRUE(WaitUntil([&] { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }));
        Sleep(100);
        return ParseNotesFile(ReadFileBytes(path));
    }

    // The program's visible popup menu; a closing menu's windows can linger,
    // so a new menu is only looked for once none is visible.
    HWND Menu(int timeoutMs = 3000)
    {
        HWND menu = nullptr;
        WaitUntil([&] {
            auto menus = ProcessWindows(app.Pid(), "#32768", nullptr, true);
            menu = menus.empty() ? nullptr : menus.front();
            return menu != nullptr;
        }, timeoutMs);
        Sleep(150);  // keys posted before the menu's own loop runs are lost
        return menu;
    }

    // Opens the note's context menu at a point (-1: as the keyboard asks for it).
    HWND OpenContextMenu(HWND note, LPARAM at = 0)
    {
        POINT c = Centre(WindowRect(Editor(note)));
        PostMessageA(Editor(note), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Editor(note)), at ? at : MAKELPARAM(c.x, c.y));
        return Menu();
    }

    void CloseMenus(HWND menu)
    {
        PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        EXPECT_TRUE(WaitUntil([&] { return ProcessWindows(app.Pid(), "#32768", nullptr, true).empty(); }));
    }

    void Keys(HWND menu, std::initializer_list<UINT> keys)
    {
        for (UINT key : keys) {
            PostMessageA(menu, WM_KEYDOWN, key, 0);
            Sleep(150);
        }
    }

    // The states of the context menu and of its Note submenu as the note set them.
    void ReadMenus(HWND note, std::vector<MenuItemState>& main, std::vector<MenuItemState>& sub)
    {
        unsigned since = MenuProbeSequence();
        HWND menu = OpenContextMenu(note);
        ASSERT_NE(nullptr, menu);
        auto items = WaitMenuProbe(since);
        ASSERT_TRUE(items.has_value());
        main = *items;
        since = MenuProbeSequence();
        PostMessageA(menu, WM_KEYDOWN, VK_UP, 0);  // from no selection to the last item, Note
        Sleep(100);
        PostMessageA(menu, WM_KEYDOWN, VK_RIGHT, 0);
        items = WaitMenuProbe(since);
        ASSERT_TRUE(items.has_value());
        sub = *items;
        CloseMenus(menu);
    }

    // A press at 'from', a move to 'to' by way of a middle point, the action
    // (if any) while the button is still down, and the release.
    void Drag(POINT from, POINT to, const std::function<void()>& whileDown = {})
    {
        MovePointer(from.x, from.y);
        Xdotool({"mousedown", "1"});
        Sleep(50);
        MovePointer((from.x + to.x) / 2, (from.y + to.y) / 2);
        Sleep(30);
        MovePointer(to.x, to.y);
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
    RECT r = WindowRect(note);
    EXPECT_LE(std::abs(Centre(r).x - 500), 1);
    EXPECT_LE(std::abs(Centre(r).y - 400), 1);
    EXPECT_EQ(controller, GetWindow(note, GW_OWNER));
    EXPECT_EQ(WS_POPUP, GetWindowLongA(note, GWL_STYLE) & (WS_POPUP | WS_DLGFRAME));  // no title bar
    EXPECT_EQ(0, GetWindowLongA(note, GWL_EXSTYLE) & (WS_EX_APPWINDOW | WS_EX_TOPMOST));  // no taskbar button
    EXPECT_EQ(note, GetForegroundWindow());
    // A margin to grab on every side, yellow like the space behind the text.
    RECT e = WindowRect(Editor(note));
    EXPECT_TRUE(e.left - r.left > 4 && e.top - r.top > 4 && r.right - e.right > 4 && r.bottom - e.bottom > 4);
    EXPECT_TRUE(WaitUntil([&] { return ScreenPixel(r.left + 3, r.top + 3) == kYellow; }, 2000));
    EXPECT_EQ(kYellow, ScreenPixel(r.right - 4, r.bottom - 4));
    EXPECT_EQ(kYellow, ScreenPixel(Centre(e).x, e.bottom - 3));

    // Near an edge: pulled inside the work area only as far as needed.
    const RECT work = WorkArea();
    for (POINT at : {POINT{work.right - 3, 2}, POINT{1, work.bottom - 2}, POINT{1020, 760}}) {
        SCOPED_TRACE(testing::Message() << at.x << "," << at.y);
        HWND n = NewNoteAt(at.x, at.y);
        ASSERT_NE(nullptr, n);
        r = WindowRect(n);
        EXPECT_TRUE(r.left >= work.left && r.top >= work.top && r.right <= work.right && r.bottom <= work.bottom);
        EXPECT_TRUE(r.right == work.right || r.left == work.left);
        EXPECT_TRUE(r.top == work.top || r.bottom == work.bottom);
    }
}

TEST_F(NotesTest, CloseRequestsNeverEndANoteAndTextStopsAt150Characters)
{
    StartApp();
    HWND note = NewNoteAt(400, 300);
    ASSERT_NE(nullptr, note);
    PostMessageA(Editor(note), WM_CHAR, 'x', 1);
    ASSERT_TRUE(WaitUntil([&] { return Text(note) == "x"; }));
    PostMessageA(note, WM_CLOSE, 0, 0);
    PostMessageA(note, WM_SYSCOMMAND, SC_CLOSE, 0);
    PostMessageA(note, WM_COMMAND, IDOK, 0);
    PostMessageA(note, WM_COMMAND, IDCANCEL, 0);
    SetForegroundWindow(note);
    for (const char* key : {"Escape", "alt+F4", "Return"}) {
        Xdotool({"key", key});
        Sleep(50);
    }
    Sleep(300);
    ASSERT_TRUE(IsWindowVisible(note));
    EXPECT_TRUE(app.Running());
    EXPECT_EQ(0u, Text(note).find('x'));

    // Narrow characters, so that 150 fit in the lines (the control does not
    // scroll and refuses what would not fit): the 151st, ':', is refused.
    NoteCommand(note, kSelectAll);
    NoteCommand(note, kDelete);
    ASSERT_TRUE(WaitUntil([&] { return Text(note).empty(); }));
    const std::string typed = std::string(149, 'i') + ".:";
    for (char c : typed)
        PostMessageA(Editor(note), WM_CHAR, static_cast<unsigned char>(c), 1);
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
    EXPECT_LE(std::abs(WindowRect(menu).top - (e.top + 20)), 1);
    EXPECT_LE(std::abs(Centre(WindowRect(menu)).x - (e.left + 40)), 2);
    CloseMenus(menu);
    SetForegroundWindow(note);
    ASSERT_NE(nullptr, menu = OpenContextMenu(note, -1));
    EXPECT_TRUE(WindowRect(menu).top > e.top + 5 && WindowRect(menu).top < e.top + 40);
    EXPECT_LE(std::abs(Centre(WindowRect(menu)).x - e.left), 4);
    CloseMenus(menu);
    MovePointer(r.left + 3, r.bottom - 3);
    Xdotool({"click", "3"});
    EXPECT_FALSE(Menu(400));

    // No text, no selection, an empty clipboard: only Select All and the Note submenu.
    std::vector<MenuItemState> main, sub;
    ReadMenus(note, main, sub);
    ASSERT_EQ(10u, main.size());
    EXPECT_TRUE(main[9].popup);
    for (UINT id : {kUndo, kCut, kCopy, kDelete, kPaste})
        EXPECT_TRUE(Item(main, id) && Item(main, id)->grayed) << id;
    EXPECT_FALSE(Item(main, kSelectAll)->grayed);
    ASSERT_EQ(5u, sub.size());
    EXPECT_FALSE(Item(sub, kDeleteNote)->grayed);
    EXPECT_FALSE(Item(sub, kHideNote)->checked || Item(sub, kAlwaysOnTop)->checked);

    // Text selected, text on the clipboard; Always On Top through the menu
    // (Note, its third item) and Hide Note while hidden notes are shown.
    for (char c : std::string("hello"))
        PostMessageA(Editor(note), WM_CHAR, c, 1);
    NoteCommand(note, kSelectAll);
    SetClipboardText("pasted");
    ASSERT_NE(nullptr, menu = OpenContextMenu(note));
    Keys(menu, {VK_UP, VK_RIGHT, VK_DOWN, VK_DOWN, VK_RETURN});
    EXPECT_TRUE(WaitUntil([&] { return IsTopmost(note); }));
    app.Command(kShowHidden);
    NoteCommand(note, kHideNote);
    ReadMenus(note, main, sub);
    for (UINT id : {kUndo, kCut, kCopy, kDelete, kPaste, kSelectAll})
        EXPECT_TRUE(Item(main, id) && !Item(main, id)->grayed) << id;
    EXPECT_TRUE(Item(sub, kHideNote)->checked && Item(sub, kAlwaysOnTop)->checked);

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
    std::string path = StartWithFile();
    HWND note = NewNoteAt(400, 300);
    HWND other = NewNoteAt(200, 600);
    ASSERT_TRUE(note && other);
    const RECT r = WindowRect(note);
    const POINT grab = {r.left + 5, Centre(r).y}, to = {grab.x + 60, grab.y + 40};

    // Esc during a drag: the note stays, the outline is drawn by inverting
    // every other pixel and erased again, keys typed meanwhile are dropped.
    SetForegroundWindow(note);
    auto outlineRow = [&] {
        std::vector<COLORREF> row;
        for (int x = 0; x < 16; ++x)
            row.push_back(ScreenPixel(r.left + 100 + x, r.top + 40));
        return row;
    };
    const std::vector<COLORREF> plain = outlineRow();
    std::vector<COLORREF> during;
    GUITHREADINFO gui = {};
    gui.cbSize = sizeof gui;
    Drag(grab, to, [&] {
        GetGUIThreadInfo(GetWindowThreadProcessId(note, nullptr), &gui);
        during = outlineRow();
        Xdotool({"key", "q"});
        Sleep(200);
        Xdotool({"key", "Escape"});
        Sleep(200);
    });
    EXPECT_EQ(note, gui.hwndCapture);
    size_t changed = 0;
    for (size_t i = 0; i < plain.size(); ++i)
        changed += plain[i] != during[i];
    EXPECT_EQ(plain.size() / 2, changed);
    Sleep(150);
    EXPECT_TRUE(SameRect(r, WindowRect(note)));
    EXPECT_EQ(std::string::npos, Text(note).find('q'));
    EXPECT_TRUE(plain == outlineRow());

    // A real drag moves it by the same offset, size kept; other windows'
    // messages are handled while the button is down.
    bool selected = false;
    Drag(grab, to, [&] {
        SendMessageA(Editor(other), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("other"));
        PostMessageA(Editor(other), EM_SETSEL, 0, -1);
        selected = WaitUntil([&] {
            DWORD start = 1, end = 0;
            SendMessageA(Editor(other), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
            return start == 0 && end == 5;
        }, 1000);
    });
    EXPECT_TRUE(selected);
    EXPECT_TRUE(WaitUntil([&] { return WindowRect(note).left == r.left + 60; }, 2000));
    RECT moved = WindowRect(note);
    EXPECT_TRUE(SameRect(moved, (RECT{r.left + 60, r.top + 40, r.right + 60, r.bottom + 40})));

    // The bottom-right handle: the note stays, the saved rectangle takes the outline.
    Drag({moved.right - 2, moved.bottom - 2}, {moved.right + 28, moved.bottom + 18});
    Sleep(200);
    EXPECT_TRUE(SameRect(moved, WindowRect(note)));
    auto saved = SaveAndRead(path);
    ASSERT_EQ(2u, saved.size());
    EXPECT_TRUE(SameRect((RECT{moved.left, moved.top, moved.right + 30, moved.bottom + 20}), saved[0].rect));
    // The top-left handle far past the other corner: the outline stops 8
    // pixels short of it, and only its top-left moves the note.
    Drag({moved.left + 1, moved.top + 1}, {moved.left + 400, moved.top + 200});
    EXPECT_TRUE(WaitUntil([&] { return WindowRect(note).left == moved.right - 8; }, 2000)) << WindowRect(note).left;
    EXPECT_TRUE(SameRect(WindowRect(note), (RECT{moved.right - 8, moved.bottom - 8, moved.right - 8 + r.right - r.left,
                                                 moved.bottom - 8 + r.bottom - r.top})));
}

TEST_F(NotesTest, LoadedNotesAreKeptInViewDeleteNoteLeavesTheOthersAndTogglesSetByTruth)
{
    const std::string longText(200, 'L');
    std::string path = StartWithFile(NotesFileBytes({
        {longText, {100, 120, 400, 500}},
        {"far", {5000, 5000, 5128, 5100}},
        {"gone", {200, 400, 300, 500}},
        {"top", {300, 200, 310, 210}, 2, 0},
        {"hid", {500, 200, 600, 300}, 0, 2},
    }));
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
    EXPECT_TRUE(SameRect((RECT{100, 120, 100 + freshRect.right - freshRect.left, 120 + freshRect.bottom - freshRect.top}),
                         WindowRect(by[longText])));

    // Wholly off every monitor: shown in the nearest work area, whether so
    // loaded or left there when the display changed.
    const RECT work = WorkArea();
    EXPECT_TRUE(IsWindowVisible(by["far"]));
    EXPECT_EQ(work.right, WindowRect(by["far"]).right);
    EXPECT_EQ(work.bottom, WindowRect(by["far"]).bottom);
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

    auto saved = SaveAndRead(path);
    ASSERT_EQ(5u, saved.size());
    std::vector<std::string> texts;
    for (const FileNote& n : saved)
        texts.push_back(n.text);
    EXPECT_EQ((std::vector<std::string>{longText, "far", "top", "hid", ""}), texts);
    EXPECT_TRUE(SameRect((RECT{100, 120, 400, 500}), saved[0].rect));
    EXPECT_TRUE(SameRect((RECT{5000, 5000, 5128, 5100}), saved[1].rect));
    EXPECT_EQ(0, saved[2].onTop);
    EXPECT_EQ(0, saved[3].hidden);
    EXPECT_TRUE(SameRect(freshRect, saved[4].rect));
}

// Every note ends exactly once with its window, editor, menu and brush, whichever way it goes.
TEST_F(NotesTest, TwoHundredNotesCreatedAndDeletedLeaveNoObjectsBehind)
{
    HWND controller = StartApp();
    ASSERT_TRUE(InjectMenuProbe(app));
    auto count = [&](bool visibleOnly) {  // cheaper than App::Notes: no texts asked
        auto all = ProcessWindows(app.Pid(), "#32770", nullptr, visibleOnly);
        return std::count_if(all.begin(), all.end(), [&](HWND w) { return GetWindow(w, GW_OWNER) == controller; });
    };
    auto create = [&](int n) {
        for (int i = 0; i < n; ++i)
            app.Command(kNewNote);
        return WaitUntil([&] { return count(true) == n; }, 30000);
    };
    auto deleteAll = [&] {
        app.Command(kDeleteAll);
        HWND box = app.WaitDialog("Driftpad: Delete");
        ASSERT_NE(nullptr, box);
        PressButton(box, IDYES);
        ASSERT_TRUE(WaitUntil([&] { return count(false) == 0; }, 20000));
    };
    // A first round puts what is loaded or cached once (fonts, the edit class,
    // Wine's 64 cached device contexts, the menu's window) in the start count.
    MovePointer(400, 300);
    ASSERT_TRUE(create(64));
    HWND menu = OpenContextMenu(app.Notes(true).front());
    ASSERT_NE(nullptr, menu);
    CloseMenus(menu);
    deleteAll();
    const GuiObjectCounts start = CountGuiObjects(app);
    ASSERT_TRUE(start.gdi > 0 && start.user > 0);

    ASSERT_TRUE(create(200));
    const GuiObjectCounts full = CountGuiObjects(app);
    EXPECT_GE(full.user, start.user + 4 * 200);  // window, editor, menu and its submenu
    EXPECT_GE(full.gdi, start.gdi + 200);        // a brush each at least
    // Half through each note's own Delete Note, half through Delete All.
    auto notes = ProcessWindows(app.Pid(), "#32770", nullptr, true);
    notes.erase(std::remove_if(notes.begin(), notes.end(), [&](HWND w) { return GetWindow(w, GW_OWNER) != controller; }),
                notes.end());
    for (size_t i = 0; i < 100; ++i)
        NoteCommand(notes[i], kDeleteNote);
    ASSERT_TRUE(WaitUntil([&] { return count(false) == 100; }, 20000));
    deleteAll();
    GuiObjectCounts end;
    EXPECT_TRUE(WaitUntil([&] {
        end = CountGuiObjects(app);
        return end.gdi == start.gdi && end.user == start.user;
    }, 3000)) << "GDI " << start.gdi << " -> " << full.gdi << " -> " << end.gdi << ", USER " << start.user << " -> "
              << full.user << " -> " << end.user;
}

}  // namespace
}  // namespace e2e
