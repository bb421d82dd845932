#include "app/wake_timer_win32.h"

#include <cstdint>

namespace kv {
namespace {

// 100-nanosecond intervals from 1601 to 1970.
constexpr std::int64_t kUnixEpochInFileTime = 116444736000000000LL;

LARGE_INTEGER fileTimeOf(Time at) {
  LARGE_INTEGER due{};
  due.QuadPart = kUnixEpochInFileTime + static_cast<std::int64_t>(at) * 10'000'000LL;
  return due;
}

}  // namespace

WindowsWakeTimer::WindowsWakeTimer() : timer_(CreateWaitableTimerW(nullptr, FALSE, nullptr)) {}

WindowsWakeTimer::~WindowsWakeTimer() {
  if (!timer_) return;
  CancelWaitableTimer(timer_);
  CloseHandle(timer_);
}

bool WindowsWakeTimer::arm(Time at) {
  if (!timer_) return true;
  // A positive due time is absolute, in UTC; resume on wakes the computer.
  const LARGE_INTEGER due = fileTimeOf(at);
  SetLastError(ERROR_SUCCESS);
  const BOOL set = SetWaitableTimer(timer_, &due, 0, nullptr, nullptr, TRUE);
  // Set, but the computer cannot be woken: Windows says so afterwards.
  return set && GetLastError() != ERROR_NOT_SUPPORTED;
}

void WindowsWakeTimer::cancel() {
  if (timer_) CancelWaitableTimer(timer_);
}

void keepComputerAwake(bool awake) {
  SetThreadExecutionState(awake ? ES_CONTINUOUS | ES_SYSTEM_REQUIRED : ES_CONTINUOUS);
}

}  // namespace kv
