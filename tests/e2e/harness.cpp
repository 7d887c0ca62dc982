#include "tests/e2e/harness.h"

#include "tests/e2e/menu_probe_shared.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace e2e {

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        Sleep(20);
    }
}

void Sleep(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

std::string WindowText(HWND hWnd)
{
    char text[1024] = {};
    DWORD_PTR got = 0;
    SendMessageTimeoutA(hWnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &got);
    return text;
}

std::string ClassName(HWND hWnd)
{
    char name[256] = {};
    GetClassNameA(hWnd, name, sizeof name);
    return name;
}

std::string DialogItemText(HWND hDlg, int id)
{
    return WindowText(GetDlgItem(hDlg, id));
}

RECT WindowRect(HWND hWnd)
{
    RECT r = {};
    GetWindowRect(hWnd, &r);
    return r;
}

RECT WorkArea()
{
    RECT r = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
    return r;
}

std::string ExeDir()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir = path;
    return dir.substr(0, dir.find_last_of('\\'));
}

std::string DriftpadPath()
{
    return ExeDir() + "\\Driftpad.exe";
}

// --- the program ---------------------------------------------------------

App::~App()
{
    Kill();
}

bool App::Start(const std::string& arguments, const std::string& directory)
{
    std::string commandLine = "\"" + DriftpadPath() + "\"";
    if (!arguments.empty())
        commandLine += " " + arguments;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        directory.empty() ? nullptr : directory.c_str(), &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    m_process = pi.hProcess;
    m_pid = pi.dwProcessId;
    m_controller = nullptr;
    return true;
}

bool App::StartWithEnvironment(const std::string& arguments, const std::vector<std::string>& environment,
                               const std::string& stderrPath)
{
    // Wine hands a program that a Windows process starts the Unix standard
    // error of the Wine server, whatever the startup information says; a
    // shell that starts Wine itself can send it to the file.
    using SpawnFn = LONG(CDECL*)(char* const argv[], int wait);
    using UnixNameFn = char*(CDECL*)(LPCWSTR);
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
    auto spawn = reinterpret_cast<SpawnFn>(reinterpret_cast<void*>(GetProcAddress(ntdll, "__wine_unix_spawnvp")));
    auto unixName = reinterpret_cast<UnixNameFn>(
        reinterpret_cast<void*>(GetProcAddress(kernel32, "wine_get_unix_file_name")));
    char loader[MAX_PATH] = {};
    if (!spawn || !unixName || !GetEnvironmentVariableA("WINELOADER", loader, MAX_PATH))
        return false;
    auto unixPath = [&](const std::string& path) {
        std::wstring wide(path.begin(), path.end());
        char* name = unixName(wide.c_str());
        std::string result = name ? name : "";
        HeapFree(GetProcessHeap(), 0, name);
        return result;
    };
    auto quoted = [](const std::string& word) {
        std::string out = "'";
        for (char c : word)
            out += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return out + "'";
    };
    WriteFileBytes(stderrPath, "");
    std::string script;
    for (const auto& variable : environment)
        script += "export " + quoted(variable) + "; ";
    script += "exec " + quoted(loader) + " " + quoted(unixPath(DriftpadPath()));
    if (!arguments.empty())
        script += " " + arguments;
    script += " 2>>" + quoted(unixPath(stderrPath)) + " </dev/null >/dev/null";
    std::string words[] = {"/bin/sh", "-c", script};
    char* argv[] = {&words[0][0], &words[1][0], &words[2][0], nullptr};
    // The fixture ended every other instance: the controller that appears is the new one's.
    if (spawn(argv, 0) < 0 || !WaitUntil([&] { return FindWindowA("#32770", "Driftpad: Options") != nullptr; }))
        return false;
    m_controller = FindWindowA("#32770", "Driftpad: Options");
    GetWindowThreadProcessId(m_controller, &m_pid);
    m_process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, m_pid);
    return m_process != nullptr;
}

