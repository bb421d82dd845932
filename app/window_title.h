// The main window's title: the product name and the current file name.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kv {

// Room for the title in characters (UTF-16 code units), its terminating
// zero not counted.
inline constexpr std::size_t kMaxTitle = 83;

// "%s - [%s]". A title too long for its room keeps the product name and the
// end of the file name (where the name of the file itself stands), with
// "..." in place of what was cut.
std::string windowTitle(std::string_view productName, std::string_view fileName);

}  // namespace kv
