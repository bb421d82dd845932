// The time in which the schedule is kept.
#pragma once

#include <cstdint>

namespace kv {

// Seconds since 1970-01-01 00:00:00 in the local-time base of the C runtime.
using Time = std::uint32_t;

// The start of the first-due entry while the store is empty: no check time
// reaches it, so nothing is ever due.
inline constexpr Time kNeverDue = 2147483647u;

}  // namespace kv
