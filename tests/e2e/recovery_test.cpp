// Nothing typed is lost: a run that is killed leaves a recovery copy that the
// next start offers back; a save leaves none.
#include "tests/e2e/harness.h"

namespace e2e {
namespace {

constexpr const char* kRestoreCaption = "Driftpad: Restore";

class RecoveryTest : public DriftpadTest {
protected:
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
        return WaitUntil([&] { return !IsWindow(box); }) && app.Sync();
    }

    const std::string copy = RecoveryFolder() + "\\Recovery.dpd";
};

TEST_F(RecoveryTest, YesAfterAKillRestoresTypedNotesWithTheirPlaceFlagsAndFileAndASaveLeavesNothingToOffer)
{
    const std::string path = dir + "\\mine.dpd", arguments = "\"" + path + "\"";
    WriteFileBytes(path, NotesFileBytes({Note("from file")}));
    StartApp(arguments);
    ASSERT_TRUE(app.WaitNoteCount(1));
    HWND note = app.NewNote();
    ASSERT_NE(nullptr, note);
    // Real keys, into the note clicked first.
    RECT r = WindowRect(note);
    MovePointer((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    Xdotool({"click", "1"});
    Xdotool({"type", "--delay", "40", "typed"});
    ASSERT_TRUE(WaitUntil([&] { return DialogItemText(note, IDC_NOTEEDIT) == "typed"; }));
    PostMessageA(GetDlgItem(note, IDC_NOTEEDIT), WM_COMMAND, ID_ALWAYSONTOP, 0);
    ASSERT_TRUE(WaitUntil([&] { return (GetWindowLongA(note, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }));
    // Read once each write is done: a reader during one would make it fail.
    uint64_t seen = 0;
    bool typed = false;
    ASSERT_TRUE(WaitUntil([&] {
        typed = typed || (WrittenAgain(copy, seen) && ReadFileBytes(copy).find("typed") != std::string::npos);
        return typed && FileExists(RecoveryFolder() + "\\Recovery.txt");  // its file's name comes right after it
    }));
    app.Kill();

    ASSERT_TRUE(StartAndAnswer(arguments, IDYES));
    HWND restored = WithText(app.Notes(), "typed");
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
}

TEST_F(RecoveryTest, NoKeepsTheCopyAsThePreviousOne)
{
    StartApp();
    HWND note = app.NewNote();
    ASSERT_NE(nullptr, note);
    // Beyond the code page: the program's loop must hand it on whole.
    PostMessageW(GetDlgItem(note, IDC_NOTEEDIT), WM_CHAR, 0x0416, 1);
    ASSERT_TRUE(WaitUntil([&] { return FileExists(copy); }, 4000));
    app.Kill();

    ASSERT_TRUE(StartAndAnswer("", IDNO));
    EXPECT_TRUE(app.Notes().empty());
    EXPECT_FALSE(FileExists(copy));
    const std::string previous = ReadFileBytes(RecoveryFolder() + "\\Recovery.previous.dpd");
    EXPECT_EQ(std::string("\xFF\xFE\xFF\x01\x16\x04", 6), previous.substr(10, 6)) << "the note typed before the kill";
}

}  // namespace
}  // namespace e2e
