// How late alarms ring: Driftpad.exe loads notes whose alarms fall due one
// second apart, and every "Note Alarm!" notice is timed from its alarm's
// second to the moment it is on the screen, first with the machine idle,
// then with every core kept busy. A past alarm, which is due one second
// after its note's window is made, is timed from the note's appearance on
// the screen, which comes a little after the window is made.
// Run under Wine with a display: alarm_latency.exe [alarms per round]
#include "driver/driver.h"

#include "alarm/local_time.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <map>
#include <thread>
#include <vector>

namespace {

using namespace driver;

void PutDword(std::string& out, int32_t value)
{
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((static_cast<uint32_t>(value) >> (8 * i)) & 0xFF);
}

// A notes file whose note i is named "alarm i" and rings at times[i].
std::string NotesFile(const std::vector<int32_t>& times)
{
    std::string out;
    PutDword(out, 0);
    PutDword(out, 0);
    out += static_cast<char>(times.size());
    out += '\0';
    for (size_t i = 0; i < times.size(); ++i) {
        std::string text = "alarm " + std::to_string(i);
        out += static_cast<char>(text.size());
        out += text;
        int32_t left = 20 + int32_t(i % 6) * 160;
        int32_t top = 20 + int32_t(i / 6) * 130;
        for (int32_t edge : {left, top, left + 130, top + 110})
            PutDword(out, edge);
        PutDword(out, 1);
        PutDword(out, times[i]);
        PutDword(out, 0);
        PutDword(out, 0);
    }
    return out;
}

struct Figures {
    std::vector<int64_t> lateMs;
    int missing = 0;
};

void Print(const char* title, Figures f)
{
    std::sort(f.lateMs.begin(), f.lateMs.end());
    if (f.lateMs.empty()) {
        std::printf("%-34s no alarm seen (%d missing)\n", title, f.missing);
        return;
    }
    int64_t sum = 0;
    for (int64_t v : f.lateMs)
        sum += v;
    std::printf("%-34s n=%zu  min %4lld  median %4lld  mean %4lld  max %4lld ms  early %zu  missing %d\n", title,
                f.lateMs.size(), (long long)f.lateMs.front(), (long long)f.lateMs[f.lateMs.size() / 2],
                (long long)(sum / int64_t(f.lateMs.size())), (long long)f.lateMs.back(),
                size_t(std::count_if(f.lateMs.begin(), f.lateMs.end(), [](int64_t v) { return v < 0; })),
                f.missing);
}

// Starts the program on the file and times each notice against dueMs[i];
// closes each notice once timed.
Figures Round(const std::vector<int32_t>& times, bool pastFromAppearance)
{
    CleanProgramKeys();
    SetRegDword(HKEY_CURRENT_USER, "Software\\Vantry\\Driftpad\\Preferences", "SaveOnShutdown", 0);
    std::string file = TempDir() + "\\latency.dpd";
    WriteFileBytes(file, NotesFile(times));

    Figures f;
    App app;
    if (!app.Start("\"" + file + "\"") || !app.Controller()) {
        f.missing = int(times.size());
        return f;
    }
    std::vector<int64_t> dueMs;
    for (int32_t t : times)
        dueMs.push_back(int64_t(t) * 1000);
    if (pastFromAppearance) {
        // Due one second after the note opens: take the note's appearance.
        app.WaitNoteCount(times.size(), true, 5000);
        int64_t appeared = SystemNowMs();
        for (auto& d : dueMs)
            d = appeared + 1000;
    }

    std::map<std::string, bool> seen;
    int64_t deadline = *std::max_element(dueMs.begin(), dueMs.end()) + 5000;
    while (seen.size() < times.size() && SystemNowMs() < deadline) {
        for (HWND notice : ProcessWindows(app.Pid(), "#32770", "Note Alarm!", true)) {
            int64_t at = SystemNowMs();
            std::string text = DialogItemText(notice, 1007);
            if (text.rfind("alarm ", 0) != 0 || seen[text])
                continue;
            seen[text] = true;
            size_t i = std::stoul(text.substr(6));
            f.lateMs.push_back(at - dueMs[i]);
            PressButton(notice, IDOK);
        }
        Sleep(2);
    }
    f.missing = int(times.size() - seen.size());
    app.Kill();
    CleanProgramKeys();
    return f;
}

// Keeps every core busy until stopped.
class Load {
public:
    Load()
    {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        for (DWORD i = 0; i < info.dwNumberOfProcessors; ++i)
            m_threads.emplace_back([this] {
                volatile uint64_t x = 0;
                while (!m_stop)
                    x = x + 1;
            });
    }
    ~Load()
    {
        m_stop = true;
        for (auto& t : m_threads)
            t.join();
    }

private:
    std::atomic<bool> m_stop{false};
    std::vector<std::thread> m_threads;
};

std::vector<int32_t> OneASecond(int n, int firstInSeconds)
{
    // Alarm times are whole seconds: start from the next whole second.
    int32_t first = int32_t(SystemNowMs() / 1000) + firstInSeconds;
    std::vector<int32_t> times;
    for (int i = 0; i < n; ++i)
        times.push_back(first + i);
    return times;
}

}  // namespace

int main(int argc, char** argv)
{
    int n = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    std::printf("alarm lateness under Wine: notice on screen minus alarm time (polled every ~2 ms)\n");
    Print("future alarms, idle", Round(OneASecond(n, 3), false));
    // One note a round, so that its own appearance is the reference.
    Figures past;
    for (int i = 0; i < 3; ++i) {
        Figures one = Round({1000}, true);
        past.lateMs.insert(past.lateMs.end(), one.lateMs.begin(), one.lateMs.end());
        past.missing += one.missing;
    }
    Print("past alarms (1 s after note shown)", past);
    {
        Load load;
        Print("future alarms, all cores busy", Round(OneASecond(n, 3), false));
    }
    return 0;
}
