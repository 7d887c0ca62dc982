#pragma once
// Drives Driftpad.exe from outside, as a user would; its window, file and
// host helpers serve the in-process window tests too. One header; the code
// is split by concern under tests/e2e/harness/.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/messages.h"
#include "notes/note_messages.h"
#include "resources/resource.h"

namespace e2e {

// --- harness/window_search.cpp: waiting; windows by process, class, title, id.

// Polls every 20 ms until the condition holds or the time is up.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 5000);
void Sleep(int ms);

std::string WindowText(HWND hWnd);
std::string DialogItemText(HWND hDlg, int id);
void SetItemText(HWND hDlg, int id, const std::string& text);
RECT WindowRect(HWND hWnd);
RECT WorkArea();
inline POINT Centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
inline bool IsTopmost(HWND w) { return (GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }
inline HWND Editor(HWND note) { return GetDlgItem(note, IDC_NOTEEDIT); }
inline std::string Text(HWND note) { return e2e::WindowText(Editor(note)); }
inline bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }
inline RECT Offset(RECT r, int dx, int dy) { return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; }
// The screen's colour there is the notes' yellow.
bool Yellow(int x, int y);

// Top-level windows of a process with the given class and title (null: any).
std::vector<HWND> ProcessWindows(DWORD pid, const char* className, const char* title = nullptr,
                                 bool visibleOnly = false);

std::string MessageBoxText(HWND box);
// The window among these whose item (a note's editor, a notice's text) reads so; null if none.
HWND WithText(const std::vector<HWND>& windows, const std::string& text, int item = IDC_NOTEEDIT);
void PressButton(HWND dialog, int id);

// Puts the text on the clipboard as Unicode; empty: an empty clipboard.
void SetClipboardText(const std::u16string& text);

// --- harness/host.cpp: the Linux host beneath Wine.

// A Linux program through Wine's own spawn: with wait, its exit status; -1 when it cannot run.
long UnixSpawn(std::vector<std::string> words, bool wait);
std::string UnixPath(const std::string& windowsPath);
// The real X pointer and keyboard (SendInput is unreliable under Wine).
bool Xdotool(const std::vector<std::string>& arguments);
void MovePointer(int x, int y);
std::string Screenshot(const std::string& name);  // the PNG's path

// --- harness/program.cpp: a running Driftpad.exe, its controller, notes and dialogs.

std::string ExeDir();
std::string DriftpadPath();

class App {
public:
    App() = default;
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    // Starts Driftpad (or another program) without waiting for its windows.
    bool Start(const std::string& arguments = "", const std::string& directory = "", const std::string& exe = "");
    // As Start, until the controller exists, through a shell: with variables
    // ("NAME=value") set and the standard error, where Wine traces, in a file.
    bool StartWithEnvironment(const std::string& arguments, const std::vector<std::string>& environment,
                              const std::string& stderrPath);
    HWND Controller(int timeoutMs = 5000);
    std::optional<DWORD> WaitExit(int timeoutMs = 5000);
    bool Running() const;
    DWORD Pid() const { return m_pid; }
    HANDLE Process() const { return m_process; }
    void Kill();

    // The notes: dialogs owned by the controller.
    std::vector<HWND> Notes(bool visibleOnly = false);
    bool WaitNoteCount(size_t n, bool visibleOnly = false, int timeoutMs = 5000);
    // New Note (with the pointer at 'at'): the new note once shown, with the text set.
    HWND NewNote(const std::string& text = "", const POINT* at = nullptr);

    void Command(WORD id);
    // A round trip: returns once the controller has carried the message out;
    // false while a modal window it opened is still up.
    bool SendAndWait(UINT message, WPARAM wParam, LPARAM lParam, int timeoutMs = 10000);
    bool CommandAndWait(WORD id, int timeoutMs = 10000) { return SendAndWait(WM_COMMAND, id, 0, timeoutMs); }
    bool Sync() { return SendAndWait(WM_NULL, 0, 0); }

    HWND WaitDialog(const char* caption, int timeoutMs = 5000);
    // Presses the button of the message box with that caption; its text, or "(none)".
    std::string Answer(const char* caption, int button);

private:
    HANDLE m_process = nullptr;
    DWORD m_pid = 0;
    HWND m_controller = nullptr;
};

// --- harness/files.cpp: files, registry, and notes files built byte by byte
// apart from the program's writer, so that a fault there cannot hide here too.

void CleanProgramKeys();
std::optional<std::string> RegString(HKEY root, const char* key, const char* value);
std::optional<DWORD> RegDword(HKEY root, const char* key, const char* value);
bool RegKeyExists(HKEY root, const char* key);
void SetRegDword(HKEY root, const char* key, const char* value, DWORD data);
void SetRegString(HKEY root, const char* key, const char* value, const std::string& data);
constexpr const char* kPreferencesKey = "Software\\Vantry\\Driftpad\\Preferences";

std::string RecoveryFolder();
std::string TempDir();
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
// Whether the file was written again since 'seen' (a time stamp, then
// updated), told without opening it: under Wine an open reader makes a
// writer that replaces the file fail, so read it only once this says so.
bool WrittenAgain(const std::string& path, uint64_t& seen);
int FilesIn(const std::string& dir);

struct FileNote {
    std::string text;
    RECT rect = {60, 80, 186, 183};
    int32_t alarmFlag = 0, alarmTime = 0, onTop = 0, hidden = 0;
    FileNote Alarm(int32_t time, int32_t flag = 1) { alarmFlag = flag, alarmTime = time; return *this; }
};
// The show-hidden mode, 4 reserved bytes, a 16-bit count, then each note's
// text (length in a byte, or FF and a word) and eight 32-bit values, low byte first.
std::string NotesFileBytes(const std::vector<FileNote>& notes, int32_t showHidden = 0);
inline FileNote Note(const std::string& text, RECT rect = FileNote().rect, int32_t onTop = 0, int32_t hidden = 0)
{
    return {text, rect, 0, 0, onTop, hidden};
}
// A note's template size, its top-left there.
inline RECT Place(int left, int top) { return {left, top, left + 126, top + 103}; }

// --- harness/fixture.cpp: what every window test needs: a clean registry
// and recovery folder before and after, a fresh folder for its files, a
// screenshot of a failure, and Save read back.

class CleanTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    virtual void EndRun() = 0;
    // Carries out a controller's command, returning once it is done.
    virtual void RunCommand(WORD id) = 0;
    // Save into notesFile (removed first): the bytes written.
    std::string Save();

    std::string dir;  // a fresh folder for this test's files
    std::string notesFile;
};

class DriftpadTest : public CleanTest {
protected:
    void SetUp() override;
    void EndRun() override { app.Kill(); }
    void RunCommand(WORD id) override { EXPECT_TRUE(app.CommandAndWait(id)); }
    // Starts the program and waits for its start-up to end.
    HWND StartApp(const std::string& arguments = "");

    App app;
};

}  // namespace e2e
