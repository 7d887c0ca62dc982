// The application and its controller as a user meets them: start, second
// start, install and uninstall, the tray icon and its menu, Options, Quit.
#include "tests/e2e/harness.h"

#include <shellapi.h>

namespace e2e {
namespace {

constexpr const char* kPrefs = kPreferencesKey;

using AppTest = DriftpadTest;

bool TrayIcon(HWND controller, DWORD action = NIM_MODIFY)
{
    NOTIFYICONDATAA nid = {};
    nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
    nid.hWnd = controller;
    nid.uID = IDI_DRIFTPAD;
    return Shell_NotifyIconA(action, &nid) != FALSE;
}

bool Visible(HWND w) { return IsWindowVisible(w) != FALSE; }
LRESULT Checked(HWND dialog, int id) { return SendMessageA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0); }

TEST_F(AppTest, OneInstanceShowsOnlyTheTrayIconKeepsItThroughAShellRestartAndQuitsAtOnceWithoutNotes)
{
    HWND controller = StartApp();
    EXPECT_TRUE(WaitUntil([&] { return TrayIcon(controller); }));
    EXPECT_FALSE(Visible(controller));
    EXPECT_TRUE(app.Notes().empty());
    for (const char* args : {"", "/i", "/u", "notes.dpd"}) {
        App second;  // ends at once with -1 and does nothing
        ASSERT_TRUE(second.Start(args));
        EXPECT_EQ(0xFFFFFFFFu, second.WaitExit()) << args;
        EXPECT_TRUE(ProcessWindows(second.Pid(), nullptr).empty()) << args;
    }
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, kPrefs));  // not even /i wrote
    EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, ".dpd"));

    ASSERT_TRUE(TrayIcon(controller, NIM_DELETE));  // a restarted shell has lost it
    PostMessageA(controller, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return TrayIcon(controller); }));
    app.Command(ID_QUIT);  // no question: a question would keep it running
    EXPECT_EQ(0u, app.WaitExit());
    EXPECT_FALSE(TrayIcon(controller));
}

// Run from another folder, the program still names itself by its full path.
// (The installer's tests read the rest of what /i and /u /s leave.)
TEST_F(AppTest, InstallFromAnotherFolderSaysSoAndNamesTheProgram)
{
    App run;
    ASSERT_TRUE(run.Start("/i", dir));
    EXPECT_EQ("  Driftpad installation complete.", run.Answer("Driftpad", IDOK));
    EXPECT_EQ(0u, run.WaitExit());
    EXPECT_EQ("\"" + DriftpadPath() + "\" \"%1\"", RegString(HKEY_CLASSES_ROOT, "Driftpad\\shell\\open\\command", nullptr));
}

TEST_F(AppTest, DoubleClickAndTheOptionsFollowThePreferenceWhichOnlyOkOrEnterWrites)
{
    SetRegDword(HKEY_CURRENT_USER, kPrefs, "SaveOnShutdown", 0);
    SetRegDword(HKEY_CURRENT_USER, kPrefs, "DblClick", 2);
    HWND controller = StartApp();
    ASSERT_TRUE(app.SendAndWait(WM_TRAYICON, 0, WM_LBUTTONDBLCLK));  // 2: nothing at all
    EXPECT_FALSE(Visible(controller));
    EXPECT_TRUE(app.Notes().empty());
    for (UINT key : {0u, unsigned(VK_ESCAPE), unsigned(VK_RETURN)}) {  // Cancel, Esc, Enter
        app.Command(ID_OPTIONS);
        ASSERT_TRUE(WaitUntil([&] { return Visible(controller); }));
        if (key == 0) {  // neither radio button is set from a 2
            EXPECT_EQ(BST_UNCHECKED, Checked(controller, IDC_DBLCLICKOPTIONS));
            EXPECT_EQ(BST_UNCHECKED, Checked(controller, IDC_DBLCLICKNEWNOTE));
        }
        PostMessageA(GetDlgItem(controller, IDC_AUTOSAVE), BM_CLICK, 0, 0);
        PostMessageA(GetDlgItem(controller, IDC_DBLCLICKNEWNOTE), BM_CLICK, 0, 0);
        ASSERT_TRUE(WaitUntil([&] { return Checked(controller, IDC_DBLCLICKNEWNOTE) == BST_CHECKED; }));
        if (key)  // typed in the dialog, through the dialog keys
            PostMessageA(GetDlgItem(controller, IDC_AUTOSAVE), WM_KEYDOWN, key, 0);
        else
            PressButton(controller, IDCANCEL);
        EXPECT_TRUE(WaitUntil([&] { return !Visible(controller); })) << key;
        ASSERT_TRUE(app.Sync());
        EXPECT_EQ(key == VK_RETURN ? 1u : 2u, RegDword(HKEY_CURRENT_USER, kPrefs, "DblClick")) << key;
        EXPECT_EQ(key == VK_RETURN ? 1u : 0u, RegDword(HKEY_CURRENT_USER, kPrefs, "SaveOnShutdown")) << key;
    }
    app.Tray(WM_LBUTTONDBLCLK);  // the new choice holds at once: a note
    EXPECT_TRUE(app.WaitNoteCount(1, true));
}

TEST_F(AppTest, QuitWithNotesAsksFirst)
{
    StartApp();
    app.Command(ID_NEWNOTE);
    ASSERT_TRUE(app.WaitNoteCount(1, true));
    for (int answer : {IDCANCEL, IDYES, IDNO}) {
        app.Command(ID_QUIT);
        EXPECT_EQ("Save notes before quiting?", app.Answer("Driftpad: Quit", answer));
        if (answer == IDYES) {  // no file yet: Save As; cancelling it cancels Quit
            HWND saveAs = app.WaitDialog("Save As");
            ASSERT_NE(nullptr, saveAs);
            PressButton(saveAs, IDCANCEL);
        }
        if (answer != IDNO) {
            EXPECT_TRUE(app.Sync()) << answer;
            EXPECT_EQ(1u, app.Notes(true).size()) << answer;
        }
    }
    EXPECT_EQ(0u, app.WaitExit());  // No: the run ends without saving
}

TEST_F(AppTest, ShowHiddenFlipsOncePerCommandAndDeleteAllAsksFirst)
{
    StartApp();
    app.Command(ID_NEWNOTE);
    app.Command(ID_NEWNOTE);
    ASSERT_TRUE(app.WaitNoteCount(2, true));
    app.Command(ID_HIDEALL);
    ASSERT_TRUE(app.WaitNoteCount(0, true));
    app.Command(ID_SHOWHIDDEN);
    EXPECT_TRUE(app.WaitNoteCount(2, true));
    app.Command(ID_SHOWHIDDEN);
    EXPECT_TRUE(app.WaitNoteCount(0, true));
    // Hide All while the mode is on keeps them visible; turning it off hides them.
    app.Command(ID_SHOWHIDDEN);
    ASSERT_TRUE(app.WaitNoteCount(2, true));
    ASSERT_TRUE(app.CommandAndWait(ID_HIDEALL));
    EXPECT_EQ(2u, app.Notes(true).size());
    app.Command(ID_SHOWHIDDEN);
    EXPECT_TRUE(app.WaitNoteCount(0, true));

    for (int answer : {IDNO, IDYES}) {
        app.Command(ID_DELETEALL);
        EXPECT_EQ("Are you sure you want\rto delete all notes?", app.Answer("Driftpad: Delete", answer));
        ASSERT_TRUE(app.Sync());
        EXPECT_EQ(answer == IDNO ? 2u : 0u, app.Notes().size()) << answer;
    }
}

}  // namespace
}  // namespace e2e
