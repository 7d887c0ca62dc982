// Notes files as a user meets them: Save, Save As, Open, the file named on
// the command line, a dropped file, the autosave, and failures that must
// never cost the notes or the file on disk.
#include "tests/e2e/harness.h"

#include <algorithm>
#include <cstring>

#include "storage/memory_file.h"
#include "storage/notes_layout.h"
#include "resources/resource.h"

namespace e2e {
namespace {

constexpr int kEditor = 1001;

// The worked example: one note "ok" at (100, 120)-(226, 223), nothing set.
const std::string kOkNoteFile(
    "\x00\x00\x00\x00" "\x00\x00\x00\x00" "\x01\x00"
    "\x02" "ok"
    "\x64\x00\x00\x00" "\x78\x00\x00\x00" "\xE2\x00\x00\x00" "\xDF\x00\x00\x00"
    "\x00\x00\x00\x00" "\x00\x00\x00\x00" "\x00\x00\x00\x00" "\x00\x00\x00\x00",
    45);

std::string NotesFileBytes(int32_t mode, const std::vector<NoteEntry>& notes)
{
    CMemFile file;
    {
        CArchive ar(file, CArchive::store, 4096);
        WriteNotes(ar, mode, notes);
    }
    const auto& bytes = file.Data();
    return std::string(bytes.begin(), bytes.end());
}

struct ReadBack : INotesSink {
    int32_t mode = -1;
    std::vector<NoteEntry> notes;
    void OnShowHiddenMode(int32_t m) override { mode = m; }
    void OnNote(const std::u16string& text, const NoteRecord& r) override { notes.push_back({text, r}); }
};

ReadBack ParseNotesFile(const std::string& bytes)
{
    CMemFile file(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    CArchive ar(file, CArchive::load, 4096);
    ReadBack back;
    ReadNotes(ar, back);
    return back;
}

NoteEntry Entry(const std::string& text, int left, int top, int hidden = 0)
{
    NoteEntry e;
    e.m_strText.assign(text.begin(), text.end());
    e.m_record.m_nLeft = left;
    e.m_record.m_nTop = top;
    e.m_record.m_nRight = left + 126;
    e.m_record.m_nBottom = top + 103;
    e.m_record.m_bHidden = hidden;
    return e;
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

int FilesIn(const std::string& dir)
{
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &fd);
    int files = 0;
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &fd))
        files += !(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    if (find != INVALID_HANDLE_VALUE)
        FindClose(find);
    return files;
}

class FileTest : public DriftpadTest {
protected:
    // Creates a note through the tray command and gives it a text.
    HWND NewNote(const std::string& text)
    {
        auto before = app.Notes();
        app.Command(40001);
        HWND created = nullptr;
        WaitUntil([&] {
            for (HWND w : app.Notes(true))
                if (std::find(before.begin(), before.end(), w) == before.end())
                    created = w;
            return created != nullptr;
        });
        EXPECT_NE(nullptr, created);
        if (created)
            SendMessageA(GetDlgItem(created, kEditor), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        return created;
    }

    // Types a path into an open or save dialog and presses its OK.
    void AnswerFileDialog(HWND dialog, const std::string& path)
    {
        // The file-name field is the dialog's one edit control.
        HWND edit = nullptr;
        WaitUntil([&] { return (edit = FindDescendant(dialog, "Edit")) != nullptr; });
        ASSERT_NE(nullptr, edit);
        SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
        PressButton(dialog, IDOK);
    }

    std::vector<std::string> NoteTexts()
    {
        std::vector<std::string> texts;
        for (HWND w : app.Notes())
            texts.push_back(DialogItemText(w, kEditor));
        std::sort(texts.begin(), texts.end());
        return texts;
    }
};

TEST_F(FileTest, SaveWithNoNotesWritesTheTenByteFile)
{
    const std::string path = dir + "\\empty.dpd";
    StartApp("\"" + path + "\"");
    EXPECT_FALSE(FileExists(path));  // a missing file starts empty, its name current
    ASSERT_TRUE(app.CommandAndWait(40022));
    std::string bytes = ReadFileBytes(path);
    ASSERT_EQ(10u, bytes.size());
    EXPECT_EQ(std::string(4, '\0'), bytes.substr(0, 4));
    EXPECT_EQ(std::string(2, '\0'), bytes.substr(8, 2));
}

TEST_F(FileTest, SaveWritesTheNotesInCreationOrderAfterADeletion)
{
    const std::string path = dir + "\\abc.dpd";
    StartApp("\"" + path + "\"");
    NewNote("A");
    HWND b = NewNote("B");
    NewNote("C\r\nsecond line");
    PostMessageA(b, 0x0403, 0, 0);  // B's own Delete Note
    ASSERT_TRUE(app.WaitNoteCount(2));
    ASSERT_TRUE(app.CommandAndWait(40022));
    ReadBack back = ParseNotesFile(ReadFileBytes(path));
    ASSERT_EQ(2u, back.notes.size());
    EXPECT_EQ(u"A", back.notes[0].m_strText);
    EXPECT_EQ(u"C\r\nsecond line", back.notes[1].m_strText);
}

// Text the code page lacks, pasted as Unicode: a wide string in the file
// beside a plain note's 8-bit one, whole again in the reopened note and in
// its alarm notice, and cut at 150 code units.
TEST_F(FileTest, PastedUnicodeTextIsSavedWideAndComesBackWholeInTheNoteAndItsAlarm)
{
    const std::string path = dir + "\\u.dpd";
    StartApp("\"" + path + "\"");
    NewNote("plain");
    HWND note = NewNote("");
    ASSERT_NE(nullptr, note);
    EXPECT_TRUE(IsWindowUnicode(note));  // Wine's editor keeps every character even in an 8-bit note; Windows' does not
    // One character typed, then 150 units pasted, of which the last is refused.
    PostMessageW(GetDlgItem(note, IDC_NOTEEDIT), WM_CHAR, 0x0416, 1);
    const std::u16string text = u"\u0443\u043A \U0001F41E" + std::u16string(145, u'i');
    ASSERT_TRUE(OpenClipboard(nullptr) && EmptyClipboard());
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, 2 * text.size() + 2);
    std::memcpy(GlobalLock(mem), text.c_str(), 2 * text.size() + 2);
    GlobalUnlock(mem);
    SetClipboardData(CF_UNICODETEXT, mem);
    CloseClipboard();
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
    std::string bytes = ReadFileBytes(path);
    ASSERT_EQ(10 + 6 + 32 + wide.size() + 32, bytes.size());
    EXPECT_EQ("\x05plain", bytes.substr(10, 6));
    EXPECT_EQ(wide, bytes.substr(48, wide.size()));

