// The note's alarm as the user meets it: alarms loaded from a notes file,
// the "Note Alarm!" notice with its sound, and the Alarm Settings dialog.
#include "tests/e2e/harness.h"

#include <algorithm>
#include <cstdint>
#include <ctime>

namespace e2e {
namespace {

constexpr const char* kPrefs = "Software\\Vantry\\Driftpad\\Preferences";
constexpr const char* kSoundKey = "AppEvents\\Schemes\\Apps\\Driftpad\\DP Alarm\\.current";
constexpr const char* kSound = "dp-e2e-chime.wav";
constexpr UINT kOpenAlarmSettings = 40025;
constexpr UINT_PTR kAlarmTimer = 1029;
constexpr int kNoteEdit = 1001;
constexpr int kDateField = 1003;
constexpr int kTimeField = 1004;
constexpr int kEnableBox = 1006;
constexpr int kNoticeText = 1007;
constexpr int kNoticeDelete = 40002;

int32_t Now()
{
    return static_cast<int32_t>(std::time(nullptr));
}

// One note of a notes file as the program writes it.
struct FileNote {
    std::string text;
    int32_t alarmFlag = 0;
    int32_t alarmTime = 0;
    int32_t hidden = 0;
};

void PutDword(std::string& out, int32_t value)
{
    auto v = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// Header (show-hidden mode, reserved, 16-bit count), then per note its text
// with a one-byte length and the 32-byte record.
std::string NotesFile(const std::vector<FileNote>& notes)
{
    std::string out;
    PutDword(out, 0);
    PutDword(out, 0);
    out += static_cast<char>(notes.size() & 0xFF);
    out += static_cast<char>(notes.size() >> 8);
    int32_t left = 60;
    for (const auto& n : notes) {
        out += static_cast<char>(n.text.size());
        out += n.text;
        for (int32_t edge : {left, 80, left + 130, 190})
            PutDword(out, edge);
        PutDword(out, n.alarmFlag);
        PutDword(out, n.alarmTime);
        PutDword(out, 0);
        PutDword(out, n.hidden);
        left += 200;
    }
    return out;
}

// The two texts the program shows for a time value, from the C runtime's
// local time.
std::pair<std::string, std::string> AlarmTexts(int32_t value)
{
    std::time_t t = value;
    std::tm local = *std::localtime(&t);
    char date[32];
    char time[32];
    std::snprintf(date, sizeof date, "%2d/%2d/%2d", local.tm_mon + 1, local.tm_mday, local.tm_year % 100);
    int hour12 = local.tm_hour % 12 == 0 ? 12 : local.tm_hour % 12;
    std::snprintf(time, sizeof time, "%2d:%2.2d %s", hour12, local.tm_min, local.tm_hour < 12 ? "AM" : "PM");
    return {date, time};
}

void SetItemText(HWND dlg, int id, const std::string& text)
{
    DWORD_PTR got = 0;
    SendMessageTimeoutA(GetDlgItem(dlg, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                        SMTO_ABORTIFHUNG, 2000, &got);
}

bool IsChecked(HWND dlg, int id)
{
    DWORD_PTR state = 0;
    SendMessageTimeoutA(GetDlgItem(dlg, id), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &state);
    return state == BST_CHECKED;
}

void SetChecked(HWND dlg, int id, bool checked)
{
    PostMessageA(GetDlgItem(dlg, id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    WaitUntil([&] { return IsChecked(dlg, id) == checked; }, 2000);
}

// Moves the focus inside a dialog as Tab or a click would, on its own thread.
void FocusItem(HWND dlg, int id)
{
    PostMessageA(dlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dlg, id)), TRUE);
}

HWND FocusOf(HWND window)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

size_t Occurrences(const std::string& text, const std::string& word)
{
    size_t count = 0;
    for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1))
        ++count;
    return count;
}

class AlarmTest : public DriftpadTest {
protected:
    // Starts the program on a notes file, with the alarm sound set and the
    // sound calls of Wine's winmm channel written to a log.
    void StartWithNotes(const std::vector<FileNote>& notes)
    {
        std::string file = dir + "\\alarms.dpd";
        WriteFileBytes(file, NotesFile(notes));
        SetRegDword(HKEY_CURRENT_USER, kPrefs, "SaveOnShutdown", 0);
        SetRegString(HKEY_CURRENT_USER, kSoundKey, nullptr, kSound);

        m_log = dir + "\\stderr.log";
        ASSERT_TRUE(app.StartWithEnvironment("'" + file + "'", {"WINEDEBUG=-all,+winmm"}, m_log));
        ASSERT_NE(nullptr, app.Controller());
    }

