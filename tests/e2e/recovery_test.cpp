// Nothing typed is lost: a run that is killed leaves a recovery copy that the
// next start offers back; a save or a quit leaves none.
#include "tests/e2e/harness.h"

#include "resources/resource.h"

#include <algorithm>

namespace e2e {
namespace {

constexpr const char* kRestoreCaption = "Driftpad: Restore";

std::string RecoveryFolder()
{
    char local[MAX_PATH] = {};
    GetEnvironmentVariableA("LOCALAPPDATA", local, MAX_PATH);
    return std::string(local) + "\\Vantry\\Driftpad\\";
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// One note "from file" at (60, 80), nothing set.
std::string OneNoteFile()
{
    std::string out = {0, 0, 0, 0, 0, 0, 0, 0, 1, 0};
    out += std::string("\x09") + "from file";
    for (int32_t v : {60, 80, 186, 183, 0, 0, 0, 0})
        out.append(reinterpret_cast<const char*>(&v), 4);
    return out;
}

class RecoveryTest : public DriftpadTest {
protected:
    // The program answers: whatever it was doing when asked is done.
    bool RoundTrip()
    {
        DWORD_PTR ignored = 0;
        return SendMessageTimeoutA(app.Controller(), WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored) != 0;
    }

    HWND NewNote()
    {
        auto before = app.Notes();
        app.Command(ID_NEWNOTE);
        HWND created = nullptr;
        WaitUntil([&] {
            for (HWND w : app.Notes(true))
                if (std::find(before.begin(), before.end(), w) == before.end())
                    created = w;
            return created != nullptr;
        });
        return created;
    }

    HWND WithText(const std::string& text)
    {
        for (HWND w : app.Notes())
            if (DialogItemText(w, IDC_NOTEEDIT) == text)
                return w;
        return nullptr;
    }

    // Starts on the command line's file and answers the offer; false when none came.
    bool StartAndAnswer(const std::string& arguments, int button)
    {
        if (!app.Start(arguments))
            return false;
        HWND box = app.WaitDialog(kRestoreCaption);
        if (!box)
            return false;
        EXPECT_EQ("Driftpad ended while notes were not saved.\r\rRestore them?", MessageBoxText(box));
        EXPECT_TRUE(GetDlgItem(box, IDYES) && GetDlgItem(box, IDNO) && !GetDlgItem(box, IDCANCEL));
        PressButton(box, button);
        return WaitUntil([&] { return !IsWindow(box); }) && RoundTrip();
    }

    const std::string copy = RecoveryFolder() + "Recovery.dpd";
};

TEST_F(RecoveryTest, YesAfterAKillRestoresTypedNotesWithTheirPlaceFlagsAndFileAndASaveLeavesNothingToOffer)
{
    const std::string path = dir + "\\mine.dpd", arguments = "\"" + path + "\"";
    WriteFileBytes(path, OneNoteFile());
    StartApp(arguments);
    ASSERT_TRUE(app.WaitNoteCount(1));
    HWND note = NewNote();
    ASSERT_NE(nullptr, note);
    // Real keys, into the note clicked first.
    RECT r = WindowRect(note);
    MovePointer((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    Xdotool({"click", "1"});
    Xdotool({"type", "--delay", "40", "typed"});
    ASSERT_TRUE(WaitUntil([&] { return DialogItemText(note, IDC_NOTEEDIT) == "typed"; }));
    PostMessageA(GetDlgItem(note, IDC_NOTEEDIT), WM_COMMAND, ID_ALWAYSONTOP, 0);
    ASSERT_TRUE(WaitUntil([&] { return (GetWindowLongA(note, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }));
    Sleep(4000);
    app.Kill();

    ASSERT_TRUE(StartAndAnswer(arguments, IDYES));
    HWND restored = WithText("typed");
    ASSERT_NE(nullptr, restored);
    const RECT place = WindowRect(restored);
    EXPECT_TRUE(EqualRect(&r, &place));
    EXPECT_TRUE(WaitUntil([&] { return (GetWindowLongA(restored, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }));
    // The restored notes' file is current and was not opened a second time.
    ASSERT_TRUE(app.CommandAndWait(ID_SAVE));
    EXPECT_EQ(2u, app.Notes().size());
    const std::string saved = ReadFileBytes(path);
    EXPECT_EQ(2, saved[8]) << "notes in the saved file";
    EXPECT_NE(std::string::npos, saved.find("typed"));
    EXPECT_FALSE(FileExists(copy)) << "saved: nothing left to recover";

    app.Kill();
    StartApp(arguments);
    ASSERT_TRUE(app.WaitNoteCount(2));
    ASSERT_TRUE(RoundTrip());
    EXPECT_TRUE(ProcessWindows(app.Pid(), "#32770", kRestoreCaption).empty());
}

TEST_F(RecoveryTest, NoKeepsTheCopyAsThePreviousOneAndQuitLeavesNone)
{
    StartApp();
    HWND note = NewNote();
    ASSERT_NE(nullptr, note);
    PostMessageA(GetDlgItem(note, IDC_NOTEEDIT), WM_CHAR, 'a', 1);
    ASSERT_TRUE(WaitUntil([&] { return FileExists(copy); }, 4000));
    app.Kill();

    ASSERT_TRUE(StartAndAnswer("", IDNO));
    EXPECT_TRUE(app.Notes().empty());
    EXPECT_FALSE(FileExists(copy));
    const std::string previous = ReadFileBytes(RecoveryFolder() + "Recovery.previous.dpd");
    EXPECT_EQ(std::string("\x01" "a", 2), previous.substr(10, 2)) << "the note typed before the kill";

    // Quit, answered No: the user let the notes go.
    note = NewNote();
    ASSERT_NE(nullptr, note);
    PostMessageA(GetDlgItem(note, IDC_NOTEEDIT), WM_CHAR, 'b', 1);
    ASSERT_TRUE(WaitUntil([&] { return FileExists(copy); }, 4000));
    app.Command(ID_QUIT);
    HWND quit = app.WaitDialog("Driftpad: Quit");
    ASSERT_NE(nullptr, quit);
    PressButton(quit, IDNO);
    EXPECT_EQ(0u, app.WaitExit());
    EXPECT_FALSE(FileExists(copy));
}

TEST_F(RecoveryTest, ACopyThatCannotBeWrittenIsToldInAStopBox)
{
    // A file where the folder should be.
    std::string folder = RecoveryFolder();
    folder.pop_back();
    CreateDirectoryA(folder.substr(0, folder.find_last_of('\\')).c_str(), nullptr);
    WriteFileBytes(folder, "in the way");
    StartApp();
    HWND note = NewNote();
    ASSERT_NE(nullptr, note);
    PostMessageA(GetDlgItem(note, IDC_NOTEEDIT), WM_CHAR, 'a', 1);
    HWND box = app.WaitDialog("Driftpad", 5000);
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(0u, MessageBoxText(box).find("Unsaved notes cannot be protected")) << MessageBoxText(box);
    PressButton(box, IDOK);
}

}  // namespace
}  // namespace e2e
