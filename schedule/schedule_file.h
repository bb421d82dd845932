// The bytes of a schedule file (*.KV): "Version=" and the version text, CR LF,
// then one EntryLine per entry in due order, each followed by CR LF.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "schedule/entry_line.h"

namespace kv {

class ScheduleStore;

// The file's bytes for the store's lines.
std::string encodeScheduleFile(const ScheduleStore& store, std::string_view versionText);
std::string encodeScheduleFile(const std::vector<EntryLine>& lines, std::string_view versionText);

// Whether the file begins with the current header (compared ignoring case).
bool hasCurrentHeader(std::string_view bytes, std::string_view versionText);

// The entries of a file's bytes, each brought up to date by the catch-up
// (dropped, or moved past loadTime) and composed in the current layout.
// A file without the current header is read in the legacy layout and
// converted. A line ends at any control byte (below 0x20) other than 18;
// every byte from 0x20 up belongs to it. A last line without a line end is
// read too.
std::vector<EntryLine> decodeScheduleFile(std::string_view bytes, std::string_view versionText,
                                          Time loadTime, Time now);

}  // namespace kv
