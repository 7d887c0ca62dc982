// The application and its controller as a user meets them: start, second
// start, install and uninstall, the tray icon and its menu, Options, Quit.
#include "tests/e2e/harness.h"

#include <shellapi.h>

namespace e2e {
namespace {

constexpr const char* kPrefs = "Software\\Vantry\\Driftpad\\Preferences";

using AppTest = DriftpadTest;

bool TrayIconPresent(HWND controller);

TEST_F(AppTest, NormalStartShowsNoWindowAndQuitEndsWithStatusZero)
{
    HWND controller = StartApp();
    ASSERT_NE(nullptr, controller);
    Sleep(300);
    EXPECT_FALSE(IsWindowVisible(controller));
    EXPECT_TRUE(app.Notes().empty());
    app.Command(40008);  // no notes: no question
    EXPECT_TRUE(app.NoDialog("Driftpad: Quit", 300));
    auto code = app.WaitExit();
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(0u, *code);
}

TEST_F(AppTest, SecondInstanceEndsAtOnceWithMinusOneAndDoesNothing)
{
    StartApp();
    for (const char* args : {"", "/i", "/u", "notes.dpd"}) {
        App second;
        ASSERT_TRUE(second.Start(args));
        auto code = second.WaitExit(5000);
        ASSERT_TRUE(code.has_value()) << args;
        EXPECT_EQ(0xFFFFFFFFu, *code) << args;
        EXPECT_TRUE(ProcessWindows(second.Pid(), nullptr).empty());
    }
    // Not even /i wrote anything while the first instance ran.
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, kPrefs));
    EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, ".dpd"));
    EXPECT_TRUE(app.Running());
}

TEST_F(AppTest, InstallWritesEveryEntryAndSaysSo)
{
    ASSERT_TRUE(app.Start("/i"));
    HWND box = app.WaitDialog("Driftpad");
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("  Driftpad installation complete.", MessageBoxText(box));
    PressButton(box, IDOK);
    auto code = app.WaitExit();
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(0u, *code);

    // The program's own path, not the directory it was started from.
    const std::string exe = DriftpadPath();
    EXPECT_EQ("Driftpad", RegString(HKEY_CLASSES_ROOT, ".dpd", nullptr));
    EXPECT_EQ("Driftpad File", RegString(HKEY_CLASSES_ROOT, "Driftpad", nullptr));
    EXPECT_EQ(exe + ",1", RegString(HKEY_CLASSES_ROOT, "Driftpad\\DefaultIcon", nullptr));
    EXPECT_EQ("\"" + exe + "\" \"%1\"", RegString(HKEY_CLASSES_ROOT, "Driftpad\\shell\\open\\command", nullptr));
    EXPECT_EQ("Driftpad Alarm", RegString(HKEY_CURRENT_USER, "AppEvents\\EventLabels\\DP Alarm", nullptr));
    EXPECT_EQ("Driftpad", RegString(HKEY_CURRENT_USER, "AppEvents\\Schemes\\Apps\\Driftpad", nullptr));
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, "AppEvents\\Schemes\\Apps\\Driftpad\\DP Alarm"));
    EXPECT_EQ(0u, RegDword(HKEY_CURRENT_USER, kPrefs, "SaveOnShutdown"));
    EXPECT_EQ(0u, RegDword(HKEY_CURRENT_USER, kPrefs, "DblClick"));
}

TEST_F(AppTest, InstallFromAnotherDirectoryStillNamesTheProgram)
{
    ASSERT_TRUE(app.Start("/i /s", dir));
    ASSERT_TRUE(app.WaitExit().has_value());
    EXPECT_EQ("\"" + DriftpadPath() + "\" \"%1\"",
              RegString(HKEY_CLASSES_ROOT, "Driftpad\\shell\\open\\command", nullptr));
}

TEST_F(AppTest, SilentInstallShowsNothingAndReinstallResetsPreferences)
{
    SetRegDword(HKEY_CURRENT_USER, kPrefs, "DblClick", 1);
    ASSERT_TRUE(app.Start("-install -silent"));
    EXPECT_TRUE(app.NoDialog("Driftpad", 500));
    auto code = app.WaitExit();
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(0u, *code);
    EXPECT_EQ(0u, RegDword(HKEY_CURRENT_USER, kPrefs, "DblClick"));
}

