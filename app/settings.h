// The three settings kept in KV.INI, section "KV".
#pragma once

#include <cstdint>
#include <string_view>

namespace kv {

inline constexpr const char* kSettingsFile = "KV.INI";
inline constexpr const char* kSettingsSection = "KV";
inline constexpr const char* kTimeKey = "Time";
inline constexpr const char* kAssociationWarningKey = "AssociationWarning";
inline constexpr const char* kHideIconKey = "HideIcon";
inline constexpr unsigned kDefaultTime = 100;  // hundredths of a second

// The largest period a window timer accepts, in milliseconds.
inline constexpr std::uint32_t kMaxTimerPeriod = 0x7FFFFFFF;

// A flag is on when its stored text begins with '1' ("10" is on, "yes" off).
bool flagIsOn(std::string_view storedText);
inline const char* flagText(bool on) {
  return on ? "1" : "0";
}

// The check timer's period for a Time value: Time x 10 ms, computed without
// wrapping and clamped to the largest period a timer accepts.
std::uint32_t checkTimerPeriod(std::uint32_t time);

}  // namespace kv
