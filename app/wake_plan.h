// Waking the computer for the next start, and keeping it awake while what
// Kivro started still runs: the rules, apart from Windows.
#pragma once

#include <optional>

#include "schedule/schedule_time.h"

namespace kv {

// The one timer that can wake the computer from sleep at a given time.
class WakeTimer {
 public:
  virtual ~WakeTimer() = default;
  // Arms the timer for `at`, replacing any earlier time. False where the
  // system says it cannot wake this computer (the timer still fires while
  // the computer is awake).
  virtual bool arm(Time at) = 0;
  virtual void cancel() = 0;
};

// Keeps the wake timer armed for the first-due entry's start while the
// setting is on.
class WakePlan {
 public:
  explicit WakePlan(WakeTimer& timer) : timer_(timer) {}

  enum class Tell { Nothing, CannotWake };
  // Brings the timer in step with the schedule: armed for `firstDue` when
  // the setting is on and there is an entry, cancelled otherwise. The
  // timer is set only when its time changes. CannotWake comes once, the
  // first time the system says it cannot wake this computer.
  Tell follow(bool on, std::optional<Time> firstDue);
  std::optional<Time> armedFor() const { return armed_; }

 private:
  WakeTimer& timer_;
  std::optional<Time> armed_;
  bool told_ = false;
};

// The longest a run of programs keeps the computer awake.
inline constexpr Time kLongestAwake = 4 * 3600;

// Whether the computer is kept from sleeping: while the setting is on and a
// program Kivro started and watches still runs, for kLongestAwake at most;
// after that, not again until no watched program runs.
class AwakeRule {
 public:
  bool keepAwake(bool on, bool programsRunning, Time now);

 private:
  std::optional<Time> since_;
  bool spent_ = false;
};

}  // namespace kv
