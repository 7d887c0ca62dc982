#pragma once
// Driftpad's controller and notes made in the test's own process, as a run
// starts them, and driven by direct messages through the run's own loop:
// popup menus are read as they open and keys typed into them; the program's
// questions and file dialogs are answered as they come.
#include "app/sticky_note_app.h"
#include "tests/e2e/harness.h"

#include <deque>
#include <map>

namespace e2e {

// An answer to the next question: a message box or file dialog by its
// caption, the button pressed, and for a file dialog the name typed first.
struct Reply {
    Reply(std::string c, int b, std::string f = {}, std::function<void()> w = {})
        : caption(std::move(c)), button(b), fileName(std::move(f)), whileAsked(std::move(w)) {}
    std::string caption;
    int button;
    std::string fileName;
    std::function<void()> whileAsked;  // what happens elsewhere while the question is open
};

// The popup menus that opened: each item's MF_GRAYED and MF_CHECKED by id,
// and where the first showed. Once a menu waits, the keys are typed into it.
struct MenuSpy {
    std::vector<std::map<UINT, UINT>> menus;
    RECT rect = {};
    std::vector<UINT> keys = {VK_ESCAPE};
    bool typed = false;
};

class InProcessTest : public CleanTest {
protected:
    void SetUp() override;
    void EndRun() override;
    void RunCommand(WORD id) override { Command(id); }

    // Starts a run on these arguments; the controller.
    HWND Start(const std::string& arguments = "");
    // Starts a run on the notes file, made of these bytes first.
    HWND StartOn(const std::string& bytes);
    // Carries out what was posted, through the run's loop.
    void Pump();
    // Pumps until the condition holds (what the real pointer or a timer sets off).
    bool PumpUntil(const std::function<bool()>& condition, int timeoutMs = 3000);
    void Command(WORD id);
    void Tray(UINT mouseMessage);
    // A command of the note's context menu, as if chosen there.
    void NoteCommand(HWND note, WORD id);
    // The notes, topmost first.
    std::vector<HWND> Notes(bool visibleOnly = false);
    // New Note with the pointer there, and the text set.
    HWND NewNote(const std::string& text = "", POINT at = {400, 300});
    void TrayMenu(std::vector<UINT> keys);
    // At a point of the editor, or (-1) as the keyboard asks.
    void ContextMenu(HWND note, std::vector<UINT> keys, LPARAM at = 0);
    // The states of the context menu and its Note submenu, by id.
    std::map<UINT, UINT> ReadMenus(HWND note);

public:  // what the hooks on this thread read and write
    CStickyNoteApp app;
    HWND controller = nullptr;
    std::deque<Reply> replies;
    std::vector<std::string> asked;  // the texts of the questions, as they came
    std::vector<HICON> icons;        // and their icons
    std::vector<int> defaults;       // and their default buttons
    MenuSpy spy;
    int quitCode = -1;  // the run's end, once the controller posted it
    // Called as each note window is made, with its owner; false refuses it
    // (Windows' quota of windows, which Wine does not have).
    std::function<bool(HWND owner)> onNoteWindow;
};

}  // namespace e2e
