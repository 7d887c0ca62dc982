// Notes files as a user meets them: Save, Save As, Open, the file named on
// the command line, a dropped file, the autosave, and failures that must
// never cost the notes or the file on disk. Saved files are compared whole
// with files the tests build themselves.
#include "tests/e2e/harness.h"

#include <algorithm>

namespace e2e {
namespace {

// A note as the screen shows it, as its file record should say.
FileNote Shown(HWND note)
{
    return Note(DialogItemText(note, IDC_NOTEEDIT), WindowRect(note));
}

FileNote At(const std::string& text, int left, int top, int hidden = 0)
{
    return Note(text, {left, top, left + 126, top + 103}, 0, hidden);
}

class FileTest : public DriftpadTest {
protected:
    // Types a path into an open or save dialog and presses its OK.
    void AnswerFileDialog(HWND dialog, const std::string& path)
    {
        HWND edit = nullptr;  // the file-name field is the dialog's one edit control
        WaitUntil([&] { return (edit = FindDescendant(dialog, "Edit")) != nullptr; });
        ASSERT_NE(nullptr, edit);
        SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
        PressButton(dialog, IDOK);
    }
};

TEST_F(FileTest, SaveWritesTheNotesInCreationOrderAndAMissingFileStartsEmpty)
{
    StartWithFile();
    EXPECT_FALSE(FileExists(notesFile));  // missing, yet current
    EXPECT_EQ(NotesFileBytes({}), Save());
    FileNote a = Shown(app.NewNote("A"));
    HWND b = app.NewNote("B");
    FileNote c = Shown(app.NewNote("C\r\nsecond line"));
    PostMessageA(b, WM_DELETENOTE, 0, 0);  // B's own Delete Note
    ASSERT_TRUE(app.WaitNoteCount(2));
    EXPECT_EQ(NotesFileBytes({a, c}), Save());
}

// Text the code page lacks, pasted as Unicode: a wide string in the file
// beside a plain note's 8-bit one, whole again in the reopened note and in
// its alarm notice, and cut at 150 code units.
TEST_F(FileTest, PastedUnicodeTextIsSavedWideAndComesBackWholeInTheNoteAndItsAlarm)
{
    StartWithFile();
    app.NewNote("plain");
    HWND note = app.NewNote();
    ASSERT_NE(nullptr, note);
    EXPECT_TRUE(IsWindowUnicode(note));  // Wine's editor keeps every character even in an 8-bit note; Windows' does not
    // One character typed, then 150 units pasted, of which the last is refused.
    PostMessageW(GetDlgItem(note, IDC_NOTEEDIT), WM_CHAR, 0x0416, 1);
    const std::u16string text = u"\u0443\u043A \U0001F41E" + std::u16string(145, u'i');
    SetClipboardText(text);
    PostMessageA(GetDlgItem(note, IDC_NOTEEDIT), WM_COMMAND, ID_EDIT_PASTE, 0);
    auto wideText = [](HWND w) {
        wchar_t buf[512] = {};
        SendMessageW(w, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buf));
        return std::u16string(reinterpret_cast<const char16_t*>(buf));
    };
    const std::u16string kept = u"\u0416" + text.substr(0, 149);
    EXPECT_TRUE(WaitUntil([&] { return wideText(GetDlgItem(note, IDC_NOTEEDIT)) == kept; }));
    ASSERT_TRUE(app.CommandAndWait(ID_SAVE));

    std::string wide = "\xFF\xFE\xFF\x96";  // wide, 150 units, low byte first
    for (char16_t unit : kept)
        wide += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    std::string bytes = ReadFileBytes(notesFile);
    ASSERT_EQ(10 + 6 + 32 + wide.size() + 32, bytes.size());
    EXPECT_EQ("\x05plain", bytes.substr(10, 6));
    EXPECT_EQ(wide, bytes.substr(48, wide.size()));

