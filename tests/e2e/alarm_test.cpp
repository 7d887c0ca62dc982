// The note's alarm as the user meets it: alarms loaded from a notes file,
// the "Note Alarm!" notice with its sound, and the Alarm Settings dialog.
#include "tests/e2e/harness.h"

#include <cctype>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <tuple>

namespace e2e {
namespace {

constexpr const char* kSound = "dp-e2e-chime.wav";

int32_t Now() { return static_cast<int32_t>(std::time(nullptr)); }

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

bool IsChecked(HWND dlg) { return SendMessageA(GetDlgItem(dlg, IDC_ALARMENABLE), BM_GETCHECK, 0, 0) == BST_CHECKED; }
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
        WriteFileBytes(file, NotesFileBytes(notes));
        SetRegDword(HKEY_CURRENT_USER, kPreferencesKey, "SaveOnShutdown", 0);
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
        return notice ? WithText(Notices(), text, IDC_NOTICETEXT) : WithText(app.Notes(), text);
    }

    HWND OpenSettings(HWND note)
    {
        PostMessageA(note, WM_ALARMSETTINGS, 0, 0);
        return app.WaitDialog("Alarm Settings");
    }

    // The note's alarm as its settings show it (or change it, if 'change' is given).
    std::string Alarm(HWND note, const std::function<void(HWND)>& change = {})
    {
        HWND dlg = OpenSettings(note);
        std::string shown = !dlg ? "no dialog"
                            : !IsChecked(dlg) ? "off"
                                              : DialogItemText(dlg, IDC_ALARMDATE) + " " + DialogItemText(dlg, IDC_ALARMTIME);
        if (change)
            change(dlg);
        PressButton(dlg, change ? IDOK : IDCANCEL);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dlg); }, 2000));
        return shown;
    }

    // The one message box of the program, its text, closed with OK; no other follows.
    std::string AnswerMessageBox()
    {
        std::string text = app.Answer("Driftpad", IDOK);
        EXPECT_TRUE(app.Sync());
        EXPECT_TRUE(ProcessWindows(app.Pid(), "#32770", "Driftpad", true).empty()) << "one message only";
        return text;
    }

    std::string m_log;
};

TEST_F(AlarmTest, PastAlarmRingsAfterTheNoteAppearsOthersRingBesideItAndTheNoticeKeepsOrDeletes)
{
    StartWithNotes({Note("Call the dentist").Alarm(Now() - 3600), Note("hidden", FileNote().rect, 0, 1)});
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
    HWND note = With("hidden"), dlg = OpenSettings(note), time = GetDlgItem(dlg, IDC_ALARMTIME);
    ASSERT_NE(nullptr, dlg);
    auto texts = AlarmTexts(Now());
    FocusItem(dlg, IDC_ALARMTIME);
    PostMessageA(time, EM_SETSEL, 0, -1);
    for (char c : texts.second)
        PostMessageA(time, WM_CHAR, static_cast<unsigned char>(std::tolower(c)), 0);
    EXPECT_TRUE(WaitUntil([&] { return WindowText(time) == texts.second; }, 2000)) << WindowText(time);
    SetItemText(dlg, IDC_ALARMDATE, texts.first);
    SendMessageA(GetDlgItem(dlg, IDC_ALARMENABLE), BM_SETCHECK, BST_CHECKED, 0);
    SetItemText(note, IDC_NOTEEDIT, "Stand up");
    PressButton(dlg, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dlg); })) << "no complaint";
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
    ASSERT_TRUE(app.Sync());
    // A ring would come from the notes' timers: give them their second.
    WaitUntil([&] { return Notices().size() != 2; }, 1500);
    EXPECT_EQ(2u, Notices().size());
    EXPECT_EQ(2u, app.Notes().size());

    // Delete removes the note once its notice is closed; OK keeps it, with the alarm spent.
    PressButton(standUp, ID_DELETENOTE);
    EXPECT_TRUE(app.WaitNoteCount(1));
    PressButton(dentist, IDOK);
    EXPECT_TRUE(WaitNotices(0));
    ASSERT_EQ(1u, app.Notes().size());
    EXPECT_EQ("off", Alarm(app.Notes().front()));
}

