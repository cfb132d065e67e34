#pragma once
// One move-only owner for every kind of Win32 handle: the kind's traits say what "no handle"
// is and how to free one. Copying is deleted, so no handle is ever freed twice.
#include <windows.h>

#include <utility>

namespace qvx {

template <typename Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle get() const { return handle_; }
    explicit operator bool() const { return !(handle_ == Traits::none()); }
    Handle release() { return std::exchange(handle_, Traits::none()); }
    // Frees the handle held (if any) after taking the new one, so that whatever the freeing
    // sets off already sees the new state.
    void reset(Handle handle = Traits::none()) {
        const Handle old = std::exchange(handle_, handle);
        if (!(old == Traits::none())) Traits::free(old);
    }

private:
    Handle handle_ = Traits::none();
};

// Files, and anything else CreateFile opens.
struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle none() { return INVALID_HANDLE_VALUE; }
    static void free(Handle handle) { CloseHandle(handle); }
};
using UniqueFile = UniqueHandle<FileHandleTraits>;

// Modules (LoadLibrary, LoadLibraryEx).
struct ModuleTraits {
    using Handle = HMODULE;
    static Handle none() { return nullptr; }
    static void free(Handle handle) { FreeLibrary(handle); }
};
using UniqueModule = UniqueHandle<ModuleTraits>;

// Directory searches (FindFirstFile).
struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle none() { return INVALID_HANDLE_VALUE; }
    static void free(Handle handle) { FindClose(handle); }
};
using UniqueFind = UniqueHandle<FindHandleTraits>;

// Memory the system allocated with LocalAlloc for the caller (CommandLineToArgvW, ...).
template <class Pointer>
struct LocalMemoryTraits {
    using Handle = Pointer;
    static Handle none() { return nullptr; }
    static void free(Handle handle) { LocalFree(handle); }
};
template <class Pointer>
using UniqueLocalMemory = UniqueHandle<LocalMemoryTraits<Pointer>>;

// Events, threads and other kernel objects whose calls give NULL on failure.
struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle none() { return nullptr; }
    static void free(Handle handle) { CloseHandle(handle); }
};
using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;

// Event sources of the event log (RegisterEventSource).
struct EventSourceTraits {
    using Handle = HANDLE;
    static Handle none() { return nullptr; }
    static void free(Handle handle) { DeregisterEventSource(handle); }
};
using UniqueEventSource = UniqueHandle<EventSourceTraits>;

// A COM interface pointer: one reference, given back with Release.
template <class Interface>
struct ComTraits {
    using Handle = Interface*;
    static Handle none() { return nullptr; }
    static void free(Handle handle) { handle->Release(); }
};
template <class Interface>
using UniqueCom = UniqueHandle<ComTraits<Interface>>;

struct RegistryKeyTraits {
    using Handle = HKEY;
    static Handle none() { return nullptr; }
    static void free(Handle handle) { RegCloseKey(handle); }
};
using UniqueKey = UniqueHandle<RegistryKeyTraits>;

// Windows, tooltips and hidden message windows. A window that the system destroys on its own
// (a child with its parent, a popup with its owner) must be released from its owner before,
// or when its WM_NCDESTROY arrives.
struct WindowTraits {
    using Handle = HWND;
    static Handle none() { return nullptr; }
    static void free(Handle handle) { DestroyWindow(handle); }
};
using UniqueWindow = UniqueHandle<WindowTraits>;

struct MenuTraits {
    using Handle = HMENU;
    static Handle none() { return nullptr; }
    static void free(Handle handle) { DestroyMenu(handle); }
};
using UniqueMenu = UniqueHandle<MenuTraits>;

// Fonts, brushes, bitmaps, palettes and regions. An object still selected into a device
// context is not freed: own the context after the object, so that the context goes first.
template <typename GdiObject>
struct GdiObjectTraits {
    using Handle = GdiObject;
    static Handle none() { return nullptr; }
    static void free(Handle handle) { DeleteObject(handle); }
};
using UniqueFont = UniqueHandle<GdiObjectTraits<HFONT>>;
using UniqueBrush = UniqueHandle<GdiObjectTraits<HBRUSH>>;
using UniqueBitmap = UniqueHandle<GdiObjectTraits<HBITMAP>>;
using UniquePalette = UniqueHandle<GdiObjectTraits<HPALETTE>>;
using UniqueRegion = UniqueHandle<GdiObjectTraits<HRGN>>;

// Memory device contexts (CreateCompatibleDC).
struct MemoryDcTraits {
    using Handle = HDC;
    static Handle none() { return nullptr; }
    static void free(Handle handle) { DeleteDC(handle); }
};
using UniqueMemoryDc = UniqueHandle<MemoryDcTraits>;

// A device context of a window (GetDC, GetDCEx), given back with the window it came from.
struct WindowDc {
    HWND window = nullptr;  // null: the screen
    HDC dc = nullptr;
    friend bool operator==(const WindowDc&, const WindowDc&) = default;
};
struct WindowDcTraits {
    using Handle = WindowDc;
    static Handle none() { return {}; }
    static void free(Handle handle) { ReleaseDC(handle.window, handle.dc); }
};
using UniqueWindowDc = UniqueHandle<WindowDcTraits>;

// The owner of a context GetDC or GetDCEx gave for `window`; empty when `dc` is null.
inline UniqueWindowDc OwnWindowDc(HWND window, HDC dc) {
    return dc ? UniqueWindowDc(WindowDc{window, dc}) : UniqueWindowDc();
}

} // namespace qvx
