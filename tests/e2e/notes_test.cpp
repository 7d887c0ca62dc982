// Note windows as a user meets them: where a new note appears and how it
// looks, typing and the context menu, always on top, hiding, moving by the
// margin, deleting, notes read from a file, and what a note costs the process.
#include "tests/e2e/harness.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <set>

namespace e2e {
namespace {

constexpr WORD kNewNote = 40001;
constexpr WORD kDeleteNote = 40002;
constexpr WORD kHideAll = 40003;
constexpr WORD kShowHidden = 40004;
constexpr WORD kDeleteAll = 40005;
constexpr WORD kAlwaysOnTop = 40007;
constexpr WORD kQuit = 40008;
constexpr WORD kHideNote = 40012;
constexpr WORD kUndo = 40015;
constexpr WORD kCut = 40016;
constexpr WORD kCopy = 40017;
constexpr WORD kPaste = 40018;
constexpr WORD kDelete = 40019;
constexpr WORD kSelectAll = 40020;
constexpr WORD kSave = 40022;

const COLORREF kYellow = RGB(255, 255, 0);

HWND Editor(HWND note)
{
    return GetDlgItem(note, 1001);
}

// A command of the note's context menu, as if chosen there.
void NoteCommand(HWND note, WORD id)
{
    PostMessageA(Editor(note), WM_COMMAND, id, 0);
}

bool IsTopmost(HWND w)
{
    return (GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

POINT Centre(const RECT& r)
{
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

bool SameRect(const RECT& a, const RECT& b)
{
    return EqualRect(&a, &b) != FALSE;
}

COLORREF ScreenPixel(int x, int y)
{
    HDC dc = GetDC(nullptr);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(nullptr, dc);
    return c;
}

void SetClipboardText(const char* text)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    if (text) {
        size_t size = std::strlen(text) + 1;
        HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, size);
        std::memcpy(GlobalLock(mem), text, size);
        GlobalUnlock(mem);
        SetClipboardData(CF_TEXT, mem);
    }
    CloseClipboard();
}

std::string Text(HWND note)
{
    return WindowText(Editor(note));
}

struct FileNote {
    std::string text;
    RECT rect;
    int32_t onTop = 0;
    int32_t hidden = 0;
};

void PutDword(std::string& out, int32_t v)
{
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF);
}

// A notes file: the mode, a reserved dword, the count, and per note its
// text (one-byte length) and 32-byte record.
std::string NotesFileBytes(int32_t showHidden, const std::vector<FileNote>& notes)
{
    std::string out;
    PutDword(out, showHidden);
    PutDword(out, 0);
    out += static_cast<char>(notes.size() & 0xFF);
    out += static_cast<char>(notes.size() >> 8);
    for (const FileNote& n : notes) {
        out += static_cast<char>(n.text.size());
        out += n.text;
        for (LONG v : {n.rect.left, n.rect.top, n.rect.right, n.rect.bottom})
            PutDword(out, v);
        PutDword(out, 0);
        PutDword(out, 0);
        PutDword(out, n.onTop);
        PutDword(out, n.hidden);
    }
    return out;
}

int32_t GetDword(const std::string& bytes, size_t at)
{
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(bytes.at(at + i));
    return static_cast<int32_t>(v);
}

// The notes of a saved file, in file order (texts shorter than 255).
std::vector<FileNote> ParseNotesFile(const std::string& bytes)
{
    std::vector<FileNote> notes;
    if (bytes.size() < 10)
        return notes;
    size_t count = static_cast<unsigned char>(bytes[8]) | static_cast<unsigned char>(bytes[9]) << 8;
    size_t at = 10;
    for (size_t i = 0; i < count && at < bytes.size(); ++i) {
        FileNote n;
        size_t length = static_cast<unsigned char>(bytes[at++]);
        n.text = bytes.substr(at, length);
        at += length;
        n.rect = {GetDword(bytes, at), GetDword(bytes, at + 4), GetDword(bytes, at + 8), GetDword(bytes, at + 12)};
        n.onTop = GetDword(bytes, at + 24);
        n.hidden = GetDword(bytes, at + 28);
        at += 32;
        notes.push_back(n);
    }
    return notes;
}

class NotesTest : public DriftpadTest {
protected:
    // Puts the pointer at (x, y), chooses New Note and returns the note
    // once it is visible.
    HWND NewNoteAt(int x, int y)
    {
        auto old = app.Notes();
        std::set<HWND> before(old.begin(), old.end());
        MovePointer(x, y);
        app.Command(kNewNote);
        HWND note = nullptr;
        WaitUntil([&] {
            for (HWND w : app.Notes(true)) {
                if (!before.count(w)) {
                    note = w;
                    return true;
                }
            }
            return false;
        });
        EXPECT_NE(nullptr, note);
        return note;
    }

