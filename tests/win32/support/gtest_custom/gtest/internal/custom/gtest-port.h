// GoogleTest's hook for platform adjustments, found before its own empty one. MinGW's win32 thread model has
// no std::mutex or std::condition_variable for GoogleTest's Notification: this one waits on a Win32 event.
#pragma once

#if defined(_WIN32) && !defined(GTEST_HAS_NOTIFICATION_)
#include <windows.h>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing::internal {

class Notification {
public:
    Notification() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification() { CloseHandle(event_); }
    Notification(const Notification&) = delete;
    void Notify() { SetEvent(event_); }
    void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

private:
    HANDLE event_;
};

}  // namespace testing::internal
#endif
