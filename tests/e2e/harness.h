#pragma once
// Drives Driftpad.exe from outside, as a user would: starts it, finds its
// windows by title, class and control id, posts tray messages and commands,
// answers message boxes, moves the real pointer, reads files and registry.
// One header; the code is split by concern under tests/e2e/harness/.
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

// --- harness/window_search.cpp
// Waiting, and finding the program's windows from outside: by process,
// class, title and control id; message boxes and popup menus.

// Polls every 20 ms until the condition holds or the time is up.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 5000);
void Sleep(int ms);

std::string WindowText(HWND hWnd);
std::string DialogItemText(HWND hDlg, int id);
void SetItemText(HWND hDlg, int id, const std::string& text);
RECT WindowRect(HWND hWnd);
RECT WorkArea();

// Top-level windows of a process with the given class (and title, if given).
std::vector<HWND> ProcessWindows(DWORD pid, const char* className, const char* title = nullptr,
                                 bool visibleOnly = false);
// The first descendant window of the given class, or null.
HWND FindDescendant(HWND parent, const char* className);

// A message box's text (its static control 0xFFFF).
std::string MessageBoxText(HWND box);
// Presses a button of a dialog or message box (IDYES, IDNO, IDOK...).
void PressButton(HWND dialog, int id);

// The process's visible popup menu (#32768), or null on time-out. Keys
// posted before the menu's own loop runs are lost, so it waits for that.
HWND WaitPopupMenu(DWORD pid, int timeoutMs = 3000);
bool WaitNoPopupMenu(DWORD pid, int timeoutMs = 3000);
// Posts keys to a menu, one at a time as a user types them.
void MenuKeys(HWND menu, std::initializer_list<UINT> keys);

// --- harness/host.cpp
// What the tests reach outside Wine, on the Linux host: Linux programs
// (xdotool for the real X pointer, import for screenshots) and Unix paths.

// Runs a Linux program through Wine's own spawn (CreateProcess starts it
// but reports a wrong status); with wait, its exit status, else 0 once
// started; -1 when it cannot be run.
long UnixSpawn(std::vector<std::string> words, bool wait);
// The Unix path of a Windows path, empty when there is none.
std::string UnixPath(const std::string& windowsPath);

// The real X pointer through xdotool (SendInput is unreliable under Wine).
bool Xdotool(const std::vector<std::string>& arguments);
void MovePointer(int x, int y);

// Saves the whole virtual screen as a PNG; returns the file's path.
std::string Screenshot(const std::string& name);

// --- harness/program.cpp
// A running Driftpad.exe, driven from outside as a user would: its
// controller, its notes, the tray and menu commands, its dialogs.

std::string ExeDir();
std::string DriftpadPath();

class App {
public:
    App() = default;
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    // Starts the program (or another, e.g. a benchmark's yardstick) with the
    // given arguments; does not wait for windows.
    bool Start(const std::string& arguments = "", const std::string& directory = "", const std::string& exe = "");
    // As Start, through a Unix shell, until the controller exists: with
    // environment variables set for the program ("NAME=value", e.g.
    // WINEDEBUG=-all,+winmm) and its standard error appended to a file, where
    // Wine prints its debug channels' traces. The arguments are shell words
    // (quote Windows paths).
    bool StartWithEnvironment(const std::string& arguments, const std::vector<std::string>& environment,
                              const std::string& stderrPath);
    // The hidden controller ("Driftpad: Options"); waits for it to exist.
    HWND Controller(int timeoutMs = 5000);
    // Waits for the process to end; its exit code, or none on time-out.
    std::optional<DWORD> WaitExit(int timeoutMs = 5000);
    bool Running() const;
    DWORD Pid() const { return m_pid; }
    HANDLE Process() const { return m_process; }
    void Kill();

    // The notes (dialogs owned by the controller), in no particular order;
    // visibleOnly drops hidden ones.
    std::vector<HWND> Notes(bool visibleOnly = false);
    bool WaitNoteCount(size_t n, bool visibleOnly = false, int timeoutMs = 5000);
    // The notes' texts, sorted.
    std::vector<std::string> NoteTexts();
    // New Note from the tray (with the pointer at 'at', if given), the new
    // note once visible, with the text set, if given; null on time-out.
    HWND NewNote(const std::string& text = "", const POINT* at = nullptr);

