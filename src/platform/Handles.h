// Scoped Win32 handles: each closes its handle in the destructor, on every path.
#pragma once

#include <windows.h>

#include <utility>

template <typename Traits>
class TScopedHandle {
public:
    using Handle = typename Traits::Handle;
    TScopedHandle() = default;
    explicit TScopedHandle(Handle h) : H(h) {}
    ~TScopedHandle() { Close(); }
    TScopedHandle(const TScopedHandle&) = delete;
    TScopedHandle& operator=(const TScopedHandle&) = delete;
    TScopedHandle(TScopedHandle&& o) noexcept : H(std::exchange(o.H, Traits::Invalid())) {}
    TScopedHandle& operator=(TScopedHandle&& o) noexcept
    {
        if (this != &o) {
            Close();
            H = std::exchange(o.H, Traits::Invalid());
        }
        return *this;
    }
    bool Valid() const { return H != Traits::Invalid(); }
    explicit operator bool() const { return Valid(); }
    Handle Get() const { return H; }
    Handle* Receive()
    {
        Close();
        return &H;
    }
    Handle Release() { return std::exchange(H, Traits::Invalid()); }
    void Close()
    {
        if (Valid())
            Traits::Close(std::exchange(H, Traits::Invalid()));
    }

private:
    Handle H = Traits::Invalid();
};

struct TFileHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { CloseHandle(h); }
};
struct TFindHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { FindClose(h); }
};
struct TRegKeyTraits {
    using Handle = HKEY;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { RegCloseKey(h); }
};
struct TGdiObjectTraits {
    using Handle = HGDIOBJ;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { DeleteObject(h); }
};
struct TKernelHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { CloseHandle(h); }
};

using TFileHandle = TScopedHandle<TFileHandleTraits>;      // CreateFile*
using TFindHandle = TScopedHandle<TFindHandleTraits>;      // FindFirstFile*
using TRegKey = TScopedHandle<TRegKeyTraits>;              // RegCreateKeyEx*
using TGdiObject = TScopedHandle<TGdiObjectTraits>;        // bitmaps, fonts, brushes
using TKernelHandle = TScopedHandle<TKernelHandleTraits>;  // processes, threads, events
