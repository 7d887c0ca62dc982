// The installer and uninstaller, run as a user would, with what they leave
// behind read back: files, registry, the Start-menu shortcut, the program's
// version information, and the program started as sign-in starts it.
#include "base/handle.h"
#include "tests/e2e/harness.h"

#include <shlobj.h>
#include <shobjidl.h>

#include <filesystem>

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
const std::string kExe = kDefaultDir + "\\Driftpad.exe", kUninstaller = kDefaultDir + "\\Uninstall.exe";
const std::string kNotesFile = ShellFolder(CSIDL_PERSONAL) + "\\Driftpad Notes.dpd";
const std::string kShortcut = ShellFolder(CSIDL_PROGRAMS) + "\\Driftpad.lnk";
const std::string kRunCommand = "\"" + kExe + "\" \"" + kNotesFile + "\"";

// Runs a program to its end; its exit status, or none.
std::optional<DWORD> Execute(const std::string& exe, const std::string& arguments)
{
    App run;
    return run.Start(arguments, "", exe) ? run.WaitExit(30000) : std::nullopt;
}

const std::string kSetup = ExeDir() + "\\..\\package\\DriftpadSetup-" DP_VERSION ".exe";

std::optional<DWORD> Install(const std::string& switches)
{
    return Execute(kSetup, switches);
}

HWND Controller() { return FindWindowA("#32770", "Driftpad: Options"); }

std::optional<std::string> RunValue() { return RegString(HKEY_CURRENT_USER, kRunKey, "Driftpad"); }
std::optional<DWORD> Preference(const char* name) { return RegDword(HKEY_CURRENT_USER, kPreferencesKey, name); }

// The shortcut's target and arguments.
std::string ShortcutCommand(const std::string& path)
{
    char target[MAX_PATH] = {}, arguments[MAX_PATH] = {};
    CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    if (CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, reinterpret_cast<void**>(&link)) == S_OK) {
        std::wstring wide(path.begin(), path.end());
        if (link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)) == S_OK
            && file->Load(wide.c_str(), STGM_READ) == S_OK) {
            link->GetPath(target, MAX_PATH, nullptr, 0);
            link->GetArguments(arguments, MAX_PATH);
        }
        if (file)
            file->Release();
        link->Release();
    }
    CoUninitialize();
    return std::string(target) + " " + arguments;
}

std::string VersionString(const std::vector<char>& info, const std::string& name)
{
    char* text = nullptr;
    UINT size = 0;
    return VerQueryValueA(info.data(), ("\\StringFileInfo\\040904B0\\" + name).c_str(), reinterpret_cast<void**>(&text), &size)
               ? text
               : "";
}

class InstallTest : public ::testing::Test {
protected:
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }

    // A user who never had Driftpad.
    static void Clean()
    {
        CleanProgramKeys();
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, "Driftpad");
        RegDeleteTreeA(HKEY_CURRENT_USER, kUninstallKey);
        RegDeleteKeyA(HKEY_CURRENT_USER, kUninstallKey);
        std::error_code ignored;
        std::filesystem::remove_all(kDefaultDir, ignored);
        std::filesystem::remove(kShortcut, ignored);
        std::filesystem::remove(kNotesFile, ignored);
        std::filesystem::remove_all(RecoveryFolder(), ignored);  // a killed program leaves one for the next start
    }
};