    std::string SoundLog() const { return ReadFileBytes(m_log); }

    std::vector<HWND> Notices() { return ProcessWindows(app.Pid(), "#32770", "Note Alarm!", true); }

    bool WaitNotices(size_t n, int timeoutMs = 5000)
    {
        return WaitUntil([&] { return Notices().size() == n; }, timeoutMs);
    }

    HWND NoteWithText(const std::string& text)
    {
        for (HWND note : app.Notes())
            if (DialogItemText(note, kNoteEdit) == text)
                return note;
        return nullptr;
    }

    HWND OpenSettings(HWND note)
    {
        PostMessageA(note, kOpenAlarmSettings, 0, 0);
        return app.WaitDialog("Alarm Settings");
    }

    // The one message box of the program, its text, closed with OK.
    std::string AnswerMessageBox()
    {
        HWND box = app.WaitDialog("Driftpad", 3000);
        if (!box)
            return "(no message box)";
        Sleep(200);
        EXPECT_EQ(1u, ProcessWindows(app.Pid(), "#32770", "Driftpad", true).size()) << "one message at a time";
        std::string text = MessageBoxText(box);
        PressButton(box, IDOK);
        WaitUntil([&] { return !IsWindow(box); }, 3000);
        return text;
    }

    std::string m_log;
};

TEST_F(AlarmTest, LoadedPastAlarmRingsAboutASecondAfterTheNoteOpensWithTheConfiguredSound)
{
    StartWithNotes({{"Call the dentist", 1, Now() - 3600}});
    ASSERT_TRUE(app.WaitNoteCount(1, true));
    auto appeared = std::chrono::steady_clock::now();
    ASSERT_TRUE(WaitNotices(1, 4000));
    auto late = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - appeared);
    EXPECT_GE(late.count(), 500);
    EXPECT_LE(late.count(), 2000);

    HWND notice = Notices().front();
    EXPECT_EQ("Call the dentist", DialogItemText(notice, kNoticeText));
    EXPECT_TRUE(GetWindowLongA(notice, GWL_EXSTYLE) & WS_EX_TOPMOST) << "system-modal notice";
    EXPECT_TRUE(WaitUntil([&] { return FocusOf(notice) == GetDlgItem(notice, IDOK); }, 2000));
    EXPECT_TRUE(WaitUntil([&] { return Occurrences(SoundLog(), kSound) > 0; }, 2000)) << SoundLog();

