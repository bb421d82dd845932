// How kvtool reads a schedule file of an earlier version: its bytes are not
// UTF-8 but the ANSI code page of the machine that wrote it.
#pragma once

#include <optional>
#include <string>

#include "schedule/schedule_file.h"

namespace kv::tool {

// The code page read when none is named: the machine's ANSI code page on
// Windows, Windows-1252 (western Windows) elsewhere.
inline constexpr unsigned kDefaultCodePage = 0;

// The reader of the code page, or empty when this kvtool cannot read it.
std::optional<LegacyTextReader> legacyTextReader(unsigned codePage);

// The code pages legacyTextReader reads, for the one-line reason why
// another is refused.
std::string readableCodePages();

}  // namespace kv::tool