    // Starts with a notes file of the test's own folder as the current
    // file, so that Save writes there without asking.
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

    // Opens the note's context menu at a point and waits for it.
    HWND OpenContextMenu(HWND note)
    {
        POINT at = Centre(WindowRect(Editor(note)));
        PostMessageA(Editor(note), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Editor(note)), MAKELPARAM(at.x, at.y));
        HWND menu = WaitPopupMenu();
        Sleep(150);  // keys posted before the menu's own loop runs are lost
        return menu;
    }

    void CloseMenus(HWND menu)
    {
        PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        EXPECT_TRUE(WaitNoPopupMenu());
    }

    // The states of the context menu and of its Note submenu as the note
    // set them while they opened.
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

    // A press on the margin, moves to 'to' by way of a middle point, the
    // action (if any) while the button is still down, and the release.
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

const MenuItemState* Item(const std::vector<MenuItemState>& items, UINT id)
{
    for (const auto& it : items) {
        if (it.id == id)
            return &it;
    }
    return nullptr;
}

TEST_F(NotesTest, NewNoteIsCentredOnThePointerYellowAndOwnedWithoutATaskbarButton)
{
    HWND controller = StartApp();
    HWND note = NewNoteAt(500, 400);
    ASSERT_NE(nullptr, note);
    RECT r = WindowRect(note);
    POINT c = Centre(r);
    EXPECT_LE(std::abs(c.x - 500), 1);
    EXPECT_LE(std::abs(c.y - 400), 1);

    EXPECT_EQ(controller, GetWindow(note, GW_OWNER));
    LONG style = GetWindowLongA(note, GWL_STYLE);
    LONG exStyle = GetWindowLongA(note, GWL_EXSTYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_EQ(0, style & WS_DLGFRAME);  // a border but no title bar
    EXPECT_EQ(0, exStyle & WS_EX_APPWINDOW);
    EXPECT_FALSE(IsTopmost(note));

    // The editor sits inside with a margin to grab on every side.
    RECT e = WindowRect(Editor(note));
    EXPECT_GT(e.left - r.left, 4);
    EXPECT_GT(e.top - r.top, 4);
    EXPECT_GT(r.right - e.right, 4);
    EXPECT_GT(r.bottom - e.bottom, 4);

    // Yellow in the margin and behind the (empty) text.
    EXPECT_TRUE(WaitUntil([&] { return ScreenPixel(r.left + 3, r.top + 3) == kYellow; }, 2000))
        << std::hex << ScreenPixel(r.left + 3, r.top + 3);
    EXPECT_EQ(kYellow, ScreenPixel(r.right - 4, r.bottom - 4));
    EXPECT_EQ(kYellow, ScreenPixel((e.left + e.right) / 2, e.bottom - 3));
    EXPECT_TRUE(GetForegroundWindow() == note);
}

TEST_F(NotesTest, NewNoteNearAScreenEdgeIsPulledInsideTheWorkArea)
{
    StartApp();
    const RECT work = WorkArea();
    for (POINT at : {POINT{work.right - 3, 2}, POINT{1, work.bottom - 2}, POINT{1020, 760}}) {
        HWND note = NewNoteAt(at.x, at.y);
        ASSERT_NE(nullptr, note);
        RECT r = WindowRect(note);
        EXPECT_GE(r.left, work.left) << at.x << "," << at.y;
        EXPECT_GE(r.top, work.top) << at.x << "," << at.y;
        EXPECT_LE(r.right, work.right) << at.x << "," << at.y;
        EXPECT_LE(r.bottom, work.bottom) << at.x << "," << at.y;
        // Pulled only as far as needed: it still touches the edge it came from.
        EXPECT_TRUE(r.right == work.right || r.left == work.left) << at.x << "," << at.y;
        EXPECT_TRUE(r.top == work.top || r.bottom == work.bottom) << at.x << "," << at.y;
    }
}

TEST_F(NotesTest, TypingAndPastingStopAt150Characters)
{
    StartApp();
    HWND note = NewNoteAt(400, 300);
    ASSERT_NE(nullptr, note);
    // Narrow characters, so that 150 fit in the visible lines (the control
    // does not scroll and refuses what would not fit).
    const std::string typed = std::string(149, 'i') + ".:";
    for (char c : typed)
        PostMessageA(Editor(note), WM_CHAR, static_cast<unsigned char>(c), 1);
    EXPECT_TRUE(WaitUntil([&] { return Text(note).size() == 150; })) << Text(note).size();
    Sleep(200);
    EXPECT_EQ(typed.substr(0, 150), Text(note));  // the 151st, ':', was refused

    NoteCommand(note, kSelectAll);
    NoteCommand(note, kDelete);
    EXPECT_TRUE(WaitUntil([&] { return Text(note).empty(); }));
    SetClipboardText(std::string(200, 'l').c_str());
    NoteCommand(note, kPaste);
    EXPECT_TRUE(WaitUntil([&] { return Text(note) == std::string(150, 'l'); })) << Text(note).size();
}

TEST_F(NotesTest, CloseRequestsEscAndEnterNeverEndANote)
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
    // And from the keyboard, into the focused editor.
    SetForegroundWindow(note);
    for (const char* key : {"Escape", "alt+F4", "Return"}) {
        Xdotool({"key", key});
        Sleep(50);
    }
    Sleep(300);
    ASSERT_TRUE(IsWindow(note));
    EXPECT_TRUE(IsWindowVisible(note));
    EXPECT_EQ(1u, app.Notes(true).size());
    EXPECT_TRUE(app.Running());
    EXPECT_EQ(0u, Text(note).find('x'));
}

TEST_F(NotesTest, ContextMenuStatesFollowSelectionClipboardUndoAndFlags)
{
    StartApp();
    ASSERT_TRUE(InjectMenuProbe(app));
    HWND note = NewNoteAt(400, 300);
    ASSERT_NE(nullptr, note);
    SetClipboardText(nullptr);

    std::vector<MenuItemState> main, sub;
    ReadMenus(note, main, sub);
    ASSERT_EQ(10u, main.size());
    EXPECT_TRUE(main[9].popup);
    for (UINT id : {kUndo, kCut, kCopy, kDelete, kPaste})
        EXPECT_TRUE(Item(main, id) && Item(main, id)->grayed) << id;
    EXPECT_FALSE(Item(main, kSelectAll)->grayed);
    ASSERT_EQ(5u, sub.size());
    EXPECT_FALSE(Item(sub, kDeleteNote)->grayed);
    EXPECT_FALSE(Item(sub, kHideNote)->checked);
    EXPECT_FALSE(Item(sub, kAlwaysOnTop)->checked);

    // Text typed, all of it selected, text on the clipboard, both flags set
    // (Hide Note while hidden notes are shown, so the note stays reachable).
    for (char c : std::string("hello"))
        PostMessageA(Editor(note), WM_CHAR, c, 1);
    NoteCommand(note, kSelectAll);
    SetClipboardText("pasted");
    app.Command(kShowHidden);
    NoteCommand(note, kHideNote);
    NoteCommand(note, kAlwaysOnTop);
    ASSERT_TRUE(WaitUntil([&] { return IsTopmost(note); }));
    ReadMenus(note, main, sub);
    for (UINT id : {kUndo, kCut, kCopy, kDelete, kPaste, kSelectAll})
        EXPECT_TRUE(Item(main, id) && !Item(main, id)->grayed) << id;
    EXPECT_TRUE(Item(sub, kHideNote)->checked);
    EXPECT_TRUE(Item(sub, kAlwaysOnTop)->checked);
    EXPECT_TRUE(IsWindowVisible(note));

    // Cut through the menu: the text goes, and Paste brings it back.
    HWND menu = OpenContextMenu(note);
    ASSERT_NE(nullptr, menu);
    ChooseMenuItemByKeys(menu, 1);  // Undo, Cut
    EXPECT_TRUE(WaitUntil([&] { return Text(note).empty(); }));
    NoteCommand(note, kPaste);
    EXPECT_TRUE(WaitUntil([&] { return Text(note) == "hello"; })) << Text(note);
}

TEST_F(NotesTest, ContextMenuOpensAtTheClickAndBelowTheCaretForTheKeyboard)
{
    StartApp();
    HWND note = NewNoteAt(400, 300);
    ASSERT_NE(nullptr, note);
    RECT e = WindowRect(Editor(note));
    POINT at = {e.left + 40, e.top + 20};
    MovePointer(at.x, at.y);
    Xdotool({"click", "3"});
    HWND menu = WaitPopupMenu();
    ASSERT_NE(nullptr, menu);
    RECT m = WindowRect(menu);
    EXPECT_LE(std::abs(m.top - at.y), 1);
    EXPECT_LE(std::abs(Centre(m).x - at.x), 2);
    CloseMenus(menu);

    // A right click on the margin shows nothing.
    RECT r = WindowRect(note);
    MovePointer(r.left + 3, r.bottom - 3);
    Xdotool({"click", "3"});
    EXPECT_FALSE(WaitPopupMenu(400));

    // The keyboard's request: just below the caret, at the start of the empty text.
    SetForegroundWindow(note);
    PostMessageA(Editor(note), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Editor(note)), -1);
    menu = WaitPopupMenu();
    ASSERT_NE(nullptr, menu);
    m = WindowRect(menu);
    EXPECT_GT(m.top, e.top + 5);
    EXPECT_LT(m.top, e.top + 40);
    EXPECT_LE(std::abs(Centre(m).x - e.left), 4);
    CloseMenus(menu);
}

// A lone note is the hard case: only topmost windows then lie above its owner.
TEST_F(NotesTest, AlwaysOnTopTwiceReturnsToTheNormalLayer)
{
    HWND controller = StartApp();
    HWND note = NewNoteAt(400, 300);
    ASSERT_NE(nullptr, note);
    HWND menu = OpenContextMenu(note);
    ASSERT_NE(nullptr, menu);
    // Into the Note submenu and down to its third item.
    for (UINT key : {VK_UP, VK_RIGHT, VK_DOWN, VK_DOWN, VK_RETURN}) {
        PostMessageA(menu, WM_KEYDOWN, key, 0);
        Sleep(150);
    }
    EXPECT_TRUE(WaitUntil([&] { return IsTopmost(note); }));
    NoteCommand(note, kAlwaysOnTop);
    EXPECT_TRUE(WaitUntil([&] { return !IsTopmost(note); }));
    EXPECT_TRUE(IsWindowVisible(note));
    EXPECT_EQ(controller, GetWindow(note, GW_OWNER));  // still the controller's, no taskbar button
}

TEST_F(NotesTest, HideNoteHidesAtOnceOnlyWhileHiddenNotesAreNotShown)
{
    StartApp();
    HWND note = NewNoteAt(400, 300);
    ASSERT_NE(nullptr, note);
    NoteCommand(note, kHideNote);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(note); }));
    app.Command(kShowHidden);  // mode on: the hidden note is shown
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(note); }));
    NoteCommand(note, kHideNote);  // now an ordinary note again, still in view
    Sleep(200);
    EXPECT_TRUE(IsWindowVisible(note));
    app.Command(kShowHidden);  // mode off: only notes still marked hidden go
    Sleep(300);
    EXPECT_TRUE(IsWindowVisible(note));
    NoteCommand(note, kHideNote);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(note); }));
}

