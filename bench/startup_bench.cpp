// Time from starting a program to its icon being in the tray, for
// Driftpad.exe and for the yardstick (the same hidden dialog from the same
// template and the same tray icon, nothing else) under the same Wine.
// The icon counts as there once the shell accepts a change to it.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/timing.h"
#include "resources/resource.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string Here()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir = path;
    return dir.substr(0, dir.find_last_of('\\') + 1);
}

bool IconPresent(HWND hWnd, UINT id)
{
    NOTIFYICONDATAA nid = {};
    nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
    nid.hWnd = hWnd;
    nid.uID = id;
    nid.uFlags = NIF_TIP;
    lstrcpyA(nid.szTip, "x");
    return Shell_NotifyIconA(NIM_MODIFY, &nid) != FALSE;
}

// Milliseconds from CreateProcess to the icon; negative on time-out.
double StartToTray(const std::string& exe, const char* className, const char* title, UINT iconId,
                   UINT quitMessage, WPARAM quitParam)
{
    std::string commandLine = "\"" + exe + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    auto start = Clock::now();
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return -1;
    HWND hWnd = nullptr;
    double ms = -1;
    while (Clock::now() - start < std::chrono::seconds(10)) {
        if (!hWnd)
            hWnd = FindWindowA(className, title);
        if (hWnd && IconPresent(hWnd, iconId)) {
            ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            break;
        }
        Sleep(1);
    }
    if (hWnd)
        PostMessageA(hWnd, quitMessage, quitParam, 0);
    if (WaitForSingleObject(pi.hProcess, 5000) != WAIT_OBJECT_0)
        TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return ms;
}

}  // namespace

int main(int argc, char** argv)
{
    int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 15;
    const std::string dir = Here();
    std::vector<double> driftpad, yardstick;
    // Interleaved, so that a busy moment of the machine hits both alike.
    for (int i = 0; i < runs; ++i) {
        double d = StartToTray(dir + "Driftpad.exe", "#32770", "Driftpad: Options", IDI_DRIFTPAD, WM_COMMAND, ID_QUIT);
        double m = StartToTray(dir + "yardstick_notes.exe", "#32770", "Driftpad: Options", IDI_DRIFTPAD, WM_COMMAND, ID_QUIT);
        if (d >= 0)
            driftpad.push_back(d);
        if (m >= 0)
            yardstick.push_back(m);
    }
    double d = Median(driftpad), m = Median(yardstick);
    std::printf("start to tray icon, median of %d runs\n", runs);
    std::printf("  Driftpad.exe      %8.1f ms (%zu ok)\n", d, driftpad.size());
    std::printf("  yardstick         %8.1f ms (%zu ok)\n", m, yardstick.size());
    std::printf("  ratio             %8.2f (goal <= 1.05)\n", m > 0 ? d / m : 0.0);
    return 0;
}
