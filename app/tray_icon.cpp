#include "app/tray_icon.h"

#include "app/messages.h"
#include "base/handle.h"
#include "resources/resource.h"

namespace {

const UINT kTrayIconId = IDI_DRIFTPAD;

BOOL ShellNotify(DWORD nMessage, NOTIFYICONDATAA* pData)
{
    return Shell_NotifyIconA(nMessage, pData);
}

CTrayIcon::ShellNotifyFn g_pfnShellNotify = ShellNotify;

// The first, 88-byte form of the structure on 32-bit Windows: every shell
// since the first tray takes it.
NOTIFYICONDATAA TrayIconData(HWND hWnd)
{
    NOTIFYICONDATAA nid = {};
    nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
    nid.hWnd = hWnd;
    nid.uID = kTrayIconId;
    return nid;
}

#ifndef _WIN64
static_assert(NOTIFYICONDATAA_V1_SIZE == 88, "the tray icon structure must be the 88-byte form");
#endif

}  // namespace

void CTrayIcon::SetShellNotify(ShellNotifyFn pfnNotify)
{
    g_pfnShellNotify = pfnNotify ? pfnNotify : ShellNotify;
}

// The shell sends this when it (re)starts; the icon must then be added again.
CTrayIcon::CTrayIcon() : m_nTaskbarCreated(RegisterWindowMessageA("TaskbarCreated")) {}

bool CTrayIcon::Add(HWND hWndOwner)
{
    m_hWndOwner = hWndOwner;
    NOTIFYICONDATAA nid = TrayIconData(hWndOwner);
    nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    nid.uCallbackMessage = WM_TRAYICON;
    // The small image drawn for this size (16 to 24 pixels with the scaling),
    // not the large one shrunk; shared, so nothing to free.
    nid.hIcon = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_DRIFTPAD), IMAGE_ICON,
                                              GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    lstrcpynA(nid.szTip, "Driftpad", 12);  // a tip keeps at most 11 characters
    return g_pfnShellNotify(NIM_ADD, &nid) != FALSE;
}

void CTrayIcon::Remove()
{
    NOTIFYICONDATAA nid = TrayIconData(m_hWndOwner);
    g_pfnShellNotify(NIM_DELETE, &nid);
}

bool CTrayIcon::ShowBalloon(const char* title, const std::string& text)
{
    // The balloon's fields exist only in the full structure.
    NOTIFYICONDATAA nid = {};
    nid.cbSize = sizeof nid;
    nid.hWnd = m_hWndOwner;
    nid.uID = kTrayIconId;
    nid.uFlags = NIF_INFO;
    nid.dwInfoFlags = NIIF_INFO;
    lstrcpynA(nid.szInfoTitle, title, sizeof nid.szInfoTitle);
    lstrcpynA(nid.szInfo, text.c_str(), sizeof nid.szInfo);
    return g_pfnShellNotify(NIM_MODIFY, &nid) != FALSE;
}

void CTrayIcon::ShowMenu()
{
    RECT work = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    UniqueMenu menu(LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_TRAYMENU)));
    if (!menu)
        return;
    // Without the foreground the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(m_hWndOwner);
    TrackPopupMenu(GetSubMenu(menu.get(), 0), TPM_RIGHTALIGN, work.right, work.bottom - 170, 0, m_hWndOwner,
                   nullptr);
    PostMessageA(m_hWndOwner, WM_NULL, 0, 0);
}
