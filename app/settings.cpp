#include "app/settings.h"

namespace kv {

bool flagIsOn(std::string_view storedText) {
  return !storedText.empty() && storedText[0] == '1';
}

std::uint32_t checkTimerPeriod(std::uint32_t time) {
  std::uint64_t period = static_cast<std::uint64_t>(time) * 10u;
  return period > kMaxTimerPeriod ? kMaxTimerPeriod : static_cast<std::uint32_t>(period);
}

}  // namespace kv
