// The History window: every start recorded, newest first, one row each
// with its end where the history holds one, in a list with the columns
// Time, Description, Command Line and Result, failures marked;
// Refresh, Copy (the selected lines, as text) and Close. Each column opens
// as wide as its title and the texts it shows, or as wide as the user last
// made it.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "app/settings.h"

namespace kv {

inline constexpr std::size_t kHistoryColumnCount = 4;

struct HistoryWindowValues {
  // Reads the history's bytes afresh, for opening and for Refresh.
  std::function<std::string()> read;
  // Why the history is not complete ("could not be written since ..."), or
  // empty.
  std::string note;
  // The widths the user gave the columns, kept from the last time; none for
  // a column that fits its content.
  ColumnWidths columnWidths = ColumnWidths(kHistoryColumnCount);
};

// Shows the window, modal to `owner`. Returns the column widths to keep, as
// the user left them; none when the window could not be created.
std::optional<ColumnWidths> showHistoryWindow(HINSTANCE instance, HWND owner,
                                              const HistoryWindowValues& values);

}  // namespace kv