HWND App::Controller(int timeoutMs)
{
    if (m_controller && IsWindow(m_controller))
        return m_controller;
    WaitUntil([&] {
        auto found = ProcessWindows(m_pid, "#32770", "Driftpad: Options");
        m_controller = found.empty() ? nullptr : found.front();
        return m_controller != nullptr;
    }, timeoutMs);
    return m_controller;
}

std::optional<DWORD> App::WaitExit(int timeoutMs)
{
    if (!m_process || WaitForSingleObject(m_process, timeoutMs) != WAIT_OBJECT_0)
        return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(m_process, &code);
    return code;
}

bool App::Running() const
{
    return m_process && WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT;
}

void App::Kill()
{
    if (!m_process)
        return;
    if (Running()) {
        TerminateProcess(m_process, 99);
        WaitForSingleObject(m_process, 5000);
    }
    CloseHandle(m_process);
    m_process = nullptr;
}

std::vector<HWND> App::Notes(bool visibleOnly)
{
    HWND controller = Controller(0);
    std::vector<HWND> notes;
    for (HWND w : ProcessWindows(m_pid, "#32770")) {
        if (controller && GetWindow(w, GW_OWNER) == controller && WindowText(w).empty()
            && (!visibleOnly || IsWindowVisible(w)))
            notes.push_back(w);
    }
    return notes;
}

bool App::WaitNoteCount(size_t n, bool visibleOnly, int timeoutMs)
{
    return WaitUntil([&] { return Notes(visibleOnly).size() == n; }, timeoutMs);
}

void App::Tray(UINT mouseMessage)
{
    PostMessageA(Controller(), 0x0401, 0, mouseMessage);
}