TEST_F(AppTest, UninstallRemovesEverythingUnderTheMakersKey)
{
    SetRegString(HKEY_CURRENT_USER, "Software\\Vantry\\Other", "x", "kept by nobody");
    SetRegString(HKEY_CURRENT_USER, "Software\\Classes\\Driftpad", nullptr, "per-user copy");
    ASSERT_TRUE(app.Start("/i /s"));
    ASSERT_TRUE(app.WaitExit().has_value());
    App uninstall;
    ASSERT_TRUE(uninstall.Start("/u"));
    HWND box = uninstall.WaitDialog("Driftpad");
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("  Driftpad has been uninstalled.", MessageBoxText(box));
    PressButton(box, IDOK);
    auto code = uninstall.WaitExit();
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(0u, *code);
    EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, ".dpd"));
    EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, "Driftpad"));
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, "Software\\Classes\\Driftpad"));
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, "AppEvents\\EventLabels\\DP Alarm"));
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, "AppEvents\\Schemes\\Apps\\Driftpad"));
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, "Software\\Vantry"));
}

TEST_F(AppTest, InstallWinsOverUninstallAndOpensNoWindow)
{
    ASSERT_TRUE(app.Start("/u /i /s notes.dpd"));
    auto code = app.WaitExit();
    ASSERT_TRUE(code.has_value());
    EXPECT_TRUE(RegKeyExists(HKEY_CLASSES_ROOT, ".dpd"));
    EXPECT_TRUE(ProcessWindows(app.Pid(), nullptr).empty());
}

TEST_F(AppTest, PreferencesWithoutSaveOnShutdownAreNotRead)
{
    // DblClick 1 would make a double-click create a note; without
    // SaveOnShutdown nothing is read, so it shows the Options instead.
    SetRegDword(HKEY_CURRENT_USER, kPrefs, "DblClick", 1);
    HWND controller = StartApp();
    Sleep(200);
    app.Tray(WM_LBUTTONDBLCLK);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(controller) != FALSE; }));
    EXPECT_TRUE(app.Notes().empty());
}

TEST_F(AppTest, DoubleClickFollowsThePreference)
{
    {
        SCOPED_TRACE("DblClick 2: nothing");
        SetRegDword(HKEY_CURRENT_USER, kPrefs, "SaveOnShutdown", 0);
        SetRegDword(HKEY_CURRENT_USER, kPrefs, "DblClick", 2);
        HWND controller = StartApp();
        Sleep(200);
        app.Tray(WM_LBUTTONDBLCLK);
        Sleep(500);
        EXPECT_FALSE(IsWindowVisible(controller));
        EXPECT_TRUE(app.Notes().empty());
        // Options leaves both radio buttons as they are; OK stores 0 or 1.
        app.Command(40024);
        ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(controller) != FALSE; }));
        EXPECT_EQ(BST_UNCHECKED, SendMessageA(GetDlgItem(controller, 1010), BM_GETCHECK, 0, 0));
        EXPECT_EQ(BST_UNCHECKED, SendMessageA(GetDlgItem(controller, 1011), BM_GETCHECK, 0, 0));
        PressButton(controller, IDOK);
        EXPECT_TRUE(WaitUntil([&] { return RegDword(HKEY_CURRENT_USER, kPrefs, "DblClick") == 0u; }));
        QuitApp();
    }
    {
        SCOPED_TRACE("DblClick 1: a new note");
        SetRegDword(HKEY_CURRENT_USER, kPrefs, "DblClick", 1);
        StartApp();
        Sleep(200);
        app.Tray(WM_LBUTTONDBLCLK);
        EXPECT_TRUE(app.WaitNoteCount(1, true));
    }
}

TEST_F(AppTest, OptionsOkWritesBothValuesAndHides)
{
    HWND controller = StartApp();
    Sleep(200);
    app.Tray(WM_LBUTTONDBLCLK);  // DblClick 0: the Options
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(controller) != FALSE; }));
    EXPECT_EQ(BST_CHECKED, SendMessageA(GetDlgItem(controller, 1010), BM_GETCHECK, 0, 0));
    PostMessageA(GetDlgItem(controller, 1008), BM_CLICK, 0, 0);
    PostMessageA(GetDlgItem(controller, 1011), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] {
        return SendMessageA(GetDlgItem(controller, 1011), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }));
    PressButton(controller, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(controller); }));
    EXPECT_TRUE(WaitUntil([&] { return RegDword(HKEY_CURRENT_USER, kPrefs, "SaveOnShutdown") == 1u; }));
    EXPECT_EQ(1u, RegDword(HKEY_CURRENT_USER, kPrefs, "DblClick"));
    // The new choice holds at once: a double-click now makes a note.
    app.Tray(WM_LBUTTONDBLCLK);
    EXPECT_TRUE(app.WaitNoteCount(1, true));
}

