#include "app/registry_table.h"

#include <gtest/gtest.h>

#include <map>

namespace {

TEST(RegistryTable, InstallWritesNineEntriesInOrder)
{
    const std::string exe = "C:\\Program Files\\Driftpad\\Driftpad.exe";
    auto e = InstallEntries(exe);
    ASSERT_EQ(9u, e.size());
    struct Row { RegRoot root; const char* key; const char* value; RegEntry::Kind kind; std::string text; };
    const Row rows[] = {
        {RegRoot::ClassesRoot, ".dpd", nullptr, RegEntry::String, "Driftpad"},
        {RegRoot::ClassesRoot, "Driftpad", nullptr, RegEntry::String, "Driftpad File"},
        {RegRoot::ClassesRoot, "Driftpad\\DefaultIcon", nullptr, RegEntry::String,
         "C:\\Program Files\\Driftpad\\Driftpad.exe,1"},
        {RegRoot::ClassesRoot, "Driftpad\\shell\\open\\command", nullptr, RegEntry::String,
         "\"C:\\Program Files\\Driftpad\\Driftpad.exe\" \"%1\""},
        {RegRoot::CurrentUser, "AppEvents\\EventLabels\\DP Alarm", nullptr, RegEntry::String, "Driftpad Alarm"},
        {RegRoot::CurrentUser, "AppEvents\\Schemes\\Apps\\Driftpad", nullptr, RegEntry::String, "Driftpad"},
        {RegRoot::CurrentUser, "AppEvents\\Schemes\\Apps\\Driftpad\\DP Alarm", nullptr, RegEntry::KeyOnly, ""},
        {RegRoot::CurrentUser, "Software\\Vantry\\Driftpad\\Preferences", "SaveOnShutdown", RegEntry::Dword, ""},
        {RegRoot::CurrentUser, "Software\\Vantry\\Driftpad\\Preferences", "DblClick", RegEntry::Dword, ""},
    };
    for (size_t i = 0; i < 9; ++i) {
        SCOPED_TRACE(i + 1);
        EXPECT_EQ(rows[i].root, e[i].root);
        EXPECT_EQ(rows[i].key, e[i].key);
        EXPECT_EQ(rows[i].value != nullptr, e[i].valueName.has_value());
        if (rows[i].value && e[i].valueName) {
            EXPECT_EQ(rows[i].value, *e[i].valueName);
        }
        EXPECT_EQ(rows[i].kind, e[i].kind);
        EXPECT_EQ(rows[i].text, e[i].text);
        EXPECT_EQ(0u, e[i].dword);
    }
}

TEST(RegistryTable, LongExecutablePathsAreKeptWhole)
{
    // Paths beyond the old 128-character buffer must not be cut.
    std::string exe = "C:\\" + std::string(300, 'd') + "\\Driftpad.exe";
    auto e = InstallEntries(exe);
    EXPECT_EQ("\"" + exe + "\" \"%1\"", e[3].text);
    EXPECT_EQ(exe + ",1", e[2].text);
}

TEST(RegistryTable, UninstallTakesFiveSubtreesIncludingTheMakersKey)
{
    auto keys = UninstallKeys();
    ASSERT_EQ(5u, keys.size());
    EXPECT_EQ(".dpd", keys[0].key);
    EXPECT_EQ("Driftpad", keys[1].key);
    EXPECT_EQ("AppEvents\\EventLabels\\DP Alarm", keys[2].key);
    EXPECT_EQ("AppEvents\\Schemes\\Apps\\Driftpad", keys[3].key);
    EXPECT_EQ("Software\\Vantry", keys[4].key);
    EXPECT_EQ(RegRoot::ClassesRoot, keys[1].root);
    EXPECT_EQ(RegRoot::CurrentUser, keys[2].root);
}

// Records what install and uninstall do; refuses writes under a chosen root.
class RecordingStore : public RegistryStore {
public:
    bool refuseClassesRoot = false;
    bool refuseEverything = false;
    std::vector<std::string> written, deleted;

    static std::string Name(RegRoot root, const std::string& key)
    {
        return (root == RegRoot::ClassesRoot ? "HKCR\\" : "HKCU\\") + key;
    }
    bool Write(const RegEntry& e) override
    {
        if (refuseEverything || (refuseClassesRoot && e.root == RegRoot::ClassesRoot))
            return false;
        written.push_back(Name(e.root, e.key));
        return true;
    }
    void DeleteTree(const RegKey& k) override { deleted.push_back(Name(k.root, k.key)); }
};

TEST(RegistryInstall, ClassesGoPerUserWhereTheMachineWideKeyIsRefused)
{
    RecordingStore store;
    store.refuseClassesRoot = true;
    EXPECT_TRUE(WriteInstallEntries(store, "C:\\D\\Driftpad.exe"));
    ASSERT_EQ(9u, store.written.size());
    EXPECT_EQ("HKCU\\Software\\Classes\\.dpd", store.written[0]);
    EXPECT_EQ("HKCU\\Software\\Classes\\Driftpad\\shell\\open\\command", store.written[3]);
    EXPECT_EQ("HKCU\\AppEvents\\EventLabels\\DP Alarm", store.written[4]);
}

TEST(RegistryInstall, AnEntryWrittenNowhereMakesTheInstallIncomplete)
{
    RecordingStore store;
    store.refuseEverything = true;
    EXPECT_FALSE(WriteInstallEntries(store, "C:\\Driftpad.exe"));
    RecordingStore fine;
    EXPECT_TRUE(WriteInstallEntries(fine, "C:\\Driftpad.exe"));
    EXPECT_EQ("HKCR\\.dpd", fine.written[0]);
}

TEST(RegistryInstall, UninstallRemovesBothCopiesOfTheClasses)
{
    RecordingStore store;
    DeleteInstallEntries(store);
    const std::vector<std::string> expected = {
        "HKCR\\.dpd", "HKCU\\Software\\Classes\\.dpd",
        "HKCR\\Driftpad", "HKCU\\Software\\Classes\\Driftpad",
        "HKCU\\AppEvents\\EventLabels\\DP Alarm",
        "HKCU\\AppEvents\\Schemes\\Apps\\Driftpad",
        "HKCU\\Software\\Vantry",
    };
    EXPECT_EQ(expected, store.deleted);
}

// A registry held in a map: "key" for a key, "key|value" for a value.
class FakeRegistry : public RegistrySource {
public:
    std::map<std::string, std::string> values;
    std::map<std::string, bool> keys;

