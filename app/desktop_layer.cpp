#include "app/desktop_layer.h"

#include "app/desktop_rules.h"
#include "base/failure_report.h"
#include "base/system_library.h"

#include <algorithm>

namespace {

constexpr UINT_PTR kDesktopTimer = 13;
constexpr UINT kDesktopCheckMs = 250;  // four wake-ups a second at most
constexpr DWORD kExcludedFromPeek = 12, kCloaked = 14;  // DWMWA_EXCLUDED_FROM_PEEK, DWMWA_CLOAKED
constexpr UINT kRestack = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER;

// The hook's callback has no context: the one layer that is on.
CDesktopLayer* g_pWatching = nullptr;

bool HoldsDesktopView(HWND hWnd)
{
    return hWnd && IsWindow(hWnd) && FindWindowExA(hWnd, nullptr, "SHELLDLL_DefView", nullptr);
}

// The window that shows the desktop's icons: a WorkerW where the shell
// moved them there (Show Desktop, a wallpaper slide show), else Progman.
HWND FindDesktop()
{
    HWND hWorker = nullptr;
    while ((hWorker = FindWindowExA(nullptr, hWorker, "WorkerW", nullptr)))
        if (HoldsDesktopView(hWorker))
            return hWorker;
    HWND hProgman = FindWindowA("Progman", nullptr);
    return HoldsDesktopView(hProgman) ? hProgman : nullptr;
}

struct StackScan {
    HWND hMarker, hDesktop;
    const std::vector<HWND>* pNotes;
    std::function<bool(HWND)> cloaked;
    std::vector<HWND> windows;
    std::vector<Stacked> order;
};

BOOL CALLBACK AddToOrder(HWND hWnd, LPARAM lParam)
{
    auto& scan = *reinterpret_cast<StackScan*>(lParam);
    const bool bTopmost = (GetWindowLongA(hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    Stacked kind;
    if (hWnd == scan.hMarker)
        kind = Stacked::marker;
    else if (hWnd == scan.hDesktop)
        kind = Stacked::desktop;
    else if (std::find(scan.pNotes->begin(), scan.pNotes->end(), hWnd) != scan.pNotes->end())
        kind = bTopmost ? Stacked::topmost : Stacked::note;  // hidden by the shell or not: it should be on screen
    else if (!IsWindowVisible(hWnd) || scan.cloaked(hWnd))  // cloaked: visible to Windows, not to the user
        return TRUE;
    else
        kind = bTopmost ? Stacked::topmost : Stacked::window;
    scan.windows.push_back(hWnd);
    scan.order.push_back(kind);
    return TRUE;
}

struct AboveScan {
    HWND hDesktop, hMarker, hFirst = nullptr;
};

BOOL CALLBACK FindFirst(HWND hWnd, LPARAM lParam)
{
    auto& scan = *reinterpret_cast<AboveScan*>(lParam);
    if (hWnd != scan.hDesktop && hWnd != scan.hMarker)
        return TRUE;
    scan.hFirst = hWnd;
    return FALSE;
}

}  // namespace

void CDesktopLayer::SetWindows(HWND hWndTimer, NoteWindows notes)
{
    m_hWndTimer = hWndTimer;
    m_notes = std::move(notes);
}

void CDesktopLayer::Enable(bool bOn)
{
    if (bOn == IsOn())
        return;
    if (!bOn) {
        ExcludeFromPeek(m_notes(), FALSE);
        Stop();
        return;
    }
    m_dwmapi.reset(LoadSystemLibrary("dwmapi.dll"));
    if (m_dwmapi) {
        m_pfnSetAttribute = reinterpret_cast<DwmAttributeFn>(
            reinterpret_cast<void*>(GetProcAddress(m_dwmapi.get(), "DwmSetWindowAttribute")));
        m_pfnGetAttribute = reinterpret_cast<DwmAttributeFn>(
            reinterpret_cast<void*>(GetProcAddress(m_dwmapi.get(), "DwmGetWindowAttribute")));
    }
    // Hidden, never activated, with no taskbar button: it only marks a place.
    m_marker.reset(CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, "Static", "Driftpad desktop marker",
                                   WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
    if (!m_marker)
        return;
    g_pWatching = this;
    m_hook.reset(SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr, OnForeground, 0, 0,
                                 WINEVENT_OUTOFCONTEXT));
    SetTimer(m_hWndTimer, kDesktopTimer, kDesktopCheckMs, nullptr);
    m_hDesktop = FindDesktop();
    Judge();
}

void CDesktopLayer::Stop()
{
    if (m_hWndTimer)
        KillTimer(m_hWndTimer, kDesktopTimer);
    m_hook.reset();
    if (g_pWatching == this)
        g_pWatching = nullptr;
    m_marker.reset();
    m_pfnSetAttribute = m_pfnGetAttribute = nullptr;
    m_dwmapi.reset();
}

void CALLBACK CDesktopLayer::OnForeground(HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD, DWORD)
{
    // Called from the system's event dispatch: nothing may unwind through it.
    try {
        if (g_pWatching)
            g_pWatching->Judge();
    } catch (...) {
        ReportCaughtFailure(g_pWatching ? g_pWatching->m_hWndTimer : nullptr);
    }
}

bool CDesktopLayer::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kDesktopTimer)
        return false;
    // Cheap: a full look only when the foreground, the desktop's place
    // against the marker or the number of notes changed.
    if (GetForegroundWindow() != m_hLastForeground || DesktopAboveMarker() != m_bLastAbove
        || m_notes().size() != m_nLastNotes)
        Judge();
    return true;
}

