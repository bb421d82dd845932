// The tip of the notification-area icon that stands for a hidden Kivro.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kv {

// Room for a tip in characters (UTF-16 code units), its terminating zero
// not counted.
inline constexpr std::size_t kMaxTip = 127;

// "Kivro - NAME", and on a second line "Next: DESCRIPTION at WHEN" while an
// entry is to start (`when` empty: none is). Within kMaxTip: a long file
// name keeps its end, a long description is cut.
std::string notificationTip(std::string_view productName, std::string_view fileName,
                            std::string_view description, std::string_view when);

}  // namespace kv
