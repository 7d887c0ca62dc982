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

using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueFileHandle = UniqueHandle<FileHandleTraits>;
using UniqueRegKey = UniqueHandle<RegKeyTraits>;
using UniqueBrush = UniqueHandle<BrushTraits>;
using UniqueMenu = UniqueHandle<MenuTraits>;