TEST_F(AppTest, OptionsCancelAndEscapeOnlyHideAndEnterIsOk)
{
    HWND controller = StartApp();
    Sleep(200);
    app.Command(40024);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(controller) != FALSE; }));
    PressButton(controller, IDCANCEL);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(controller); }));
    // Esc typed in the dialog reaches Cancel through the dialog keys.
    app.Command(40024);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(controller) != FALSE; }));
    PostMessageA(GetDlgItem(controller, 1008), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(controller); }));
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, kPrefs));
    // Enter is OK: it stores the preferences.
    app.Command(40024);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(controller) != FALSE; }));
    PostMessageA(GetDlgItem(controller, 1008), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(controller); }));
    EXPECT_TRUE(WaitUntil([&] { return RegKeyExists(HKEY_CURRENT_USER, kPrefs); }));
    EXPECT_TRUE(app.Running());
}

TEST_F(AppTest, TrayMenuOpensOnRightPressAtTheWorkAreaCorner)
{
    StartApp();
    Sleep(200);
    app.Tray(WM_RBUTTONUP);  // only the press opens it
    EXPECT_FALSE(WaitPopupMenu(300));
    app.Tray(WM_RBUTTONDOWN);
    HWND menu = WaitPopupMenu();
    ASSERT_NE(nullptr, menu);
    RECT r = WindowRect(menu);
    RECT work = WorkArea();
    EXPECT_EQ(work.right, r.right);
    // The menu is taller than 170 pixels, so the system pushes it up to fit.
    EXPECT_LE(r.bottom, work.bottom);
    EXPECT_GE(r.top, work.bottom - 170 - (r.bottom - r.top));
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitNoPopupMenu());
}

TEST_F(AppTest, TrayMenuStatesWithAndWithoutNotes)
{
    StartApp();
    ASSERT_TRUE(InjectMenuProbe(app));
    unsigned seen = MenuProbeSequence();
    app.Tray(WM_RBUTTONDOWN);
    auto items = WaitMenuProbe(seen);
    ASSERT_TRUE(items.has_value());
    ASSERT_EQ(13u, items->size());
    const struct { UINT id; const char* text; bool grayed; } expected[] = {
        {40024, "Options...", false}, {0, "", false}, {40001, "New Note", false}, {0, "", false},
        {40003, "Hide All Notes", true}, {40004, "Show Hidden Notes", true}, {40005, "Delete All Notes", true},
        {0, "", false}, {40010, "&Open", false}, {40022, "Save", false}, {40023, "Save As...", false},
        {0, "", false}, {40008, "Quit", false},
    };
    for (size_t i = 0; i < 13; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(expected[i].id == 0, (*items)[i].separator);
        if (expected[i].id) {
            EXPECT_EQ(expected[i].id, (*items)[i].id);
            EXPECT_EQ(expected[i].text, (*items)[i].text);
            EXPECT_EQ(expected[i].grayed, (*items)[i].grayed);
        }
    }
    HWND menu = WaitPopupMenu();
    ASSERT_NE(nullptr, menu);
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(WaitNoPopupMenu());

    // With a note the three are enabled; Show Hidden's check follows the mode.
    app.Command(40001);
    ASSERT_TRUE(app.WaitNoteCount(1, true));
    app.Command(40004);
    seen = MenuProbeSequence();
    app.Tray(WM_RBUTTONDOWN);
    items = WaitMenuProbe(seen);
    ASSERT_TRUE(items.has_value());
    EXPECT_FALSE((*items)[4].grayed);
    EXPECT_FALSE((*items)[5].grayed);
    EXPECT_TRUE((*items)[5].checked);
    EXPECT_FALSE((*items)[6].grayed);
    menu = WaitPopupMenu();
    ASSERT_NE(nullptr, menu);
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
}

TEST_F(AppTest, ChoosingNewNoteFromTheTrayMenu)
{
    StartApp();
    Sleep(200);
    app.Tray(WM_RBUTTONDOWN);
    HWND menu = WaitPopupMenu();
    ASSERT_NE(nullptr, menu);
    ChooseMenuItemByKeys(menu, 1);  // Options..., New Note
    EXPECT_TRUE(app.WaitNoteCount(1, true));
}

