#pragma once
// The test's own files and registry values, and the notes files it writes:
// built here byte by byte, apart from the program's writer, so that a fault
// in that writer cannot hide in the tests too.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

// Registry: the program's keys are removed before and after every test.
void CleanProgramKeys();
std::optional<std::string> RegString(HKEY root, const char* key, const char* value);
std::optional<DWORD> RegDword(HKEY root, const char* key, const char* value);
bool RegKeyExists(HKEY root, const char* key);
void SetRegDword(HKEY root, const char* key, const char* value, DWORD data);
void SetRegString(HKEY root, const char* key, const char* value, const std::string& data);
constexpr const char* kPreferencesKey = "Software\\Vantry\\Driftpad\\Preferences";

// Files: a fresh folder per test.
std::string TempDir();
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
int FilesIn(const std::string& dir);

struct FileNote {
    std::string text;
    RECT rect = {60, 80, 186, 183};
    int32_t alarmFlag = 0, alarmTime = 0, onTop = 0, hidden = 0;
};
// A notes file: the show-hidden mode, 4 reserved bytes, a 16-bit count, then
// each note's text (its length in a byte, or FF and a word) and its record
// of eight 32-bit values, all low byte first.
std::string NotesFileBytes(const std::vector<FileNote>& notes, int32_t showHidden = 0);

}  // namespace e2e
