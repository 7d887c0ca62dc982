#include "tests/unit/in_process.h"

#include "app/tray_icon.h"
#include "base/message_box.h"
#include "base/window_text.h"

namespace e2e {
namespace {

InProcessTest* g_test;  // the running test, for the hooks
HHOOK g_hook, g_cbtHook;

// A note window is an owned dialog without a title bar.
LRESULT CALLBACK BeforeWindow(int code, WPARAM wParam, LPARAM lParam)
{
    const CREATESTRUCTA* cs = code == HCBT_CREATEWND ? reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs : nullptr;
    if (cs && g_test->onNoteWindow && cs->lpszClass == WC_DIALOG && cs->hwndParent && !(cs->style & WS_CHILD)
        && (cs->style & WS_CAPTION) != WS_CAPTION && !g_test->onNoteWindow(cs->hwndParent))
        return 1;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL CALLBACK FirstEdit(HWND w, LPARAM found)
{
    char name[16] = {};
    GetClassNameA(w, name, sizeof name);
    if (lstrcmpiA(name, "Edit") != 0)
        return TRUE;
    *reinterpret_cast<HWND*>(found) = w;
    return FALSE;
}

// A question is answered once it is made; one nobody expected fails the
// test and is closed, so that it cannot hang the run.
void Answer(HWND box)
{
    auto& replies = g_test->replies;
    // The program's own title is its file's name: here, the test's.
    const std::string caption = ::WindowText(box) == AppTitle() ? "Driftpad" : ::WindowText(box);
    if (!replies.empty() && caption == replies.front().caption) {
        const Reply reply = replies.front();
        replies.pop_front();
        g_test->asked.push_back(DialogItemText(box, 0xFFFF));
        // The icon's item: 20 on Windows, stc1 under Wine.
        HWND icon = GetDlgItem(box, 20) ? GetDlgItem(box, 20) : GetDlgItem(box, 0x440);
        g_test->icons.push_back(reinterpret_cast<HICON>(SendMessageA(icon, STM_GETICON, 0, 0)));
        g_test->defaults.push_back(0);
        for (int button : {IDOK, IDCANCEL, IDYES, IDNO})
            if (HWND item = GetDlgItem(box, button); item && (GetWindowLongA(item, GWL_STYLE) & 0xF) == BS_DEFPUSHBUTTON)
                g_test->defaults.back() = button;
        if (!reply.fileName.empty()) {  // the file-name field is the dialog's one edit control
            HWND edit = nullptr;
            EnumChildWindows(box, FirstEdit, reinterpret_cast<LPARAM>(&edit));
            SetWindowTextA(edit, reply.fileName.c_str());
        }
        if (reply.whileAsked)
            reply.whileAsked();
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(reply.button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, reply.button)));
    } else if (GetDlgItem(box, 0xFFFF) && (GetDlgItem(box, IDOK) || GetDlgItem(box, IDYES))) {
        ADD_FAILURE() << "unexpected question \"" << caption << "\": " << DialogItemText(box, 0xFFFF);
        for (int button : {IDCANCEL, IDNO, IDOK})
            PostMessageA(box, WM_COMMAND, button, reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
    }
}

LRESULT CALLBACK AfterMessage(int code, WPARAM wParam, LPARAM lParam)
{
    const auto& m = *reinterpret_cast<CWPRETSTRUCT*>(lParam);
    MenuSpy& spy = g_test->spy;
    if (code == HC_ACTION && m.message == WM_INITDIALOG) {
        Answer(m.hwnd);
    } else if (code == HC_ACTION && m.message == WM_INITMENUPOPUP) {
        auto menu = reinterpret_cast<HMENU>(m.wParam);
        std::map<UINT, UINT> items;
        for (int i = 0; i < GetMenuItemCount(menu); ++i)
            items[GetMenuItemID(menu, i)] = GetMenuState(menu, i, MF_BYPOSITION) & (MF_GRAYED | MF_CHECKED);
        spy.menus.push_back(items);
    } else if (code == HC_ACTION && m.message == WM_ENTERIDLE && m.wParam == MSGF_MENU) {
        // Later waits get Esc: no menu outlives its test.
        auto window = reinterpret_cast<HWND>(m.lParam);
        if (!spy.typed)
            GetWindowRect(window, &spy.rect);
        for (UINT key : spy.typed ? std::vector<UINT>{VK_ESCAPE} : spy.keys)
            PostMessageA(window, WM_KEYDOWN, key, 0);
        spy.typed = true;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL CALLBACK DestroyLeftOver(HWND w, LPARAM)
{
    DestroyWindow(w);
    return TRUE;
}

}  // namespace

void InProcessTest::SetUp()
{
    CleanTest::SetUp();
    g_test = this;
    g_hook = SetWindowsHookExA(WH_CALLWNDPROCRET, AfterMessage, nullptr, GetCurrentThreadId());
    g_cbtHook = SetWindowsHookExA(WH_CBT, BeforeWindow, nullptr, GetCurrentThreadId());
}

void InProcessTest::EndRun()
{
    if (IsWindow(controller)) {
        replies = {{"Driftpad: Quit", IDNO}};
        Command(ID_QUIT);
    }
    // Notices outlive the notes they rang for: no window is left to the next test.
    EnumThreadWindows(GetCurrentThreadId(), DestroyLeftOver, 0);
    Pump();
    app.ExitInstance();
    UnhookWindowsHookEx(g_hook);
    UnhookWindowsHookEx(g_cbtHook);
    g_test = nullptr;
    CTrayIcon::SetShellNotify(nullptr);
}

HWND InProcessTest::Start(const std::string& arguments)
{
    quitCode = -1;
    EXPECT_TRUE(app.InitInstance(("Driftpad.exe " + arguments).c_str()));
    controller = FindWindowA("#32770", "Driftpad: Options");
    EXPECT_TRUE(controller && GetWindowThreadProcessId(controller, nullptr) == GetCurrentThreadId());
    Pump();
    return controller;
}

HWND InProcessTest::StartOn(const std::string& bytes)
{
    WriteFileBytes(notesFile, bytes);
    return Start('"' + notesFile + '"');
}

void InProcessTest::Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            quitCode = static_cast<int>(msg.wParam);
        else
            DispatchLoopMessage(msg);
    }
}

bool InProcessTest::PumpUntil(const std::function<bool()>& condition, int timeoutMs)
{
    return WaitUntil([&] { return Pump(), condition(); }, timeoutMs);
}

void InProcessTest::Command(WORD id)
{
    Pump();
    SendMessageA(controller, WM_COMMAND, id, 0);
    Pump();
}

void InProcessTest::Tray(UINT mouseMessage)
{
    SendMessageA(controller, WM_TRAYICON, 0, mouseMessage);
    Pump();
}

void InProcessTest::NoteCommand(HWND note, WORD id)
{
    SendMessageA(Editor(note), WM_COMMAND, id, 0);
    Pump();
}

std::vector<HWND> InProcessTest::Notes(bool visibleOnly)
{
    std::vector<HWND> notes;
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT))
        if (GetWindow(w, GW_OWNER) == controller && (!visibleOnly || IsWindowVisible(w)))
            notes.push_back(w);
    return notes;
}