    bytes[48 + wide.size() + 16] = 1;  // its alarm set, and long due
    bytes[48 + wide.size() + 20] = 1;
    app.Kill();
    StartWithFile(bytes);
    HWND notice = app.WaitDialog("Note Alarm!");
    ASSERT_NE(nullptr, notice);
    EXPECT_TRUE(IsWindowUnicode(notice) && kept == wideText(GetDlgItem(notice, IDC_NOTICETEXT)));
    ASSERT_TRUE(app.WaitNoteCount(2));
    std::vector<std::u16string> texts;
    for (HWND w : app.Notes())
        texts.push_back(wideText(GetDlgItem(w, IDC_NOTEEDIT)));
    std::sort(texts.begin(), texts.end());
    EXPECT_EQ((std::vector<std::u16string>{u"plain", kept}), texts);
}

TEST_F(FileTest, AFileOpensAtItsPlaceFromTheCommandLineAndOpenAddsToTheNotesThere)
{
    const std::string ok = NotesFileBytes({At("ok", 100, 120)});
    StartWithFile(ok);
    ASSERT_TRUE(app.WaitNoteCount(1, true));
    HWND note = app.Notes().front();
    EXPECT_EQ("ok", DialogItemText(note, IDC_NOTEEDIT));
    EXPECT_EQ(100, WindowRect(note).left);
    EXPECT_EQ(120, WindowRect(note).top);
    EXPECT_EQ(ok, Save());  // unmoved, byte for byte

    const std::string two = dir + "\\two.dpd";
    WriteFileBytes(two, NotesFileBytes({At("one", 50, 60), At("two", 300, 60)}));
    app.Command(ID_OPEN);
    HWND open = app.WaitDialog("Open");
    ASSERT_NE(nullptr, open);
    AnswerFileDialog(open, two);
    ASSERT_TRUE(app.WaitNoteCount(3, true));
    // The opened file is now current: Save writes all three there, old note first.
    ASSERT_TRUE(app.CommandAndWait(ID_SAVE));
    EXPECT_EQ(NotesFileBytes({At("ok", 100, 120), At("one", 50, 60), At("two", 300, 60)}), ReadFileBytes(two));
}

TEST_F(FileTest, SaveWithoutANameAsksCancelWritesNothingAndATypedNameGetsTheExtension)
{
    StartApp();
    FileNote named = Shown(app.NewNote("named"));
    app.Command(ID_SAVE);
    HWND saveAs = app.WaitDialog("Save As");
    ASSERT_NE(nullptr, saveAs);
    PressButton(saveAs, IDCANCEL);
    ASSERT_TRUE(app.Sync());
    EXPECT_EQ(0, FilesIn(dir));
    app.Command(ID_SAVEAS);
    ASSERT_NE(nullptr, saveAs = app.WaitDialog("Save As"));
    AnswerFileDialog(saveAs, dir + "\\typed");
    EXPECT_TRUE(WaitUntil([&] { return FileExists(dir + "\\typed.dpd"); }));
    ASSERT_TRUE(app.Sync());
    EXPECT_EQ(NotesFileBytes({named}), ReadFileBytes(dir + "\\typed.dpd"));
}

TEST_F(FileTest, ASaveThatCannotWriteIsReportedKeepsTheOldFileAndStopsQuit)
{
    const std::string old = NotesFileBytes({At("ok", 100, 120)});
    StartWithFile(old);
    ASSERT_TRUE(app.WaitNoteCount(1, true));
    app.NewNote("new");
    // Another program holds the file open without sharing.
    HANDLE held = CreateFileA(notesFile.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    app.Command(ID_SAVE);
    EXPECT_NE(std::string::npos, app.Answer("Driftpad", IDOK).find(notesFile));
    // Quit, Yes: the save fails again, so Quit stops and the notes stay.
    app.Command(ID_QUIT);
    app.Answer("Driftpad: Quit", IDYES);
    EXPECT_NE("(none)", app.Answer("Driftpad", IDOK));
    EXPECT_TRUE(app.Sync());
    EXPECT_EQ(2u, app.Notes().size());
    CloseHandle(held);
    EXPECT_EQ(old, ReadFileBytes(notesFile));
    EXPECT_EQ(1, FilesIn(dir));  // nothing left beside it
}

TEST_F(FileTest, EndOfSessionSavesOnlyWhenAskedToAndOtherwiseKeepsARecoveryCopy)
{
    for (DWORD preference : {0u, 1u}) {
        SCOPED_TRACE(preference);
        SetRegDword(HKEY_CURRENT_USER, kPreferencesKey, "SaveOnShutdown", preference);
        StartWithFile();
        if (preference) {  // the first round's session end kept a recovery copy
            EXPECT_NE("(none)", app.Answer("Driftpad: Restore", IDNO));
        }
        FileNote note = Shown(app.NewNote("autosaved"));
        ASSERT_TRUE(app.SendAndWait(WM_ENDSESSION, FALSE, 0));  // called off
        EXPECT_FALSE(FileExists(notesFile));
        ASSERT_TRUE(app.SendAndWait(WM_ENDSESSION, TRUE, 0));
        EXPECT_EQ(preference ? NotesFileBytes({note}) : "", ReadFileBytes(notesFile));
        EXPECT_EQ(preference == 0, FileExists(RecoveryFolder() + "\\Recovery.dpd"));  // written before the answer
        app.Kill();
        DeleteFileA(notesFile.c_str());
    }
}

TEST_F(FileTest, ATruncatedFileAtStartKeepsTheCompleteNotesAndSaysSo)
{
    std::string bytes = NotesFileBytes({At("first", 50, 60), At("second", 300, 60)}, 1);
    StartWithFile(bytes.substr(0, bytes.size() - 20));  // ends inside the second record
    EXPECT_NE(std::string::npos, app.Answer("Driftpad", IDOK).find(notesFile));
    ASSERT_TRUE(app.WaitNoteCount(1, true));
    EXPECT_EQ("first", DialogItemText(app.Notes().front(), IDC_NOTEEDIT));
}

}  // namespace
}  // namespace e2e
