// The installer and uninstaller, run as a user would, with what they leave
// behind read back: files, registry, the Start-menu shortcut, the program's
// version information, and the program started as sign-in starts it.
#include "base/handle.h"
#include "resources/resource.h"
#include "tests/e2e/harness.h"

#include <shlobj.h>
#include <shobjidl.h>

#include <filesystem>
#include <memory>

using namespace e2e;

namespace {

const char* const kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char* const kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Driftpad";

std::string ShellFolder(int csidl)
{
    char path[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

const std::string kDefaultDir = ShellFolder(CSIDL_LOCAL_APPDATA) + "\\Programs\\Driftpad";
const std::string kNotesFile = ShellFolder(CSIDL_PERSONAL) + "\\Driftpad Notes.dpd";
const std::string kShortcut = ShellFolder(CSIDL_PROGRAMS) + "\\Driftpad.lnk";

ULONGLONG WriteTime(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return ULONGLONG(data.ftLastWriteTime.dwHighDateTime) << 32 | data.ftLastWriteTime.dwLowDateTime;
}

// Starts a command line; its process, or none.
UniqueKernelHandle Launch(std::string commandLine)
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return UniqueKernelHandle();
    CloseHandle(pi.hThread);
    return UniqueKernelHandle(pi.hProcess);
}

// Runs a command line to its end; its exit status, or none.
std::optional<DWORD> Execute(const std::string& commandLine)
{
    UniqueKernelHandle process = Launch(commandLine);
    DWORD code = 0;
    if (process && WaitForSingleObject(process.get(), 30000) == WAIT_OBJECT_0 && GetExitCodeProcess(process.get(), &code))
        return code;
    return std::nullopt;
}

std::optional<DWORD> Install(const std::string& switches)
{
    return Execute("\"" + ExeDir() + "\\..\\package\\DriftpadSetup-" DP_VERSION ".exe\" " + switches);
}

// Driftpad started by a command line (the Run value's), with its controller.
struct Started {
    UniqueKernelHandle process;
    HWND controller = nullptr;
    explicit Started(const std::string& commandLine)
    {
        process = Launch(commandLine);
        WaitUntil([&] { return (controller = FindWindowA("#32770", "Driftpad: Options")) != nullptr; });
    }
    ~Started()
    {
        if (!process)
            return;
        TerminateProcess(process.get(), 0);
        WaitForSingleObject(process.get(), 5000);
    }
    size_t Notes()
    {
        DWORD_PTR answer = 0;  // a round trip: start-up is over
        SendMessageTimeoutA(controller, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer);
        DWORD pid = 0;
        GetWindowThreadProcessId(controller, &pid);
        size_t n = 0;
        for (HWND w : ProcessWindows(pid, "#32770"))
            n += GetWindow(w, GW_OWNER) == controller;
        return n;
    }
};

std::string VersionString(const std::vector<char>& info, const char* name)
{
    char* text = nullptr;
    UINT size = 0;
    std::string path = std::string("\\StringFileInfo\\040904B0\\") + name;
    return VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&text), &size) ? text : "";
}

class InstallTest : public ::testing::Test {
protected:
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }

    // A user who never had Driftpad.
    static void Clean()
    {
        CleanProgramKeys();
        HKEY run = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &run) == ERROR_SUCCESS) {
            RegDeleteValueA(run, "Driftpad");
            RegCloseKey(run);
        }
        RegDeleteTreeA(HKEY_CURRENT_USER, kUninstallKey);
        RegDeleteKeyA(HKEY_CURRENT_USER, kUninstallKey);
        std::error_code ignored;
        std::filesystem::remove_all(kDefaultDir, ignored);
        std::filesystem::remove(kShortcut, ignored);
        std::filesystem::remove(kNotesFile, ignored);
    }

    static std::string RunCommand(const std::string& dir)
    {
        return "\"" + dir + "\\Driftpad.exe\" \"" + kNotesFile + "\"";
    }
};

