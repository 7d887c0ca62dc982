#pragma once
// What the tests reach outside Wine, on the Linux host: Linux programs
// (xdotool for the real X pointer, import for screenshots) and Unix paths.
#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// Runs a Linux program through Wine's own spawn (CreateProcess starts it
// but reports a wrong status); with wait, its exit status, else 0 once
// started; -1 when it cannot be run.
long UnixSpawn(std::vector<std::string> words, bool wait);
// The Unix path of a Windows path, empty when there is none.
std::string UnixPath(const std::string& windowsPath);

// The real X pointer through xdotool (SendInput is unreliable under Wine).
bool Xdotool(const std::vector<std::string>& arguments);
void MovePointer(int x, int y);

// Saves the whole virtual screen as a PNG; returns the file's path.
std::string Screenshot(const std::string& name);

}  // namespace e2e