    // OK keeps the note; the alarm is spent and does not come back.
    PressButton(notice, IDOK);
    EXPECT_TRUE(WaitNotices(0));
    EXPECT_TRUE(app.NoDialog("Note Alarm!", 1500));
    ASSERT_EQ(1u, app.Notes().size());
    HWND settings = OpenSettings(app.Notes().front());
    ASSERT_NE(nullptr, settings);
    EXPECT_FALSE(IsChecked(settings, kEnableBox));
    PressButton(settings, IDCANCEL);
    EXPECT_TRUE(app.NoDialog("Alarm Settings", 1000));
}

TEST_F(AlarmTest, AlarmAheadRingsAtItsSecondAndNotBefore)
{
    const int32_t due = Now() + 3;
    StartWithNotes({{"on the dot", 1, due}});
    ASSERT_TRUE(app.WaitNoteCount(1, true));
    ASSERT_TRUE(WaitNotices(1, 6000));
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    int64_t nowMs = ((int64_t(ft.dwHighDateTime) << 32 | ft.dwLowDateTime) - 116444736000000000LL) / 10000;
    EXPECT_GE(nowMs, int64_t(due) * 1000);
    EXPECT_LE(nowMs, int64_t(due) * 1000 + 1000);
    EXPECT_EQ("on the dot", DialogItemText(Notices().front(), kNoticeText));
}

TEST_F(AlarmTest, HiddenNoteRingsAndDeleteOnTheNoticeRemovesItAfterTheNoticeCloses)
{
    StartWithNotes({{"Hidden reminder", 1, -1, 1}});
    ASSERT_TRUE(app.WaitNoteCount(1));
    ASSERT_TRUE(WaitNotices(1, 4000));
    HWND notice = Notices().front();
    EXPECT_EQ("Hidden reminder", DialogItemText(notice, kNoticeText));
    EXPECT_TRUE(app.Notes(true).empty()) << "the note itself stays hidden";

    // The note waits for the notice to end.
    Sleep(300);
    EXPECT_EQ(1u, app.Notes().size());
    PressButton(notice, kNoticeDelete);
    EXPECT_TRUE(WaitNotices(0));
    EXPECT_TRUE(app.WaitNoteCount(0));
}

TEST_F(AlarmTest, AlarmDuringAnOpenNoticeOpensItsOwnWithTheTextOfTheMoment)
{
    StartWithNotes({{"first", 1, Now() - 10}, {"second"}});
    ASSERT_TRUE(app.WaitNoteCount(2, true));
    ASSERT_TRUE(WaitNotices(1, 4000));
    EXPECT_EQ("first", DialogItemText(Notices().front(), kNoticeText));
    ASSERT_TRUE(WaitUntil([&] { return Occurrences(SoundLog(), kSound) > 0; }, 2000));
    size_t soundsBefore = Occurrences(SoundLog(), kSound);

    // With the first notice up, the other note gets an alarm for the
    // present minute, which is due at once; its text changes afterwards.
    HWND second = NoteWithText("second");
    ASSERT_NE(nullptr, second);
    HWND dlg = OpenSettings(second);
    ASSERT_NE(nullptr, dlg);
    SetChecked(dlg, kEnableBox, true);
    SetItemText(second, kNoteEdit, "second, edited");
    PressButton(dlg, IDOK);

    ASSERT_TRUE(WaitNotices(2, 5000));
    std::vector<std::string> texts;
    for (HWND n : Notices())
        texts.push_back(DialogItemText(n, kNoticeText));
    std::sort(texts.begin(), texts.end());
    EXPECT_EQ((std::vector<std::string>{"first", "second, edited"}), texts);
    EXPECT_TRUE(WaitUntil([&] { return Occurrences(SoundLog(), kSound) > soundsBefore; }, 2000));

    // A clock change or a wake-up does not ring an alarm whose notice is up.
    for (HWND note : app.Notes()) {
        PostMessageA(note, WM_TIMECHANGE, 0, 0);
        PostMessageA(note, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    }
    Sleep(1500);
    EXPECT_EQ(2u, Notices().size());
    for (HWND n : Notices())
        PressButton(n, IDOK);
    EXPECT_TRUE(WaitNotices(0));
    EXPECT_EQ(2u, app.Notes().size());
}

TEST_F(AlarmTest, AlarmAheadIsNotRungEarlyByAStrayTimerOrAClockChange)
{
    StartWithNotes({{"later", 1, Now() + 3600}});
    ASSERT_TRUE(app.WaitNoteCount(1, true));
    HWND note = app.Notes().front();
    // The timer may fire before the wall clock reaches the alarm (ticks and
    // clock drift apart, long alarms wait in steps): the clock decides.
    PostMessageA(note, WM_TIMER, kAlarmTimer, 0);
    PostMessageA(note, WM_TIMECHANGE, 0, 0);
    PostMessageA(note, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    EXPECT_TRUE(app.NoDialog("Note Alarm!", 1500));

    // Still armed, for the same time.
    HWND settings = OpenSettings(note);
    ASSERT_NE(nullptr, settings);
    EXPECT_TRUE(IsChecked(settings, kEnableBox));
    auto texts = AlarmTexts(Now() + 3600);
    EXPECT_EQ(texts.first, DialogItemText(settings, kDateField));
    PressButton(settings, IDCANCEL);
}

TEST_F(AlarmTest, SettingsShowThePresentAndComplainOnLeavingAFieldAndOnOK)
{
    StartApp();
    app.Command(40001);
    ASSERT_TRUE(app.WaitNoteCount(1, true));
    int32_t before = Now();
    HWND dlg = OpenSettings(app.Notes().front());
    ASSERT_NE(nullptr, dlg);
    auto shownAt = [&](int32_t t) {
        auto texts = AlarmTexts(t);
        return DialogItemText(dlg, kDateField) == texts.first && DialogItemText(dlg, kTimeField) == texts.second;
    };
    EXPECT_TRUE(shownAt(before) || shownAt(Now())) << DialogItemText(dlg, kDateField) << "|" << DialogItemText(dlg, kTimeField);
    EXPECT_FALSE(IsChecked(dlg, kEnableBox));
    EXPECT_TRUE(WaitUntil([&] { return FocusOf(dlg) == GetDlgItem(dlg, IDOK); }, 2000));
    // Neither field scrolls sideways; both take 15 characters; Time is upper case.
    for (int id : {kDateField, kTimeField}) {
        EXPECT_FALSE(GetWindowLongA(GetDlgItem(dlg, id), GWL_STYLE) & ES_AUTOHSCROLL);
        DWORD_PTR limit = 0;
        SendMessageTimeoutA(GetDlgItem(dlg, id), EM_GETLIMITTEXT, 0, 0, SMTO_ABORTIFHUNG, 2000, &limit);
        EXPECT_EQ(15u, limit);
    }
    EXPECT_TRUE(GetWindowLongA(GetDlgItem(dlg, kTimeField), GWL_STYLE) & ES_UPPERCASE);
    const std::string goodDate = DialogItemText(dlg, kDateField);
    const std::string goodTime = DialogItemText(dlg, kTimeField);

    // Leaving a field checks only that field, with the padded message.
    SetItemText(dlg, kDateField, "12-31");
    FocusItem(dlg, kDateField);
    FocusItem(dlg, kEnableBox);
    EXPECT_EQ("Invalid Date!             ", AnswerMessageBox());
    SetItemText(dlg, kDateField, goodDate);
    SetItemText(dlg, kTimeField, "10:30");
    FocusItem(dlg, kTimeField);
    FocusItem(dlg, kEnableBox);
    EXPECT_EQ("Invalid Time!             ", AnswerMessageBox());

    // OK: the date first, then the time; the dialog stays open.
    SetItemText(dlg, kDateField, "12-31");
    PressButton(dlg, IDOK);
    EXPECT_EQ("Invalid Date!", AnswerMessageBox());
    SetItemText(dlg, kDateField, goodDate);
    PressButton(dlg, IDOK);
    EXPECT_EQ("Invalid Time!", AnswerMessageBox());
    // A date the time value cannot hold is refused too, not stored as -1.
    SetItemText(dlg, kTimeField, goodTime);
    SetItemText(dlg, kDateField, "1/1/40");
    PressButton(dlg, IDOK);
    EXPECT_EQ("Invalid Date!", AnswerMessageBox());
    EXPECT_TRUE(IsWindowVisible(dlg));

    // Enter with the focus still in a bad Date field: one message, not two.
    SetItemText(dlg, kDateField, "12-31");
    FocusItem(dlg, kDateField);
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(dlg) == GetDlgItem(dlg, kDateField); }, 2000));
    PressButton(dlg, IDOK);
    EXPECT_EQ("Invalid Date!", AnswerMessageBox());
    SetItemText(dlg, kDateField, goodDate);
    FocusItem(dlg, kEnableBox);
    PressButton(dlg, IDCANCEL);
    EXPECT_TRUE(app.NoDialog("Alarm Settings", 1000));
    EXPECT_TRUE(app.NoDialog("Driftpad", 300));
}

