#include "driver/driver.h"

#include <algorithm>


namespace driver {

constexpr const char* kControllerTitle = "Driftpad: Options";

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

App::~App()
{
    Kill();
}

bool App::Start(const std::string& arguments, const std::string& directory, const std::string& exe)
{
    std::string commandLine = "\"" + (exe.empty() ? DriftpadPath() : exe) + "\"";
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
    char loader[MAX_PATH] = {};
    if (!GetEnvironmentVariableA("WINELOADER", loader, MAX_PATH))
        return false;
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
    script += "exec " + quoted(loader) + " " + quoted(UnixPath(DriftpadPath()));
    if (!arguments.empty())
        script += " " + arguments;
    script += " 2>>" + quoted(UnixPath(stderrPath)) + " </dev/null >/dev/null";
    // The fixture ended every other instance: the controller that appears is the new one's.
    if (UnixSpawn({"/bin/sh", "-c", script}, false) < 0
        || !WaitUntil([&] { return (m_controller = FindWindowA("#32770", kControllerTitle)) != nullptr; }))
        return false;
    GetWindowThreadProcessId(m_controller, &m_pid);
    m_process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, m_pid);
    return m_process != nullptr;
}

HWND App::Controller(int timeoutMs)
{
    if (m_controller && IsWindow(m_controller))
        return m_controller;
    WaitUntil([&] {
        auto found = ProcessWindows(m_pid, "#32770", kControllerTitle);
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
    for (HWND w : ProcessWindows(m_pid, "#32770", "", visibleOnly))
        if (controller && GetWindow(w, GW_OWNER) == controller)
            notes.push_back(w);
    return notes;
}

bool App::WaitNoteCount(size_t n, bool visibleOnly, int timeoutMs)
{
    return WaitUntil([&] { return Notes(visibleOnly).size() == n; }, timeoutMs);
}

HWND App::NewNote(const std::string& text, const POINT* at)
{
    auto before = Notes();
    if (at)
        MovePointer(at->x, at->y);
    Command(ID_NEWNOTE);
    HWND created = nullptr;
    WaitUntil([&] {
        for (HWND w : Notes(true))
            if (std::find(before.begin(), before.end(), w) == before.end())
                created = w;
        return created != nullptr;
    });
    if (created && !text.empty())
        SetItemText(created, IDC_NOTEEDIT, text);
    return created;
}

void App::Command(WORD id)
{
    PostMessageA(Controller(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

bool App::SendAndWait(UINT message, WPARAM wParam, LPARAM lParam, int timeoutMs)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(Controller(), message, wParam, lParam, SMTO_NORMAL, static_cast<UINT>(timeoutMs),
                               &result) != 0;
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

std::string App::Answer(const char* caption, int button)
{
    HWND box = WaitDialog(caption);
    if (!box)
        return "(none)";
    std::string text = MessageBoxText(box);
    PressButton(box, button);
    WaitUntil([&] { return !IsWindow(box); });
    return text;
}

}  // namespace driver
