// Note windows as a user meets them, made in this process: placement and
// look, typing, the context menu, always on top, hiding, deleting, loaded
// notes, Unicode text, and the GUI objects notes leave behind.
#include "base/window_text.h"
#include "driver/live_objects.h"
#include "tests/unit/in_process.h"

#include <algorithm>

namespace e2e {
namespace {

using NoteTest = InProcessTest;

BOOL CALLBACK CountWindow(HWND w, LPARAM count)
{
    ++*reinterpret_cast<long*>(count);
    if (!(GetWindowLongA(w, GWL_STYLE) & WS_CHILD))  // a top-level window, and its children
        EnumChildWindows(w, CountWindow, count);
    return TRUE;
}

TEST_F(NoteTest, NewNoteIsCentredOnThePointerYellowOwnedAndInsideTheWorkArea)
{
    Start();
    HWND note = NewNote("", {500, 400});
    ASSERT_NE(nullptr, note);
    RECT r = WindowRect(note), e = WindowRect(Editor(note));
    EXPECT_TRUE(std::abs(Centre(r).x - 500) <= 1 && std::abs(Centre(r).y - 400) <= 1);
    EXPECT_EQ(note, GetForegroundWindow());
    EXPECT_EQ(WS_POPUP, GetWindowLongA(note, GWL_STYLE) & (WS_POPUP | WS_DLGFRAME));  // no title bar
    EXPECT_EQ(0, GetWindowLongA(note, GWL_EXSTYLE) & (WS_EX_APPWINDOW | WS_EX_TOPMOST));  // no taskbar button
    // A margin to grab on every side, yellow like the space behind the text.
    EXPECT_TRUE(e.left - r.left > 4 && e.top - r.top > 4 && r.right - e.right > 4 && r.bottom - e.bottom > 4);
    EXPECT_TRUE(PumpUntil([&] { return Yellow(r.left + 3, r.top + 3); }, 2000));
    EXPECT_TRUE(Yellow(r.right - 4, r.bottom - 4) && Yellow(Centre(e).x, e.bottom - 3));

    // Near an edge: pulled inside the work area only as far as needed.
    const RECT work = WorkArea();
    ASSERT_NE(nullptr, note = NewNote("", {work.right - 3, work.bottom - 2}));
    r = WindowRect(note);
    EXPECT_TRUE(r.right == work.right && r.bottom == work.bottom) << r.right << "," << r.bottom;
}

TEST_F(NoteTest, CloseRequestsNeverEndANoteAndTextStopsAt150Characters)
{
    Start();
    HWND note = NewNote();
    SendMessageA(Editor(note), WM_CHAR, 'x', 1);
    for (auto [msg, w] : {std::pair<UINT, WPARAM>{WM_CLOSE, 0}, {WM_SYSCOMMAND, SC_CLOSE}, {WM_COMMAND, IDOK}, {WM_COMMAND, IDCANCEL}})
        PostMessageA(note, msg, w, 0);
    SetForegroundWindow(note);
    for (const char* key : {"Escape", "alt+F4", "Return", "y"})
        Xdotool({"key", key});
    // The y comes after the rest: once it is there, the rest were handled.
    ASSERT_TRUE(PumpUntil([&] { return Text(note).find('y') != std::string::npos; }));
    EXPECT_TRUE(IsWindowVisible(note));
    EXPECT_EQ(0u, Text(note).find('x'));

    // Narrow characters, so that 150 fit in the lines (the control does not
    // scroll and refuses what would not fit): the 151st, ':', is refused.
    NoteCommand(note, ID_EDIT_SELECTALL);
    NoteCommand(note, ID_EDIT_DELETE);
    const std::string typed = std::string(149, 'i') + ".:";
    for (char c : typed)
        SendMessageA(Editor(note), WM_CHAR, c, 1);
    EXPECT_EQ(typed.substr(0, 150), Text(note));
    // Pasting stops there too.
    NoteCommand(note, ID_EDIT_SELECTALL);
    SetClipboardText(std::u16string(200, u'l'));
    NoteCommand(note, ID_EDIT_PASTE);
    EXPECT_EQ(std::string(150, 'l'), Text(note));
}

TEST_F(NoteTest, ContextMenuOpensWhereAskedShowsTheNotesStateAndItsCommandsReachTheNote)
{
    Start();
    const HWND note = NewNote();
    SetClipboardText(u"");

    // Centred on a right click; from the keyboard just below the caret; none from the margin.
    const RECT e = WindowRect(Editor(note)), r = WindowRect(note);
    MovePointer(e.left + 40, e.top + 20);
    Xdotool({"click", "3"});
    ASSERT_TRUE(PumpUntil([&] { return !spy.menus.empty(); }));
    EXPECT_TRUE(std::abs(spy.rect.top - (e.top + 20)) <= 1 && std::abs(Centre(spy.rect).x - (e.left + 40)) <= 2);
    ContextMenu(note, {VK_ESCAPE}, -1);
    EXPECT_TRUE(spy.rect.top > e.top + 5 && spy.rect.top < e.top + 40 && std::abs(Centre(spy.rect).x - e.left) <= 4);
    spy = MenuSpy{};
    MovePointer(r.left + 3, r.bottom - 3);
    Xdotool({"click", "3"});
    Xdotool({"key", "z"});  // handled after the click, and typed only if no menu opened
    EXPECT_TRUE(PumpUntil([&] { return Text(note) == "z"; }));
    EXPECT_TRUE(spy.menus.empty());
    SetWindowTextA(Editor(note), "");  // nothing to undo either

    // No text, no selection, an empty clipboard: only Select All and Delete Note.
    auto states = ReadMenus(note);
    for (UINT id : {ID_EDIT_UNDO, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_DELETE, ID_EDIT_PASTE, ID_EDIT_SELECTALL, ID_DELETENOTE})
        EXPECT_EQ(id != ID_EDIT_SELECTALL && id != ID_DELETENOTE ? UINT{MF_GRAYED} : 0u, states[id]) << id;
    EXPECT_EQ(0u, states[ID_HIDENOTE] | states[ID_ALWAYSONTOP]);

    // Typed and selected text, text on the clipboard; Always On Top through
    // the menu (Note, its third item) and Hide Note while hidden notes are shown.
    for (char c : std::string("hello"))
        SendMessageA(Editor(note), WM_CHAR, c, 1);
    NoteCommand(note, ID_EDIT_SELECTALL);
    SetClipboardText(u"pasted");
    ContextMenu(note, {VK_UP, VK_RIGHT, VK_DOWN, VK_DOWN, VK_RETURN});
    EXPECT_TRUE(IsTopmost(note));
    Command(ID_SHOWHIDDEN);
    NoteCommand(note, ID_HIDENOTE);
    states = ReadMenus(note);
    for (UINT id : {ID_EDIT_UNDO, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_DELETE, ID_EDIT_PASTE, ID_EDIT_SELECTALL})
        EXPECT_EQ(0u, states[id]) << id;
    EXPECT_EQ(UINT{MF_CHECKED}, states[ID_HIDENOTE] & states[ID_ALWAYSONTOP]);

    // Cut through the menu (Undo, Cut), and Paste brings it back.
    ContextMenu(note, {VK_DOWN, VK_DOWN, VK_RETURN});
    EXPECT_EQ("", Text(note));
    NoteCommand(note, ID_EDIT_PASTE);
    EXPECT_EQ("hello", Text(note));

    // Always On Top again: back in the normal layer, though a lone note has
    // only topmost windows above its owner.
    NoteCommand(note, ID_ALWAYSONTOP);
    EXPECT_FALSE(IsTopmost(note));
    EXPECT_EQ(controller, GetWindow(note, GW_OWNER));

    // Hide Note hides at once only while hidden notes are not shown.
    NoteCommand(note, ID_HIDENOTE);  // unmarked, still in view
    Command(ID_SHOWHIDDEN);          // mode off: only marked notes go
    EXPECT_TRUE(IsWindowVisible(note));
    NoteCommand(note, ID_HIDENOTE);
    EXPECT_FALSE(IsWindowVisible(note));
    Command(ID_SHOWHIDDEN);
    EXPECT_TRUE(IsWindowVisible(note));
}

TEST_F(NoteTest, LoadedNotesStayInViewDeleteNoteLeavesTheOthersAndTogglesSetByTruth)
{
    const std::string longText(200, 'L');
    const RECT longRect = {100, 120, 400, 500}, farRect = {5000, 5000, 5128, 5100}, topRect = {300, 200, 310, 210},
               hidRect = {500, 200, 600, 300};
    StartOn(NotesFileBytes({Note(longText, longRect), Note("far", farRect), Note("gone", {200, 400, 300, 500}),
                                              Note("top", topRect, 2, 0), Note("hid", hidRect, 0, 2)}));
    ASSERT_EQ(5u, Notes().size());
    ASSERT_EQ(4u, Notes(true).size());
    HWND fresh = NewNote("", {700, 500});  // at the pointer, not after the last loaded note
    ASSERT_NE(nullptr, fresh);
    const RECT freshRect = WindowRect(fresh);
    EXPECT_LE(std::abs(Centre(freshRect).x - 700), 1);
    std::map<std::string, HWND> by;
    for (HWND n : Notes())
        by[Text(n)] = n;
    ASSERT_EQ(6u, by.size());
    // The saved corner with the template's size.
    EXPECT_TRUE(SameRect(Offset(freshRect, 100 - freshRect.left, 120 - freshRect.top), WindowRect(by[longText])));

    // Wholly off every monitor: shown in the nearest work area, whether so
    // loaded or left there when the display changed.
    const RECT work = WorkArea();
    EXPECT_TRUE(IsWindowVisible(by["far"]));
    EXPECT_TRUE(WindowRect(by["far"]).right == work.right && WindowRect(by["far"]).bottom == work.bottom);
    SetWindowPos(fresh, nullptr, 3000, -2000, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageA(fresh, WM_DISPLAYCHANGE, 32, MAKELPARAM(1024, 768));
    EXPECT_TRUE(WindowRect(fresh).right == work.right && WindowRect(fresh).top == work.top);

    // A stored 2 counts as set, and a toggle turns it off.
    EXPECT_TRUE(IsTopmost(by["top"]));
    NoteCommand(by["top"], ID_ALWAYSONTOP);
    EXPECT_FALSE(IsTopmost(by["top"]));
    EXPECT_FALSE(IsWindowVisible(by["hid"]));
    Command(ID_SHOWHIDDEN);
    ASSERT_TRUE(IsWindowVisible(by["hid"]));
    NoteCommand(by["hid"], ID_HIDENOTE);

    // Delete Note asks nothing and leaves the others.
    NoteCommand(by["gone"], ID_DELETENOTE);
    EXPECT_EQ(5u, Notes().size());
    EXPECT_FALSE(IsWindow(by["gone"]));
    // Saved in order, with the rectangles as loaded or last placed by the user.
    EXPECT_EQ(NotesFileBytes({Note(longText, longRect), Note("far", farRect), Note("top", topRect), Note("hid", hidRect),
                              Note("", freshRect)}, 1),
              Save());
}

// Text the code page lacks, pasted as Unicode: a wide string in the file
// beside a plain note's 8-bit one, whole again in the reopened note and in
// its alarm notice, and cut at 150 code units.
TEST_F(NoteTest, PastedUnicodeTextIsSavedWideAndComesBackWholeInTheNoteAndItsAlarm)
{
    Start('"' + notesFile + '"');
    NewNote("plain");
    HWND note = NewNote();
    // One character typed, then 150 units pasted, of which the last is refused.
    PostMessageW(Editor(note), WM_CHAR, 0x0416, 1);
    Pump();
    const std::u16string text = u"\u0443\u043A \U0001F41E" + std::u16string(145, u'i');
    SetClipboardText(text);
    NoteCommand(note, ID_EDIT_PASTE);
    const std::u16string kept = u"\u0416" + text.substr(0, 149);
    EXPECT_EQ(kept, WideWindowText(Editor(note)));
    Command(ID_SAVE);

    std::string wide = "\xFF\xFE\xFF\x96";  // wide, 150 units, low byte first
    for (char16_t unit : kept)
        wide += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    std::string bytes = ReadFileBytes(notesFile);
    ASSERT_EQ(10 + 6 + 32 + wide.size() + 32, bytes.size());
    EXPECT_EQ("\x05plain", bytes.substr(10, 6));
    EXPECT_EQ(wide, bytes.substr(48, wide.size()));

    bytes[48 + wide.size() + 16] = 1;  // its alarm set, and long due
    bytes[48 + wide.size() + 20] = 1;
    replies = {{"Driftpad: Quit", IDNO}};
    Command(ID_QUIT);
    StartOn(bytes);
    HWND notice = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (notice = FindWindowA("#32770", "Note Alarm!")) != nullptr; }));
    EXPECT_TRUE(IsWindowUnicode(notice) && kept == WideWindowText(GetDlgItem(notice, IDC_NOTICETEXT)));
    std::vector<std::u16string> texts;
    for (HWND w : Notes())
        texts.push_back(WideWindowText(Editor(w)));
    std::sort(texts.begin(), texts.end());
    EXPECT_EQ((std::vector<std::u16string>{u"plain", kept}), texts);
    PostMessageA(notice, WM_COMMAND, IDOK, 0);
}