TEST_F(AlarmTest, TypedLowerCaseTimeBecomesCapitalsAndOkWithTheBoxCheckedRings)
{
    StartApp();
    app.Command(40001);
    ASSERT_TRUE(app.WaitNoteCount(1, true));
    HWND note = app.Notes().front();
    SetItemText(note, kNoteEdit, "Stand up");
    HWND dlg = OpenSettings(note);
    ASSERT_NE(nullptr, dlg);

    // The present minute, typed in lower case: it has begun, so the alarm
    // is due and rings a second after OK.
    auto texts = AlarmTexts(Now());
    std::string typed = texts.second;
    std::transform(typed.begin(), typed.end(), typed.begin(), [](char c) { return char(std::tolower(c)); });
    HWND time = GetDlgItem(dlg, kTimeField);
    FocusItem(dlg, kTimeField);
    PostMessageA(time, EM_SETSEL, 0, -1);
    for (char c : typed)
        PostMessageA(time, WM_CHAR, static_cast<unsigned char>(c), 0);
    EXPECT_TRUE(WaitUntil([&] { return DialogItemText(dlg, kTimeField) == texts.second; }, 2000))
        << DialogItemText(dlg, kTimeField);
    SetItemText(dlg, kDateField, texts.first);
    SetChecked(dlg, kEnableBox, true);
    PressButton(dlg, IDOK);
    ASSERT_TRUE(app.NoDialog("Driftpad", 300)) << "no complaint";
    auto closed = std::chrono::steady_clock::now();
    ASSERT_TRUE(WaitNotices(1, 4000));
    auto late = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - closed);
    EXPECT_LE(late.count(), 2500);
    EXPECT_EQ("Stand up", DialogItemText(Notices().front(), kNoticeText));
    PressButton(Notices().front(), IDOK);
    EXPECT_TRUE(WaitNotices(0));
}

