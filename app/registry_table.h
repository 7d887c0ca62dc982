#pragma once
// Every registry entry the program writes, deletes and reads, as plain data,
// so that the table can be checked without a registry.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

enum class RegRoot { ClassesRoot, CurrentUser };

struct RegEntry {
    enum Kind { String, Dword, KeyOnly };
    RegRoot root;
    std::string key;
    std::optional<std::string> valueName;  // none: the key's default value
    Kind kind;
    std::string text;
    uint32_t dword = 0;
};

struct RegKey {
    RegRoot root;
    std::string key;
};

extern const char* const kPreferencesKey;  // under HKEY_CURRENT_USER
extern const char* const kSaveOnShutdownValue;
extern const char* const kDblClickValue;
// 1: the notes stay on the desktop (desktop_layer.h). Install leaves it alone.
extern const char* const kOnDesktopValue;
// A DWORD 1 that the installer leaves on a new install: the next start is the
// user's first, and says where the program lives. That start deletes it.
extern const char* const kFirstStartValue;
extern const char* const kAlarmSoundKey;   // its default value names the sound

// Where install writes and uninstall deletes. Keys under HKEY_CLASSES_ROOT
// that a standard user cannot write go to HKEY_CURRENT_USER\Software\Classes,
// which HKEY_CLASSES_ROOT shows for that user.
class RegistryStore {
public:
    virtual ~RegistryStore() = default;
    // Creates the key (and the value, unless the entry is KeyOnly); true on success.
    virtual bool Write(const RegEntry& entry) = 0;
    // Deletes the key with its whole subtree; a missing key is no failure.
    virtual void DeleteTree(const RegKey& key) = 0;
};

// Writes the install table in order; true when every entry was written
// (in its own place or in the per-user copy of the classes).
bool WriteInstallEntries(RegistryStore& store, const std::string& exePath);
// Deletes the uninstall table's keys in order, each class key from both places.
void DeleteInstallEntries(RegistryStore& store);

// What start-up reads; the source answers one value at a time.
struct Preferences {
    uint32_t bSaveOnShutdown = 0;
    uint32_t nDblClick = 0;
    uint32_t bOnDesktop = 0;
    std::optional<std::string> strAlarmSound;
};

class RegistrySource {
public:
    virtual ~RegistrySource() = default;
    // False when the key cannot be opened.
    virtual bool HasKey(const std::string& key) = 0;
    // The raw bytes of a value of at most 'capacity' bytes; none when the
    // value is missing or larger than the capacity.
    virtual std::optional<std::string> ReadValue(const std::string& key,
                                                 const char* valueName,
                                                 size_t capacity) = 0;
};

// The start-up read with its stop rules: no preferences key or no
// "SaveOnShutdown" stops everything; a missing "DblClick" or "OnDesktop" counts as 0.
Preferences ReadPreferences(RegistrySource& source);