    bool HasKey(const std::string& key) override { return keys.count(key) > 0; }
    std::optional<std::string> ReadValue(const std::string& key, const char* name, size_t capacity) override
    {
        auto it = values.find(key + "|" + (name ? name : ""));
        if (it == values.end() || it->second.size() > capacity)
            return std::nullopt;
        return it->second;
    }
    void Set(const std::string& key, const char* name, const std::string& bytes)
    {
        keys[key] = true;
        values[key + "|" + (name ? name : "")] = bytes;
    }
};

std::string Dword(uint32_t v)
{
    return std::string{char(v & 0xFF), char(v >> 8 & 0xFF), char(v >> 16 & 0xFF), char(v >> 24)};
}

TEST(ReadPreferences, EverythingPresent)
{
    FakeRegistry reg;
    reg.Set(kPreferencesKey, "SaveOnShutdown", Dword(1));
    reg.Set(kPreferencesKey, "DblClick", Dword(2));
    reg.Set(kAlarmSoundKey, nullptr, std::string("C:\\ring.wav") + '\0');
    Preferences p = ReadPreferences(reg);
    EXPECT_EQ(1u, p.saveOnShutdown);
    EXPECT_EQ(2u, p.dblClick);  // taken unchanged
    ASSERT_TRUE(p.alarmSound.has_value());
    EXPECT_EQ("C:\\ring.wav", *p.alarmSound);
}

TEST(ReadPreferences, StopRules)
{
    {
        SCOPED_TRACE("no preferences key: nothing, not even the sound");
        FakeRegistry reg;
        reg.Set(kAlarmSoundKey, nullptr, std::string("x.wav") + '\0');
        Preferences p = ReadPreferences(reg);
        EXPECT_EQ(0u, p.saveOnShutdown);
        EXPECT_FALSE(p.alarmSound.has_value());
    }
    {
        SCOPED_TRACE("key without SaveOnShutdown: DblClick and sound not read");
        FakeRegistry reg;
        reg.Set(kPreferencesKey, "DblClick", Dword(1));
        reg.Set(kAlarmSoundKey, nullptr, std::string("x.wav") + '\0');
        Preferences p = ReadPreferences(reg);
        EXPECT_EQ(0u, p.dblClick);
        EXPECT_FALSE(p.alarmSound.has_value());
    }
    {
        SCOPED_TRACE("SaveOnShutdown larger than 4 bytes counts as unreadable");
        FakeRegistry reg;
        reg.Set(kPreferencesKey, "SaveOnShutdown", "12345");
        reg.Set(kPreferencesKey, "DblClick", Dword(1));
        EXPECT_EQ(0u, ReadPreferences(reg).dblClick);
    }
    {
        SCOPED_TRACE("no DblClick: 0, the sound is still read");
        FakeRegistry reg;
        reg.Set(kPreferencesKey, "SaveOnShutdown", Dword(1));
        reg.Set(kAlarmSoundKey, nullptr, std::string(1, '\0'));
        Preferences p = ReadPreferences(reg);
        EXPECT_EQ(1u, p.saveOnShutdown);
        EXPECT_EQ(0u, p.dblClick);
        ASSERT_TRUE(p.alarmSound.has_value());
        EXPECT_EQ("", *p.alarmSound);  // an empty text, not none
    }
    {
        SCOPED_TRACE("sound longer than 256 bytes: none");
        FakeRegistry reg;
        reg.Set(kPreferencesKey, "SaveOnShutdown", Dword(0));
        reg.Set(kAlarmSoundKey, nullptr, std::string(300, 'a'));
        EXPECT_FALSE(ReadPreferences(reg).alarmSound.has_value());
    }
}

TEST(ReadPreferences, ShortValuesFillTheLowBytes)
{
    FakeRegistry reg;
    reg.Set(kPreferencesKey, "SaveOnShutdown", std::string(1, '\x01'));
    reg.Set(kPreferencesKey, "DblClick", std::string(2, '\x00'));
    Preferences p = ReadPreferences(reg);
    EXPECT_EQ(1u, p.saveOnShutdown);
    EXPECT_EQ(0u, p.dblClick);
}

}  // namespace
