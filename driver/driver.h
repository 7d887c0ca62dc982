#pragma once
// Drives Driftpad.exe from outside, as a user would: starts it, finds its
// windows, answers its boxes, posts its commands, writes its files and
// registry. Shared by the tools, the benchmarks and the tests; no test
// framework here. One header; the code is split by concern under driver/.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/messages.h"
#include "resources/resource.h"

namespace driver {

// --- window_search.cpp: waiting; windows by process, class, title, id.

// Polls every 20 ms until the condition holds or the time is up.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 5000);
void Sleep(int ms);

std::string WindowText(HWND hWnd);
std::string DialogItemText(HWND hDlg, int id);
void SetItemText(HWND hDlg, int id, const std::string& text);

// Top-level windows of a process with the given class and title (null: any).
std::vector<HWND> ProcessWindows(DWORD pid, const char* className, const char* title = nullptr,
                                 bool visibleOnly = false);

std::string MessageBoxText(HWND box);
void PressButton(HWND dialog, int id);

// --- host.cpp: the Linux host beneath Wine.

// A Linux program through Wine's own spawn: with wait, its exit status; -1 when it cannot run.
long UnixSpawn(std::vector<std::string> words, bool wait);
std::string UnixPath(const std::string& windowsPath);
// The real X pointer and keyboard (SendInput is unreliable under Wine).
bool Xdotool(const std::vector<std::string>& arguments);
void MovePointer(int x, int y);

// --- program.cpp: a running Driftpad.exe, its controller, notes and dialogs.

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

// --- files.cpp: files, registry, and notes files built byte by byte apart
// from the program's writer, so that a fault there cannot hide here too.

void CleanProgramKeys();
void SetRegDword(HKEY root, const char* key, const char* value, DWORD data);

std::string TempDir();
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

struct FileNote {
    std::string text;
    RECT rect = {60, 80, 186, 183};
    int32_t alarmFlag = 0, alarmTime = 0, onTop = 0, hidden = 0;
    FileNote Alarm(int32_t time, int32_t flag = 1) { alarmFlag = flag, alarmTime = time; return *this; }
};
// The show-hidden mode, 4 reserved bytes, a 16-bit count, then each note's
// text (length in a byte, or FF and a word) and eight 32-bit values, low byte first.
std::string NotesFileBytes(const std::vector<FileNote>& notes, int32_t showHidden = 0);

}  // namespace driver
