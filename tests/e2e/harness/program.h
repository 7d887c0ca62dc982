#pragma once
// A running Driftpad.exe, driven from outside as a user would: its
// controller, its notes, the tray and menu commands, its dialogs.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace e2e {

std::string ExeDir();
std::string DriftpadPath();

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

}  // namespace e2e
