#pragma once
// The tests' part of driving Driftpad.exe, over the shared driver
// (driver/driver.h): the fixtures and what only the tests read (window
// places, the screen, files, registry); the in-process window tests use it
// too. The code is split by concern under tests/e2e/harness/.
#include <gtest/gtest.h>

#include "driver/driver.h"
#include "notes/note_messages.h"

namespace e2e {

using namespace driver;

// --- harness/window_search.cpp: windows by place and text, the screen, the clipboard.

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

// The window among these whose item (a note's editor, a notice's text) reads so; null if none.
HWND WithText(const std::vector<HWND>& windows, const std::string& text, int item = IDC_NOTEEDIT);

// Puts the text on the clipboard as Unicode; empty: an empty clipboard.
void SetClipboardText(const std::u16string& text);

// --- harness/files.cpp: files and registry read back, notes for a notes file.

std::optional<std::string> RegString(HKEY root, const char* key, const char* value);
std::optional<DWORD> RegDword(HKEY root, const char* key, const char* value);
bool RegKeyExists(HKEY root, const char* key);
void SetRegString(HKEY root, const char* key, const char* value, const std::string& data);
constexpr const char* kPreferencesKey = "Software\\Vantry\\Driftpad\\Preferences";

std::string RecoveryFolder();
bool FileExists(const std::string& path);
// Whether the file was written again since 'seen' (a time stamp, then
// updated), told without opening it: under Wine an open reader makes a
// writer that replaces the file fail, so read it only once this says so.
bool WrittenAgain(const std::string& path, uint64_t& seen);
int FilesIn(const std::string& dir);

inline FileNote Note(const std::string& text, RECT rect = FileNote().rect, int32_t onTop = 0, int32_t hidden = 0)
{
    return {text, rect, 0, 0, onTop, hidden};
}
// A note's template size, its top-left there.
inline RECT Place(int left, int top) { return {left, top, left + 126, top + 103}; }

// --- harness/fixture.cpp: what every window test needs: a clean registry
// and recovery folder before and after, a fresh folder for its files, a
// screenshot of a failure, and Save read back.

std::string Screenshot(const std::string& name);  // the PNG's path

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
