// Owners for every kind of handle the program holds: each closes its handle
// the one way that kind must be closed, and none can be copied.
#pragma once

#include <windows.h>

#include <utility>

namespace corvane {

// A move-only owner of one handle of kind H; Traits say what "no handle"
// is and how to let one go.
template <typename H, typename Traits>
class Unique {
public:
    Unique() = default;
    explicit Unique(H h) : h_(h) {}
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    Unique(Unique&& o) noexcept : h_(std::exchange(o.h_, Traits::invalid())) {}
    Unique& operator=(Unique&& o) noexcept {
        if (this != &o) reset(std::exchange(o.h_, Traits::invalid()));
        return *this;
    }
    ~Unique() { reset(); }

    H get() const { return h_; }
    explicit operator bool() const { return h_ != Traits::invalid(); }
    [[nodiscard]] H release() { return std::exchange(h_, Traits::invalid()); }
    void reset(H h = Traits::invalid()) {
        H old = std::exchange(h_, h);
        if (old != Traits::invalid()) Traits::close(old);
    }

private:
    H h_ = Traits::invalid();
};

#define CORVANE_HANDLE_TRAITS(Name, Type, Invalid, Close) \
    struct Name {                                         \
        static Type invalid() { return Invalid; }         \
        static void close(Type h) { Close(h); }           \
    }

inline void DestroyIfWindow(HWND h) {
    // Children and owned windows may already have gone with their parent.
    if (IsWindow(h)) DestroyWindow(h);
}

CORVANE_HANDLE_TRAITS(WindowTraits, HWND, nullptr, DestroyIfWindow);
CORVANE_HANDLE_TRAITS(IconTraits, HICON, nullptr, DestroyIcon);
CORVANE_HANDLE_TRAITS(MenuTraits, HMENU, nullptr, DestroyMenu);
CORVANE_HANDLE_TRAITS(BrushTraits, HBRUSH, nullptr, DeleteObject);
CORVANE_HANDLE_TRAITS(FontTraits, HFONT, nullptr, DeleteObject);
CORVANE_HANDLE_TRAITS(HandleTraits, HANDLE, nullptr, CloseHandle);
// CreateFile and FindFirstFile report failure as INVALID_HANDLE_VALUE.
CORVANE_HANDLE_TRAITS(FileTraits, HANDLE, INVALID_HANDLE_VALUE, CloseHandle);
CORVANE_HANDLE_TRAITS(FindTraits, HANDLE, INVALID_HANDLE_VALUE, FindClose);
#undef CORVANE_HANDLE_TRAITS

using UniqueWindow = Unique<HWND, WindowTraits>;
using UniqueIcon = Unique<HICON, IconTraits>;
using UniqueMenu = Unique<HMENU, MenuTraits>;
using UniqueBrush = Unique<HBRUSH, BrushTraits>;
using UniqueFont = Unique<HFONT, FontTraits>;
using UniqueHandle = Unique<HANDLE, HandleTraits>;
using UniqueFile = Unique<HANDLE, FileTraits>;
using UniqueFind = Unique<HANDLE, FindTraits>;

// A window's device context, borrowed with GetDC for the life of the object.
class WindowDC {
public:
    explicit WindowDC(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    ~WindowDC() {
        if (dc_) ReleaseDC(hwnd_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// Owner of one reference to a COM interface.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& o) noexcept {
        if (this != &o) reset(std::exchange(o.p_, nullptr));
        return *this;
    }
    ~ComPtr() { reset(); }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    T** put() {
        reset();
        return &p_;
    }
    void reset(T* p = nullptr) {
        T* old = std::exchange(p_, p);
        if (old) old->Release();
    }

private:
    T* p_ = nullptr;
};

// This thread's membership of a single-threaded COM apartment: joined on the
// first Enter, left when the object goes. Only the shell's start of a
// program needs COM (the shell may hand that to extensions), so a session
// that never launches never loads ole32.
class ComApartment {
public:
    ComApartment() = default;
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    void Enter();

private:
    bool tried_ = false;
    bool entered_ = false;
};

}  // namespace corvane