TEST_F(InstallTest, SilentInstallSetsUpEverything)
{
    ASSERT_EQ(Install("/S"), 0u);
    EXPECT_FALSE(WaitUntil([] { return Controller() != nullptr; }, 2000));  // nothing started
    EXPECT_TRUE(FileExists(kExe) && FileExists(kUninstaller));
    EXPECT_FALSE(FileExists(kNotesFile));
    EXPECT_EQ(Preference("FirstStart"), 1u);
    EXPECT_EQ(RunValue(), kRunCommand);
    EXPECT_EQ(Preference("SaveOnShutdown"), 1u);
    EXPECT_EQ(Preference("DblClick"), 0u);
    EXPECT_EQ(Preference("OnDesktop"), 0u);
    EXPECT_EQ(RegString(HKEY_CLASSES_ROOT, "Driftpad\\shell\\open\\command", nullptr), "\"" + kExe + "\" \"%1\"");
    const std::pair<const char*, std::string> entries[] = {
        {"DisplayName", "Driftpad"},
        {"DisplayVersion", DP_VERSION},
        {"Publisher", "Vantry"},
        {"DisplayIcon", "\"" + kExe + "\",0"},
        {"InstallLocation", kDefaultDir},
        {"UninstallString", "\"" + kUninstaller + "\""},
        {"QuietUninstallString", "\"" + kUninstaller + "\" /S"},
    };
    for (const auto& [name, data] : entries)
        EXPECT_EQ(RegString(HKEY_CURRENT_USER, kUninstallKey, name), data) << name;
    for (const char* name : {"NoModify", "NoRepair"})
        EXPECT_EQ(RegDword(HKEY_CURRENT_USER, kUninstallKey, name), 1u) << name;
    EXPECT_GT(RegDword(HKEY_CURRENT_USER, kUninstallKey, "EstimatedSize").value_or(0), 0u);
    EXPECT_STRCASEEQ(ShortcutCommand(kShortcut).c_str(), (kExe + " \"" + kNotesFile + "\"").c_str());

    std::vector<char> info(GetFileVersionInfoSizeA(kExe.c_str(), nullptr));
    ASSERT_TRUE(!info.empty() && GetFileVersionInfoA(kExe.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &size));
    EXPECT_EQ(std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionMS)) + "."
                  + std::to_string(HIWORD(fixed->dwFileVersionLS)),
              DP_VERSION);
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    for (const char* name : {"CompanyName=Vantry", "ProductName=Driftpad", "FileVersion=" DP_VERSION,
                             "ProductVersion=" DP_VERSION, "OriginalFilename=Driftpad.exe", "FileDescription=Driftpad sticky notes"}) {
        const std::string entry = name;
        EXPECT_EQ(VersionString(info, entry.substr(0, entry.find('='))), entry.substr(entry.find('=') + 1));
    }
}

TEST_F(InstallTest, StartedAsAtSignInTheNotesLiveInDocuments)
{
    ASSERT_EQ(Install("/S"), 0u);
    for (size_t notes : {0, 1}) {
        App driftpad;  // as the Run value starts it
        ASSERT_TRUE(driftpad.Start("\"" + kNotesFile + "\"", "", kExe) && driftpad.Controller());
        // The file's notes first, so that New Note (posted, and run once the
        // run's loop does) is not mistaken for one of them; Wine carries out
        // a sent message (the Save below) whenever the program itself waits
        // on another window, even during the start-up load.
        // No text: its change would come after the Save and ask for a recovery copy.
        ASSERT_TRUE(driftpad.WaitNoteCount(notes) && driftpad.NewNote()) << notes;
        EXPECT_EQ(driftpad.Notes().size(), notes + 1);
        ASSERT_TRUE(driftpad.CommandAndWait(ID_SAVE)) << notes << " notes before: Save did not return; "
                                                      << Screenshot("StartedAsAtSignIn");
        // Each note an empty text (one byte) and its record after the 10-byte head.
        EXPECT_EQ(ReadFileBytes(kNotesFile).size(), 10 + (notes + 1) * 33) << notes << " notes before";
    }
}

constexpr UINT kNextPage = WM_USER + 8;  // the installer's own Next, as its pages send it

