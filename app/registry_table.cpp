#include "app/registry_table.h"

#include <cstring>

const char* const kPreferencesKey = "Software\\Vantry\\Driftpad\\Preferences";
const char* const kSaveOnShutdownValue = "SaveOnShutdown";
const char* const kDblClickValue = "DblClick";
const char* const kOnDesktopValue = "OnDesktop";
const char* const kFirstStartValue = "FirstStart";
const char* const kAlarmSoundKey = "AppEvents\\Schemes\\Apps\\Driftpad\\DP Alarm\\.current";

namespace {

// "<exe>" "%1": how the shell starts the program for a notes file.
std::string MakeOpenCommand(const std::string& exePath)
{
    return "\"" + exePath + "\" \"%1\"";
}

// <exe>,1: the notes-file icon, the program's second icon.
std::string MakeIconText(const std::string& exePath)
{
    return exePath + ",1";
}

// The nine install entries, in the order they are written.
std::vector<RegEntry> InstallEntries(const std::string& exePath)
{
    using R = RegRoot;
    using std::nullopt;
    return {
        {R::ClassesRoot, ".dpd", nullopt, RegEntry::String, "Driftpad"},
        {R::ClassesRoot, "Driftpad", nullopt, RegEntry::String, "Driftpad File"},
        {R::ClassesRoot, "Driftpad\\DefaultIcon", nullopt, RegEntry::String, MakeIconText(exePath)},
        {R::ClassesRoot, "Driftpad\\shell\\open\\command", nullopt, RegEntry::String, MakeOpenCommand(exePath)},
        {R::CurrentUser, "AppEvents\\EventLabels\\DP Alarm", nullopt, RegEntry::String, "Driftpad Alarm"},
        {R::CurrentUser, "AppEvents\\Schemes\\Apps\\Driftpad", nullopt, RegEntry::String, "Driftpad"},
        {R::CurrentUser, "AppEvents\\Schemes\\Apps\\Driftpad\\DP Alarm", nullopt, RegEntry::KeyOnly, ""},
        {R::CurrentUser, kPreferencesKey, kSaveOnShutdownValue, RegEntry::Dword, "", 0},
        {R::CurrentUser, kPreferencesKey, kDblClickValue, RegEntry::Dword, "", 0},
    };
}

// The five keys uninstall deletes (each with its subtree), in order.
std::vector<RegKey> UninstallKeys()
{
    return {
        {RegRoot::ClassesRoot, ".dpd"},
        {RegRoot::ClassesRoot, "Driftpad"},
        {RegRoot::CurrentUser, "AppEvents\\EventLabels\\DP Alarm"},
        {RegRoot::CurrentUser, "AppEvents\\Schemes\\Apps\\Driftpad"},
        {RegRoot::CurrentUser, "Software\\Vantry"},
    };
}

const char* const kUserClasses = "Software\\Classes\\";

}  // namespace

bool WriteInstallEntries(RegistryStore& store, const std::string& exePath)
{
    bool complete = true;
    for (RegEntry entry : InstallEntries(exePath)) {
        if (store.Write(entry))
            continue;
        if (entry.root == RegRoot::ClassesRoot) {
            entry.root = RegRoot::CurrentUser;
            entry.key = kUserClasses + entry.key;
            if (store.Write(entry))
                continue;
        }
        complete = false;  // a failed step does not stop the later ones
    }
    return complete;
}

void DeleteInstallEntries(RegistryStore& store)
{
    for (const RegKey& key : UninstallKeys()) {
        store.DeleteTree(key);
        if (key.root == RegRoot::ClassesRoot)
            store.DeleteTree({RegRoot::CurrentUser, kUserClasses + key.key});
    }
}

namespace {

// A value of any type that fits 4 bytes, read as the registry would into a
// zeroed DWORD: little-endian, missing high bytes stay 0.
std::optional<uint32_t> AsDword(const std::optional<std::string>& bytes)
{
    if (!bytes || bytes->size() > 4)
        return std::nullopt;
    uint32_t value = 0;
    for (size_t i = 0; i < bytes->size(); ++i)
        value |= uint32_t(static_cast<unsigned char>((*bytes)[i])) << (8 * i);
    return value;
}

}  // namespace

Preferences ReadPreferences(RegistrySource& source)
{
    Preferences prefs;
    if (!source.HasKey(kPreferencesKey))
        return prefs;
    std::optional<uint32_t> save = AsDword(source.ReadValue(kPreferencesKey, kSaveOnShutdownValue, 4));
    if (!save)
        return prefs;
    prefs.bSaveOnShutdown = *save;
    prefs.nDblClick = AsDword(source.ReadValue(kPreferencesKey, kDblClickValue, 4)).value_or(0);
    prefs.bOnDesktop = AsDword(source.ReadValue(kPreferencesKey, kOnDesktopValue, 4)).value_or(0);
    if (!source.HasKey(kAlarmSoundKey))
        return prefs;
    if (std::optional<std::string> sound = source.ReadValue(kAlarmSoundKey, nullptr, 256)) {
        // A REG_SZ comes with its terminating zero; the text ends at the first one.
        prefs.strAlarmSound = std::string(sound->c_str());
    }
    return prefs;
}
