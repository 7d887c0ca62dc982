#pragma once
// Drives Driftpad.exe from outside, as a user would: starts it, finds its
// windows by title, class and control id, posts tray messages, answers
// message boxes, moves the real pointer, and reads the registry.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace e2e {

// Polls every 20 ms until the condition holds or the time is up.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 5000);
void Sleep(int ms);

std::string WindowText(HWND hWnd);
std::string ClassName(HWND hWnd);
std::string DialogItemText(HWND hDlg, int id);
RECT WindowRect(HWND hWnd);
RECT WorkArea();

// A running Driftpad.exe.
class App {
public:
    App() = default;
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    // Starts the program with the given arguments; does not wait for windows.
    bool Start(const std::string& arguments = "", const std::string& directory = "");
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

    // Top-level windows of the program owned by the controller: the notes,
    // in no particular order; visibleOnly drops hidden ones.
    std::vector<HWND> Notes(bool visibleOnly = false);
    // Waits until exactly n notes exist (visible ones when asked).
    bool WaitNoteCount(size_t n, bool visibleOnly = false, int timeoutMs = 5000);

    // Posts WM_TRAYICON with the given mouse message to the controller.
    void Tray(UINT mouseMessage);
    // Posts a command as a chosen menu item would.
    void Command(WORD id);
    // Sends it and returns once the program has carried it out (only for
    // commands that open no modal window).
    bool CommandAndWait(WORD id, int timeoutMs = 10000);

    // A dialog of this program with the given caption (message boxes
    // included), visible; null on time-out.
    HWND WaitDialog(const char* caption, int timeoutMs = 5000);
    // No such dialog appears within the time.
    bool NoDialog(const char* caption, int withinMs);

private:
    HANDLE m_process = nullptr;
    DWORD m_pid = 0;
    HWND m_controller = nullptr;
};

// Top-level windows of a process with the given class (and title, if given).
std::vector<HWND> ProcessWindows(DWORD pid, const char* className, const char* title = nullptr,
                                 bool visibleOnly = false);

// The first descendant window of the given class, or null.
HWND FindDescendant(HWND parent, const char* className);

// A message box's text (its static control 0xFFFF).
std::string MessageBoxText(HWND box);
// Presses a button of a dialog or message box (IDYES, IDNO, IDOK...).
void PressButton(HWND dialog, int id);

// The open popup menu window (#32768) of any program, or null.
HWND WaitPopupMenu(int timeoutMs = 3000);
bool WaitNoPopupMenu(int timeoutMs = 3000);
// Chooses the n-th selectable item from the top (0-based) with the keyboard.
void ChooseMenuItemByKeys(HWND menu, int downPresses);

// The real X pointer through xdotool (SendInput is unreliable under Wine).
bool Xdotool(const std::vector<std::string>& arguments);
void MovePointer(int x, int y);

// Registry: the program's keys are removed before every test.
void CleanProgramKeys();
std::optional<std::string> RegString(HKEY root, const char* key, const char* value);
std::optional<DWORD> RegDword(HKEY root, const char* key, const char* value);
bool RegKeyExists(HKEY root, const char* key);
void SetRegDword(HKEY root, const char* key, const char* value, DWORD data);
void SetRegString(HKEY root, const char* key, const char* value, const std::string& data);

// Files: a fresh temporary folder per test.
std::string TempDir();
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
std::string ExeDir();
std::string DriftpadPath();

// The menu states the program set while the menu opened, read from inside
// its process by an injected probe (Wine cannot read another process's menu).
struct MenuItemState {
    UINT id;
    std::string text;
    bool separator;
    bool grayed;
    bool checked;
    bool popup;
};
bool InjectMenuProbe(const App& app);
// The items of the last menu that opened after 'since' (a sequence number).
std::optional<std::vector<MenuItemState>> WaitMenuProbe(unsigned since, int timeoutMs = 3000);
unsigned MenuProbeSequence();
// Drops files on the controller through the injected probe, which builds the
// drop in the program's own memory as the shell would.
bool DropFilesOnController(const std::vector<std::string>& paths);

// A test with a clean registry; the app ends (or is killed) at the end and a
// screenshot is saved when the test failed.
class DriftpadTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Starts the app and waits for its controller.
    HWND StartApp(const std::string& arguments = "");

    App app;
    std::string dir;  // a fresh folder for this test's files
};

// Live GUI objects of the program, counted where Wine keeps them (its
// GetGuiResources is a stub that answers 0): GDI objects from the process's
// GDI handle table; USER objects as its windows plus its menus, which only
// code inside the process can see (the menu probe must be injected first).
// -1 for a count that could not be read.
struct GuiObjectCounts {
    long gdi = -1;
    long user = -1;
};
GuiObjectCounts CountGuiObjects(const App& app);
// GDI objects in a process's GDI handle table (GetGuiResources answers 0
// under Wine); -1 when the table cannot be read.
long CountGdiObjects(HANDLE process);

}  // namespace e2e