TEST_F(NotesTest, HideAllThenShowHiddenTwice)
{
    StartApp();
    HWND a = NewNoteAt(300, 300);
    HWND b = NewNoteAt(600, 300);
    ASSERT_TRUE(a && b);
    app.Command(kHideAll);
    EXPECT_TRUE(app.WaitNoteCount(0, true));
    app.Command(kShowHidden);
    EXPECT_TRUE(app.WaitNoteCount(2, true));
    app.Command(kShowHidden);
    EXPECT_TRUE(app.WaitNoteCount(0, true));
    EXPECT_EQ(2u, app.Notes().size());
}

TEST_F(NotesTest, DraggingTheMarginMovesTheNoteAndEscCancels)
{
    StartApp();
    HWND note = NewNoteAt(400, 300);
    ASSERT_NE(nullptr, note);
    HWND other = NewNoteAt(700, 500);
    ASSERT_NE(nullptr, other);
    RECT r = WindowRect(note);
    POINT grab = {r.left + 5, (r.top + r.bottom) / 2};

    // Pressing and releasing without moving changes nothing.
    Drag(grab, grab);
    Sleep(100);
    EXPECT_TRUE(SameRect(r, WindowRect(note)));

    // Esc during the drag: the note stays; other keys typed meanwhile are dropped.
    SetForegroundWindow(note);
    // The outline's top edge, 16 pixels of it, on the desktop beside the note.
    auto outlineRow = [&] {
        std::vector<COLORREF> row;
        for (int x = 0; x < 16; ++x)
            row.push_back(ScreenPixel(r.left + 60 + 40 + x, r.top + 40));
        return row;
    };
    const std::vector<COLORREF> plain = outlineRow();
    std::vector<COLORREF> during;
    HWND captured = nullptr;
    Drag(grab, {grab.x + 60, grab.y + 40}, [&] {
        GUITHREADINFO gui = {};
        gui.cbSize = sizeof gui;
        GetGUIThreadInfo(GetWindowThreadProcessId(note, nullptr), &gui);
        captured = gui.hwndCapture;
        during = outlineRow();
        Xdotool({"key", "q"});
        Sleep(200);
        Xdotool({"key", "Escape"});
        Sleep(200);
    });
    EXPECT_EQ(note, captured);
    // A checkerboard inversion: every other pixel of the edge changed.
    size_t changed = 0;
    for (size_t i = 0; i < plain.size(); ++i)
        changed += plain[i] != during[i];
    EXPECT_EQ(plain.size() / 2, changed);
    Sleep(150);
    EXPECT_TRUE(SameRect(r, WindowRect(note)));
    EXPECT_EQ(std::string::npos, Text(note).find('q'));
    EXPECT_TRUE(plain == outlineRow());  // erased by drawing it again

    // A real drag: the note follows by the same offset and keeps its size.
    // Messages for other windows keep being handled while the button is down.
    bool selectedDuringDrag = false;
    Drag(grab, {grab.x + 60, grab.y + 40}, [&] {
        SendMessageA(Editor(other), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("other"));
        PostMessageA(Editor(other), EM_SETSEL, 0, -1);
        selectedDuringDrag = WaitUntil([&] {
            DWORD start = 1, end = 0;
            SendMessageA(Editor(other), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
            return start == 0 && end == 5;
        }, 1000);
    });
    EXPECT_TRUE(selectedDuringDrag);
    EXPECT_TRUE(WaitUntil([&] { return WindowRect(note).left == r.left + 60; }, 2000));
    RECT moved = WindowRect(note);
    EXPECT_EQ(r.top + 40, moved.top);
    EXPECT_EQ(r.right - r.left, moved.right - moved.left);
    EXPECT_EQ(r.bottom - r.top, moved.bottom - moved.top);
    EXPECT_FALSE(IsTopmost(note));
}

TEST_F(NotesTest, HandleDragsKeepTheSizeAndTakeOnlyTheOutlinesTopLeft)
{
    std::string path = StartWithFile();
    HWND note = NewNoteAt(300, 300);
    ASSERT_NE(nullptr, note);
    RECT r = WindowRect(note);

    // The bottom-right corner handle: the outline grows, the note stays
    // where it is, and the saved rectangle takes the outline.
    Drag({r.right - 2, r.bottom - 2}, {r.right + 28, r.bottom + 18});
    Sleep(200);
    EXPECT_TRUE(SameRect(r, WindowRect(note)));
    auto saved = SaveAndRead(path);
    ASSERT_EQ(1u, saved.size());
    RECT expected = {r.left, r.top, r.right + 30, r.bottom + 20};
    EXPECT_TRUE(SameRect(expected, saved[0].rect))
        << saved[0].rect.left << "," << saved[0].rect.top << "," << saved[0].rect.right << "," << saved[0].rect.bottom;

    // The top-left handle pushed far past the other corner: the outline
    // stops 8 pixels short of it, and the note moves its corner there.
    Drag({r.left + 1, r.top + 1}, {r.left + 400, r.top + 300});
    EXPECT_TRUE(WaitUntil([&] { return WindowRect(note).left == r.right - 8; }, 2000)) << WindowRect(note).left;
    RECT moved = WindowRect(note);
    EXPECT_EQ(r.bottom - 8, moved.top);
    EXPECT_EQ(r.right - r.left, moved.right - moved.left);
    EXPECT_EQ(r.bottom - r.top, moved.bottom - moved.top);
}

TEST_F(NotesTest, DeleteNoteRemovesOnlyThatNoteAndKeepsTheOrder)
{
    std::string path = StartWithFile();
    std::vector<HWND> notes;
    for (const char* text : {"A", "B", "C"}) {
        HWND n = NewNoteAt(200 + 200 * static_cast<int>(notes.size()), 300);
        ASSERT_NE(nullptr, n);
        SendMessageA(Editor(n), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
        notes.push_back(n);
    }
    // Through the menu: Note, then its first item.
    HWND menu = OpenContextMenu(notes[1]);
    ASSERT_NE(nullptr, menu);
    for (UINT key : {VK_UP, VK_RIGHT, VK_RETURN}) {
        PostMessageA(menu, WM_KEYDOWN, key, 0);
        Sleep(150);
    }
    EXPECT_TRUE(app.WaitNoteCount(2));
    EXPECT_FALSE(IsWindow(notes[1]));
    EXPECT_EQ("A", Text(notes[0]));
    EXPECT_EQ("C", Text(notes[2]));
    EXPECT_TRUE(app.NoDialog("Driftpad: Delete", 200));

    auto saved = SaveAndRead(path);
    ASSERT_EQ(2u, saved.size());
    EXPECT_EQ("A", saved[0].text);
    EXPECT_EQ("C", saved[1].text);
    EXPECT_TRUE(SameRect(WindowRect(notes[2]), saved[1].rect));
}

TEST_F(NotesTest, DeleteAllAnsweredNoKeepsAndYesRemovesEveryNote)
{
    StartApp();
    ASSERT_TRUE(NewNoteAt(300, 300));
    ASSERT_TRUE(NewNoteAt(500, 300));
    app.Command(kDeleteAll);
    HWND box = app.WaitDialog("Driftpad: Delete");
    ASSERT_NE(nullptr, box);
    PressButton(box, IDNO);
    Sleep(300);
    EXPECT_EQ(2u, app.Notes(true).size());
    app.Command(kDeleteAll);
    box = app.WaitDialog("Driftpad: Delete");
    ASSERT_NE(nullptr, box);
    PressButton(box, IDYES);
    EXPECT_TRUE(app.WaitNoteCount(0));
    EXPECT_TRUE(app.Running());
}

TEST_F(NotesTest, QuitWithNotesAnsweredCancelStaysAndNoEnds)
{
    StartApp();
    ASSERT_TRUE(NewNoteAt(300, 300));
    app.Command(kQuit);
    HWND box = app.WaitDialog("Driftpad: Quit");
    ASSERT_NE(nullptr, box);
    PressButton(box, IDCANCEL);
    Sleep(300);
    EXPECT_TRUE(app.Running());
    EXPECT_EQ(1u, app.Notes(true).size());
    app.Command(kQuit);
    box = app.WaitDialog("Driftpad: Quit");
    ASSERT_NE(nullptr, box);
    PressButton(box, IDNO);
    auto code = app.WaitExit();
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(0u, *code);
}

TEST_F(NotesTest, LoadedNotesKeepTheirCornerTextAndFlags)
{
    const std::string longText(200, 'L');
    std::string path = StartWithFile(NotesFileBytes(0, {
        {longText, {100, 120, 400, 500}, 0, 0},
        {"far", {5000, 5000, 5128, 5100}, 0, 0},
        {"top", {300, 200, 310, 210}, 2, 0},
        {"hid", {500, 200, 600, 300}, 0, 2},
    }));
    ASSERT_TRUE(app.WaitNoteCount(4));
    ASSERT_TRUE(app.WaitNoteCount(3, true));
    HWND fresh = NewNoteAt(700, 500);
    ASSERT_NE(nullptr, fresh);
    RECT size = WindowRect(fresh);
    const LONG w = size.right - size.left, h = size.bottom - size.top;
    POINT c = Centre(size);
    EXPECT_LE(std::abs(c.x - 700), 1);  // at the pointer, not where the last loaded note went
    EXPECT_LE(std::abs(c.y - 500), 1);

    std::map<std::string, HWND> byText;
    for (HWND n : app.Notes())
        byText[Text(n)] = n;
    ASSERT_EQ(5u, byText.size());
    RECT r = WindowRect(byText[longText]);
    EXPECT_TRUE(SameRect((RECT{100, 120, 100 + w, 120 + h}), r));  // saved corner, template size

    // Far outside the screen: shown inside the work area, saved place kept.
    const RECT work = WorkArea();
    r = WindowRect(byText["far"]);
    EXPECT_TRUE(IsWindowVisible(byText["far"]));
    EXPECT_EQ(work.right, r.right);
    EXPECT_EQ(work.bottom, r.bottom);

    // A stored 2 counts as set, and the toggle turns it off.
    HWND top = byText["top"];
    EXPECT_TRUE(WaitUntil([&] { return IsTopmost(top); }));
    NoteCommand(top, kAlwaysOnTop);
    EXPECT_TRUE(WaitUntil([&] { return !IsTopmost(top); }));
    HWND hid = byText["hid"];
    EXPECT_FALSE(IsWindowVisible(hid));
    app.Command(kShowHidden);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(hid); }));
    NoteCommand(hid, kHideNote);
    app.Command(kShowHidden);
    Sleep(300);
    EXPECT_TRUE(IsWindowVisible(hid));

    auto saved = SaveAndRead(path);
    ASSERT_EQ(5u, saved.size());
    EXPECT_EQ(longText, saved[0].text);
    EXPECT_TRUE(SameRect((RECT{100, 120, 400, 500}), saved[0].rect));
    EXPECT_TRUE(SameRect((RECT{5000, 5000, 5128, 5100}), saved[1].rect));
    EXPECT_EQ(0, saved[2].onTop);
    EXPECT_EQ(0, saved[3].hidden);
}