// The pages as a user goes through them; the finish page offers the start,
// ticked, and the program starts on the notes file and takes the first-start mark.
TEST_F(InstallTest, InteractiveInstallEndsWithDriftpadRunningOnTheNotesFile)
{
    App setup;
    ASSERT_TRUE(setup.Start("", "", kSetup));
    HWND wizard = nullptr, run = nullptr;
    LRESULT onDesktop = -1;
    ASSERT_TRUE(WaitUntil([&] {
        const auto shown = ProcessWindows(setup.Pid(), "#32770", nullptr, true);
        wizard = shown.empty() ? nullptr : shown.front();
        HWND page = wizard ? FindWindowExA(wizard, nullptr, "#32770", nullptr) : nullptr;
        HWND box = page ? FindWindowExA(page, nullptr, "Button", "Keep notes on the desktop") : nullptr;
        if (box && onDesktop == -1) {  // as offered, then ticked
            onDesktop = SendMessageA(box, BM_GETCHECK, 0, 0);
            SendMessageA(box, BM_CLICK, 0, 0);
        }
        run = page ? FindWindowExA(page, nullptr, "Button", "Start Driftpad now") : nullptr;
        if (wizard && !run && IsWindowEnabled(GetDlgItem(wizard, IDOK)))
            PostMessageA(wizard, kNextPage, 1, 0), Sleep(500);  // Next, Install
        return run != nullptr;
    }, 60000)) << Screenshot("InteractiveInstall");
    EXPECT_EQ(SendMessageA(run, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(onDesktop, BST_UNCHECKED);  // the Choices page offers it, unticked
    PostMessageA(wizard, kNextPage, 1, 0);  // Finish
    EXPECT_EQ(setup.WaitExit(30000), 0u);
    HWND controller = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (controller = Controller()) != nullptr; }, 10000));
    DWORD pid = 0;
    GetWindowThreadProcessId(controller, &pid);
    UniqueKernelHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, pid));
    PostMessageA(controller, WM_COMMAND, ID_NEWNOTE, 0);  // carried out once the start-up is over, as below
    EXPECT_TRUE(WaitUntil([&] { return ProcessWindows(pid, "#32770", "", true).size() == 1; }, 10000));
    DWORD_PTR ignored = 0;  // with no file named, Save would ask for one instead
    EXPECT_TRUE(SendMessageTimeoutA(controller, WM_COMMAND, ID_SAVE, 0, SMTO_NORMAL, 10000, &ignored));
    EXPECT_TRUE(FileExists(kNotesFile));
    EXPECT_EQ(Preference("FirstStart"), std::nullopt);
    EXPECT_EQ(Preference("OnDesktop"), 1u);
    TerminateProcess(process.get(), 0);
}

TEST_F(InstallTest, ChoicesOffAndOwnFolder)
{
    const std::string dir = TempDir() + "\\Own Folder";
    ASSERT_EQ(Install("/S /NORUN /NOSAVEONSHUTDOWN /D=" + dir), 0u);
    EXPECT_TRUE(FileExists(dir + "\\Driftpad.exe"));
    EXPECT_EQ(RegString(HKEY_CURRENT_USER, kUninstallKey, "InstallLocation"), dir);
    EXPECT_EQ(RunValue(), std::nullopt);
    EXPECT_EQ(Preference("SaveOnShutdown"), 0u);
}

// The user's preferences (as Options writes them) and Run choice survive an upgrade.
TEST_F(InstallTest, UpgradeKeepsTheUsersChoices)
{
    const struct {
        const char* first;
        DWORD saveOnShutdown, dblClick;
        bool run;
        DWORD onDesktop;
    } cases[] = {
        {"/S /NORUN /ONDESKTOP", 0, 1, false, 0},
        {"/S /NOSAVEONSHUTDOWN", 1, 0, true, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        Clean();
        ASSERT_EQ(Install(c.first), 0u);
        EXPECT_EQ(Preference("OnDesktop"), 1 - c.onDesktop);  // the switch, or unticked
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kPreferencesKey, "FirstStart");  // as the first start does
        SetRegDword(HKEY_CURRENT_USER, kPreferencesKey, "SaveOnShutdown", c.saveOnShutdown);
        SetRegDword(HKEY_CURRENT_USER, kPreferencesKey, "DblClick", c.dblClick);
        SetRegDword(HKEY_CURRENT_USER, kPreferencesKey, "OnDesktop", c.onDesktop);
        ASSERT_EQ(Install("/S"), 0u);
        EXPECT_EQ(Preference("SaveOnShutdown"), c.saveOnShutdown);
        EXPECT_EQ(Preference("DblClick"), c.dblClick);
        EXPECT_EQ(Preference("OnDesktop"), c.onDesktop);
        EXPECT_EQ(RunValue().has_value(), c.run);
        EXPECT_EQ(Preference("FirstStart"), std::nullopt);
    }
}

