// The controller and its notes made in this process, as the program makes
// them: popup menus read as they open, the program's questions answered as
// they come, files dropped as the shell drops them, and the GUI objects that
// notes leave behind counted.
#include "app/sticky_note_app.h"
#include "app/sticky_note_dlg.h"
#include "storage/code_page.h"
#include "tests/e2e/harness.h"
#include "tests/e2e/live_objects.h"

#include <shlobj.h>

#include <deque>
#include <filesystem>
#include <map>

namespace e2e {
namespace {

// Each popup menu's item states by id as the program left them; the first
// one's place. Once a menu loop waits, the keys are typed into it (later
// waits: Esc, so that no loop outlives the test).
struct MenuSpy {
    std::vector<std::map<UINT, UINT>> menus;
    RECT rect = {};
    std::vector<UINT> keys = {VK_ESCAPE};
    bool typed = false;
};
// The program's questions to answer, by caption, and the texts they asked.
struct Answers {
    std::deque<std::pair<std::string, int>> expected;
    std::vector<std::string> asked;
};
MenuSpy* g_spy;
Answers* g_answers;

LRESULT CALLBACK AfterMessage(int code, WPARAM wParam, LPARAM lParam)
{
    const auto& m = *reinterpret_cast<CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && g_spy && m.message == WM_INITMENUPOPUP) {
        auto menu = reinterpret_cast<HMENU>(m.wParam);
        std::map<UINT, UINT> items;
        for (int i = 0; i < GetMenuItemCount(menu); ++i)
            items[GetMenuItemID(menu, i)] = GetMenuState(menu, i, MF_BYPOSITION) & (MF_GRAYED | MF_CHECKED);
        g_spy->menus.push_back(items);
    } else if (code == HC_ACTION && g_spy && m.message == WM_ENTERIDLE && m.wParam == MSGF_MENU) {
        auto window = reinterpret_cast<HWND>(m.lParam);
        if (!g_spy->typed)
            GetWindowRect(window, &g_spy->rect);
        for (UINT key : g_spy->typed ? std::vector<UINT>{VK_ESCAPE} : g_spy->keys)
            PostMessageA(window, WM_KEYDOWN, key, 0);
        g_spy->typed = true;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK OnActivate(int code, WPARAM wParam, LPARAM lParam)
{
    auto box = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && g_answers && !g_answers->expected.empty()
        && ::WindowText(box) == g_answers->expected.front().first) {
        const int button = g_answers->expected.front().second;
        g_answers->expected.pop_front();
        g_answers->asked.push_back(DialogItemText(box, 0xFFFF));
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Carries out what the windows posted, as the program's loop does.
void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
        if (root && IsDialogMessageW(root, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool IsTopmost(HWND w) { return (GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

BOOL CALLBACK CountWindow(HWND w, LPARAM count)
{
    ++*reinterpret_cast<long*>(count);
    EnumChildWindows(w, [](HWND, LPARAM n) { return ++*reinterpret_cast<long*>(n), TRUE; }, count);
    return TRUE;
}

class ControllerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CleanProgramKeys();
        std::filesystem::remove_all(RecoveryFolder(), ignored);
        dir = TempDir();
        InstallCodePage(kAnsiCodePage);
        g_spy = &spy;
        g_answers = &answers;
        menuHook = SetWindowsHookExA(WH_CALLWNDPROCRET, AfterMessage, nullptr, GetCurrentThreadId());
        boxHook = SetWindowsHookExA(WH_CBT, OnActivate, nullptr, GetCurrentThreadId());
        dlg = new CStickyNoteDlg(app);  // ends itself with its window, at Quit
        controller = dlg->GetSafeHwnd();
        ASSERT_NE(nullptr, controller);
        Pump();
    }

    void TearDown() override
    {
        if (IsWindow(controller)) {
            answers.expected = {{"Driftpad: Quit", IDNO}};
            Command(ID_QUIT);  // ends the controller, which posts the quit
        }
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {}
        UnhookWindowsHookEx(menuHook);
        UnhookWindowsHookEx(boxHook);
        g_spy = nullptr;
        g_answers = nullptr;
        CleanProgramKeys();
        std::filesystem::remove_all(RecoveryFolder(), ignored);
        std::filesystem::remove_all(dir, ignored);
    }

    void Command(WORD id)
    {
        SendMessageA(controller, WM_COMMAND, id, 0);
        Pump();
    }

    // The notes, in the order Windows keeps them; visible ones only if asked.
    std::vector<HWND> Notes(bool visibleOnly = false)
    {
        std::vector<HWND> notes;
        for (HWND w = GetWindow(controller, GW_HWNDFIRST); w; w = GetWindow(w, GW_HWNDNEXT))
            if (GetWindow(w, GW_OWNER) == controller && (!visibleOnly || IsWindowVisible(w)))
                notes.push_back(w);
        return notes;
    }

    // The menus a right press on the tray icon opens, keys typed into it.
    void TrayMenu(std::vector<UINT> keys)
    {
        spy = MenuSpy{};
        spy.keys = std::move(keys);
        SendMessageA(controller, WM_TRAYICON, 0, WM_RBUTTONDOWN);
        Pump();
    }

    // The note's context menu, opened at a point or (-1) as the keyboard asks.
    void ContextMenu(HWND edit, LPARAM at, std::vector<UINT> keys)
    {
        spy = MenuSpy{};
        spy.keys = std::move(keys);
        const RECT e = WindowRect(edit);
        SendMessageA(edit, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(edit), at ? at : MAKELPARAM(e.left + 20, e.top + 20));
        Pump();
    }

    // The states of the context menu and of its Note submenu, by id.
    std::map<UINT, UINT> ReadMenus(HWND edit)
    {
        ContextMenu(edit, 0, {VK_UP, VK_RIGHT});  // from no selection to the last item, Note, and into it
        EXPECT_EQ(2u, spy.menus.size());
        std::map<UINT, UINT> states;
        for (const auto& menu : spy.menus)
            states.insert(menu.begin(), menu.end());
        return states;
    }

    // Waits for a menu that something outside opens (the real pointer).
    bool WaitMenus(size_t n)
    {
        return WaitUntil([&] { return Pump(), spy.menus.size() >= n; }, 3000);
    }

    CStickyNoteApp app;
    CStickyNoteDlg* dlg = nullptr;
    HWND controller = nullptr;
    MenuSpy spy;
    Answers answers;
    std::string dir;
    std::error_code ignored;

private:
    HHOOK menuHook = nullptr, boxHook = nullptr;
};

TEST_F(ControllerTest, TrayMenuOpensAtTheWorkAreaCornerWithItsStatesAndCarriesOutItsCommands)
{
    SendMessageA(controller, WM_TRAYICON, 0, WM_RBUTTONUP);  // only the press opens it
    Pump();
    EXPECT_TRUE(spy.menus.empty());
    TrayMenu({VK_DOWN, VK_DOWN, VK_RETURN});  // Options..., New Note
    ASSERT_EQ(1u, spy.menus.size());
    auto grayed = [](const std::map<UINT, UINT>& items) {
        std::vector<UINT> ids;
        for (auto [id, state] : items)
            if (id && (state & MF_GRAYED))  // not the separators
                ids.push_back(id);
        return ids;
    };
    // With no notes, the three note commands are grayed; the rest are not.
    EXPECT_EQ((std::vector<UINT>{ID_HIDEALL, ID_SHOWHIDDEN, ID_DELETEALL}), grayed(spy.menus[0]));
    const RECT work = WorkArea();
    EXPECT_EQ(work.right, spy.rect.right);
    // Taller than 170 pixels, the menu is pushed up to fit above the taskbar.
    EXPECT_LE(spy.rect.bottom, work.bottom);
    EXPECT_GE(spy.rect.top, work.bottom - 170 - (spy.rect.bottom - spy.rect.top));
    EXPECT_EQ(1u, Notes(true).size());

    // With a note the three are enabled; Show Hidden's check follows the mode.
    Command(ID_SHOWHIDDEN);
    TrayMenu({VK_ESCAPE});
    ASSERT_EQ(1u, spy.menus.size());
    EXPECT_TRUE(grayed(spy.menus[0]).empty());
    EXPECT_EQ(UINT{MF_CHECKED}, spy.menus[0][ID_SHOWHIDDEN]);
}

TEST_F(ControllerTest, ADroppedFileOpensWhateverItsPathBecomesCurrentAndItsModeShowsEveryHiddenNote)
{
    std::string deep = dir;
    while (deep.size() < 200) {
        deep += "\\a-rather-long-folder-name";
        CreateDirectoryA(deep.c_str(), nullptr);
    }
    const std::string path = deep + "\\ok.dpd", other = dir + "\\other.dpd", start = dir + "\\notes.dpd";
    auto at = [](const char* text, int left, int hidden) { return Note(text, {left, 60, left + 126, 163}, 0, hidden); };
    const FileNote shown = at("shown", 50, 0), hidden = at("hidden", 300, 1), dropped = at("dropped", 100, 1);
    WriteFileBytes(path, NotesFileBytes({dropped}, 1));
    WriteFileBytes(other, NotesFileBytes({at("not opened", 10, 0)}));
    WriteFileBytes(start, NotesFileBytes({shown, hidden}));
    dlg->OpenNotesFileAtStartup(start);
    Pump();
    ASSERT_EQ(2u, Notes().size());
    ASSERT_EQ(1u, Notes(true).size());  // the mode is off
    EXPECT_EQ(Notes(true).front(), GetForegroundWindow());  // the last on screen

    // As the shell drops them: only the first counts.
    std::string list = path + '\0' + other + '\0' + '\0';
    HGLOBAL drop = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + list.size());
    auto* files = static_cast<DROPFILES*>(GlobalLock(drop));
    files->pFiles = sizeof(DROPFILES);
    CopyMemory(files + 1, list.data(), list.size());
    GlobalUnlock(drop);
    SendMessageA(controller, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    Pump();
    EXPECT_EQ(3u, Notes(true).size());
    Command(ID_NEWNOTE);
    HWND added = Notes().front();  // the newest is on top
    SetDlgItemTextA(added, IDC_NOTEEDIT, "added");
    Command(ID_SAVE);
    EXPECT_EQ(NotesFileBytes({shown, hidden, dropped, Note("added", WindowRect(added))}, 1), ReadFileBytes(path));
}

TEST_F(ControllerTest, NoteContextMenuOpensWhereAskedShowsTheNotesStateAndItsCommandsReachTheNote)
{
    MovePointer(400, 300);
    Command(ID_NEWNOTE);
    ASSERT_EQ(1u, Notes(true).size());
    const HWND note = Notes().front(), edit = GetDlgItem(note, IDC_NOTEEDIT);
    SetClipboardText(u"");

    // Centred on a right click; from the keyboard just below the caret; none from the margin.
    const RECT e = WindowRect(edit), r = WindowRect(note);
    MovePointer(e.left + 40, e.top + 20);
    Xdotool({"click", "3"});
    ASSERT_TRUE(WaitMenus(1));
    EXPECT_TRUE(std::abs(spy.rect.top - (e.top + 20)) <= 1 && std::abs((spy.rect.left + spy.rect.right) / 2 - (e.left + 40)) <= 2);
    ContextMenu(edit, -1, {VK_ESCAPE});
    EXPECT_TRUE(spy.rect.top > e.top + 5 && spy.rect.top < e.top + 40 && std::abs((spy.rect.left + spy.rect.right) / 2 - e.left) <= 4);
    spy = MenuSpy{};
    MovePointer(r.left + 3, r.bottom - 3);
    Xdotool({"click", "3"});
    Xdotool({"key", "z"});  // handled after the click, and typed only if no menu opened
    EXPECT_TRUE(WaitUntil([&] { return Pump(), ::WindowText(edit) == "z"; }));
    EXPECT_TRUE(spy.menus.empty());
    SetWindowTextA(edit, "");  // nothing to undo either

    // No text, no selection, an empty clipboard: only Select All and Delete Note.
    auto states = ReadMenus(edit);
    for (UINT id : {ID_EDIT_UNDO, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_DELETE, ID_EDIT_PASTE, ID_EDIT_SELECTALL, ID_DELETENOTE})
        EXPECT_EQ(id != ID_EDIT_SELECTALL && id != ID_DELETENOTE ? UINT{MF_GRAYED} : 0u, states[id]) << id;
    EXPECT_EQ(0u, states[ID_HIDENOTE] | states[ID_ALWAYSONTOP]);

    // Typed and selected text, text on the clipboard; Always On Top through
    // the menu (Note, its third item) and Hide Note while hidden notes are shown.
    for (char c : std::string("hello"))
        SendMessageA(edit, WM_CHAR, c, 1);
    SendMessageA(edit, WM_COMMAND, ID_EDIT_SELECTALL, 0);
    SetClipboardText(u"pasted");
    ContextMenu(edit, 0, {VK_UP, VK_RIGHT, VK_DOWN, VK_DOWN, VK_RETURN});
    EXPECT_TRUE(IsTopmost(note));
    Command(ID_SHOWHIDDEN);
    SendMessageA(edit, WM_COMMAND, ID_HIDENOTE, 0);
    states = ReadMenus(edit);
    for (UINT id : {ID_EDIT_UNDO, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_DELETE, ID_EDIT_PASTE, ID_EDIT_SELECTALL})
        EXPECT_EQ(0u, states[id]) << id;
    EXPECT_EQ(UINT{MF_CHECKED}, states[ID_HIDENOTE] & states[ID_ALWAYSONTOP]);

    // Cut through the menu (Undo, Cut), and Paste brings it back.
    ContextMenu(edit, 0, {VK_DOWN, VK_DOWN, VK_RETURN});
    EXPECT_EQ("", ::WindowText(edit));
    SendMessageA(edit, WM_COMMAND, ID_EDIT_PASTE, 0);
    EXPECT_EQ("hello", ::WindowText(edit));

    // Always On Top again: back in the normal layer, still owned.
    SendMessageA(edit, WM_COMMAND, ID_ALWAYSONTOP, 0);
    EXPECT_FALSE(IsTopmost(note));
    EXPECT_EQ(controller, GetWindow(note, GW_OWNER));

    // Hide Note hides at once only while hidden notes are not shown.
    SendMessageA(edit, WM_COMMAND, ID_HIDENOTE, 0);  // unmarked, still in view
    Command(ID_SHOWHIDDEN);  // mode off: only marked notes go
    EXPECT_TRUE(IsWindowVisible(note));
    SendMessageA(edit, WM_COMMAND, ID_HIDENOTE, 0);
    EXPECT_FALSE(IsWindowVisible(note));
    Command(ID_SHOWHIDDEN);
    EXPECT_TRUE(IsWindowVisible(note));
}

// Every note ends exactly once with its window and editor, whichever way it
// goes, and costs no brush of its own.
TEST_F(ControllerTest, TwoHundredNotesCreatedAndDeletedLeaveNoObjectsBehind)
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
        answers.expected = {{"Driftpad: Delete", IDYES}};
        Command(ID_DELETEALL);
        return Notes().empty();
    };
    // A first round puts what is loaded or cached once (fonts, the edit class,
    // Wine's 64 cached device contexts, the menu's window) in the start count.
    MovePointer(400, 300);
    ASSERT_TRUE(create(64));
    ContextMenu(GetDlgItem(Notes().front(), IDC_NOTEEDIT), 0, {VK_ESCAPE});
    ASSERT_TRUE(deleteAll());
    const auto start = counts();

    ASSERT_TRUE(create(200));
    const auto full = counts();
    EXPECT_EQ(full.second, start.second + 2 * 200);  // window and editor: the menu is loaded only when shown
    EXPECT_LT(full.first, start.first + 2 * 200);    // one brush for all notes, not one each
    // Half through each note's own Delete Note, half through Delete All.
    auto all = Notes();
    for (size_t i = 0; i < 100; ++i)
        SendMessageA(GetDlgItem(all[i], IDC_NOTEEDIT), WM_COMMAND, ID_DELETENOTE, 0);
    Pump();
    ASSERT_EQ(100u, Notes().size());
    ASSERT_TRUE(deleteAll());
    EXPECT_EQ(start, counts()) << "GDI, USER at the start, then with 200 notes: " << full.first << ", " << full.second;
}

}  // namespace
}  // namespace e2e
