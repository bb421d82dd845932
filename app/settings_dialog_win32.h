// The Settings dialog (template SETTINGS): how often due entries are looked for.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

namespace kv {

// Shows Time; the number typed on OK (0 for a text that is not a number),
// nothing on Cancel.
std::optional<std::uint32_t> askCheckInterval(HINSTANCE instance, HWND owner, std::uint32_t time);

}  // namespace kv
