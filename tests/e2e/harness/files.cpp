#include "tests/e2e/harness.h"

#include <fstream>
#include <sstream>
#include <utility>

namespace e2e {

void CleanProgramKeys()
{
    const struct { HKEY root; const char* key; } keys[] = {
        {HKEY_CLASSES_ROOT, ".dpd"},
        {HKEY_CLASSES_ROOT, "Driftpad"},
        {HKEY_CURRENT_USER, "Software\\Classes\\.dpd"},
        {HKEY_CURRENT_USER, "Software\\Classes\\Driftpad"},
        {HKEY_CURRENT_USER, "AppEvents\\EventLabels\\DP Alarm"},
        {HKEY_CURRENT_USER, "AppEvents\\Schemes\\Apps\\Driftpad"},
        {HKEY_CURRENT_USER, "Software\\Vantry"},
    };
    for (const auto& k : keys) {
        RegDeleteTreeA(k.root, k.key);
        RegDeleteKeyA(k.root, k.key);
    }
}

std::optional<std::string> RegString(HKEY root, const char* key, const char* value)
{
    char data[2048] = {};
    DWORD size = sizeof data;
    DWORD type = 0;
    if (RegGetValueA(root, key, value, RRF_RT_ANY, &type, data, &size) != ERROR_SUCCESS || type != REG_SZ)
        return std::nullopt;
    return std::string(data);
}

std::optional<DWORD> RegDword(HKEY root, const char* key, const char* value)
{
    DWORD data = 0;
    DWORD size = sizeof data;
    if (RegGetValueA(root, key, value, RRF_RT_REG_DWORD, nullptr, &data, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return data;
}

bool RegKeyExists(HKEY root, const char* key)
{
    HKEY h = nullptr;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &h) != ERROR_SUCCESS)
        return false;
    RegCloseKey(h);
    return true;
}

void SetRegDword(HKEY root, const char* key, const char* value, DWORD data)
{
    RegSetKeyValueA(root, key, value, REG_DWORD, &data, sizeof data);
}

void SetRegString(HKEY root, const char* key, const char* value, const std::string& data)
{
    RegSetKeyValueA(root, key, value, REG_SZ, data.c_str(), static_cast<DWORD>(data.size() + 1));
}

std::string TempDir()
{
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    // Wine reuses process ids between test processes: a name is only ours
    // once the folder is created anew.
    static unsigned counter = GetTickCount();
    for (;;) {
        std::string dir = std::string(base) + "dp-e2e-" + std::to_string(GetCurrentProcessId()) + "-"
                          + std::to_string(++counter);
        if (CreateDirectoryA(dir.c_str(), nullptr) || GetLastError() != ERROR_ALREADY_EXISTS)
            return dir;
    }
}

std::string ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string RecoveryFolder()
{
    char local[MAX_PATH] = {};
    GetEnvironmentVariableA("LOCALAPPDATA", local, MAX_PATH);
    return std::string(local) + "\\Vantry\\Driftpad";
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool WrittenAgain(const std::string& path, uint64_t& seen)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    const uint64_t stamp = uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32 | data.ftLastWriteTime.dwLowDateTime;
    return std::exchange(seen, stamp) != stamp;
}

int FilesIn(const std::string& dir)
{
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &fd);
    int files = 0;
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &fd))
        files += !(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    if (find != INVALID_HANDLE_VALUE)
        FindClose(find);
    return files;
}

namespace {

void PutLE(std::string& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

std::string NotesFileBytes(const std::vector<FileNote>& notes, int32_t showHidden)
{
    std::string out;
    PutLE(out, static_cast<uint32_t>(showHidden), 4);
    PutLE(out, 0, 4);
    PutLE(out, static_cast<uint32_t>(notes.size()), 2);
    for (const FileNote& n : notes) {
        if (n.text.size() < 0xFF) {
            PutLE(out, static_cast<uint32_t>(n.text.size()), 1);
        } else {
            PutLE(out, 0xFF, 1);
            PutLE(out, static_cast<uint32_t>(n.text.size()), 2);
        }
        out += n.text;
        for (int32_t v : {int32_t(n.rect.left), int32_t(n.rect.top), int32_t(n.rect.right), int32_t(n.rect.bottom),
                          n.alarmFlag, n.alarmTime, n.onTop,
                          n.hidden})
            PutLE(out, static_cast<uint32_t>(v), 4);
    }
    return out;
}

}  // namespace e2e