    bytes[48 + wide.size() + 16] = 1;  // its alarm set, and long due
    bytes[48 + wide.size() + 20] = 1;
    WriteFileBytes(path, bytes);
    app.Kill();
    StartApp("\"" + path + "\"");
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

TEST_F(FileTest, TheWorkedExampleOpensFromTheCommandLineAtItsPlace)
{
    const std::string path = dir + "\\ok.dpd";
    WriteFileBytes(path, kOkNoteFile);
    StartApp("\"" + path + "\"");
    ASSERT_TRUE(app.WaitNoteCount(1, true));
    HWND note = app.Notes().front();
    EXPECT_EQ("ok", DialogItemText(note, kEditor));
    RECT r = WindowRect(note);
    EXPECT_EQ(100, r.left);
    EXPECT_EQ(120, r.top);
    // Saved again unmoved, the file comes back byte for byte (the reserved
    // field is ours to write, and we write 0).
    ASSERT_TRUE(app.CommandAndWait(40022));
    EXPECT_EQ(kOkNoteFile, ReadFileBytes(path));
}

TEST_F(FileTest, OpenAddsToTheNotesAlreadyThere)
{
    const std::string path = dir + "\\two.dpd";
    WriteFileBytes(path, NotesFileBytes(0, {Entry("one", 50, 60), Entry("two", 300, 60)}));
    StartApp();
    NewNote("mine");
    app.Command(40010);
    HWND open = app.WaitDialog("Open");
    ASSERT_NE(nullptr, open);
    AnswerFileDialog(open, path);
    ASSERT_TRUE(app.WaitNoteCount(3, true));
    EXPECT_EQ((std::vector<std::string>{"mine", "one", "two"}), NoteTexts());
    // The opened file is now current: Save writes all three there, old note first.
    ASSERT_TRUE(app.CommandAndWait(40022));
    ReadBack back = ParseNotesFile(ReadFileBytes(path));
    ASSERT_EQ(3u, back.notes.size());
    EXPECT_EQ(u"mine", back.notes[0].m_strText);
}

TEST_F(FileTest, AHiddenNoteStaysHiddenUnlessTheFilesModeIsOn)
{
    const std::string off = dir + "\\off.dpd";
    const std::string on = dir + "\\on.dpd";
    WriteFileBytes(off, NotesFileBytes(0, {Entry("shown", 50, 60), Entry("hidden", 300, 60, 1)}));
    WriteFileBytes(on, NotesFileBytes(1, {Entry("hidden too", 50, 300, 1)}));
    StartApp("\"" + off + "\"");
    ASSERT_TRUE(app.WaitNoteCount(2));
    Sleep(300);
    EXPECT_EQ(1u, app.Notes(true).size());
    // Opening a file whose mode is on shows every hidden note, old ones too.
    ASSERT_TRUE(InjectMenuProbe(app));
    ASSERT_TRUE(DropFilesOnController({on}));
    EXPECT_TRUE(app.WaitNoteCount(3, true));
}

TEST_F(FileTest, SaveWithoutANameAsksCancelWritesNothingAndATypedNameGetsTheExtension)
{
    StartApp();
    NewNote("named");
    app.Command(40022);
    HWND saveAs = app.WaitDialog("Save As");
    ASSERT_NE(nullptr, saveAs);
    PressButton(saveAs, IDCANCEL);
    Sleep(300);
    EXPECT_EQ(0, FilesIn(dir));
    app.Command(40023);
    ASSERT_NE(nullptr, saveAs = app.WaitDialog("Save As"));
    AnswerFileDialog(saveAs, dir + "\\typed");
    EXPECT_TRUE(WaitUntil([&] { return FileExists(dir + "\\typed.dpd"); }));
    EXPECT_EQ(u"named", ParseNotesFile(ReadFileBytes(dir + "\\typed.dpd")).notes.at(0).m_strText);
}

TEST_F(FileTest, ASaveThatCannotWriteIsReportedAndKeepsTheOldFile)
{
    const std::string path = dir + "\\held.dpd";
    WriteFileBytes(path, kOkNoteFile);
    StartApp("\"" + path + "\"");
    ASSERT_TRUE(app.WaitNoteCount(1, true));
    NewNote("new");
    // Another program holds the file open without sharing.
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    app.Command(40022);
    HWND box = app.WaitDialog("Driftpad");
    ASSERT_NE(nullptr, box);
    EXPECT_NE(std::string::npos, MessageBoxText(box).find(path));
    PressButton(box, IDOK);

    // Quit, Yes: the save fails again, so Quit stops and the notes stay.
    app.Command(40008);
    HWND quit = app.WaitDialog("Driftpad: Quit");
    ASSERT_NE(nullptr, quit);
    PressButton(quit, IDYES);
    box = app.WaitDialog("Driftpad");
    ASSERT_NE(nullptr, box);
    PressButton(box, IDOK);
    Sleep(300);
    EXPECT_TRUE(app.Running());
    EXPECT_EQ(2u, app.Notes().size());
    CloseHandle(held);
    EXPECT_EQ(kOkNoteFile, ReadFileBytes(path));
    EXPECT_EQ(1, FilesIn(dir));  // nothing left beside it
}

TEST_F(FileTest, ADroppedFileOpensWhateverTheLengthOfItsPath)
{
    std::string deep = dir;
    while (deep.size() < 200) {
        deep += "\\a-rather-long-folder-name";
        CreateDirectoryA(deep.c_str(), nullptr);
    }
    const std::string path = deep + "\\ok.dpd";
    WriteFileBytes(path, kOkNoteFile);
    const std::string other = dir + "\\other.dpd";
    WriteFileBytes(other, NotesFileBytes(0, {Entry("not opened", 10, 10)}));
    StartApp();
    ASSERT_TRUE(InjectMenuProbe(app));
    ASSERT_TRUE(DropFilesOnController({path, other}));  // only the first counts
    ASSERT_TRUE(app.WaitNoteCount(1, true));
    Sleep(300);
    EXPECT_EQ((std::vector<std::string>{"ok"}), NoteTexts());
    // The dropped file is now the current one.
    NewNote("added");
    ASSERT_TRUE(app.CommandAndWait(40022));
    EXPECT_EQ(2u, ParseNotesFile(ReadFileBytes(path)).notes.size());
}

TEST_F(FileTest, EndOfSessionSavesOnlyWhenAskedTo)
{
    constexpr const char* kPrefs = "Software\\Vantry\\Driftpad\\Preferences";
    const std::string path = dir + "\\auto.dpd";
    {
        SCOPED_TRACE("preference off");
        SetRegDword(HKEY_CURRENT_USER, kPrefs, "SaveOnShutdown", 0);
        HWND controller = StartApp("\"" + path + "\"");
        NewNote("kept?");
        PostMessageA(controller, WM_ENDSESSION, TRUE, 0);
        Sleep(500);
        EXPECT_FALSE(FileExists(path));
        app.Kill();
    }
    {
        SCOPED_TRACE("preference on");
        SetRegDword(HKEY_CURRENT_USER, kPrefs, "SaveOnShutdown", 1);
        HWND controller = StartApp("\"" + path + "\"");
        NewNote("autosaved");
        PostMessageA(controller, WM_ENDSESSION, FALSE, 0);  // called off
        Sleep(300);
        EXPECT_FALSE(FileExists(path));
        PostMessageA(controller, WM_ENDSESSION, TRUE, 0);
        ASSERT_TRUE(WaitUntil([&] { return FileExists(path); }));
        EXPECT_EQ(u"autosaved", ParseNotesFile(ReadFileBytes(path)).notes.at(0).m_strText);
    }
}

TEST_F(FileTest, ATruncatedFileAtStartKeepsTheCompleteNotesAndSaysSo)
{
    const std::string path = dir + "\\cut.dpd";
    std::string bytes = NotesFileBytes(1, {Entry("first", 50, 60), Entry("second", 300, 60)});
    WriteFileBytes(path, bytes.substr(0, bytes.size() - 20));  // ends inside the second record
    StartApp("\"" + path + "\"");
    HWND box = app.WaitDialog("Driftpad");
    ASSERT_NE(nullptr, box);
    EXPECT_NE(std::string::npos, MessageBoxText(box).find(path));
    PressButton(box, IDOK);
    ASSERT_TRUE(app.WaitNoteCount(1, true));
    EXPECT_EQ((std::vector<std::string>{"first"}), NoteTexts());
    EXPECT_TRUE(app.Running());
}

}  // namespace
}  // namespace e2e