void App::Command(WORD id)
{
    PostMessageA(Controller(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

bool App::CommandAndWait(WORD id, int timeoutMs)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(Controller(), WM_COMMAND, MAKEWPARAM(id, 0), 0, SMTO_NORMAL,
                               static_cast<UINT>(timeoutMs), &result) != 0;
}

HWND App::WaitDialog(const char* caption, int timeoutMs)
{
    HWND found = nullptr;
    WaitUntil([&] {
        auto all = ProcessWindows(m_pid, "#32770", caption, true);
        found = all.empty() ? nullptr : all.front();
        return found != nullptr;
    }, timeoutMs);
    return found;
}

bool App::NoDialog(const char* caption, int withinMs)
{
    return !WaitDialog(caption, withinMs);
}

namespace {

struct WindowSearch {
    DWORD pid;
    const char* className;
    const char* title;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND w, LPARAM p)
{
    auto* s = reinterpret_cast<WindowSearch*>(p);
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner != s->pid || (s->visibleOnly && !IsWindowVisible(w)))
        return TRUE;
    if (s->className && ClassName(w) != s->className)
        return TRUE;
    if (s->title && WindowText(w) != s->title)
        return TRUE;
    s->found.push_back(w);
    return TRUE;
}

}  // namespace

namespace {

struct ChildSearch {
    const char* className;
    HWND found;
};

BOOL CALLBACK MatchChild(HWND w, LPARAM p)
{
    auto* s = reinterpret_cast<ChildSearch*>(p);
    if (ClassName(w) != s->className)
        return TRUE;
    s->found = w;
    return FALSE;
}

}  // namespace

HWND FindDescendant(HWND parent, const char* className)
{
    ChildSearch search{className, nullptr};
    EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<HWND> ProcessWindows(DWORD pid, const char* className, const char* title, bool visibleOnly)
{
    WindowSearch search{pid, className, title, visibleOnly, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string MessageBoxText(HWND box)
{
    return DialogItemText(box, 0xFFFF);
}

void PressButton(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

HWND WaitPopupMenu(int timeoutMs)
{
    HWND menu = nullptr;
    WaitUntil([&] {
        menu = FindWindowA("#32768", nullptr);
        return menu && IsWindowVisible(menu);
    }, timeoutMs);
    return menu && IsWindowVisible(menu) ? menu : nullptr;
}

bool WaitNoPopupMenu(int timeoutMs)
{
    return WaitUntil([] {
        HWND menu = FindWindowA("#32768", nullptr);
        return !menu || !IsWindowVisible(menu);
    }, timeoutMs);
}

void ChooseMenuItemByKeys(HWND menu, int downPresses)
{
    for (int i = 0; i <= downPresses; ++i) {
        PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
        Sleep(30);
    }
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
}

// --- the X pointer ------------------------------------------------------------

bool Xdotool(const std::vector<std::string>& arguments)
{
    // Wine's own way to start a Linux program and get its real exit status;
    // CreateProcess starts it too but reports a wrong status.
    using SpawnFn = LONG(CDECL*)(char* const argv[], int wait);
    static auto spawn = reinterpret_cast<SpawnFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "__wine_unix_spawnvp")));
    if (!spawn)
        return false;
    std::vector<std::string> words = {"xdotool"};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& w : words)
        argv.push_back(&w[0]);
    argv.push_back(nullptr);
    return spawn(argv.data(), 1) == 0;
}

void MovePointer(int x, int y)
{
    // --sync waits long when the pointer is already there: poll instead.
    Xdotool({"mousemove", std::to_string(x), std::to_string(y)});
    WaitUntil([&] {
        POINT p = {};
        GetCursorPos(&p);
        return p.x == x && p.y == y;
    }, 2000);
}

// --- the registry ---------------------------------------------------------

void CleanProgramKeys()
{
    const struct { HKEY root; const char* key; } keys[] = {
        {HKEY_CLASSES_ROOT, ".dpd"},
        {HKEY_CLASSES_ROOT, "Driftpad"},
        {HKEY_CURRENT_USER, "Software\\Classes\\.dpd"},
        {HKEY_CURRENT_USER, "Software\\Classes\\Driftpad"},
        {HKEY_CURRENT_USER, "AppEvents\\EventLabels\\DP Alarm"},
        {HKEY_CURRENT_USER, "AppEvents\\Schemes\\Apps\\Driftpad"},
        {HKEY_CURRENT_USER, "Software\\Vantry"},
    };
    for (const auto& k : keys) {
        RegDeleteTreeA(k.root, k.key);
        RegDeleteKeyA(k.root, k.key);
    }
}

std::optional<std::string> RegString(HKEY root, const char* key, const char* value)
{
    char data[2048] = {};
    DWORD size = sizeof data;
    DWORD type = 0;
    if (RegGetValueA(root, key, value, RRF_RT_ANY, &type, data, &size) != ERROR_SUCCESS || type != REG_SZ)
        return std::nullopt;
    return std::string(data);
}

std::optional<DWORD> RegDword(HKEY root, const char* key, const char* value)
{
    DWORD data = 0;
    DWORD size = sizeof data;
    if (RegGetValueA(root, key, value, RRF_RT_REG_DWORD, nullptr, &data, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return data;
}

bool RegKeyExists(HKEY root, const char* key)
{
    HKEY h = nullptr;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &h) != ERROR_SUCCESS)
        return false;
    RegCloseKey(h);
    return true;
}

void SetRegDword(HKEY root, const char* key, const char* value, DWORD data)
{
    RegSetKeyValueA(root, key, value, REG_DWORD, &data, sizeof data);
}

void SetRegString(HKEY root, const char* key, const char* value, const std::string& data)
{
    RegSetKeyValueA(root, key, value, REG_SZ, data.c_str(), static_cast<DWORD>(data.size() + 1));
}

// --- files ------------------------------------------------------------------

std::string TempDir()
{
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    // Wine reuses process ids between test processes: a name is only ours
    // once the folder is created anew.
    static unsigned counter = GetTickCount();
    for (;;) {
        std::string dir = std::string(base) + "dp-e2e-" + std::to_string(GetCurrentProcessId()) + "-"
                          + std::to_string(++counter);
        if (CreateDirectoryA(dir.c_str(), nullptr) || GetLastError() != ERROR_ALREADY_EXISTS)
            return dir;
    }
}

std::string ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// --- the menu probe -----------------------------------------------------------

namespace {

MenuProbeShared* ProbeView()
{
    static MenuProbeShared* view = [] {
        HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                            sizeof(MenuProbeShared), kMenuProbeMapping);
        return mapping ? static_cast<MenuProbeShared*>(
                             MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(MenuProbeShared)))
                       : nullptr;
    }();
    return view;
}

}  // namespace