HWND InProcessTest::NewNote(const std::string& text, POINT at)
{
    const auto before = Notes();
    MovePointer(at.x, at.y);
    Command(ID_NEWNOTE);
    for (HWND w : Notes())
        if (std::find(before.begin(), before.end(), w) == before.end()) {
            SetWindowTextA(Editor(w), text.c_str());
            return w;
        }
    return nullptr;
}

void InProcessTest::TrayMenu(std::vector<UINT> keys)
{
    spy = MenuSpy{};
    spy.keys = std::move(keys);
    Tray(WM_RBUTTONDOWN);
}

void InProcessTest::ContextMenu(HWND note, std::vector<UINT> keys, LPARAM at)
{
    spy = MenuSpy{};
    spy.keys = std::move(keys);
    const POINT c = Centre(WindowRect(Editor(note)));
    SendMessageA(Editor(note), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Editor(note)), at ? at : MAKELPARAM(c.x, c.y));
    Pump();
}

std::map<UINT, UINT> InProcessTest::ReadMenus(HWND note)
{
    ContextMenu(note, {VK_UP, VK_RIGHT});  // from no selection to the last item, Note, and into it
    EXPECT_EQ(2u, spy.menus.size());
    std::map<UINT, UINT> states;
    for (const auto& menu : spy.menus)
        states.insert(menu.begin(), menu.end());
    return states;
}

}  // namespace e2e
