// Driftpad.exe as a user meets it, against the yardstick doing the same work
// in plain Win32 (yardstick_notes.exe), in interleaved runs under the same
// Wine: start on a file of N notes until every note is shown and the program
// is idle, then Save from the tray until the file is replaced, then wait
// until Wine's desktop process is idle too. Prints medians (minimum-maximum),
// the ratios, memory and GUI objects per note.
//   program_bench.exe [rounds] [N...]      (default 3 rounds of 100 and 1000)
#include "bench/timing.h"
#include "bench/object_probe.h"
#include "driver/driver.h"

#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>

using namespace driver;

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::string NotesFile(int n)
{
    std::vector<FileNote> notes(n);
    for (int i = 0; i < n; ++i) {
        notes[i].text = "Note " + std::to_string(i) + ": call back about the order";
        int x = 10 + (i * 37) % 850, y = 10 + (i * 53) % 600;
        notes[i].rect = {x, y, x + 126, y + 103};
    }
    return NotesFileBytes(notes);
}

// Wine's desktop process (explorer.exe) handles every program's windows
// after the program is done with them: its CPU time, read on the host.
long DesktopTicks(const std::string& scratch)
{
    UnixSpawn({"/bin/sh", "-c",
               "awk '{print $14 + $15}' /proc/$(pgrep -f 'explorer.exe /desktop' | head -1)/stat > '"
                   + UnixPath(scratch) + "'"},
              true);
    const std::string ticks = ReadFileBytes(scratch);
    return ticks.empty() ? -1 : std::atol(ticks.c_str());
}

// Waits until the desktop has used no CPU for a second, or for ten minutes
// at most: a run must not pay for the one before it.
void WaitDesktopIdle(const std::string& scratch)
{
    long before = DesktopTicks(scratch);
    for (int seconds = 0; before >= 0 && seconds < 600; ++seconds) {
        Sleep(1000);
        const long now = DesktopTicks(scratch);
        if (now == before)
            return;
        before = now;
    }
}

struct Run {
    double openMs = -1, saveMs = -1, desktopS = -1;
    double memoryKb = 0;
    GuiObjectCounts objects;
};

Run Measure(const std::string& exe, const std::string& path, int n)
{
    Run run;
    App app;
    const std::string scratch = path + ".ticks";
    WaitDesktopIdle(scratch);
    auto start = Clock::now();
    if (!app.Start("\"" + path + "\"", "", exe) || !app.Controller(20000))
        return run;
    // Idle first, then count: polling the windows while they are made would
    // ask a busy program for each one's text.
    if (WaitForInputIdle(app.Process(), 600000) != 0 || !app.WaitNoteCount(size_t(n), true, 600000))
        return run;
    run.openMs = MsSince(start);
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    GetProcessMemoryInfo(app.Process(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
    run.memoryKb = double(memory.WorkingSetSize) / 1024;
    if (InjectObjectProbe(app))
        run.objects = CountGuiObjects(app);
    const auto opened = Clock::now();
    if (app.CommandAndWait(ID_SAVE, 120000))
        run.saveMs = MsSince(opened);
    WaitDesktopIdle(scratch);
    run.desktopS = (MsSince(start) - 1000) / 1000;  // until the quiet second began
    app.Kill();
    return run;
}

std::string Spread(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    char text[96] = "-";
    if (!v.empty())
        std::snprintf(text, sizeof text, "%9.1f (%.1f-%.1f)", v[v.size() / 2], v.front(), v.back());
    return text;
}

}  // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    std::vector<int> sizes;
    for (int i = 2; i < argc; ++i)
        sizes.push_back(atoi(argv[i]));
    if (sizes.empty())
        sizes = {100, 1000};
    const std::string dir = TempDir();
    const std::string programs[] = {DriftpadPath(), ExeDir() + "\\yardstick_notes.exe"};
    for (int n : sizes) {
        const std::string bytes = NotesFile(n);
        std::map<int, std::vector<Run>> runs;
        for (int r = 0; r < rounds; ++r)
            for (int p = 0; p < 2; ++p) {  // interleaved: a busy moment hits both alike
                const std::string path = dir + "\\bench" + std::to_string(p) + ".dpd";
                WriteFileBytes(path, bytes);
                runs[p].push_back(Measure(programs[p], path, n));
            }
        auto column = [&](int p, double Run::*field) {
            std::vector<double> v;
            for (const Run& run : runs[p])
                if (run.*field >= 0)
                    v.push_back(run.*field);
            return v;
        };
        std::printf("%d notes, %d rounds: Driftpad.exe | yardstick | ratio\n", n, rounds);
        for (auto [name, field] : {std::pair<const char*, double Run::*>{"open ms", &Run::openMs},
                                   {"save ms", &Run::saveMs}, {"memory KB", &Run::memoryKb},
                                   {"desktop s", &Run::desktopS}}) {
            double d = Median(column(0, field)), y = Median(column(1, field));
            std::printf("  %-10s %s | %s | %.2f\n", name, Spread(column(0, field)).c_str(),
                        Spread(column(1, field)).c_str(), y > 0 ? d / y : 0.0);
        }
        for (int p = 0; p < 2; ++p) {
            const GuiObjectCounts& o = runs[p].back().objects;
            std::printf("  %-10s GDI %ld (%.2f a note), USER %ld (%.2f a note)\n", p ? "yardstick" : "Driftpad",
                        o.gdi, double(o.gdi) / n, o.user, double(o.user) / n);
        }
    }
    return 0;
}