// Every note ends exactly once with its window and editor, whichever way it
// goes, and costs no brush of its own.
TEST_F(NoteTest, TwoHundredNotesCreatedAndDeletedLeaveNoObjectsBehind)
{
    auto counts = [] {  // GDI objects; USER objects: the windows and menus
        const LiveObjects live = CountLiveObjects();
        long user = live.menus;
        EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&user));
        return std::pair<long, long>{live.gdi, user};
    };
    auto create = [&](size_t n) {
        for (size_t i = 0; i < n; ++i)
            Command(ID_NEWNOTE);
        return Notes(true).size() == n;
    };
    auto deleteAll = [&] {
        replies = {{"Driftpad: Delete", IDYES}};
        Command(ID_DELETEALL);
        return Notes().empty();
    };
    // A first round puts what is loaded or cached once (fonts, the edit class,
    // Wine's 64 cached device contexts, the menu's window) in the start count.
    Start();
    MovePointer(400, 300);
    ASSERT_TRUE(create(64));
    ContextMenu(Notes().front(), {VK_ESCAPE});
    ASSERT_TRUE(deleteAll());
    const auto start = counts();

    ASSERT_TRUE(create(200));
    const auto full = counts();
    EXPECT_EQ(full.second, start.second + 2 * 200);  // window and editor: the menu is loaded only when shown
    EXPECT_LT(full.first, start.first + 2 * 200);    // one brush for all notes, not one each
    // Half through each note's own Delete Note, half through Delete All.
    auto all = Notes();
    for (size_t i = 0; i < 100; ++i)
        NoteCommand(all[i], ID_DELETENOTE);
    ASSERT_EQ(100u, Notes().size());
    ASSERT_TRUE(deleteAll());
    EXPECT_EQ(start, counts()) << "GDI, USER with 200 notes: " << full.first << ", " << full.second;
}

// Each notice used to run inside the previous one's modal loop, until the stack ran out.
TEST_F(NoteTest, AThousandAlarmsDueTogetherEachShowTheirNotice)
{
    std::vector<FileNote> notes;
    for (int i = 0; i < 1000; ++i)
        notes.push_back(Note("alarm " + std::to_string(i)).Alarm(int32_t(time(nullptr)) - 60));
    StartOn(NotesFileBytes(notes));
    auto notices = [] {
        size_t n = 0;
        for (HWND w = FindWindowA("#32770", "Note Alarm!"); w; w = FindWindowExA(nullptr, w, "#32770", "Note Alarm!"))
            n += IsWindowVisible(w) != FALSE;
        return n;
    };
    EXPECT_TRUE(PumpUntil([&] { return notices() == 1000; }, 120000)) << notices();
}

}  // namespace
}  // namespace e2e
