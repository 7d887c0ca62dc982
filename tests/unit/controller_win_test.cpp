// The controller as a user meets it, made in this process: the tray menu,
// the double click and Options, Quit, Hide All and Delete All; notes files
// saved, opened, dropped, autosaved, and failures that must never cost the
// notes or the file on disk. Saved files are compared whole with files the
// tests build themselves.
#include "app/tray_icon.h"
#include "tests/unit/in_process.h"

#include <shlobj.h>

#include <cstring>
#include <filesystem>

namespace e2e {
namespace {

using ControllerTest = InProcessTest;

constexpr const char* kPrefs = kPreferencesKey;

// A note as the screen shows it, as its file record should say.
FileNote Shown(HWND note) { return Note(Text(note), WindowRect(note)); }
FileNote At(const std::string& text, int left, int top, int hidden = 0) { return Note(text, Place(left, top), 0, hidden); }

// What the program asks of the shell, passed on to it.
std::vector<std::pair<DWORD, NOTIFYICONDATAA>> g_shellCalls;
BOOL RecordShellCall(DWORD message, NOTIFYICONDATAA* data)
{
    g_shellCalls.push_back({message, {}});
    std::memcpy(&g_shellCalls.back().second, data, data->cbSize);
    return Shell_NotifyIconA(message, data);
}

// The installer's mark asks for one balloon, from the first start that may
// speak, in the full structure; its double-click half follows the preference.
TEST_F(ControllerTest, TheFirstStartAfterAnInstallSaysOnceWhereTheIconLives)
{
    CTrayIcon::SetShellNotify(RecordShellCall);
    for (const char* args : {"Driftpad.exe /i /s", "Driftpad.exe /u /s"})
        EXPECT_TRUE(!app.InitInstance(args) && g_shellCalls.empty()) << args;
    const char* const doubleClick[] = {"; double-click for Options.", "; double-click for a new note straight away.", "."};
    for (DWORD dblClick : {0u, 1u, 2u}) {
        SetRegDword(HKEY_CURRENT_USER, kPrefs, "SaveOnShutdown", 0);
        SetRegDword(HKEY_CURRENT_USER, kPrefs, "DblClick", dblClick);
        SetRegDword(HKEY_CURRENT_USER, kPrefs, "FirstStart", 1);
        for (int run = 0; run < 3; ++run) {  // silent, the first that may speak, a later one
            g_shellCalls.clear();
            Start(run == 0 ? "/s" : "");
            ASSERT_FALSE(g_shellCalls.empty());
            EXPECT_TRUE(g_shellCalls[0].first == NIM_ADD && g_shellCalls[0].second.cbSize == NOTIFYICONDATAA_V1_SIZE);
            std::string said;
            for (const auto& [message, data] : g_shellCalls)
                if (data.uFlags & NIF_INFO)
                    said += std::to_string(message == NIM_MODIFY && data.cbSize == sizeof data) + data.szInfoTitle
                            + ": " + data.szInfo;
            const std::string first = "1Driftpad: Driftpad runs here. Right-click the icon for a new note";
            EXPECT_EQ(run == 1 ? first + doubleClick[dblClick] : "", said) << dblClick << run;
            DestroyWindow(controller);
            Pump();
        }
    }
    CTrayIcon::SetShellNotify(nullptr);
}

// A shell not ready yet (a start at sign-in) refuses the icon: it is asked for again.
TEST_F(ControllerTest, ATrayIconTheShellRefusesIsAskedForAgain)
{
    CTrayIcon::SetShellNotify([](DWORD message, NOTIFYICONDATAA* data) {
        g_shellCalls.push_back({message, *data});
        return message == NIM_ADD && g_shellCalls.size() > 1 ? Shell_NotifyIconA(message, data) : FALSE;
    });
    g_shellCalls.clear();
    Start();
    EXPECT_TRUE(PumpUntil([] { return g_shellCalls.size() == 2; }, 5000));
    CTrayIcon::SetShellNotify(nullptr);
    EXPECT_EQ(DWORD{NIM_ADD}, g_shellCalls.back().first);
}

TEST_F(ControllerTest, TrayMenuOpensAtTheWorkAreaCornerWithItsStatesAndCarriesOutItsCommands)
{
    Start();
    Tray(WM_RBUTTONUP);  // only the press opens it
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
    const RECT work = WorkArea(), menu = spy.rect;
    // Its top 170 pixels above the taskbar; taller, it is pushed up to fit.
    EXPECT_TRUE(menu.right == work.right && menu.bottom <= work.bottom);
    EXPECT_TRUE(menu.top <= work.bottom - 170 && menu.top >= work.bottom - 170 - (menu.bottom - menu.top)) << menu.top;
    EXPECT_EQ(1u, Notes(true).size());

    // With a note the three are enabled; Show Hidden's check follows the mode.
    Command(ID_SHOWHIDDEN);
    TrayMenu({VK_ESCAPE});
    ASSERT_EQ(1u, spy.menus.size());
    EXPECT_TRUE(grayed(spy.menus[0]).empty());
    EXPECT_EQ(UINT{MF_CHECKED}, spy.menus[0][ID_SHOWHIDDEN]);
}

TEST_F(ControllerTest, DoubleClickAndTheOptionsFollowThePreferenceWhichOnlyOkOrEnterWrites)
{
    SetRegDword(HKEY_CURRENT_USER, kPrefs, "SaveOnShutdown", 0);
    SetRegDword(HKEY_CURRENT_USER, kPrefs, "DblClick", 2);
    Start();
    Tray(WM_LBUTTONDBLCLK);  // 2: nothing at all
    EXPECT_FALSE(IsWindowVisible(controller));
    EXPECT_TRUE(Notes().empty());
    for (UINT key : {0u, unsigned(VK_ESCAPE), unsigned(VK_RETURN)}) {  // Cancel, Esc, Enter
        Command(ID_OPTIONS);
        ASSERT_TRUE(IsWindowVisible(controller));
        EXPECT_EQ(0u, IsDlgButtonChecked(controller, IDC_AUTOSAVE)) << key;
        EXPECT_EQ(0u, IsDlgButtonChecked(controller, IDC_ONDESKTOP)) << key;
        if (key == 0) {  // neither radio button is set from a 2
            EXPECT_FALSE(IsDlgButtonChecked(controller, IDC_DBLCLICKOPTIONS) || IsDlgButtonChecked(controller, IDC_DBLCLICKNEWNOTE));
        }
        // Enter writes 1 and 0: values that differ, so that neither can be written for the other.
        SendDlgItemMessageA(controller, IDC_AUTOSAVE, BM_CLICK, 0, 0);
        SendDlgItemMessageA(controller, IDC_ONDESKTOP, BM_CLICK, 0, 0);
        SendDlgItemMessageA(controller, key == VK_RETURN ? IDC_DBLCLICKOPTIONS : IDC_DBLCLICKNEWNOTE, BM_CLICK, 0, 0);
        if (key)  // typed in the dialog, through the dialog keys
            PostMessageA(GetDlgItem(controller, IDC_AUTOSAVE), WM_KEYDOWN, key, 0);
        else
            PostMessageA(controller, WM_COMMAND, IDCANCEL, 0);
        Pump();
        EXPECT_FALSE(IsWindowVisible(controller)) << key;
        EXPECT_EQ(key == VK_RETURN ? 0u : 2u, RegDword(HKEY_CURRENT_USER, kPrefs, "DblClick")) << key;
        EXPECT_EQ(key == VK_RETURN ? 1u : 0u, RegDword(HKEY_CURRENT_USER, kPrefs, "SaveOnShutdown")) << key;
        EXPECT_EQ(key == VK_RETURN, RegDword(HKEY_CURRENT_USER, kPrefs, "OnDesktop") == 1u) << key;
        EXPECT_EQ(key == VK_RETURN, FindWindowA("Static", "Driftpad desktop marker") != nullptr) << key;
    }
    Tray(WM_LBUTTONDBLCLK);  // the new choice holds at once: Options
    EXPECT_TRUE(IsWindowVisible(controller));
    SendDlgItemMessageA(controller, IDC_ONDESKTOP, BM_CLICK, 0, 0);  // and off again, at once
    Command(IDOK);
    EXPECT_TRUE(RegDword(HKEY_CURRENT_USER, kPrefs, "OnDesktop") == 0u && !FindWindowA("Static", "Driftpad desktop marker"));
    // Below Autosave, beside Quit and no lower: inside the dialog.
    const RECT box = WindowRect(GetDlgItem(controller, IDC_ONDESKTOP)), quit = WindowRect(GetDlgItem(controller, IDC_QUIT));
    EXPECT_TRUE(box.top > WindowRect(GetDlgItem(controller, IDC_AUTOSAVE)).bottom && box.right < quit.left);
    EXPECT_TRUE(box.bottom <= quit.bottom && box.left == WindowRect(GetDlgItem(controller, IDC_AUTOSAVE)).left);
}

TEST_F(ControllerTest, QuitWithNotesAsksFirstRemovesTheTrayIconAndDeleteAllDeletesOnlyOnYes)
{
    g_shellCalls.clear();
    CTrayIcon::SetShellNotify(RecordShellCall);
    Start();
    NewNote();
    NewNote();
    for (int answer : {IDNO, IDYES}) {
        replies = {{"Driftpad: Delete", answer}};
        Command(ID_DELETEALL);
        EXPECT_EQ(answer == IDNO ? 2u : 0u, Notes().size()) << answer;
    }
    EXPECT_EQ("Are you sure you want\rto delete all notes?", asked.at(0));
    NewNote();
    Command(ID_HIDEALL);  // hidden while hidden notes are not shown; shown, Hide All leaves them
    EXPECT_TRUE(Notes(true).empty());
    Command(ID_SHOWHIDDEN);
    Command(ID_HIDEALL);
    // Yes without a file: Save As, and cancelling it cancels Quit.
    replies = {{"Driftpad: Quit", IDCANCEL}, {"Driftpad: Quit", IDYES}, {"Save As", IDCANCEL}};
    Command(ID_QUIT);
    Command(ID_QUIT);
    EXPECT_TRUE(replies.empty());
    EXPECT_EQ("Save notes before quiting?", asked.at(2)) << testing::PrintToString(asked);
    EXPECT_EQ(1u, Notes(true).size());
    ASSERT_EQ(1u, g_shellCalls.size());  // the icon added, not yet removed
    ASSERT_TRUE(PumpUntil([&] { return FileExists(RecoveryFolder() + "\\Recovery.dpd"); }, 5000));
    replies = {{"Driftpad: Quit", IDNO}};  // the run ends without saving, and leaves nothing to restore
    Command(ID_QUIT);
    EXPECT_FALSE(IsWindow(controller));
    EXPECT_EQ(0, quitCode);
    const auto& [removal, icon] = g_shellCalls.back();
    EXPECT_TRUE(removal == NIM_DELETE && icon.hWnd == controller && icon.uID == IDI_DRIFTPAD);
    EXPECT_TRUE(FilesIn(dir) == 0 && !FileExists(RecoveryFolder() + "\\Recovery.dpd"));
}

TEST_F(ControllerTest, SaveWritesTheNotesInCreationOrderAndAMissingFileStartsEmpty)
{
    Start('"' + notesFile + '"');
    EXPECT_FALSE(FileExists(notesFile));  // missing, yet current
    EXPECT_EQ(NotesFileBytes({}), Save());
    const FileNote a = Shown(NewNote("A"));
    HWND b = NewNote("B");
    const FileNote c = Shown(NewNote("C\r\nsecond line"));
    SendMessageA(b, WM_DELETENOTE, 0, 0);  // B's own Delete Note
    EXPECT_EQ(NotesFileBytes({a, c}), Save());
}

TEST_F(ControllerTest, AFileOpensAtItsPlaceFromTheCommandLineAndOpenAddsToTheNotesThere)
{
    const std::string ok = NotesFileBytes({At("ok", 100, 120)});
    StartOn(ok);
    ASSERT_EQ(1u, Notes(true).size());
    EXPECT_TRUE(Text(Notes()[0]) == "ok" && WindowRect(Notes()[0]).left == 100 && WindowRect(Notes()[0]).top == 120);
    EXPECT_EQ(ok, Save());  // unmoved, byte for byte

    const std::string two = dir + "\\two.dpd";
    WriteFileBytes(two, NotesFileBytes({At("one", 50, 60), At("two", 300, 60)}));
    replies = {{"Open", IDOK, two}};
    Command(ID_OPEN);
    EXPECT_EQ(3u, Notes(true).size());
    // The opened file is now current: Save writes all three there, old note first.
    Command(ID_SAVE);
    EXPECT_EQ(NotesFileBytes({At("ok", 100, 120), At("one", 50, 60), At("two", 300, 60)}), ReadFileBytes(two));
    EXPECT_EQ(2, FilesIn(dir));  // no temporary file left beside them
}

TEST_F(ControllerTest, SaveWithoutANameAsksCancelWritesNothingAndATypedNameGetsTheExtension)
{
    Start();
    const FileNote named = Shown(NewNote("named"));
    replies = {{"Save As", IDCANCEL}, {"Save As", IDOK, dir + "\\typed"}};
    Command(ID_SAVE);
    EXPECT_EQ(0, FilesIn(dir));
    Command(ID_SAVEAS);
    EXPECT_EQ(NotesFileBytes({named}), ReadFileBytes(dir + "\\typed.dpd"));
}

TEST_F(ControllerTest, ASaveThatCannotWriteIsReportedKeepsTheOldFileAndStopsQuit)
{
    const std::string old = NotesFileBytes({At("ok", 100, 120)});
    StartOn(old);
    NewNote("new");
    // Another program holds the file open without sharing.
    HANDLE held = CreateFileA(notesFile.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    // It cannot be read either: replaced only on Yes. Quit, Yes: the save fails again, so Quit stops and the notes stay.
    replies = {{"Driftpad: Save", IDYES}, {"Driftpad", IDOK}, {"Driftpad: Quit", IDYES}, {"Driftpad: Save", IDYES}, {"Driftpad", IDOK}};
    Command(ID_SAVE);
    Command(ID_QUIT);
    EXPECT_TRUE(replies.empty());
    EXPECT_NE(std::string::npos, asked.at(0).find("another program is using it")) << asked.at(0);
    EXPECT_NE(std::string::npos, asked.at(1).find(notesFile));
    EXPECT_EQ(2u, Notes().size());
    CloseHandle(held);
    EXPECT_EQ(old, ReadFileBytes(notesFile));
    EXPECT_EQ(1, FilesIn(dir));  // nothing left beside it
}

TEST_F(ControllerTest, ADroppedFileOpensWhateverItsPathBecomesCurrentAndItsModeShowsEveryHiddenNote)
{
    std::string deep = dir;
    while (deep.size() < 200) {
        deep += "\\a-rather-long-folder-name";
        CreateDirectoryA(deep.c_str(), nullptr);
    }
    const std::string path = deep + "\\ok.dpd", other = dir + "\\other.dpd";
    const FileNote shown = At("shown", 50, 60), hidden = At("hidden", 300, 60, 1), dropped = At("dropped", 100, 120, 1);
    WriteFileBytes(path, NotesFileBytes({dropped}, 1));
    WriteFileBytes(other, NotesFileBytes({At("not opened", 10, 10)}));
    StartOn(NotesFileBytes({shown, hidden}));
    ASSERT_EQ(2u, Notes().size());
    ASSERT_EQ(1u, Notes(true).size());  // the mode is off
    EXPECT_EQ(Notes(true).front(), GetForegroundWindow());  // the last on screen

    // As the shell drops them: only the first counts.
    const std::string list = path + '\0' + other + '\0' + '\0';
    HGLOBAL drop = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + list.size());
    auto* files = static_cast<DROPFILES*>(GlobalLock(drop));
    files->pFiles = sizeof(DROPFILES);
    CopyMemory(files + 1, list.data(), list.size());
    GlobalUnlock(drop);
    SendMessageA(controller, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    EXPECT_EQ(3u, Notes(true).size());
    const FileNote added = Shown(NewNote("added"));
    Command(ID_SAVE);
    EXPECT_EQ(NotesFileBytes({shown, hidden, dropped, added}, 1), ReadFileBytes(path));
}

TEST_F(ControllerTest, AFileWhoseNotesCannotAllBeShownIsSavedOverWithFewerOnlyWhenTheUserSaysSo)
{
    std::vector<FileNote> five;
    for (int i = 0; i < 5; ++i)
        five.push_back(At("note " + std::to_string(i), 10 * i, 20));
    const std::string bytes = NotesFileBytes(five), other = dir + "\\other.dpd";
    WriteFileBytes(notesFile, bytes);
    // Notes of no file before and after the Open never make up for the file's.
    Start();
    const FileNote before = Shown(NewNote("before"));
    int made = 0;
    onNoteWindow = [&](HWND) { return ++made != 3; };
    replies = {{"Open", IDOK, notesFile}, {"Driftpad", IDOK}};
    Command(ID_OPEN);
    onNoteWindow = nullptr;
    EXPECT_EQ(3, made) << "no note tried after the first that failed";
    EXPECT_EQ(0u, asked.at(1).find("3 of the notes in \"" + notesFile + "\" could not be shown")) << asked.at(1);
    const FileNote after = Shown(NewNote("after", {600, 400}));
    ASSERT_EQ(4u, Notes().size());

    // No keeps the file; another file takes the notes without a word, and
    // the first still asks; Yes writes them, and then it asks no more.
    replies = {{"Driftpad: Save", IDNO}, {"Save As", IDOK, other}, {"Save As", IDOK, notesFile}, {"Driftpad: Save", IDYES}};
    Command(ID_SAVE);
    ASSERT_EQ(bytes, ReadFileBytes(notesFile));
    Command(ID_SAVEAS);
    DeleteFileA(notesFile.c_str());  // no question from the file dialog
    Command(ID_SAVEAS);
    EXPECT_TRUE(replies.empty());
    EXPECT_EQ(0u, asked.at(2).find("\"" + notesFile + "\" holds 5 notes, and only 2 of them were shown")) << asked.at(2);
    EXPECT_EQ(NotesFileBytes({before, five[0], five[1], after}), ReadFileBytes(other));
    EXPECT_EQ(ReadFileBytes(other), Save());
}

TEST_F(ControllerTest, ASaveSentWhileAFilesNotesAreBeingMadeWaitsForThemAll)
{
    const std::string bytes = NotesFileBytes({At("one", 10, 10), At("two", 60, 10), At("three", 110, 10)});
    WriteFileBytes(notesFile, bytes);
    uint64_t seen = 0;
    WrittenAgain(notesFile, seen);
    // Another program's Save, or the end of the session, arrives as the second note is made.
    int made = 0;
    UINT message = WM_COMMAND;
    onNoteWindow = [&](HWND owner) {
        if (++made == 2)
            SendMessageA(owner, message, message == WM_COMMAND ? ID_SAVE : TRUE, 0);
        return true;
    };
    Start('"' + notesFile + '"');
    EXPECT_TRUE(PumpUntil([&] { return WrittenAgain(notesFile, seen); }));
    EXPECT_EQ(bytes, ReadFileBytes(notesFile));

    // The end of a session cannot wait: the file is left alone, the copy keeps what was made.
    DestroyWindow(controller);
    Pump();
    SetRegDword(HKEY_CURRENT_USER, kPrefs, "SaveOnShutdown", 1);
    made = 0;
    message = WM_ENDSESSION;
    StartOn(bytes.substr(0, bytes.size() - 1) + "!");
    EXPECT_TRUE(bytes.substr(0, bytes.size() - 1) + "!" == ReadFileBytes(notesFile) && FileExists(RecoveryFolder() + "\\Recovery.dpd"));
}

// Damaged, foreign (any file whose bytes 8 and 9 are zero reads as no notes, with bytes after them),
// or held by a program that shares nothing: replaced on Yes only, never by the end of a session.
TEST_F(ControllerTest, AFileNotReadWholeIsReplacedOnlyOnYesNeverAtTheEndOfASessionNorAfterARestore)
{
    SetRegDword(HKEY_CURRENT_USER, kPrefs, "SaveOnShutdown", 1);
    // Cut inside the second record: the first, hidden, in a file that shows hidden notes, is shown.
    const std::string whole = NotesFileBytes({At("a", 50, 60, 1), At("b", 300, 60)}, 1), png("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
    for (int i = 0; i < 3; ++i) {
        const std::string bytes = i == 0 ? whole.substr(0, whole.size() - 20) : i == 1 ? png : whole;
        std::filesystem::remove_all(RecoveryFolder());
        WriteFileBytes(notesFile, bytes);
        HANDLE holder = CreateFileA(notesFile.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (i < 2)
            CloseHandle(holder);
        replies = {{"Driftpad: Save", IDNO}};
        if (i != 1)
            replies.push_front({"Driftpad", IDOK});  // the damage and the holder are told at start
        Start('"' + notesFile + '"');
        EXPECT_TRUE(i != 0 || (Notes(true).size() == 1 && Text(Notes()[0]) == "a")) << "the notes before the damage";
        NewNote("mine");
        Command(ID_SAVE);
        SendMessageA(controller, WM_ENDSESSION, TRUE, 0);
        if (i == 2)
            CloseHandle(holder);
        EXPECT_TRUE(bytes == ReadFileBytes(notesFile) && replies.empty() && FileExists(RecoveryFolder() + "\\Recovery.dpd")) << i;
        EXPECT_EQ(0u, asked.back().find("\"" + notesFile + "\" could not be read whole")) << asked.back();
        DestroyWindow(controller);
        Pump();
    }
    EXPECT_NE(std::string::npos, asked.at(0).find(notesFile + "\" ends too early")) << asked.at(0);
    EXPECT_NE(std::string::npos, asked.at(asked.size() - 2).find("another program is using it")) << asked.at(asked.size() - 2);
    // The copy remembers that its file was not read: Save asks, then merges what it holds.
    replies = {{"Driftpad: Restore", IDYES}, {"Driftpad: Save", IDYES}, {"Driftpad: Save", IDYES}};
    Start('"' + notesFile + '"');
    Command(ID_SAVE);
    EXPECT_TRUE(replies.empty() && ReadFileBytes(notesFile).size() > whole.size());
}

// A reader that shares everything (an indexer, a sync client) keeps neither the notes from loading
// nor a changed file from its question; the replace then fails, and says so, leaving the file.
TEST_F(ControllerTest, AFileThatAReaderHoldsLoadsAndIsNeverReplacedWithoutAQuestion)
{
    const std::string bytes = NotesFileBytes({At("a", 50, 60)}), theirs = NotesFileBytes({At("b", 50, 60)});
    WriteFileBytes(notesFile, bytes);
    HANDLE reader = CreateFileA(notesFile.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    Start('"' + notesFile + '"');
    EXPECT_EQ(1u, Notes().size());
    WriteFileBytes(notesFile, theirs);
    replies = {{"Driftpad: Save", IDNO}, {"Driftpad", IDOK}};
    Command(ID_SAVE);
    CloseHandle(reader);
    EXPECT_TRUE(replies.empty() && theirs == ReadFileBytes(notesFile));
    EXPECT_NE(std::string::npos, asked.at(1).find("another program is using it")) << asked.at(1);
}

// Each change alone reaches the recovery copy, not only those that ride on
// another's: a crash must not bring a note back as it was before. The end of
// a session does not wait for it.
TEST_F(ControllerTest, EachKindOfChangeAloneReachesTheRecoveryCopy)
{
    const std::string copy = RecoveryFolder() + "\\Recovery.dpd";
    uint64_t seen = 0;
    std::string last;
    auto reaches = [&](const char* change) {  // a new write, read once it is done
        EXPECT_TRUE(PumpUntil([&] { return WrittenAgain(copy, seen); }, 5000)) << change;
        last = ReadFileBytes(copy);
        last = last.substr(0, last.find("DPB2"));  // the notes, without what their file held
    };
    StartOn(NotesFileBytes({At("kept", 50, 60), At("due", 300, 60).Alarm(int32_t(time(nullptr)) - 60)}));
    HWND notice = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (notice = FindWindowA("#32770", "Note Alarm!")) != nullptr; }));
    // Notes read from their file are no change: nothing to recover.
    EXPECT_FALSE(PumpUntil([&] { return GetFileAttributesA(copy.c_str()) != INVALID_FILE_ATTRIBUTES; }, 2600));
    PostMessageA(notice, WM_COMMAND, IDOK, 0);
    reaches("alarm spent");
    ASSERT_NE(std::string::npos, last.find("due"));
    HWND note = WithText(Notes(), "due"), kept = WithText(Notes(), "kept");
    PostMessageA(Editor(note), WM_CHAR, 'a', 1);
    reaches("typed");
    NoteCommand(note, ID_ALWAYSONTOP);
    reaches("always on top");
    NoteCommand(note, ID_HIDENOTE);
    reaches("hidden");
    replies = {{"Alarm Settings", IDOK}};
    NoteCommand(note, ID_ALARM);
    reaches("alarm settings");
    NoteCommand(kept, ID_DELETENOTE);
    reaches("deleted");
    EXPECT_EQ(std::string::npos, last.find("kept"));
    // The end of a session without the autosave: the copy at once, the file untouched.
    const std::string before = ReadFileBytes(notesFile);
    NewNote("not saved");
    SendMessageA(controller, WM_ENDSESSION, TRUE, 0);
    EXPECT_TRUE(ReadFileBytes(copy).find("not saved") != std::string::npos && before == ReadFileBytes(notesFile));
}

TEST_F(ControllerTest, ARecoveryCopyThatCannotBeWrittenIsToldInAStopBox)
{
    // A file where the folder should be.
    const std::string folder = RecoveryFolder();
    CreateDirectoryA(folder.substr(0, folder.find_last_of('\\')).c_str(), nullptr);
    WriteFileBytes(folder, "in the way");
    Start();
    replies = {{"Driftpad", IDOK}};
    PostMessageA(Editor(NewNote()), WM_CHAR, 'a', 1);
    EXPECT_TRUE(PumpUntil([&] { return replies.empty(); }, 5000));
    EXPECT_EQ(0u, asked.at(0).find("Unsaved notes cannot be protected")) << asked.at(0);
    EXPECT_EQ(LoadIconA(nullptr, IDI_HAND), icons.at(0));
}

TEST_F(ControllerTest, ARestoreShortOfWindowsSaysSoKeepsTheWholeCopyAndSavingOverItsFileAsksFirst)
{
    const std::string folder = RecoveryFolder(), kept = NotesFileBytes({At("a", 10, 10), At("b", 60, 10), At("c", 110, 10)});
    std::filesystem::create_directories(folder);
    WriteFileBytes(folder + "\\Recovery.dpd", kept);
    WriteFileBytes(folder + "\\Recovery.txt", notesFile);
    WriteFileBytes(notesFile, NotesFileBytes({At("on disk", 10, 10)}));
    int made = 0;
    onNoteWindow = [&](HWND) { return ++made != 2; };
    replies = {{"Driftpad: Restore", IDYES}, {"Driftpad", IDOK}};
    Start();
    onNoteWindow = nullptr;
    ASSERT_EQ(2u, asked.size());
    EXPECT_EQ(0u, asked[1].find("2 of the 3 unsaved notes could not be restored")) << asked[1];
    EXPECT_NE(std::string::npos, asked[1].find("Recovery.previous.dpd"));
    EXPECT_EQ(kept, ReadFileBytes(folder + "\\Recovery.previous.dpd"));
    EXPECT_EQ(1u, Notes().size());
    replies = {{"Driftpad: Save", IDNO}};
    Command(ID_SAVE);
    EXPECT_TRUE(replies.empty()) << "saving one note over the three's file asks";
    EXPECT_NE(std::string::npos, ReadFileBytes(notesFile).find("on disk"));
}

// Another computer saves the file through a synced folder between Open and Save: Yes merges three ways
// against what was last read, No replaces, Cancel keeps it. The end of a session asks nobody: it merges
// as data, or leaves a damaged file alone with the recovery copy, which knows what the file held.
TEST_F(ControllerTest, AFileChangedElsewhereIsMergedOrReplacedAsTheUserSaysAndMergedAsDataAtTheEndOfASession)
{
    SetRegDword(HKEY_CURRENT_USER, kPrefs, "SaveOnShutdown", 1);
    const FileNote a = At("a", 50, 60), b = At("b", 300, 60), c = At("c", 100, 200), d = At("d", 10, 10), e = At("e", 500, 60);
    StartOn(NotesFileBytes({a, b, c, d, e}));
    // Here b is deleted, c and e edited, a note made; there a is edited, c moved, d deleted, e edited, f made.
    NoteCommand(WithText(Notes(), "b"), ID_DELETENOTE);
    SetWindowTextA(Editor(WithText(Notes(), "c")), "c here");
    SetWindowTextA(Editor(WithText(Notes(), "e")), "e here");
    const FileNote mine = Shown(NewNote("mine")), c1 = At("c here", 100, 200), e1 = At("e here", 500, 60);
    const FileNote a2 = At("a there", 50, 60), c2 = At("c", 120, 220), e2 = At("e there", 500, 60), f = At("f", 0, 0);
    const std::string theirs = NotesFileBytes({a2, b, c2, e2, f}), merged = NotesFileBytes({c1, e1, mine, a2, c2, e2, f});
    WriteFileBytes(notesFile, theirs);
    // Cancel, and Quit's save cancelled runs on; Yes merges; its own bytes then ask nothing.
    replies = {{"Driftpad: Save", IDCANCEL}, {"Driftpad: Quit", IDYES}, {"Driftpad: Save", IDCANCEL}, {"Driftpad: Save", IDYES}};
    Command(ID_SAVE);
    Command(ID_QUIT);
    EXPECT_TRUE(IsWindow(controller) && theirs == ReadFileBytes(notesFile));
    EXPECT_EQ("\"" + notesFile + "\" was changed on another computer or by another program since Driftpad opened or "
              "saved it.\r\rYes: bring in what was added, changed or deleted there, keep what was changed here, then save. "
              "A note changed on both computers is kept in both versions.\rNo: replace it with the notes on screen.\r"
              "Cancel: do not save.", asked.at(0));
    EXPECT_TRUE(icons.at(0) == LoadIconA(nullptr, IDI_EXCLAMATION) && defaults.at(0) == IDYES);
    Command(ID_SAVE);
    Command(ID_SAVE);
    EXPECT_TRUE(replies.empty() && asked.size() == 4 && merged == ReadFileBytes(notesFile));
    // No writes the notes on screen; a damaged file goes only on Yes; a version that comes while the
    // question is open is asked about in turn.
    replies = {{"Driftpad: Save", IDNO}, {"Driftpad: Save", IDNO}, {"Driftpad: Save", IDYES},
               {"Driftpad: Save", IDNO, {}, [&] { WriteFileBytes(notesFile, theirs); }}, {"Driftpad: Save", IDCANCEL}};
    WriteFileBytes(notesFile, theirs);
    Command(ID_SAVE);
    EXPECT_EQ(merged, ReadFileBytes(notesFile));
    WriteFileBytes(notesFile, "damaged");
    Command(ID_SAVE);
    EXPECT_TRUE("damaged" == ReadFileBytes(notesFile) && defaults.at(5) == IDNO);
    EXPECT_NE(std::string::npos, asked.at(5).find("cannot be read as a notes file"));
    Command(ID_SAVE);
    EXPECT_EQ(merged, ReadFileBytes(notesFile));
    WriteFileBytes(notesFile, NotesFileBytes({a2}));
    Command(ID_SAVE);
    EXPECT_TRUE(replies.empty() && theirs == ReadFileBytes(notesFile));

    // As data: no window made; then, damaged, left alone with the copy.
    WriteFileBytes(notesFile, NotesFileBytes({c1, e1, mine, c2, f, d}));
    SendMessageA(controller, WM_ENDSESSION, FALSE, 0);  // called off
    EXPECT_EQ(NotesFileBytes({c1, e1, mine, c2, f, d}), ReadFileBytes(notesFile));
    SendMessageA(controller, WM_ENDSESSION, TRUE, 0);
    EXPECT_TRUE(NotesFileBytes({c1, e1, mine, c2, f, d}) == ReadFileBytes(notesFile) && Notes().size() == 7);
    EXPECT_FALSE(FileExists(RecoveryFolder() + "\\Recovery.dpd"));
    WriteFileBytes(notesFile, "damaged");  // with nothing unsaved here
    SendMessageA(controller, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ("damaged", ReadFileBytes(notesFile));
    DestroyWindow(controller);
    Pump();
    // The restored copy knows what the file held before: a2 and e2 deleted there go, d comes.
    WriteFileBytes(notesFile, NotesFileBytes({c1, e1, mine, c2, f, d}));
    replies = {{"Driftpad: Restore", IDYES}, {"Driftpad: Save", IDYES}};
    Start('"' + notesFile + '"');
    Command(ID_SAVE);
    EXPECT_TRUE(replies.empty() && NotesFileBytes({c1, e1, mine, c2, f, d}) == ReadFileBytes(notesFile));

    const std::string other = dir + "\\other.dpd";
    WriteFileBytes(other, theirs);
    replies = {{"Save As", IDOK, other}, {"Error", IDYES}};  // Wine's words for "already exists"
    Command(ID_SAVEAS);  // its own question only: no merge
    EXPECT_TRUE(replies.empty() && NotesFileBytes({c1, e1, mine, c2, f, d}) == ReadFileBytes(other));
}

// What another computer saves arrives while Driftpad runs: merged onto the screen once the file is
// whole and quiet, with no question and nothing written. A note typed here and unsaved survives it, and
// so does the note being typed in, beside its version moved there.
TEST_F(ControllerTest, WhatAnotherComputerSavesArrivesWithinSecondsOnceWholeAndLeavesTheCaretAlone)
{
    const FileNote a = At("a", 50, 60), b = At("b", 300, 60), c = At("c", 100, 200);
    StartOn(NotesFileBytes({a, b, c}));
    const FileNote mine = Shown(NewNote("mine")), typing = At("c typed", 100, 200);
    SetFocus(Editor(WithText(Notes(), "c")));
    SetWindowTextA(Editor(WithText(Notes(), "c")), "c typed");
    const FileNote a2 = At("a there", 50, 60), c2 = At("c", 120, 220), d = At("d", 10, 10);
    const std::string theirs = NotesFileBytes({a2, c2, d});
    WriteFileBytes(notesFile, theirs.substr(0, theirs.size() - 5));  // a sync client midway: waited on
    EXPECT_FALSE(PumpUntil([&] { return WithText(Notes(), "a there") || !WithText(Notes(), "b"); }, 3000));
    WriteFileBytes(notesFile, theirs);
    EXPECT_TRUE(PumpUntil([&] { return Notes().size() == 5 && !WithText(Notes(), "b"); }, 10000));
    EXPECT_EQ(theirs, ReadFileBytes(notesFile));
    Command(ID_SAVE);
    EXPECT_EQ(NotesFileBytes({typing, mine, a2, c2, d}), ReadFileBytes(notesFile));
}

}  // namespace
}  // namespace e2e