    // Posts WM_TRAYICON with the given mouse message to the controller.
    void Tray(UINT mouseMessage);
    // Posts a command as a chosen menu item would.
    void Command(WORD id);
    // Sends a message to the controller and returns once the program has
    // carried it out: false if it opened a modal window that is still up
    // when the time is out. A round trip to check that something did not
    // happen.
    bool SendAndWait(UINT message, WPARAM wParam, LPARAM lParam, int timeoutMs = 10000);
    bool CommandAndWait(WORD id, int timeoutMs = 10000) { return SendAndWait(WM_COMMAND, id, 0, timeoutMs); }
    // A round trip through the program's message loop.
    bool Sync() { return SendAndWait(WM_NULL, 0, 0); }

    // A dialog of this program with the given caption (message boxes
    // included), visible; null on time-out.
    HWND WaitDialog(const char* caption, int timeoutMs = 5000);
    // Waits for the message box with that caption, presses the button and
    // returns its text ("(none)" when there was no box).
    std::string Answer(const char* caption, int button);

private:
    HANDLE m_process = nullptr;
    DWORD m_pid = 0;
    HWND m_controller = nullptr;
};

// --- harness/files.cpp
// The test's own files and registry values, and the notes files it writes:
// built here byte by byte, apart from the program's writer, so that a fault
// in that writer cannot hide in the tests too.

// Registry: the program's keys are removed before and after every test.
void CleanProgramKeys();
std::optional<std::string> RegString(HKEY root, const char* key, const char* value);
std::optional<DWORD> RegDword(HKEY root, const char* key, const char* value);
bool RegKeyExists(HKEY root, const char* key);
void SetRegDword(HKEY root, const char* key, const char* value, DWORD data);
void SetRegString(HKEY root, const char* key, const char* value, const std::string& data);
constexpr const char* kPreferencesKey = "Software\\Vantry\\Driftpad\\Preferences";

// Files: a fresh folder per test; the program's recovery copy's folder,
// emptied before and after every test.
std::string RecoveryFolder();
std::string TempDir();
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
int FilesIn(const std::string& dir);

struct FileNote {
    std::string text;
    RECT rect = {60, 80, 186, 183};
    int32_t alarmFlag = 0, alarmTime = 0, onTop = 0, hidden = 0;
};
// A notes file: the show-hidden mode, 4 reserved bytes, a 16-bit count, then
// each note's text (its length in a byte, or FF and a word) and its record
// of eight 32-bit values, all low byte first.
std::string NotesFileBytes(const std::vector<FileNote>& notes, int32_t showHidden = 0);

// --- harness/probe.cpp
// What only code inside Driftpad's process can see under Wine, through a
// probe DLL injected into it: the states of the popup menus it opens, files
// dropped on it as the shell would, and its live GUI objects.

struct MenuItemState {
    UINT id;
    std::string text;
    bool separator;
    bool grayed;
    bool checked;
    bool popup;
};
bool InjectMenuProbe(const App& app);
// The items of the first menu that opened after 'since' (a sequence number).
std::optional<std::vector<MenuItemState>> WaitMenuProbe(unsigned since, int timeoutMs = 3000);
unsigned MenuProbeSequence();
// Drops files on the controller; the probe builds the drop in the
// program's own memory as the shell would.
bool DropFilesOnController(const std::vector<std::string>& paths);

// Live GUI objects of the program, counted where Wine keeps them (its
// GetGuiResources answers 0): GDI objects from the process's GDI handle
// table; USER objects as its windows plus its menus, which only the probe
// sees (inject it first). -1 for a count that could not be read.
struct GuiObjectCounts {
    long gdi = -1;
    long user = -1;
};
GuiObjectCounts CountGuiObjects(const App& app);
long CountGdiObjects(HANDLE process);

// --- harness/fixture.cpp
// The base of every end-to-end test: a clean registry, a fresh folder, and
// the program ended at the end; a screenshot when the test failed.

class DriftpadTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Starts the program and waits for its controller and start-up to end.
    HWND StartApp(const std::string& arguments = "");
    // Starts on dir\notes.dpd (written first if bytes are given), so that
    // Save writes there without asking.
    HWND StartWithFile(const std::string& bytes = "");
    // Save from the tray; the bytes of dir\notes.dpd afterwards.
    std::string Save();

    App app;
    std::string dir;  // a fresh folder for this test's files
    std::string notesFile;
};

}  // namespace e2e
