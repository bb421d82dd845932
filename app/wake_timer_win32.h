// The wake timer on Windows: one waitable timer, set with resume on, whose
// handle the message loop waits on so that the due check runs when it
// fires; and the request that keeps the computer from sleeping.
#pragma once

#include <windows.h>

#include "app/wake_plan.h"

namespace kv {

class WindowsWakeTimer final : public WakeTimer {
 public:
  WindowsWakeTimer();
  ~WindowsWakeTimer() override;
  WindowsWakeTimer(const WindowsWakeTimer&) = delete;
  WindowsWakeTimer& operator=(const WindowsWakeTimer&) = delete;

  bool arm(Time at) override;
  void cancel() override;
  // Signalled when the armed time comes (auto-reset); null when Windows
  // gave no timer.
  HANDLE handle() const { return timer_; }

 private:
  HANDLE timer_;
};

// Asks Windows to keep the computer from sleeping, or lets it sleep again.
void keepComputerAwake(bool awake);

}  // namespace kv
