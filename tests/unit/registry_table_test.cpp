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
    int attempts = 0;

    static std::string Name(RegRoot root, const std::string& key)
    {
        return (root == RegRoot::ClassesRoot ? "HKCR\\" : "HKCU\\") + key;
    }
    bool Write(const RegEntry& e) override
    {
        ++attempts;
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

    // Refused classes go to the per-user copy; an entry written nowhere makes the install incomplete.
    RecordingStore user;
    user.refuseClassesRoot = true;
    EXPECT_TRUE(WriteInstallEntries(user, exe));
    ASSERT_EQ(9u, user.written.size());
    EXPECT_EQ("HKCU\\Software\\Classes\\.dpd||Driftpad", user.written[0]);
    EXPECT_EQ("HKCU\\Software\\Classes\\" + expected[3].substr(5), user.written[3]);
    EXPECT_EQ(expected[4], user.written[4]);
    RecordingStore nowhere;
    nowhere.refuseEverything = true;
    EXPECT_FALSE(WriteInstallEntries(nowhere, exe));
    EXPECT_EQ(nowhere.attempts, 9 + 4);  // a refused entry does not stop the later ones
}

TEST(RegistryInstall, UninstallRemovesFiveSubtreesAndBothCopiesOfTheClasses)
{
    RecordingStore store;
    DeleteInstallEntries(store);
    const std::vector<std::string> expected = {
        "HKCR\\.dpd", "HKCU\\Software\\Classes\\.dpd", "HKCR\\Driftpad", "HKCU\\Software\\Classes\\Driftpad",
        "HKCU\\AppEvents\\EventLabels\\DP Alarm", "HKCU\\AppEvents\\Schemes\\Apps\\Driftpad", "HKCU\\Software\\Vantry",
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
    FakeRegistry& Save(const std::string& bytes) { return Set(kPreferencesKey, "SaveOnShutdown", bytes); }
    FakeRegistry& Dbl(const std::string& bytes) { return Set(kPreferencesKey, "DblClick", bytes); }
    FakeRegistry& Sound(const std::string& bytes) { return Set(kAlarmSoundKey, nullptr, bytes); }
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

TEST(ReadPreferences, ReadsWhatIsThereAndStopsWhereTheRulesSay)
{
    const std::string kSound = std::string("C:\\ring.wav") + '\0';
    struct Case { const char* what; FakeRegistry reg; uint32_t save, dbl; std::optional<std::string> sound; };
    Case cases[] = {
        {"everything; DblClick 2 taken unchanged", FakeRegistry().Save(Dword(1)).Dbl(Dword(2)).Sound(kSound), 1, 2,
         "C:\\ring.wav"},
        {"no preferences key: nothing, not even the sound", FakeRegistry().Sound(kSound), 0, 0, std::nullopt},
        {"no SaveOnShutdown: DblClick and the sound are not read", FakeRegistry().Dbl(Dword(1)).Sound(kSound), 0, 0,
         std::nullopt},
        {"SaveOnShutdown over 4 bytes counts as unreadable", FakeRegistry().Save("12345").Dbl(Dword(1)), 0, 0,
         std::nullopt},
        {"no DblClick: 0, and an empty sound is an empty text, not none",
         FakeRegistry().Save(Dword(1)).Sound(std::string(1, '\0')), 1, 0, ""},
        {"a sound over 256 bytes: none", FakeRegistry().Save(Dword(0)).Sound(std::string(300, 'a')), 0, 0, std::nullopt},
        {"short values fill the low bytes", FakeRegistry().Save("\x01").Dbl(std::string(2, '\0')), 1, 0, std::nullopt},
    };
    for (Case& c : cases) {
        Preferences p = ReadPreferences(c.reg);
        EXPECT_EQ(c.save, p.saveOnShutdown) << c.what;
        EXPECT_EQ(c.dbl, p.dblClick) << c.what;
        EXPECT_EQ(c.sound, p.alarmSound) << c.what;
    }
}

}  // namespace
