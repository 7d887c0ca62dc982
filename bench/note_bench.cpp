// What a note costs against a bare dialog from the same template: the time
// to create and show one, and the memory and GUI objects it holds while it
// lives. Notes are created in this process as the controller creates them.
//   note_bench.exe [count]
#include "notes/note_dlg.h"
#include "notes/note_host.h"
#include "resources/resource.h"
#include "driver/live_objects.h"

#include <windows.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

// Handles what the windows posted to themselves (the notes show themselves
// that way) until the queue is empty.
void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

INT_PTR CALLBACK BareDialogProc(HWND, UINT msg, WPARAM, LPARAM)
{
    return msg == WM_INITDIALOG;
}

// The working set: under Wine it takes in what the window system allocates
// on the Unix side too (the private-bytes counter stays 0 there).
size_t MemoryInUse()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.WorkingSetSize;
}

// GDI objects of this process: GetGuiResources where it answers, else the
// live handles, as the window tests count them (CountLiveObjects).
long GdiObjects()
{
    if (DWORD reported = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS))
        return static_cast<long>(reported);
    return CountLiveObjects().gdi;
}

struct Figures {
    double msPerWindow;
    double bytesPerWindow;
    double gdiPerWindow;
};

// Creates count windows with make (which shows them), then destroys them.
Figures Measure(int count, const std::function<HWND()>& make)
{
    std::vector<HWND> windows;
    windows.reserve(static_cast<size_t>(count));
    Pump();
    const size_t bytesBefore = MemoryInUse();
    const long gdiBefore = GdiObjects();
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < count; ++i) {
        windows.push_back(make());
        Pump();
    }
    auto elapsed = std::chrono::steady_clock::now() - start;
    Figures f;
    f.msPerWindow = std::chrono::duration<double, std::milli>(elapsed).count() / count;
    f.bytesPerWindow = (static_cast<double>(MemoryInUse()) - static_cast<double>(bytesBefore)) / count;
    f.gdiPerWindow = static_cast<double>(GdiObjects() - gdiBefore) / count;
    for (HWND w : windows)
        DestroyWindow(w);  // a note deletes itself with its window
    Pump();
    return f;
}

// What the program gives its notes: no hidden notes shown, the default sound.
struct BenchHost : INoteHost {
    int32_t ShowHiddenMode() const override { return 0; }
    const char* AlarmSound() const override { return nullptr; }
};

}  // namespace

int main(int argc, char** argv)
{
    const int count = argc > 1 ? std::atoi(argv[1]) : 200;
    if (count <= 0)
        return 2;
    // A hidden owner, as the controller is.
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    SetCursorPos(400, 300);

    auto bare = [owner] {
        HWND w = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_NOTE), owner, BareDialogProc, 0);
        ShowWindow(w, SW_SHOWNORMAL);
        return w;
    };
    static const BenchHost host;
    auto note = [owner] {
        auto* n = new CNoteDlg(host);
        if (!n->CreateNote(owner)) {
            delete n;
            return HWND{};
        }
        return n->GetSafeHwnd();
    };
    // One of each first: the first window of a kind loads what later ones share.
    Measure(5, bare);
    Measure(5, note);

    // Rounds in turn, so that neither kind always runs on a fuller process.
    Figures b = {}, n = {};
    const int rounds = 3;
    for (int round = 0; round < rounds; ++round) {
        for (Figures* sum : {&b, &n}) {
            Figures f = Measure(count, sum == &b ? std::function<HWND()>(bare) : std::function<HWND()>(note));
            sum->msPerWindow += f.msPerWindow / rounds;
            sum->bytesPerWindow += f.bytesPerWindow / rounds;
            sum->gdiPerWindow += f.gdiPerWindow / rounds;
        }
    }
    std::printf("%d windows of each kind, mean of %d rounds\n", count, rounds);
    std::printf("%-12s %12s %14s %12s\n", "", "ms/window", "bytes/window", "GDI/window");
    std::printf("%-12s %12.3f %14.0f %12.2f\n", "bare dialog", b.msPerWindow, b.bytesPerWindow, b.gdiPerWindow);
    std::printf("%-12s %12.3f %14.0f %12.2f\n", "CNoteDlg", n.msPerWindow, n.bytesPerWindow, n.gdiPerWindow);
    std::printf("ratio time %.2f, memory %.2f (goal <= 1.5 each)\n", n.msPerWindow / b.msPerWindow,
                b.bytesPerWindow > 0 ? n.bytesPerWindow / b.bytesPerWindow : 0.0);
    DestroyWindow(owner);
    return 0;
}
