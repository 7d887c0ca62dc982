// The floor of what Driftpad.exe does for a user, in plain Win32: the hidden
// dialog from template 104 with the same tray icon; with a notes file named,
// each note a plain dialog from template 110 at its place with its text, all
// on one yellow brush; Save (the tray command) collects the texts and places,
// writes a temporary file, flushes it and puts it in the file's place.
#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/messages.h"
#include "resources/resource.h"

namespace {

HWND g_controller;
HBRUSH g_yellow;
std::string g_path;
std::vector<HWND> g_notes;

uint32_t Get(const std::string& b, size_t& at, int bytes)
{
    uint32_t v = 0;
    for (int i = 0; i < bytes && at < b.size(); ++i)
        v |= uint32_t(uint8_t(b[at++])) << (8 * i);
    return v;
}

void Put(std::string& out, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += char((v >> (8 * i)) & 0xFF);
}

INT_PTR CALLBACK NoteProc(HWND, UINT msg, WPARAM, LPARAM)
{
    if (msg == WM_CTLCOLORDLG || msg == WM_CTLCOLOREDIT)
        return reinterpret_cast<INT_PTR>(g_yellow);
    return msg == WM_INITDIALOG;
}

void Open(HINSTANCE instance)
{
    HANDLE file = CreateFileA(g_path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    std::string b(GetFileSize(file, nullptr), '\0');
    DWORD got = 0;
    ReadFile(file, &b[0], DWORD(b.size()), &got, nullptr);
    CloseHandle(file);
    size_t at = 8;
    for (uint32_t n = Get(b, at, 2); n > 0 && at < b.size(); --n) {
        uint32_t length = Get(b, at, 1);
        if (length == 0xFF)
            length = Get(b, at, 2);
        std::string text = b.substr(at, length);
        at += length;
        int32_t r[8];
        for (int32_t& v : r)
            v = int32_t(Get(b, at, 4));
        HWND note = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_NOTE), g_controller, NoteProc, 0);
        SetDlgItemTextA(note, IDC_NOTEEDIT, text.c_str());
        SetWindowPos(note, nullptr, r[0], r[1], 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        g_notes.push_back(note);
    }
}

void Save()
{
    std::string out;
    Put(out, 0, 4);
    Put(out, 0, 4);
    Put(out, uint32_t(g_notes.size()), 2);
    char text[512];
    for (HWND note : g_notes) {
        int length = GetDlgItemTextA(note, IDC_NOTEEDIT, text, sizeof text);
        if (length < 0xFF) {
            Put(out, uint32_t(length), 1);
        } else {
            Put(out, 0xFF, 1);
            Put(out, uint32_t(length), 2);
        }
        out.append(text, size_t(length));
        RECT r;
        GetWindowRect(note, &r);
        for (LONG v : {r.left, r.top, r.right, r.bottom, 0L, 0L, 0L, 0L})
            Put(out, uint32_t(v), 4);
    }
    const std::string temp = g_path + ".tmp";
    HANDLE file = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD wrote = 0;
    WriteFile(file, out.data(), DWORD(out.size()), &wrote, nullptr);
    FlushFileBuffers(file);
    CloseHandle(file);
    if (!ReplaceFileA(g_path.c_str(), temp.c_str(), nullptr, 0, nullptr, nullptr))
        MoveFileExA(temp.c_str(), g_path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

INT_PTR CALLBACK ControllerProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM)
{
    if (msg == WM_INITDIALOG)
        return TRUE;
    if (msg == WM_COMMAND && LOWORD(wParam) == ID_SAVE) {
        Save();
        return TRUE;
    }
    if (msg == WM_COMMAND && LOWORD(wParam) == ID_QUIT) {
        NOTIFYICONDATAA nid = {};
        nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
        nid.hWnd = hWnd;
        nid.uID = IDI_DRIFTPAD;
        Shell_NotifyIconA(NIM_DELETE, &nid);
        PostQuitMessage(0);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    g_yellow = CreateSolidBrush(RGB(255, 255, 0));
    g_controller = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_OPTIONS), nullptr, ControllerProc, 0);
    ShowWindow(g_controller, SW_HIDE);
    NOTIFYICONDATAA nid = {};
    nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
    nid.hWnd = g_controller;
    nid.uID = IDI_DRIFTPAD;
    nid.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
    nid.uCallbackMessage = WM_TRAYICON;
    nid.hIcon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_DRIFTPAD), IMAGE_ICON, 16, 16, 0));
    lstrcpyA(nid.szTip, "Driftpad");
    Shell_NotifyIconA(NIM_ADD, &nid);
    g_path = commandLine;
    if (g_path.size() > 1 && g_path.front() == '"')
        g_path = g_path.substr(1, g_path.find('"', 1) - 1);
    if (!g_path.empty())
        Open(instance);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
