#include "app/registry.h"

#include "base/handle.h"

#include <vector>

namespace {

// Writes one value (or only the key when data is null); true on success.
bool SetRegistryValue(HKEY hRoot, const char* key, const char* valueName, const void* data,
                      DWORD type, DWORD size)
{
    UniqueRegKey owner;
    if (RegCreateKeyExA(hRoot, key, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                        owner.put(), nullptr) != ERROR_SUCCESS)
        return false;
    if (!data)
        return true;
    return RegSetValueExA(owner.get(), valueName, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

bool SetRegistryString(HKEY hRoot, const char* key, const char* valueName, const char* text)
{
    DWORD size = text ? static_cast<DWORD>(lstrlenA(text) + 1) : 0;
    return SetRegistryValue(hRoot, key, valueName, text, REG_SZ, size);
}

bool SetRegistryDword(HKEY hRoot, const char* key, const char* valueName, DWORD value)
{
    return SetRegistryValue(hRoot, key, valueName, &value, REG_DWORD, sizeof value);
}

// The running executable's full path, however long.
std::string ModulePath()
{
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0)
            return std::string();
        if (n < buffer.size())
            return std::string(buffer.data(), n);
        buffer.resize(buffer.size() * 2);  // cut: try again with room to spare
    }
}

HKEY RootKey(RegRoot root)
{
    return root == RegRoot::ClassesRoot ? HKEY_CLASSES_ROOT : HKEY_CURRENT_USER;
}

class Win32RegistryStore : public RegistryStore {
public:
    bool Write(const RegEntry& e) override
    {
        const char* name = e.valueName ? e.valueName->c_str() : nullptr;
        switch (e.kind) {
        case RegEntry::String: return SetRegistryString(RootKey(e.root), e.key.c_str(), name, e.text.c_str());
        case RegEntry::Dword: return SetRegistryDword(RootKey(e.root), e.key.c_str(), name, e.dword);
        case RegEntry::KeyOnly: return SetRegistryString(RootKey(e.root), e.key.c_str(), name, nullptr);
        }
        return false;
    }
    void DeleteTree(const RegKey& k) override
    {
        // RegDeleteTree empties the key; RegDeleteKey then removes the key itself.
        UniqueRegKey key;
        const REGSAM access = DELETE | KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | KEY_SET_VALUE;
        if (RegOpenKeyExA(RootKey(k.root), k.key.c_str(), 0, access, key.put()) == ERROR_SUCCESS) {
            RegDeleteTreeA(key.get(), nullptr);
            key.reset();
            RegDeleteKeyA(RootKey(k.root), k.key.c_str());
        }
    }
};

class Win32RegistrySource : public RegistrySource {
public:
    bool HasKey(const std::string& key) override
    {
        UniqueRegKey owner;
        return RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, owner.put()) == ERROR_SUCCESS;
    }
    std::optional<std::string> ReadValue(const std::string& key, const char* valueName, size_t capacity) override
    {
        UniqueRegKey owner;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, owner.put()) != ERROR_SUCCESS)
            return std::nullopt;
        std::string data(capacity, '\0');
        DWORD size = static_cast<DWORD>(capacity);
        if (RegQueryValueExA(owner.get(), valueName, nullptr, nullptr,
                             reinterpret_cast<BYTE*>(&data[0]), &size) != ERROR_SUCCESS)
            return std::nullopt;
        data.resize(size);
        return data;
    }
};

}  // namespace

bool TakeFirstStartMark()
{
    DWORD value = 0, size = sizeof value;
    if (RegGetValueA(HKEY_CURRENT_USER, kPreferencesKey, kFirstStartValue, RRF_RT_REG_DWORD, nullptr, &value, &size)
            != ERROR_SUCCESS
        || value != 1)
        return false;
    return RegDeleteKeyValueA(HKEY_CURRENT_USER, kPreferencesKey, kFirstStartValue) == ERROR_SUCCESS;
}

bool RegisterProgram()
{
    Win32RegistryStore store;
    std::string exe = ModulePath();
    return !exe.empty() && WriteInstallEntries(store, exe);
}

void UnregisterProgram()
{
    Win32RegistryStore store;
    DeleteInstallEntries(store);
}

Preferences ReadPreferencesFromRegistry()
{
    Win32RegistrySource source;
    return ReadPreferences(source);
}

bool WritePreferences(DWORD bSaveOnShutdown, DWORD nDblClick, DWORD bOnDesktop)
{
    bool bSaved = SetRegistryDword(HKEY_CURRENT_USER, kPreferencesKey, kSaveOnShutdownValue, bSaveOnShutdown);
    bSaved = SetRegistryDword(HKEY_CURRENT_USER, kPreferencesKey, kDblClickValue, nDblClick) && bSaved;
    return SetRegistryDword(HKEY_CURRENT_USER, kPreferencesKey, kOnDesktopValue, bOnDesktop) && bSaved;
}