// The timer may fire before the wall clock reaches the alarm (ticks and the
// clock drift apart, long alarms wait in steps): the clock decides.
TEST_F(AlarmTest, AlarmRingsAtItsSecondNeverEarlyAndNotOnceSwitchedOff)
{
    // The switch-off must come before that alarm's second: a busy machine that
    // starts slowly gets later alarms, in a new run.
    int32_t due = 0, later = 0;
    for (int32_t margin = 5; due == 0 || (Now() >= due - 1 && margin <= 20); margin *= 2) {
        app.Kill();
        std::filesystem::remove_all(RecoveryFolder());
        due = Now() + margin, later = Now() + 3600;
        StartWithNotes({Note("on the dot").Alarm(due), Note("off").Alarm(due - 1), Note("later").Alarm(later)});
        // The box cleared on one, OK at once on another, which is then poked.
        EXPECT_EQ(AlarmTexts(due - 1).first + " " + AlarmTexts(due - 1).second,
                  Alarm(With("off"), [](HWND dlg) { SendMessageA(GetDlgItem(dlg, IDC_ALARMENABLE), BM_SETCHECK, BST_UNCHECKED, 0); }));
        Alarm(With("later"), [](HWND) {});
    }
    ASSERT_LT(Now(), due - 1) << "too slow to switch the alarm off in time";
    for (UINT msg : {WM_TIMER, WM_TIMECHANGE, WM_POWERBROADCAST})
        PostMessageA(With("later"), msg, msg == WM_TIMER ? ALARM_TIMER_ID : PBT_APMRESUMEAUTOMATIC, 0);

    // Seen as it is made: a search that asks the busy program for window texts would come late.
    ASSERT_TRUE(WaitUntil([] { return FindWindowA("#32770", "Note Alarm!") != nullptr; }, 7000 + 1000 * (due - Now())));
    using namespace std::chrono;
    auto lateMs = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count() - int64_t(due) * 1000;
    EXPECT_TRUE(lateMs >= 0 && lateMs <= 1000) << lateMs;
    ASSERT_TRUE(WaitNotices(1));
    EXPECT_NE(nullptr, With("on the dot", true));
    PressButton(Notices().front(), IDOK);
    EXPECT_EQ(AlarmTexts(later).first + " " + AlarmTexts(later).second, Alarm(With("later")));
    EXPECT_EQ("off", Alarm(With("off")));
}

TEST_F(AlarmTest, SettingsShowThePresentAndComplainOnLeavingAFieldAndOnOK)
{
    StartApp();
    app.Command(ID_NEWNOTE);
    ASSERT_TRUE(app.WaitNoteCount(1, true));
    int32_t before = Now();
    HWND dlg = OpenSettings(app.Notes().front());
    ASSERT_NE(nullptr, dlg);
    const std::string goodDate = DialogItemText(dlg, IDC_ALARMDATE), goodTime = DialogItemText(dlg, IDC_ALARMTIME);
    const auto shown = std::make_pair(goodDate, goodTime);
    EXPECT_TRUE(shown == AlarmTexts(before) || shown == AlarmTexts(Now())) << goodDate << "|" << goodTime;
    EXPECT_FALSE(IsChecked(dlg));
    EXPECT_TRUE(WaitUntil([&] { return Focused(dlg, IDOK); }, 2000));
    // Neither field scrolls sideways; both take 15 characters.
    for (int id : {IDC_ALARMDATE, IDC_ALARMTIME})
        EXPECT_TRUE(!(GetWindowLongA(GetDlgItem(dlg, id), GWL_STYLE) & ES_AUTOHSCROLL)
                    && SendMessageA(GetDlgItem(dlg, id), EM_GETLIMITTEXT, 0, 0) == 15) << id;

    // Leaving a bad field complains with the padded message; OK names the
    // wrong text (the rules behind both have their own unit tests).
    SetItemText(dlg, IDC_ALARMTIME, "10:30");
    FocusItem(dlg, IDC_ALARMTIME);
    FocusItem(dlg, IDC_ALARMENABLE);
    EXPECT_EQ("Invalid Time!             ", AnswerMessageBox());
    PressButton(dlg, IDOK);
    EXPECT_EQ("Invalid Time!", AnswerMessageBox());
    EXPECT_TRUE(IsWindowVisible(dlg));
    SetItemText(dlg, IDC_ALARMTIME, goodTime);

    // Enter with the focus still in a bad Date field: one message, not two.
    SetItemText(dlg, IDC_ALARMDATE, "12-31");
    FocusItem(dlg, IDC_ALARMDATE);
    ASSERT_TRUE(WaitUntil([&] { return Focused(dlg, IDC_ALARMDATE); }, 2000));
    PressButton(dlg, IDOK);
    EXPECT_EQ("Invalid Date!", AnswerMessageBox());
    SetItemText(dlg, IDC_ALARMDATE, goodDate);
    FocusItem(dlg, IDC_ALARMENABLE);
    PressButton(dlg, IDCANCEL);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dlg); }, 3000));
}

}  // namespace
}  // namespace e2e