TEST_F(InstallTest, SilentInstallSetsUpEverything)
{
    ASSERT_EQ(Install("/S"), 0u);
    const std::string exe = kDefaultDir + "\\Driftpad.exe";
    EXPECT_TRUE(FileExists(exe));
    EXPECT_TRUE(FileExists(kDefaultDir + "\\Uninstall.exe"));
    EXPECT_FALSE(FileExists(kNotesFile));
    EXPECT_EQ(RegString(HKEY_CURRENT_USER, kRunKey, "Driftpad"), RunCommand(kDefaultDir));
    EXPECT_EQ(RegDword(HKEY_CURRENT_USER, kPreferencesKey, "SaveOnShutdown"), 1u);
    EXPECT_EQ(RegDword(HKEY_CURRENT_USER, kPreferencesKey, "DblClick"), 0u);
    EXPECT_EQ(RegString(HKEY_CLASSES_ROOT, "Driftpad\\shell\\open\\command", nullptr), "\"" + exe + "\" \"%1\"");
    const std::string uninstaller = "\"" + kDefaultDir + "\\Uninstall.exe\"";
    const std::pair<const char*, std::string> entries[] = {
        {"DisplayName", "Driftpad"},
        {"DisplayVersion", DP_VERSION},
        {"Publisher", "Vantry"},
        {"DisplayIcon", "\"" + exe + "\",0"},
        {"InstallLocation", kDefaultDir},
        {"UninstallString", uninstaller},
        {"QuietUninstallString", uninstaller + " /S"},
    };
    for (const auto& [name, data] : entries)
        EXPECT_EQ(RegString(HKEY_CURRENT_USER, kUninstallKey, name), data) << name;
    for (const char* name : {"NoModify", "NoRepair"})
        EXPECT_EQ(RegDword(HKEY_CURRENT_USER, kUninstallKey, name), 1u) << name;
    EXPECT_GT(RegDword(HKEY_CURRENT_USER, kUninstallKey, "EstimatedSize").value_or(0), 0u);

    CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                               reinterpret_cast<void**>(&link)), S_OK);
    link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    std::wstring wide(kShortcut.begin(), kShortcut.end());
    EXPECT_EQ(file->Load(wide.c_str(), STGM_READ), S_OK);
    char target[MAX_PATH] = {}, arguments[MAX_PATH] = {};
    link->GetPath(target, MAX_PATH, nullptr, 0);
    link->GetArguments(arguments, MAX_PATH);
    file->Release();
    link->Release();
    CoUninitialize();
    EXPECT_STRCASEEQ(target, exe.c_str());
    EXPECT_EQ(arguments, "\"" + kNotesFile + "\"");

    std::vector<char> info(GetFileVersionInfoSizeA(exe.c_str(), nullptr));
    ASSERT_FALSE(info.empty());
    ASSERT_TRUE(GetFileVersionInfoA(exe.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &size));
    EXPECT_EQ(std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionMS)) + "."
                  + std::to_string(HIWORD(fixed->dwFileVersionLS)),
              DP_VERSION);
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    const std::pair<const char*, const char*> strings[] = {
        {"CompanyName", "Vantry"},     {"ProductName", "Driftpad"},     {"FileVersion", DP_VERSION},
        {"ProductVersion", DP_VERSION}, {"OriginalFilename", "Driftpad.exe"},
    };
    for (const auto& [name, text] : strings)
        EXPECT_EQ(VersionString(info, name), text) << name;
    EXPECT_NE(VersionString(info, "FileDescription"), "");
    EXPECT_NE(VersionString(info, "LegalCopyright"), "");
}

TEST_F(InstallTest, StartedAsAtSignInTheNotesLiveInDocuments)
{
    ASSERT_EQ(Install("/S"), 0u);
    const std::string command = RegString(HKEY_CURRENT_USER, kRunKey, "Driftpad").value_or("");
    {
        Started driftpad(command);
        ASSERT_TRUE(driftpad.controller);
        EXPECT_EQ(driftpad.Notes(), 0u);
        PostMessageA(driftpad.controller, WM_COMMAND, ID_NEWNOTE, 0);
        ASSERT_TRUE(WaitUntil([&] { return driftpad.Notes() == 1; }));
        PostMessageA(driftpad.controller, WM_COMMAND, ID_SAVE, 0);
        EXPECT_TRUE(WaitUntil([] { return FileExists(kNotesFile); }));
    }
    Started again(command);
    ASSERT_TRUE(again.controller);
    EXPECT_TRUE(WaitUntil([&] { return again.Notes() == 1; }));
}

TEST_F(InstallTest, ChoicesOffAndOwnFolder)
{
    const std::string dir = TempDir() + "\\Own Folder";
    ASSERT_EQ(Install("/S /NORUN /NOSAVEONSHUTDOWN /D=" + dir), 0u);
    EXPECT_TRUE(FileExists(dir + "\\Driftpad.exe"));
    EXPECT_EQ(RegString(HKEY_CURRENT_USER, kUninstallKey, "InstallLocation"), dir);
    EXPECT_EQ(RegString(HKEY_CURRENT_USER, kRunKey, "Driftpad"), std::nullopt);
    EXPECT_EQ(RegDword(HKEY_CURRENT_USER, kPreferencesKey, "SaveOnShutdown"), 0u);
}

