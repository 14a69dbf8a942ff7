// Whether a window is still there after a call that let events run. Any of
// those events may have destroyed it, and the caller must not touch it or
// its controls again then; so the answer cannot be dropped unread, and a
// caller that has nothing left to do says so where it drops it.
#pragma once

namespace corvane {

class [[nodiscard]] Alive {
public:
    constexpr explicit Alive(bool alive) : alive_(alive) {}
    constexpr explicit operator bool() const { return alive_; }

private:
    bool alive_;
};

}  // namespace corvane
