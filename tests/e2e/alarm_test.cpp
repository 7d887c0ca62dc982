// The note's alarm as the user meets it: alarms loaded from a notes file,
// the "Note Alarm!" notice with its sound, and the Alarm Settings dialog.
#include "tests/e2e/harness.h"

#include <cctype>
#include <cstdio>
#include <ctime>
#include <tuple>

namespace e2e {
namespace {

constexpr const char* kSound = "dp-e2e-chime.wav";
constexpr UINT kOpenAlarmSettings = 40025;
constexpr int kNoteEdit = 1001, kDateField = 1003, kTimeField = 1004, kEnableBox = 1006, kNoticeText = 1007;

int32_t Now() { return static_cast<int32_t>(std::time(nullptr)); }

struct FileNote {
    std::string text;
    int32_t alarmFlag = 0, alarmTime = 0, hidden = 0;
};

// Header (mode, reserved, 16-bit count), then per note its text with a
// one-byte length and its record: rectangle, alarm flag and time, on top, hidden.
std::string NotesFile(const std::vector<FileNote>& notes)
{
    std::string out = {0, 0, 0, 0, 0, 0, 0, 0, static_cast<char>(notes.size()), 0};
    int32_t left = 60;
    for (const auto& n : notes) {
        out += static_cast<char>(n.text.size()) + n.text;
        for (int32_t v : {left, 80, left + 130, 190, n.alarmFlag, n.alarmTime, 0, n.hidden})
            out.append(reinterpret_cast<const char*>(&v), 4);
        left += 200;
    }
    return out;
}

// The date and time texts the program shows for a moment, from the C runtime's local time.
std::pair<std::string, std::string> AlarmTexts(int32_t value)
{
    std::time_t t = value;
    std::tm local = *std::localtime(&t);
    char date[32], time[32];
    std::snprintf(date, sizeof date, "%2d/%2d/%2d", local.tm_mon + 1, local.tm_mday, local.tm_year % 100);
    std::snprintf(time, sizeof time, "%2d:%2.2d %s", (local.tm_hour + 11) % 12 + 1, local.tm_min,
                  local.tm_hour < 12 ? "AM" : "PM");
    return {date, time};
}

void SetItemText(HWND dlg, int id, const std::string& text)
{
    SendMessageA(GetDlgItem(dlg, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}
bool IsChecked(HWND dlg) { return SendMessageA(GetDlgItem(dlg, kEnableBox), BM_GETCHECK, 0, 0) == BST_CHECKED; }
// Moves the focus inside a dialog as Tab or a click would, on its own thread.
void FocusItem(HWND dlg, int id) { PostMessageA(dlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dlg, id)), TRUE); }

bool Focused(HWND dlg, int id)
{
    GUITHREADINFO info = {sizeof info, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, {}};
    return GetGUIThreadInfo(GetWindowThreadProcessId(dlg, nullptr), &info) && info.hwndFocus == GetDlgItem(dlg, id);
}

class AlarmTest : public DriftpadTest {
protected:
    // Starts the program on a notes file, with the alarm sound set and Wine's
    // trace of the sound calls written to a log.
    void StartWithNotes(const std::vector<FileNote>& notes)
    {
        std::string file = dir + "\\alarms.dpd";
        WriteFileBytes(file, NotesFile(notes));
        SetRegDword(HKEY_CURRENT_USER, "Software\\Vantry\\Driftpad\\Preferences", "SaveOnShutdown", 0);
        SetRegString(HKEY_CURRENT_USER, "AppEvents\\Schemes\\Apps\\Driftpad\\DP Alarm\\.current", nullptr, kSound);
        m_log = dir + "\\stderr.log";
        ASSERT_TRUE(app.StartWithEnvironment("'" + file + "'", {"WINEDEBUG=-all,+winmm"}, m_log));
        ASSERT_NE(nullptr, app.Controller());
        ASSERT_TRUE(app.WaitNoteCount(notes.size()));
    }

    // How often the configured sound was asked for.
    size_t Sounds() const
    {
        const std::string log = ReadFileBytes(m_log);
        size_t count = 0;
        for (size_t at = 0; (at = log.find(kSound, at)) != std::string::npos; ++at)
            ++count;
        return count;
    }

    std::vector<HWND> Notices() { return ProcessWindows(app.Pid(), "#32770", "Note Alarm!", true); }
    bool WaitNotices(size_t n, int timeoutMs = 5000) { return WaitUntil([&] { return Notices().size() == n; }, timeoutMs); }

    // The open notice or the note with this text.
    HWND With(const std::string& text, bool notice = false)
    {
        for (HWND w : notice ? Notices() : app.Notes())
            if (DialogItemText(w, notice ? kNoticeText : kNoteEdit) == text)
                return w;
        return nullptr;
    }

    HWND OpenSettings(HWND note)
    {
        PostMessageA(note, kOpenAlarmSettings, 0, 0);
        return app.WaitDialog("Alarm Settings");
    }

