#include "app/wake_plan.h"

namespace kv {

WakePlan::Tell WakePlan::follow(bool on, std::optional<Time> firstDue) {
  const std::optional<Time> wanted = on ? firstDue : std::nullopt;
  if (wanted == armed_) return Tell::Nothing;
  armed_ = wanted;
  if (!wanted) {
    timer_.cancel();
    return Tell::Nothing;
  }
  if (timer_.arm(*wanted) || told_) return Tell::Nothing;
  told_ = true;
  return Tell::CannotWake;
}

bool AwakeRule::keepAwake(bool on, bool programsRunning, Time now) {
  if (!programsRunning) {
    since_.reset();
    spent_ = false;
    return false;
  }
  if (!on || spent_) return false;
  // A clock set back starts the count again rather than ending it.
  if (!since_ || now < *since_) since_ = now;
  if (now - *since_ < kLongestAwake) return true;
  spent_ = true;
  since_.reset();
  return false;
}

}  // namespace kv