// The user's preferences (as Options writes them) and Run choice survive an upgrade.
TEST_F(InstallTest, UpgradeKeepsTheUsersChoices)
{
    const struct {
        const char* first;
        DWORD saveOnShutdown, dblClick;
        bool run;
    } cases[] = {
        {"/S /NORUN", 0, 1, false},
        {"/S /NOSAVEONSHUTDOWN", 1, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        Clean();
        ASSERT_EQ(Install(c.first), 0u);
        SetRegDword(HKEY_CURRENT_USER, kPreferencesKey, "SaveOnShutdown", c.saveOnShutdown);
        SetRegDword(HKEY_CURRENT_USER, kPreferencesKey, "DblClick", c.dblClick);
        ASSERT_EQ(Install("/S"), 0u);
        EXPECT_EQ(RegDword(HKEY_CURRENT_USER, kPreferencesKey, "SaveOnShutdown"), c.saveOnShutdown);
        EXPECT_EQ(RegDword(HKEY_CURRENT_USER, kPreferencesKey, "DblClick"), c.dblClick);
        EXPECT_EQ(RegString(HKEY_CURRENT_USER, kRunKey, "Driftpad").has_value(), c.run);
    }
}

// A running Driftpad, and one still starting (only its single-instance mutex yet).
TEST_F(InstallTest, RefusedWhileDriftpadRuns)
{
    ASSERT_EQ(Install("/S"), 0u);
    SetRegDword(HKEY_CURRENT_USER, kPreferencesKey, "DblClick", 1);
    const std::string uninstaller = kDefaultDir + "\\Uninstall.exe";
    const ULONGLONG written = WriteTime(uninstaller);  // an install writes it anew
    for (bool started : {true, false}) {
        SCOPED_TRACE(started);
        std::unique_ptr<Started> driftpad;
        UniqueKernelHandle mutex;
        if (started) {
            driftpad = std::make_unique<Started>(RegString(HKEY_CURRENT_USER, kRunKey, "Driftpad").value_or(""));
            ASSERT_TRUE(driftpad->controller);
        } else {
            mutex.reset(CreateMutexA(nullptr, FALSE, "_DriftpadMutex_"));
        }
        EXPECT_NE(Install("/S /NORUN /NOSAVEONSHUTDOWN"), 0u);
        // Run in place (_?=) the uninstaller waits and reports; run plainly it
        // hands over to a copy of itself and returns at once.
        EXPECT_NE(Execute("\"" + uninstaller + "\" /S _?=" + kDefaultDir), 0u);
        EXPECT_EQ(WriteTime(uninstaller), written);
        EXPECT_TRUE(FileExists(kDefaultDir + "\\Driftpad.exe"));
        EXPECT_TRUE(FileExists(kShortcut));
        EXPECT_EQ(RegString(HKEY_CURRENT_USER, kRunKey, "Driftpad"), RunCommand(kDefaultDir));
        EXPECT_EQ(RegDword(HKEY_CURRENT_USER, kPreferencesKey, "SaveOnShutdown"), 1u);
        EXPECT_EQ(RegDword(HKEY_CURRENT_USER, kPreferencesKey, "DblClick"), 1u);
        EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, kUninstallKey));
    }
}

TEST_F(InstallTest, SilentUninstallLeavesOnlyTheNotes)
{
    WriteFileBytes(kNotesFile, "notes");
    // A notes file saved into the install folder keeps it.
    const struct { const char* ownNotes; bool folderStays; } cases[] = {{nullptr, false}, {"Mine.dpd", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folderStays);
        ASSERT_EQ(Install("/S"), 0u);
        if (c.ownNotes)
            WriteFileBytes(kDefaultDir + "\\" + c.ownNotes, "mine");
        auto quiet = RegString(HKEY_CURRENT_USER, kUninstallKey, "QuietUninstallString");
        ASSERT_TRUE(quiet);
        ASSERT_EQ(Execute(*quiet), 0u);
        // The work goes on in the uninstaller's copy; its last step is the folder.
        EXPECT_TRUE(WaitUntil([&] {
            return !FileExists(kDefaultDir + "\\Uninstall.exe") && FileExists(kDefaultDir) == c.folderStays;
        }, 30000));
        EXPECT_FALSE(FileExists(kDefaultDir + "\\Driftpad.exe"));
        EXPECT_FALSE(FileExists(kShortcut));
        EXPECT_EQ(RegString(HKEY_CURRENT_USER, kRunKey, "Driftpad"), std::nullopt);
        for (const char* key : {".dpd", "Driftpad"})
            EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, key)) << key;
        for (const char* key : {"AppEvents\\EventLabels\\DP Alarm", "AppEvents\\Schemes\\Apps\\Driftpad", "Software\\Vantry"})
            EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, key)) << key;
        EXPECT_EQ(ReadFileBytes(kNotesFile), "notes");
        if (c.ownNotes) {
            EXPECT_EQ(ReadFileBytes(kDefaultDir + "\\" + c.ownNotes), "mine");
        }
    }
}

}  // namespace