unsigned MenuProbeSequence()
{
    const MenuProbeShared* view = ProbeView();
    return view ? static_cast<unsigned>(view->sequence) : 0;
}

bool InjectMenuProbe(const App& app)
{
    if (!ProbeView())
        return false;
    ProbeView()->ready = 0;
    std::string dll = ExeDir() + "\\menu_probe.dll";
    HANDLE process = app.Process();
    void* remote = VirtualAllocEx(process, nullptr, dll.size() + 1, MEM_COMMIT, PAGE_READWRITE);
    if (!remote || !WriteProcessMemory(process, remote, dll.c_str(), dll.size() + 1, nullptr))
        return false;
    auto loadLibrary = reinterpret_cast<LPTHREAD_START_ROUTINE>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "LoadLibraryA")));
    HANDLE thread = CreateRemoteThread(process, nullptr, 0, loadLibrary, remote, 0, nullptr);
    if (!thread)
        return false;
    WaitForSingleObject(thread, 5000);
    DWORD loaded = 0;
    GetExitCodeThread(thread, &loaded);
    CloseHandle(thread);
    // The probe says it is ready once its hook is in place.
    return loaded != 0 && WaitUntil([] { return ProbeView()->ready != 0; }, 3000);
}

bool DropFilesOnController(const std::vector<std::string>& paths)
{
    MenuProbeShared* view = ProbeView();
    if (!view || !view->ready)
        return false;
    std::string list;
    for (const auto& p : paths)
        list += p + '\0';
    list += '\0';
    if (list.size() > sizeof view->dropPaths)
        return false;
    CopyMemory(view->dropPaths, list.data(), list.size());
    InterlockedExchange(&view->dropRequest, 1);
    return true;
}

std::optional<std::vector<MenuItemState>> WaitMenuProbe(unsigned since, int timeoutMs)
{
    MenuProbeShared* view = ProbeView();
    if (!view || !WaitUntil([&] { return static_cast<unsigned>(view->sequence) > since; }, timeoutMs))
        return std::nullopt;
    std::vector<MenuItemState> items;
    for (LONG i = 0; i < view->count && i < kMenuProbeMaxItems; ++i) {
        const auto& it = view->items[i];
        items.push_back({it.id, it.text, (it.type & MFT_SEPARATOR) != 0, (it.state & MFS_GRAYED) != 0,
                         (it.state & MFS_CHECKED) != 0, it.popup != 0});
    }
    return items;
}

// --- the fixture --------------------------------------------------------------

// A killed program leaves its recovery copy, which the next start would offer.
static void RemoveRecoveryFolder()
{
    char local[MAX_PATH] = {};
    if (GetEnvironmentVariableA("LOCALAPPDATA", local, MAX_PATH)) {
        std::error_code ignored;
        std::filesystem::remove_all(std::string(local) + "\\Vantry\\Driftpad", ignored);
    }
}

void DriftpadTest::SetUp()
{
    // A program left over from an earlier test would hold the single-instance mutex.
    for (HWND w = FindWindowA("#32770", "Driftpad: Options"); w; w = FindWindowA("#32770", "Driftpad: Options")) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        HANDLE h = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
        if (!h)
            break;
        TerminateProcess(h, 99);
        WaitForSingleObject(h, 5000);
        CloseHandle(h);
    }
    CleanProgramKeys();
    RemoveRecoveryFolder();
    dir = TempDir();
}

