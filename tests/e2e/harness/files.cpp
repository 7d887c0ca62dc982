#include "tests/e2e/harness.h"

#include <filesystem>
#include <utility>

namespace e2e {

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

void SetRegString(HKEY root, const char* key, const char* value, const std::string& data)
{
    RegSetKeyValueA(root, key, value, REG_SZ, data.c_str(), static_cast<DWORD>(data.size() + 1));
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
    std::error_code error;
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir, error))
        files += entry.is_regular_file(error);
    return files;
}

}  // namespace e2e
