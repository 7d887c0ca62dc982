#include "driver/driver.h"

#include <fstream>
#include <sstream>

namespace driver {

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

void SetRegDword(HKEY root, const char* key, const char* value, DWORD data)
{
    RegSetKeyValueA(root, key, value, REG_DWORD, &data, sizeof data);
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

}  // namespace driver