void DriftpadTest::TearDown()
{
    if (HasFailure()) {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string shot = std::string("/tmp/driftpad-e2e-") + info->test_suite_name() + "." + info->name() + ".png";
        using SpawnFn = LONG(CDECL*)(char* const argv[], int wait);
        auto spawn = reinterpret_cast<SpawnFn>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "__wine_unix_spawnvp")));
        if (spawn) {
            std::string words[] = {"import", "-window", "root", shot};
            char* argv[] = {&words[0][0], &words[1][0], &words[2][0], &words[3][0], nullptr};
            spawn(argv, 1);
            std::printf("screenshot: %s\n", shot.c_str());
        }
    }
    app.Kill();
    CleanProgramKeys();
    RemoveRecoveryFolder();
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
}

HWND DriftpadTest::StartApp(const std::string& arguments)
{
    EXPECT_TRUE(app.Start(arguments));
    HWND controller = app.Controller();
    EXPECT_NE(nullptr, controller);
    // Start-up done: the command-line file is loaded and the loop waits for input.
    WaitForInputIdle(app.Process(), 5000);
    return controller;
}

// --- GUI object counts --------------------------------------------------------

namespace {

// One slot of the GDI handle table that Wine keeps in every process's PEB,
// laid out alike for 32- and 64-bit processes; a used slot has a type.
struct GdiHandleEntry {
    UINT64 object;
    ULONG owner;
    USHORT unique;
    UCHAR type;
    UCHAR flags;
    UINT64 user;
};
constexpr size_t kGdiHandleCount = 0x10000;

BOOL CALLBACK CountWindow(HWND, LPARAM count)
{
    ++*reinterpret_cast<long*>(count);
    return TRUE;
}

}  // namespace

long CountGdiObjects(HANDLE process)
{
    using QueryFn = LONG(NTAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    auto query = reinterpret_cast<QueryFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
    struct {
        void* reserved1;
        void* pebBaseAddress;
        void* reserved2[2];
        ULONG_PTR uniqueProcessId;
        void* reserved3;
    } basic = {};
    ULONG length = 0;
    if (!query || query(process, 0 /* ProcessBasicInformation */, &basic, sizeof basic, &length) != 0)
        return -1;
    const size_t tableField = sizeof(void*) == 8 ? 0xF8 : 0x94;  // PEB.GdiSharedHandleTable
    void* table = nullptr;
    if (!ReadProcessMemory(process, static_cast<char*>(basic.pebBaseAddress) + tableField, &table, sizeof table,
                           nullptr) || !table)
        return -1;
    std::vector<GdiHandleEntry> entries(kGdiHandleCount);
    if (!ReadProcessMemory(process, table, entries.data(), entries.size() * sizeof(GdiHandleEntry), nullptr))
        return -1;
    return static_cast<long>(std::count_if(entries.begin(), entries.end(),
                                           [](const GdiHandleEntry& e) { return e.type != 0; }));
}

GuiObjectCounts CountGuiObjects(const App& app)
{
    GuiObjectCounts counts;
    counts.gdi = CountGdiObjects(app.Process());
    // The menus, counted by the probe inside the program; then its windows.
    MenuProbeShared* view = ProbeView();
    if (!view || !view->ready)
        return counts;
    InterlockedExchange(&view->menuCount, -1);
    InterlockedExchange(&view->countRequest, 1);
    if (!WaitUntil([&] { return view->menuCount >= 0; }, 10000))
        return counts;
    counts.user = view->menuCount;
    for (HWND w : ProcessWindows(app.Pid(), nullptr)) {
        ++counts.user;
        EnumChildWindows(w, CountWindow, reinterpret_cast<LPARAM>(&counts.user));
    }
    return counts;
}

}  // namespace e2e
