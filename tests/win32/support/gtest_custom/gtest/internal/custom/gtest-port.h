// GoogleTest's hook for platform adjustments, found before its own empty one.
// The MinGW compiler's win32 thread model has no std::mutex or
// std::condition_variable, which GoogleTest's Notification is built on under
// Windows; this one waits on a Win32 event instead.
#pragma once

#if defined(_WIN32) && !defined(GTEST_HAS_NOTIFICATION_)
#include <windows.h>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

class Notification {
public:
    Notification() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification() {
        if (event_) CloseHandle(event_);
    }
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { SetEvent(event_); }
    void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

private:
    HANDLE event_;
};

}  // namespace internal
}  // namespace testing
#endif
