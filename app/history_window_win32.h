// The History window: every start recorded, newest first, in a list with
// the columns Time, Description, Command Line and Result, failures marked;
// Refresh, Copy (the selected lines, as text) and Close.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace kv {

struct HistoryWindowValues {
  // Reads the history's bytes afresh, for opening and for Refresh.
  std::function<std::string()> read;
  // Why the history is not complete ("could not be written since ..."), or
  // empty.
  std::string note;
};

// Shows the window, modal to `owner`; false when it could not be created.
bool showHistoryWindow(HINSTANCE instance, HWND owner, const HistoryWindowValues& values);

}  // namespace kv
