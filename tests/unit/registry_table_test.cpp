#include "app/registry_table.h"

#include <gtest/gtest.h>

#include <map>

namespace {

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
        std::string what = e.kind == RegEntry::Dword ? std::to_string(e.dword) : e.text;
        written.push_back(Name(e.root, e.key) + "|" + e.valueName.value_or("") + "|" + what
                          + (e.kind == RegEntry::KeyOnly ? "|key only" : ""));
        return true;
    }
    void DeleteTree(const RegKey& k) override { deleted.push_back(Name(k.root, k.key)); }
};

TEST(RegistryInstall, WritesTheNineEntriesInOrderWithTheWholeProgramPath)
{
    // Longer than the old 128-character buffer: nothing may be cut.
    const std::string exe = "C:\\" + std::string(200, 'd') + "\\Driftpad.exe";
    RecordingStore store;
    EXPECT_TRUE(WriteInstallEntries(store, exe));
    const std::vector<std::string> expected = {
        "HKCR\\.dpd||Driftpad",
        "HKCR\\Driftpad||Driftpad File",
        "HKCR\\Driftpad\\DefaultIcon||" + exe + ",1",
        "HKCR\\Driftpad\\shell\\open\\command||\"" + exe + "\" \"%1\"",
        "HKCU\\AppEvents\\EventLabels\\DP Alarm||Driftpad Alarm",
        "HKCU\\AppEvents\\Schemes\\Apps\\Driftpad||Driftpad",
        "HKCU\\AppEvents\\Schemes\\Apps\\Driftpad\\DP Alarm|||key only",
        "HKCU\\Software\\Vantry\\Driftpad\\Preferences|SaveOnShutdown|0",
        "HKCU\\Software\\Vantry\\Driftpad\\Preferences|DblClick|0",
    };
    EXPECT_EQ(expected, store.written);
}

TEST(RegistryInstall, ClassesGoPerUserWhereRefusedAndAnEntryWrittenNowhereIsIncomplete)
{
    RecordingStore store;
    store.refuseClassesRoot = true;
    EXPECT_TRUE(WriteInstallEntries(store, "C:\\D\\Driftpad.exe"));
    ASSERT_EQ(9u, store.written.size());
    EXPECT_EQ("HKCU\\Software\\Classes\\.dpd||Driftpad", store.written[0]);
    EXPECT_EQ(0u, store.written[3].find("HKCU\\Software\\Classes\\Driftpad\\shell\\open\\command|"));
    EXPECT_EQ(0u, store.written[4].find("HKCU\\AppEvents\\EventLabels\\DP Alarm|"));

    RecordingStore nowhere;
    nowhere.refuseEverything = true;
    EXPECT_FALSE(WriteInstallEntries(nowhere, "C:\\Driftpad.exe"));
}

TEST(RegistryInstall, UninstallRemovesFiveSubtreesAndBothCopiesOfTheClasses)
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

// A registry held in a map: "key|value" for a value.
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
    FakeRegistry& Set(const std::string& key, const char* name, const std::string& bytes)
    {
        keys[key] = true;
        values[key + "|" + (name ? name : "")] = bytes;
        return *this;
    }
};

std::string Dword(uint32_t v)
{
    return std::string{char(v & 0xFF), char(v >> 8 & 0xFF), char(v >> 16 & 0xFF), char(v >> 24)};
}

const std::string kSound = std::string("C:\\ring.wav") + '\0';

TEST(ReadPreferences, ReadsWhatIsThereAndStopsWhereTheRulesSay)
{
    struct Case {
        const char* what;
        FakeRegistry reg;
        uint32_t save, dbl;
        std::optional<std::string> sound;
    };
    Case cases[] = {
        {"everything; DblClick 2 taken unchanged",
         FakeRegistry().Set(kPreferencesKey, "SaveOnShutdown", Dword(1)).Set(kPreferencesKey, "DblClick", Dword(2))
             .Set(kAlarmSoundKey, nullptr, kSound), 1, 2, "C:\\ring.wav"},
        {"no preferences key: nothing, not even the sound",
         FakeRegistry().Set(kAlarmSoundKey, nullptr, kSound), 0, 0, std::nullopt},
        {"no SaveOnShutdown: DblClick and the sound are not read",
         FakeRegistry().Set(kPreferencesKey, "DblClick", Dword(1)).Set(kAlarmSoundKey, nullptr, kSound), 0, 0,
         std::nullopt},
        {"SaveOnShutdown over 4 bytes counts as unreadable",
         FakeRegistry().Set(kPreferencesKey, "SaveOnShutdown", "12345").Set(kPreferencesKey, "DblClick", Dword(1)), 0,
         0, std::nullopt},
        {"no DblClick: 0, and an empty sound is an empty text, not none",
         FakeRegistry().Set(kPreferencesKey, "SaveOnShutdown", Dword(1)).Set(kAlarmSoundKey, nullptr, std::string(1, '\0')),
         1, 0, ""},
        {"a sound over 256 bytes: none",
         FakeRegistry().Set(kPreferencesKey, "SaveOnShutdown", Dword(0)).Set(kAlarmSoundKey, nullptr, std::string(300, 'a')),
         0, 0, std::nullopt},
        {"short values fill the low bytes",
         FakeRegistry().Set(kPreferencesKey, "SaveOnShutdown", "\x01").Set(kPreferencesKey, "DblClick", std::string(2, '\0')),
         1, 0, std::nullopt},
    };
    for (Case& c : cases) {
        Preferences p = ReadPreferences(c.reg);
        EXPECT_EQ(c.save, p.saveOnShutdown) << c.what;
        EXPECT_EQ(c.dbl, p.dblClick) << c.what;
        EXPECT_EQ(c.sound, p.alarmSound) << c.what;
    }
}

}  // namespace