// A running Driftpad, and one still starting (only its single-instance mutex yet).
TEST_F(InstallTest, RefusedWhileDriftpadRuns)
{
    ASSERT_EQ(Install("/S"), 0u);
    SetRegDword(HKEY_CURRENT_USER, kPreferencesKey, "DblClick", 1);
    WIN32_FILE_ATTRIBUTE_DATA before = {}, after = {};  // an install writes the uninstaller anew
    GetFileAttributesExA(kUninstaller.c_str(), GetFileExInfoStandard, &before);
    for (bool started : {true, false}) {
        SCOPED_TRACE(started);
        App driftpad;
        UniqueKernelHandle mutex;
        if (started) {
            ASSERT_TRUE(driftpad.Start("", "", kExe) && driftpad.Controller());
        } else {
            mutex.reset(CreateMutexA(nullptr, FALSE, "_DriftpadMutex_"));
        }
        EXPECT_EQ(Install("/S /NORUN /NOSAVEONSHUTDOWN"), 2u);
        // Run in place (_?=) the uninstaller waits and reports; run plainly it
        // hands over to a copy of itself and returns at once.
        EXPECT_EQ(Execute(kUninstaller, "/S _?=" + kDefaultDir), 2u);
        GetFileAttributesExA(kUninstaller.c_str(), GetFileExInfoStandard, &after);
        EXPECT_EQ(0, CompareFileTime(&before.ftLastWriteTime, &after.ftLastWriteTime));
        EXPECT_TRUE(FileExists(kExe) && FileExists(kShortcut));
        EXPECT_EQ(RunValue(), kRunCommand);
        EXPECT_EQ(Preference("SaveOnShutdown"), 1u);
        EXPECT_EQ(Preference("DblClick"), 1u);
        EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, kUninstallKey));
    }
}

TEST_F(InstallTest, SilentUninstallLeavesOnlyTheNotes)
{
    WriteFileBytes(kNotesFile, "notes");
    for (bool ownNotes : {false, true}) {  // a notes file saved into the install folder keeps it
        SCOPED_TRACE(ownNotes);
        ASSERT_EQ(Install("/S"), 0u);
        if (ownNotes)
            WriteFileBytes(kDefaultDir + "\\Mine.dpd", "mine");
        ASSERT_EQ(Execute(kUninstaller, "/S"), 0u);  // as QuietUninstallString says
        // The work goes on in the uninstaller's copy; its last step is the folder.
        EXPECT_TRUE(WaitUntil([&] { return !FileExists(kUninstaller) && FileExists(kDefaultDir) == ownNotes; }, 30000));
        EXPECT_FALSE(FileExists(kExe) || FileExists(kShortcut));
        EXPECT_EQ(RunValue(), std::nullopt);
        for (const char* key : {".dpd", "Driftpad"})
            EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, key)) << key;
        for (const char* key : {"AppEvents\\EventLabels\\DP Alarm", "AppEvents\\Schemes\\Apps\\Driftpad", "Software\\Vantry"})
            EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, key)) << key;
        EXPECT_EQ(ReadFileBytes(kNotesFile), "notes");
        EXPECT_EQ(ReadFileBytes(kDefaultDir + "\\Mine.dpd"), ownNotes ? "mine" : "");
    }
}

}  // namespace
