#include "alarm/alarm_sound.h"

#include "base/system_library.h"

#include <windows.h>

namespace {

// The sound name belongs to the application, which keeps it until the run
// ends; flags 0: play to the end, as an event name first, then as a file
// name, and fall back to the default sound. The sound library (and the audio
// stack behind it) is loaded here, on the worker, the first time an alarm
// rings: start-up and the user interface never pay for it.
DWORD WINAPI AlarmSoundThread(LPVOID pSoundName)
{
    using PlaySoundFn = BOOL(WINAPI*)(LPCSTR, HMODULE, DWORD);
    HMODULE winmm = LoadSystemLibrary("winmm.dll");
    if (!winmm)
        return 0;
    auto play = reinterpret_cast<PlaySoundFn>(reinterpret_cast<void*>(GetProcAddress(winmm, "PlaySoundA")));
    if (play)
        play(static_cast<const char*>(pSoundName), nullptr, 0);
    FreeLibrary(winmm);
    return 0;
}

}  // namespace

void StartAlarmSound(const char* strAlarmSound)
{
    HANDLE hThread = CreateThread(nullptr, 0, AlarmSoundThread, const_cast<char*>(strAlarmSound), 0, nullptr);
    if (hThread)
        CloseHandle(hThread);
}