    // The note's alarm as its settings show it (or change it, if 'change' is given).
    std::string Alarm(HWND note, const std::function<void(HWND)>& change = {})
    {
        HWND dlg = OpenSettings(note);
        std::string shown = !dlg ? "no dialog"
                            : !IsChecked(dlg) ? "off"
                                              : DialogItemText(dlg, kDateField) + " " + DialogItemText(dlg, kTimeField);
        if (change)
            change(dlg);
        PressButton(dlg, change ? IDOK : IDCANCEL);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dlg); }, 2000));
        return shown;
    }

    // The one message box of the program, its text, closed with OK.
    std::string AnswerMessageBox()
    {
        HWND box = app.WaitDialog("Driftpad", 3000);
        Sleep(200);
        EXPECT_EQ(1u, ProcessWindows(app.Pid(), "#32770", "Driftpad", true).size()) << "one message at a time";
        std::string text = box ? MessageBoxText(box) : "(no message box)";
        PressButton(box, IDOK);
        WaitUntil([&] { return !IsWindow(box); }, 3000);
        return text;
    }

    std::string m_log;
};

TEST_F(AlarmTest, PastAlarmRingsAfterTheNoteAppearsOthersRingBesideItAndTheNoticeKeepsOrDeletes)
{
    StartWithNotes({{"Call the dentist", 1, Now() - 3600}, {"hidden", 0, 0, 1}});
    ASSERT_TRUE(app.WaitNoteCount(1, true));
    auto appeared = std::chrono::steady_clock::now();
    ASSERT_TRUE(WaitUntil([&] { return With("Call the dentist", true); }, 4000));
    auto late = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - appeared);
    EXPECT_TRUE(late.count() >= 500 && late.count() <= 2000) << late.count();
    HWND dentist = With("Call the dentist", true);
    EXPECT_TRUE(GetWindowLongA(dentist, GWL_EXSTYLE) & WS_EX_TOPMOST) << "system-modal notice";
    EXPECT_TRUE(WaitUntil([&] { return Focused(dentist, IDOK); }, 2000));
    ASSERT_TRUE(WaitUntil([&] { return Sounds() > 0; }, 5000)) << ReadFileBytes(m_log);
    const size_t sounds = Sounds();

    // Meanwhile the hidden note gets the present minute, typed in lower case:
    // it has begun, so the alarm is due at once, with the note's text of the moment.
    HWND note = With("hidden"), dlg = OpenSettings(note), time = GetDlgItem(dlg, kTimeField);
    ASSERT_NE(nullptr, dlg);
    auto texts = AlarmTexts(Now());
    FocusItem(dlg, kTimeField);
    PostMessageA(time, EM_SETSEL, 0, -1);
    for (char c : texts.second)
        PostMessageA(time, WM_CHAR, static_cast<unsigned char>(std::tolower(c)), 0);
    EXPECT_TRUE(WaitUntil([&] { return WindowText(time) == texts.second; }, 2000)) << WindowText(time);
    SetItemText(dlg, kDateField, texts.first);
    SendMessageA(GetDlgItem(dlg, kEnableBox), BM_SETCHECK, BST_CHECKED, 0);
    SetItemText(note, kNoteEdit, "Stand up");
    PressButton(dlg, IDOK);
    ASSERT_TRUE(app.NoDialog("Driftpad", 300)) << "no complaint";
    ASSERT_TRUE(WaitNotices(2, 2500));
    HWND standUp = With("Stand up", true);
    EXPECT_NE(nullptr, standUp);
    EXPECT_TRUE(WaitUntil([&] { return Sounds() > sounds; }, 2000));
    EXPECT_EQ(1u, app.Notes(true).size());

    // A clock change or a wake-up rings no alarm whose notice is up, and the
    // notes wait for their notices.
    for (HWND n : app.Notes())
        for (UINT msg : {WM_TIMECHANGE, WM_POWERBROADCAST})
            PostMessageA(n, msg, PBT_APMRESUMEAUTOMATIC, 0);
    Sleep(1500);
    EXPECT_EQ(2u, Notices().size());
    EXPECT_EQ(2u, app.Notes().size());

    // Delete removes the note once its notice is closed; OK keeps it, with the alarm spent.
    PressButton(standUp, 40002);
    EXPECT_TRUE(app.WaitNoteCount(1));
    PressButton(dentist, IDOK);
    EXPECT_TRUE(WaitNotices(0));
    EXPECT_TRUE(app.NoDialog("Note Alarm!", 1500));
    ASSERT_EQ(1u, app.Notes().size());
    EXPECT_EQ("off", Alarm(app.Notes().front()));
}

