#include "app/registry_table.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// Records what install and uninstall do; refuses writes under HKCR, or all.
struct RecordingStore : RegistryStore {
    bool bRefuseClassesRoot = false, bRefuseAll = false;
    std::vector<std::string> written, deleted;
    int nAttempts = 0;

    static std::string Name(RegRoot root, const std::string& key) { return (root == RegRoot::ClassesRoot ? "HKCR\\" : "HKCU\\") + key; }
    bool Write(const RegEntry& e) override
    {
        ++nAttempts;
        if (bRefuseAll || (bRefuseClassesRoot && e.root == RegRoot::ClassesRoot))
            return false;
        std::string what = e.kind == RegEntry::Dword ? std::to_string(e.dword) : e.text;
        written.push_back(Name(e.root, e.key) + "|" + e.valueName.value_or("") + "|" + what + (e.kind == RegEntry::KeyOnly ? "|key only" : ""));
        return true;
    }
    void DeleteTree(const RegKey& k) override { deleted.push_back(Name(k.root, k.key)); }
};

TEST(RegistryInstall, WritesTheNineEntriesInOrderWithTheWholePathAndUninstallRemovesBothCopiesOfTheClasses)
{
    // Longer than the old 128-character buffer: nothing may be cut.
    const std::string exe = "C:\\" + std::string(200, 'd') + "\\Driftpad.exe";
    RecordingStore store, user, nowhere;
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
    user.bRefuseClassesRoot = true;
    EXPECT_TRUE(WriteInstallEntries(user, exe));
    ASSERT_EQ(9u, user.written.size());
    EXPECT_EQ("HKCU\\Software\\Classes\\" + expected[3].substr(5), user.written[3]);
    EXPECT_EQ(expected[4], user.written[4]);
    nowhere.bRefuseAll = true;
    EXPECT_FALSE(WriteInstallEntries(nowhere, exe));
    EXPECT_EQ(nowhere.nAttempts, 9 + 4);  // a refused entry does not stop the later ones

    DeleteInstallEntries(store);
    EXPECT_EQ(store.deleted, (std::vector<std::string>{
        "HKCR\\.dpd", "HKCU\\Software\\Classes\\.dpd", "HKCR\\Driftpad", "HKCU\\Software\\Classes\\Driftpad",
        "HKCU\\AppEvents\\EventLabels\\DP Alarm", "HKCU\\AppEvents\\Schemes\\Apps\\Driftpad", "HKCU\\Software\\Vantry"}));
}

// A registry held in a map: "key|value" for a value.
struct FakeRegistry : RegistrySource {
    std::map<std::string, std::string> values;

    // A key is there when a value is: one that starts with "key|".
    bool HasKey(const std::string& key) override { return values.lower_bound(key + "|") != values.lower_bound(key + "}"); }
    std::optional<std::string> ReadValue(const std::string& key, const char* name, size_t capacity) override
    {
        auto it = values.find(key + "|" + (name ? name : ""));
        if (it == values.end() || it->second.size() > capacity)
            return std::nullopt;
        return it->second;
    }
    FakeRegistry& Set(const char* pszValue, const std::string& bytes)
    {
        values[pszValue ? kPreferencesKey + std::string("|") + pszValue : kAlarmSoundKey + std::string("|")] = bytes;
        return *this;
    }
};

TEST(ReadPreferences, ReadsWhatIsThereAndStopsWhereTheRulesSay)
{
    const std::string kOne("\x01\0\0\0", 4), kTwo("\x02\0\0\0", 4), kSound = std::string("C:\\ring.wav") + '\0';
    struct { const char* what; FakeRegistry reg; uint32_t save, dbl; std::optional<std::string> sound; uint32_t onDesktop = 0; } cases[] = {
        {"everything; DblClick 2 taken unchanged", FakeRegistry().Set("SaveOnShutdown", kOne).Set("DblClick", kTwo).Set(nullptr, kSound)
         .Set("OnDesktop", kOne), 1, 2, "C:\\ring.wav", 1},
        {"OnDesktop unreadable: 0, the rest as it is", FakeRegistry().Set("SaveOnShutdown", kOne).Set("OnDesktop", "12345")
         .Set("DblClick", kOne), 1, 1, std::nullopt},
        {"no preferences key: nothing, not even the sound", FakeRegistry().Set(nullptr, kSound), 0, 0, std::nullopt},
        {"no SaveOnShutdown: DblClick and the sound are not read", FakeRegistry().Set("DblClick", kOne).Set(nullptr, kSound), 0, 0,
         std::nullopt},
        {"SaveOnShutdown over 4 bytes counts as unreadable", FakeRegistry().Set("SaveOnShutdown", "12345").Set("DblClick", kOne), 0, 0,
         std::nullopt},
        {"short values fill the low bytes; no DblClick: 0; an empty sound is an empty text",
         FakeRegistry().Set("SaveOnShutdown", "\x01").Set(nullptr, std::string(1, '\0')), 1, 0, ""},
    };
    for (auto& c : cases) {
        Preferences p = ReadPreferences(c.reg);
        EXPECT_EQ(c.save, p.bSaveOnShutdown) << c.what;
        EXPECT_EQ(c.dbl, p.nDblClick) << c.what;
        EXPECT_EQ(c.sound, p.strAlarmSound) << c.what;
        EXPECT_EQ(c.onDesktop, p.bOnDesktop) << c.what;
    }
}

}  // namespace
