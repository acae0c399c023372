#pragma once

// GoogleTest's own settings hook, for a compiler whose win32 threading model has no
// std::mutex: GoogleTest's Notification is the one class that needs it. Only
// GoogleTest's tests of its own threads use it, and the suites here run on one thread.
#include <atomic>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing::internal {

class Notification {
 public:
  Notification() = default;
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;

  void Notify() { notified_ = true; }
  void WaitForNotification() {
    while (!notified_) {
    }
  }

 private:
  std::atomic<bool> notified_{false};
};

}  // namespace testing::internal
