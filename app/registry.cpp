#include "app/registry.h"

#include "base/handle.h"

#include <vector>

namespace {

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
        case RegEntry::String: return SetRegistryString(RootKey(e.root), e.key.c_str(), name, e.text.c_str()) != 0;
        case RegEntry::Dword: return SetRegistryDword(RootKey(e.root), e.key.c_str(), name, e.dword) != 0;
        case RegEntry::KeyOnly: return SetRegistryString(RootKey(e.root), e.key.c_str(), name, nullptr) != 0;
        }
        return false;
    }
    void DeleteTree(const RegKey& k) override
    {
        // RegDeleteTree empties the key; RegDeleteKey then removes the key itself.
        UniqueRegKey key;
        if (RegOpenKeyExA(RootKey(k.root), k.key.c_str(), 0, KEY_ALL_ACCESS, key.put()) == ERROR_SUCCESS) {
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
        return RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_ALL_ACCESS, owner.put()) == ERROR_SUCCESS;
    }
    std::optional<std::string> ReadValue(const std::string& key, const char* valueName, size_t capacity) override
    {
        UniqueRegKey owner;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_ALL_ACCESS, owner.put()) != ERROR_SUCCESS)
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

int SetRegistryValue(HKEY hRoot, const char* key, const char* valueName, const void* data,
                     DWORD type, DWORD size)
{
    UniqueRegKey owner;
    if (RegCreateKeyExA(hRoot, key, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        owner.put(), nullptr) != ERROR_SUCCESS)
        return 0;
    if (!data)
        return 1;
    return RegSetValueExA(owner.get(), valueName, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

int SetRegistryString(HKEY hRoot, const char* key, const char* valueName, const char* text)
{
    DWORD size = text ? static_cast<DWORD>(lstrlenA(text) + 1) : 0;
    return SetRegistryValue(hRoot, key, valueName, text, REG_SZ, size);
}

int SetRegistryDword(HKEY hRoot, const char* key, const char* valueName, DWORD value)
{
    return SetRegistryValue(hRoot, key, valueName, &value, REG_DWORD, sizeof value);
}

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

void WritePreferences(DWORD saveOnShutdown, DWORD dblClick)
{
    SetRegistryDword(HKEY_CURRENT_USER, kPreferencesKey, kSaveOnShutdownValue, saveOnShutdown);
    SetRegistryDword(HKEY_CURRENT_USER, kPreferencesKey, kDblClickValue, dblClick);
}
