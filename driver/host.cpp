#include "driver/driver.h"

namespace driver {

long UnixSpawn(std::vector<std::string> words, bool wait)
{
    // Wine-internal, so looked up in this one place.
    using SpawnFn = LONG(CDECL*)(char* const argv[], int wait);
    static auto spawn = reinterpret_cast<SpawnFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "__wine_unix_spawnvp")));
    if (!spawn)
        return -1;
    std::vector<char*> argv;
    for (auto& w : words)
        argv.push_back(&w[0]);
    argv.push_back(nullptr);
    return spawn(argv.data(), wait ? 1 : 0);
}

std::string UnixPath(const std::string& windowsPath)
{
    using UnixNameFn = char*(CDECL*)(LPCWSTR);
    static auto unixName = reinterpret_cast<UnixNameFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!unixName)
        return {};
    std::wstring wide(windowsPath.begin(), windowsPath.end());
    char* name = unixName(wide.c_str());
    std::string result = name ? name : "";
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

bool Xdotool(const std::vector<std::string>& arguments)
{
    std::vector<std::string> words = {"xdotool"};
    words.insert(words.end(), arguments.begin(), arguments.end());
    return UnixSpawn(words, true) == 0;
}

void MovePointer(int x, int y)
{
    // --sync waits long when the pointer is already there: poll instead.
    Xdotool({"mousemove", std::to_string(x), std::to_string(y)});
    WaitUntil([&] {
        POINT p = {};
        GetCursorPos(&p);
        return p.x == x && p.y == y;
    }, 2000);
}

}  // namespace driver
