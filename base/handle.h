#pragma once
// One owner for every Win32 handle: move-only, explicit, closes exactly once.
#include <windows.h>

#include <utility>

template <typename Traits>
class UniqueHandle {
public:
    using pointer = typename Traits::pointer;

    UniqueHandle() = default;
    explicit UniqueHandle(pointer h) : m_h(h) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : m_h(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }

    pointer get() const { return m_h; }
    // For functions that hand out a new handle through a pointer: whatever
    // was held is closed first.
    pointer* put()
    {
        reset();
        return &m_h;
    }
    explicit operator bool() const { return m_h != Traits::invalid(); }
    pointer release() { return std::exchange(m_h, Traits::invalid()); }
    void reset(pointer h = Traits::invalid())
    {
        pointer old = std::exchange(m_h, h);
        if (old != Traits::invalid())
            Traits::close(old);
    }

private:
    pointer m_h = Traits::invalid();
};

struct KernelHandleTraits {  // events, mutexes, threads, processes
    using pointer = HANDLE;
    static pointer invalid() { return nullptr; }
    static void close(pointer h) { CloseHandle(h); }
};
struct FileHandleTraits {  // CreateFile reports failure as INVALID_HANDLE_VALUE
    using pointer = HANDLE;
    static pointer invalid() { return INVALID_HANDLE_VALUE; }
    static void close(pointer h) { CloseHandle(h); }
};
struct ChangeNotificationTraits {  // FindFirstChangeNotification's
    using pointer = HANDLE;
    static pointer invalid() { return INVALID_HANDLE_VALUE; }
    static void close(pointer h) { FindCloseChangeNotification(h); }
};
struct RegKeyTraits {
    using pointer = HKEY;
    static pointer invalid() { return nullptr; }
    static void close(pointer h) { RegCloseKey(h); }
};
struct GdiObjectTraits {
    using pointer = HGDIOBJ;
    static pointer invalid() { return nullptr; }
    static void close(pointer h) { DeleteObject(h); }
};
struct BrushTraits {
    using pointer = HBRUSH;
    static pointer invalid() { return nullptr; }
    static void close(pointer h) { DeleteObject(h); }
};
struct MenuTraits {
    using pointer = HMENU;
    static pointer invalid() { return nullptr; }
    static void close(pointer h) { DestroyMenu(h); }
};

struct WindowTraits {  // a window of the program's own that no dialog object owns
    using pointer = HWND;
    static pointer invalid() { return nullptr; }
    static void close(pointer h) { DestroyWindow(h); }
};
struct WinEventHookTraits {
    using pointer = HWINEVENTHOOK;
    static pointer invalid() { return nullptr; }
    static void close(pointer h) { UnhookWinEvent(h); }
};
struct ModuleTraits {
    using pointer = HMODULE;
    static pointer invalid() { return nullptr; }
    static void close(pointer h) { FreeLibrary(h); }
};

using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueFileHandle = UniqueHandle<FileHandleTraits>;
using UniqueRegKey = UniqueHandle<RegKeyTraits>;
using UniqueGdiObject = UniqueHandle<GdiObjectTraits>;
using UniqueBrush = UniqueHandle<BrushTraits>;
using UniqueMenu = UniqueHandle<MenuTraits>;
using UniqueWindow = UniqueHandle<WindowTraits>;
using UniqueWinEventHook = UniqueHandle<WinEventHookTraits>;
using UniqueModule = UniqueHandle<ModuleTraits>;

// A window's device context, released with the window it came from.
class WindowDC {
public:
    explicit WindowDC(HWND hWnd) : m_hWnd(hWnd), m_hDC(GetDC(hWnd)) {}
    ~WindowDC()
    {
        if (m_hDC)
            ReleaseDC(m_hWnd, m_hDC);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;

    HDC get() const { return m_hDC; }
    explicit operator bool() const { return m_hDC != nullptr; }

private:
    HWND m_hWnd;
    HDC m_hDC;
};

// An object selected into a DC for one scope; the one it replaced comes back.
class SelectedObject {
public:
    SelectedObject(HDC hDC, HGDIOBJ hObject) : m_hDC(hDC), m_hOld(SelectObject(hDC, hObject)) {}
    ~SelectedObject()
    {
        if (m_hOld)
            SelectObject(m_hDC, m_hOld);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC m_hDC;
    HGDIOBJ m_hOld;
};