TEST_F(NotesTest, NoteLeftOutsideEveryMonitorComesBackOnDisplayChange)
{
    std::string path = StartWithFile();
    HWND note = NewNoteAt(400, 300);
    ASSERT_NE(nullptr, note);
    RECT before = WindowRect(note);
    // As if the monitor it stood on were gone.
    SetWindowPos(note, nullptr, 3000, -2000, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(WaitUntil([&] { return WindowRect(note).left == 3000; }));
    PostMessageA(note, WM_DISPLAYCHANGE, 32, MAKELPARAM(1024, 768));
    const RECT work = WorkArea();
    EXPECT_TRUE(WaitUntil([&] {
        RECT r = WindowRect(note);
        return r.right == work.right && r.top == work.top;
    }));
    auto saved = SaveAndRead(path);
    ASSERT_EQ(1u, saved.size());
    EXPECT_TRUE(SameRect(before, saved[0].rect));
}

// Every note ends exactly once with its window, editor, menu and brush,
// whichever way it goes.
TEST_F(NotesTest, TwoHundredNotesCreatedAndDeletedLeaveNoObjectsBehind)
{
    HWND controller = StartApp();
    ASSERT_TRUE(InjectMenuProbe(app));
    // Cheaper than App::Notes with hundreds of notes: no texts asked.
    auto count = [&](bool visibleOnly) {
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
    // A first round, so that what the window system loads or caches once
    // (fonts, the edit class, its cache of device contexts, which grows to
    // 64 under Wine and stays) is in the starting count; the context menu
    // once too, for its own window.
    MovePointer(400, 300);
    ASSERT_TRUE(create(64));
    HWND menu = OpenContextMenu(app.Notes(true).front());
    ASSERT_NE(nullptr, menu);
    CloseMenus(menu);
    deleteAll();
    const GuiObjectCounts start = CountGuiObjects(app);
    ASSERT_GT(start.gdi, 0);
    ASSERT_GT(start.user, 0);

    ASSERT_TRUE(create(200));
    const GuiObjectCounts full = CountGuiObjects(app);
    EXPECT_GE(full.user, start.user + 4 * 200);  // window, editor, menu and its submenu
    EXPECT_GE(full.gdi, start.gdi + 200);        // a brush each at least

    // Half through each note's own Delete Note, half through Delete All.
    auto notes = ProcessWindows(app.Pid(), "#32770", nullptr, true);
    int asked = 0;
    for (HWND n : notes) {
        if (GetWindow(n, GW_OWNER) == controller && asked < 100) {
            NoteCommand(n, kDeleteNote);
            ++asked;
        }
    }
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