// The timer may fire before the wall clock reaches the alarm (ticks and the
// clock drift apart, long alarms wait in steps): the clock decides.
TEST_F(AlarmTest, AlarmRingsAtItsSecondNeverEarlyAndNotOnceSwitchedOff)
{
    const int32_t due = Now() + 5, later = Now() + 3600;
    StartWithNotes({{"on the dot", 1, due}, {"off", 1, due - 1}, {"later", 1, later}});
    // The box cleared on one, OK at once on another, which is then poked.
    EXPECT_EQ(AlarmTexts(due - 1).first + " " + AlarmTexts(due - 1).second,
              Alarm(With("off"), [](HWND dlg) { SendMessageA(GetDlgItem(dlg, kEnableBox), BM_SETCHECK, BST_UNCHECKED, 0); }));
    Alarm(With("later"), [](HWND) {});
    ASSERT_LT(Now(), due - 1) << "too slow to switch the alarm off in time";
    for (UINT msg : {WM_TIMER, WM_TIMECHANGE, WM_POWERBROADCAST})
        PostMessageA(With("later"), msg, msg == WM_TIMER ? 1029 : PBT_APMRESUMEAUTOMATIC, 0);

    ASSERT_TRUE(WaitNotices(1, 7000));
    using namespace std::chrono;
    auto lateMs = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count() - int64_t(due) * 1000;
    EXPECT_TRUE(lateMs >= 0 && lateMs <= 1000) << lateMs;
    EXPECT_NE(nullptr, With("on the dot", true));
    PressButton(Notices().front(), IDOK);
    EXPECT_TRUE(app.NoDialog("Note Alarm!", 1200));
    EXPECT_EQ(AlarmTexts(later).first + " " + AlarmTexts(later).second, Alarm(With("later")));
    EXPECT_EQ("off", Alarm(With("off")));
}

TEST_F(AlarmTest, SettingsShowThePresentAndComplainOnLeavingAFieldAndOnOK)
{
    StartApp();
    app.Command(40001);
    ASSERT_TRUE(app.WaitNoteCount(1, true));
    int32_t before = Now();
    HWND dlg = OpenSettings(app.Notes().front());
    ASSERT_NE(nullptr, dlg);
    const std::string goodDate = DialogItemText(dlg, kDateField), goodTime = DialogItemText(dlg, kTimeField);
    const auto shown = std::make_pair(goodDate, goodTime);
    EXPECT_TRUE(shown == AlarmTexts(before) || shown == AlarmTexts(Now())) << goodDate << "|" << goodTime;
    EXPECT_FALSE(IsChecked(dlg));
    EXPECT_TRUE(WaitUntil([&] { return Focused(dlg, IDOK); }, 2000));
    // Neither field scrolls sideways; both take 15 characters.
    for (int id : {kDateField, kTimeField})
        EXPECT_TRUE(!(GetWindowLongA(GetDlgItem(dlg, id), GWL_STYLE) & ES_AUTOHSCROLL)
                    && SendMessageA(GetDlgItem(dlg, id), EM_GETLIMITTEXT, 0, 0) == 15) << id;

    // Leaving a field checks only that field, with the padded message.
    for (int id : {kDateField, kTimeField}) {
        SetItemText(dlg, kDateField, id == kDateField ? "12-31" : goodDate);
        SetItemText(dlg, kTimeField, id == kTimeField ? "10:30" : goodTime);
        FocusItem(dlg, id);
        FocusItem(dlg, kEnableBox);
        EXPECT_EQ(id == kDateField ? "Invalid Date!             " : "Invalid Time!             ", AnswerMessageBox());
    }
    // OK: the date first, then the time, and a date the time value cannot
    // hold (not stored as -1); the dialog stays open.
    for (auto [date, time, message] : {std::make_tuple("12-31", "10:30", "Invalid Date!"),
                                       std::make_tuple(goodDate.c_str(), "10:30", "Invalid Time!"),
                                       std::make_tuple("1/1/40", goodTime.c_str(), "Invalid Date!")}) {
        SetItemText(dlg, kDateField, date);
        SetItemText(dlg, kTimeField, time);
        PressButton(dlg, IDOK);
        EXPECT_EQ(message, AnswerMessageBox()) << date << " " << time;
    }
    EXPECT_TRUE(IsWindowVisible(dlg));

    // Enter with the focus still in a bad Date field: one message, not two.
    SetItemText(dlg, kDateField, "12-31");
    FocusItem(dlg, kDateField);
    ASSERT_TRUE(WaitUntil([&] { return Focused(dlg, kDateField); }, 2000));
    PressButton(dlg, IDOK);
    EXPECT_EQ("Invalid Date!", AnswerMessageBox());
    SetItemText(dlg, kDateField, goodDate);
    FocusItem(dlg, kEnableBox);
    PressButton(dlg, IDCANCEL);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dlg); }, 3000));
    EXPECT_TRUE(app.NoDialog("Driftpad", 300));
}

TEST_F(AlarmTest, TwoAlarmsDueTogetherShowTwoNotices)
{
    // Each notice is on screen at once, not only when the other has closed.
    StartWithNotes({{"first", 1, Now() - 60}, {"second", 1, Now() - 60}});
    ASSERT_TRUE(WaitNotices(2));
    EXPECT_NE(nullptr, With("first", true));
    EXPECT_NE(nullptr, With("second", true));
}

}  // namespace
}  // namespace e2e