TEST_F(AppTest, QuitWithNotesAsksAndCancelKeepsEverything)
{
    StartApp();
    app.Command(40001);
    ASSERT_TRUE(app.WaitNoteCount(1, true));
    app.Command(40008);
    HWND box = app.WaitDialog("Driftpad: Quit");
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("Save notes before quiting?", MessageBoxText(box));
    PressButton(box, IDCANCEL);
    Sleep(300);
    EXPECT_TRUE(app.Running());
    EXPECT_EQ(1u, app.Notes(true).size());
    // No: the notes go without saving and the run ends with 0.
    app.Command(40008);
    box = app.WaitDialog("Driftpad: Quit");
    ASSERT_NE(nullptr, box);
    PressButton(box, IDNO);
    auto code = app.WaitExit();
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(0u, *code);
}

TEST_F(AppTest, QuitYesWithCancelledSaveAsKeepsRunning)
{
    StartApp();
    app.Command(40001);
    ASSERT_TRUE(app.WaitNoteCount(1, true));
    app.Command(40008);
    HWND box = app.WaitDialog("Driftpad: Quit");
    ASSERT_NE(nullptr, box);
    PressButton(box, IDYES);
    HWND saveAs = app.WaitDialog("Save As");
    ASSERT_NE(nullptr, saveAs);
    PressButton(saveAs, IDCANCEL);
    Sleep(500);
    EXPECT_TRUE(app.Running());
    EXPECT_EQ(1u, app.Notes(true).size());
}

TEST_F(AppTest, DeleteAllAsksFirst)
{
    StartApp();
    app.Command(40001);
    app.Command(40001);
    ASSERT_TRUE(app.WaitNoteCount(2, true));
    app.Command(40005);
    HWND box = app.WaitDialog("Driftpad: Delete");
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("Are you sure you want\rto delete all notes?", MessageBoxText(box));
    PressButton(box, IDNO);
    Sleep(300);
    EXPECT_EQ(2u, app.Notes().size());
    app.Command(40005);
    box = app.WaitDialog("Driftpad: Delete");
    ASSERT_NE(nullptr, box);
    PressButton(box, IDYES);
    EXPECT_TRUE(app.WaitNoteCount(0));
}

TEST_F(AppTest, ShowHiddenFlipsOncePerCommand)
{
    StartApp();
    app.Command(40001);
    app.Command(40001);
    ASSERT_TRUE(app.WaitNoteCount(2, true));
    app.Command(40003);  // Hide All
    ASSERT_TRUE(app.WaitNoteCount(0, true));
    app.Command(40004);  // shown
    EXPECT_TRUE(app.WaitNoteCount(2, true));
    app.Command(40004);  // hidden again
    EXPECT_TRUE(app.WaitNoteCount(0, true));
    // Hide All while the mode is on keeps them visible; turning it off hides them.
    app.Command(40004);
    ASSERT_TRUE(app.WaitNoteCount(2, true));
    app.Command(40003);
    Sleep(300);
    EXPECT_EQ(2u, app.Notes(true).size());
    app.Command(40004);
    EXPECT_TRUE(app.WaitNoteCount(0, true));
}

TEST_F(AppTest, QuitRemovesTheTrayIcon)
{
    HWND controller = StartApp();
    // The icon is there: the shell accepts a change to it from us.
    EXPECT_TRUE(WaitUntil([&] { return TrayIconPresent(controller); }));
    QuitApp();
    EXPECT_FALSE(TrayIconPresent(controller));
}

bool TrayIconPresent(HWND controller)
{
    NOTIFYICONDATAA nid = {};
    nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
    nid.hWnd = controller;
    nid.uID = 112;
    nid.uFlags = NIF_TIP;
    lstrcpyA(nid.szTip, "Driftpad");
    return Shell_NotifyIconA(NIM_MODIFY, &nid) != FALSE;
}

TEST_F(AppTest, TheTrayIconComesBackWhenTheShellRestarts)
{
    HWND controller = StartApp();
    ASSERT_TRUE(WaitUntil([&] { return TrayIconPresent(controller); }));
    // A restarted shell has lost every icon and says so to all top-level windows.
    NOTIFYICONDATAA nid = {};
    nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
    nid.hWnd = controller;
    nid.uID = 112;
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &nid));
    EXPECT_FALSE(TrayIconPresent(controller));
    PostMessageA(controller, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return TrayIconPresent(controller); }));
}

}  // namespace
}  // namespace e2e
