// The user-interface thread's share of one recovery write with 1,000 notes
// on the screen (the snapshot of what the notes hold, handed to the
// worker), beside plain serialisation of the same notes into memory and
// beside a snapshot that asks every note window for its text. The worker's
// own time (write, flush, replace) is printed too.
#include "bench/timing.h"
#include "app/note_collection.h"
#include "recovery/recovery_writer.h"
#include "app/sticky_note_app.h"
#include "notes/note_dlg.h"
#include "storage/archive.h"
#include "storage/file_win.h"
#include "storage/memory_file.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

template <typename F>
double MedianMs(int runs, F&& step)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        double t0 = Now();
        step();
        times.push_back((Now() - t0) * 1000.0);
    }
    return Median(times);
}

}  // namespace

int main()
{
    constexpr int kNotes = 1000, kRuns = 21;
    CStickyNoteApp app;
    HWND owner = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    CNoteCollection notes(app);
    notes.SetOwner(owner);
    double t0 = Now();
    for (int i = 0; i < kNotes; ++i) {
        NoteRecord record = {20 + i % 700, 20 + i % 500, 146 + i % 700, 123 + i % 500, 0, 0, 0, 0};
        const std::string text = "Note number " + std::to_string(i) + ": call back about the order, " + std::string(60, 'x');
        notes.Add(&record, std::u16string(text.begin(), text.end()));
    }
    std::printf("%d notes made in %.0f ms\n", kNotes, (Now() - t0) * 1000.0);

    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    std::string recoveryFolder = std::string(folder) + "dp-recovery-bench\\";
    CWinFileSystem fs;
    CRecoveryFiles files(fs, recoveryFolder);
    CRecoveryWriter writer(files, [](const std::string& why) { std::printf("write failed: %s\n", why.c_str()); });

    double worker = 0;
    double ui = MedianMs(kRuns, [&] {
        RecoverySnapshot snapshot;
        snapshot.nShowHiddenMode = notes.GetShowHidden();
        snapshot.notes = notes.TypedEntries();
        snapshot.strFileName = "C:\\notes\\mine.dpd";
        writer.Write(std::move(snapshot));
    });
    worker = MedianMs(kRuns, [&] {
        RecoverySnapshot snapshot;
        snapshot.notes = notes.TypedEntries();
        writer.Write(std::move(snapshot));
        writer.WaitIdle();
    });
    const std::vector<NoteEntry> entries = notes.TypedEntries();
    double yardstick = MedianMs(kRuns, [&] {
        CMemFile file;
        CArchive ar(file, CArchive::store);
        WriteNotes(ar, 0, entries);
        ar.Close();
    });
    double asking = MedianMs(kRuns, [&] {
        std::vector<NoteEntry> asked;
        asked.reserve(entries.size());
        for (const NoteEntry& entry : entries)
            asked.push_back(entry);
        // What a snapshot costs that asks each window for its text.
        for (HWND w = GetWindow(owner, GW_HWNDFIRST); w; w = GetWindow(w, GW_HWNDNEXT)) {
            if (GetWindow(w, GW_OWNER) == owner) {
                char text[256];
                GetDlgItemTextA(w, 1001, text, sizeof text);
            }
        }
    });
    std::printf("recovery write, user-interface thread: %.3f ms (median of %d)\n", ui, kRuns);
    std::printf("plain serialisation into memory:        %.3f ms   ratio %.2f\n", yardstick, ui / yardstick);
    std::printf("snapshot asking every window for text:  %.3f ms   ratio %.2f (walking the windows included)\n", asking, asking / ui);
    std::printf("whole write on the worker (with flush): %.3f ms\n", worker);
    files.Remove();
    RemoveDirectoryA(recoveryFolder.c_str());
    return 0;
}
