// Thin Win32 helpers: owners for handles, ANSI text access to controls, the
// event pump, and a few system services the program relies on.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <utility>

#include "platform/paths.hpp"

namespace corvane {

// A move-only owner for any handle type with a free function.
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
    H release() { return std::exchange(h_, Traits::invalid()); }
    void reset(H h = Traits::invalid()) {
        H old = std::exchange(h_, h);
        if (old != Traits::invalid()) Traits::close(old);
    }

private:
    H h_ = Traits::invalid();
};

struct WindowTraits {
    static HWND invalid() { return nullptr; }
    static void close(HWND h) { if (IsWindow(h)) DestroyWindow(h); }
};
struct IconTraits {
    static HICON invalid() { return nullptr; }
    static void close(HICON h) { DestroyIcon(h); }
};
struct GdiTraits {
    static HGDIOBJ invalid() { return nullptr; }
    static void close(HGDIOBJ h) { DeleteObject(h); }
};
struct MenuTraits {
    static HMENU invalid() { return nullptr; }
    static void close(HMENU h) { DestroyMenu(h); }
};
struct HandleTraits {
    static HANDLE invalid() { return nullptr; }
    static void close(HANDLE h) { CloseHandle(h); }
};
struct FindTraits {
    static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { FindClose(h); }
};

using UniqueHwnd = Unique<HWND, WindowTraits>;
using UniqueHicon = Unique<HICON, IconTraits>;
using UniqueGdi = Unique<HGDIOBJ, GdiTraits>;
using UniqueHmenu = Unique<HMENU, MenuTraits>;
using UniqueHandle = Unique<HANDLE, HandleTraits>;
using UniqueFind = Unique<HANDLE, FindTraits>;

// Owner of a COM interface pointer.
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
    T** put() { reset(); return &p_; }
    void reset(T* p = nullptr) {
        T* old = std::exchange(p_, p);
        if (old) old->Release();
    }

private:
    T* p_ = nullptr;
};

// ANSI text of a window or control.
std::string GetText(HWND hwnd);

// Sets the text only when it differs: an edit control reports EN_CHANGE even
// for a WM_SETTEXT that changes nothing, and the target field must not run its
// change handling then. Returns whether the text changed.
bool SetText(HWND hwnd, std::string_view text);

// The text of one list box entry.
std::string GetListText(HWND list, int index);

// Lower/upper-case tables for the ANSI code page, built once from the system
// so that paths fold the way Windows folds them.
const CaseMap& SystemLower();
const CaseMap& SystemUpper();

// Twips (1/1440 inch) to pixels at `dpi`.
inline int TwipsToPixels(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }

// The DPI the window is shown at (per monitor where the system supports it).
int DpiFor(HWND hwnd);

// Processes every pending message once, the way a modal-free pause lets the
// rest of the window run. Dialog navigation keys go through `dialog`. Returns
// false once the application is quitting (WM_QUIT is put back for the main
// loop) or `alive` reports the window gone.
bool PumpEvents(HWND dialog);

// Puts `proc` in front of a control's own window procedure, keeping that
// procedure and `data` with the window. The system's subclassing functions
// live in comctl32, a DLL the program does not load before its window shows.
// `proc` hands on what it does not handle with CallBaseProc; at WM_NCDESTROY
// it calls ForgetSubclass after handing the message on. One per window.
bool SubclassWindow(HWND hwnd, WNDPROC proc, void* data);
void* SubclassData(HWND hwnd);
LRESULT CallBaseProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
void ForgetSubclass(HWND hwnd);

// The system beep; counted so that tests can tell one beep from none.
void Beep();
long BeepCount();

// Seconds since local midnight, with millisecond resolution.
float SecondsSinceMidnight();

// Modal message box with the information icon and one OK button.
void InfoBox(HWND owner, const char* text);

// Joins the calling thread to a single-threaded COM apartment; only the first
// call in a process does anything. Only the shell's start of a program needs
// COM (the shell may hand that to COM extensions), so it is entered there
// rather than at start-up, which then never loads ole32.
void EnterComApartment();

// Leaves the apartment if EnterComApartment joined it; for the end of the
// program, on the thread that entered it.
void LeaveComApartment();

inline constexpr const char* kAppTitle = "Corvane";

}  // namespace corvane