void CDesktopLayer::OnShellRestart()
{
    if (!IsOn())
        return;
    m_hDesktop = FindDesktop();
    Judge();
}

bool CDesktopLayer::DesktopAboveMarker() const
{
    AboveScan scan{m_hDesktop, m_marker.get()};
    if (m_hDesktop)
        EnumWindows(FindFirst, reinterpret_cast<LPARAM>(&scan));
    return scan.hFirst && scan.hFirst == m_hDesktop;
}

bool CDesktopLayer::Cloaked(HWND hWnd) const
{
    DWORD nCloaked = 0;
    return m_pfnGetAttribute && SUCCEEDED(m_pfnGetAttribute(hWnd, kCloaked, &nCloaked, sizeof nCloaked)) && nCloaked;
}

void CDesktopLayer::ExcludeFromPeek(const std::vector<HWND>& notes, BOOL bExclude) const
{
    if (m_pfnSetAttribute)
        for (HWND hNote : notes)
            m_pfnSetAttribute(hNote, kExcludedFromPeek, &bExclude, sizeof bExclude);
}

void CDesktopLayer::Judge()
{
    if (!IsOn() || m_bJudging)
        return;
    m_bJudging = true;  // moving windows lets messages in, a timer's among them
    if (!HoldsDesktopView(m_hDesktop))
        m_hDesktop = FindDesktop();
    const std::vector<HWND> notes = m_notes();
    const HWND hForeground = GetForegroundWindow();
    StackScan scan{m_marker.get(), m_hDesktop, &notes, [this](HWND hWnd) { return Cloaked(hWnd); }, {}, {}};
    EnumWindows(AddToOrder, reinterpret_cast<LPARAM>(&scan));
    const bool bNoteActive = std::find(notes.begin(), notes.end(), hForeground) != notes.end();
    const NotesMove move = PlaceNotes(scan.order, bNoteActive);
    if (move.where != NotesMove::stay) {
        ExcludeFromPeek(notes, TRUE);
        HWND hAfter = move.where == NotesMove::beneath ? scan.windows[move.nBeneath]
                      : move.where == NotesMove::top   ? HWND_TOP
                                                       : HWND_BOTTOM;
        for (size_t i = 0; i < scan.order.size(); ++i) {
            if (scan.order[i] != Stacked::note)
                continue;
            // Show Desktop hides (Windows 11: cloaks) every window, the notes too.
            if (!IsWindowVisible(scan.windows[i]) || Cloaked(scan.windows[i]))
                ShowWindow(scan.windows[i], SW_SHOWNOACTIVATE);
            SetWindowPos(scan.windows[i], hAfter, 0, 0, 0, 0, kRestack);
            if (move.where != NotesMove::bottom)
                hAfter = scan.windows[i];
        }
        if (move.bMarkerFollows)
            SetWindowPos(m_marker.get(), hAfter, 0, 0, 0, 0, kRestack);
    }
    m_hLastForeground = hForeground;
    m_bLastAbove = DesktopAboveMarker();
    m_nLastNotes = notes.size();
    m_bJudging = false;
}