TEST_F(AlarmTest, ClearingTheBoxStopsThePendingAlarmAndOkAtOnceKeepsAnother)
{
    const int32_t soon = Now() + 4;
    const int32_t later = Now() + 600;
    StartWithNotes({{"soon", 1, soon}, {"later", 1, later}});
    ASSERT_TRUE(app.WaitNoteCount(2, true));

    // The stored alarm is shown with the box checked; cleared, it is off.
    HWND dlg = OpenSettings(NoteWithText("soon"));
    ASSERT_NE(nullptr, dlg);
    EXPECT_TRUE(IsChecked(dlg, kEnableBox));
    auto soonTexts = AlarmTexts(soon);
    EXPECT_EQ(soonTexts.first, DialogItemText(dlg, kDateField));
    EXPECT_EQ(soonTexts.second, DialogItemText(dlg, kTimeField));
    SetChecked(dlg, kEnableBox, false);
    PressButton(dlg, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dlg); }, 2000));
    ASSERT_LT(Now(), soon) << "too slow to switch the alarm off in time";

    // OK at once on the other note keeps its alarm ahead.
    dlg = OpenSettings(NoteWithText("later"));
    ASSERT_NE(nullptr, dlg);
    EXPECT_EQ(AlarmTexts(later).second, DialogItemText(dlg, kTimeField));
    PressButton(dlg, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dlg); }, 2000));

    while (Now() <= soon)
        Sleep(50);
    EXPECT_TRUE(app.NoDialog("Note Alarm!", 1200));

    dlg = OpenSettings(NoteWithText("later"));
    ASSERT_NE(nullptr, dlg);
    EXPECT_TRUE(IsChecked(dlg, kEnableBox));
    PressButton(dlg, IDCANCEL);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dlg); }, 2000));
    dlg = OpenSettings(NoteWithText("soon"));
    ASSERT_NE(nullptr, dlg);
    EXPECT_FALSE(IsChecked(dlg, kEnableBox));
    PressButton(dlg, IDCANCEL);
}

}  // namespace
}  // namespace e2e
