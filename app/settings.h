// The settings kept in KV.INI, section "KV".
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

inline constexpr const char* kSettingsFileName = "KV.INI";
inline constexpr const char* kSettingsSection = "KV";
inline constexpr const char* kTimeKey = "Time";
inline constexpr const char* kAssociationWarningKey = "AssociationWarning";
inline constexpr const char* kHideIconKey = "HideIcon";
inline constexpr const char* kMissedStartsKey = "MissedStarts";
inline constexpr const char* kSkipWhileRunningKey = "SkipWhileRunning";
inline constexpr const char* kNotifyOnFailureKey = "NotifyOnFailure";
inline constexpr const char* kWakeToRunKey = "WakeToRun";
inline constexpr const char* kHistoryColumnsKey = "HistoryColumns";
inline constexpr const char* kViewKey = "View";
inline constexpr const char* kDetailsColumnsKey = "DetailsColumns";
inline constexpr std::uint32_t kDefaultTime = 100;  // hundredths of a second
inline constexpr const char* kFlagOn = "1";
inline constexpr const char* kFlagOff = "0";

// The largest period a window timer accepts, in milliseconds.
inline constexpr std::uint32_t kMaxTimerPeriod = 0x7FFFFFFF;

// How long a minimized window stays on the task bar before it hides itself
// (with HideIcon on), in milliseconds.
inline constexpr std::uint32_t kHideDelay = 10000;

// How the main window lists the entries: one line of text each, or the
// Details view's columns.
enum class ListView { Rows, Details };

// The View setting's stored text, and back: anything but "Details" (a
// missing key included) is Rows, so the window starts as it always has.
const char* viewText(ListView view);
ListView parseView(std::string_view storedText);

// The settings as they stand in memory. Time is here only as read for one
// use: the check timer reads it from the file each time it is armed.
struct Settings {
  std::uint32_t time = kDefaultTime;
  bool associationWarning = true;
  bool hideIcon = false;
  // A load starts, once, each entry whose start passed while the schedule
  // was not loaded.
  bool runMissedStarts = false;
  // A due entry whose previous start from this Kivro still runs is not
  // started again.
  bool skipWhileRunning = false;
  // A start that fails, or a program that ends with an exit code other
  // than 0, shows a notification.
  bool notifyOnFailure = true;
  // A timer wakes the computer for the first-due entry's start, and the
  // computer is kept awake while what Kivro started still runs.
  bool wakeToRun = false;
  ListView view = ListView::Rows;
};

// A flag is on when its stored text begins with '1' ("10" is on, "yes" off).
bool flagIsOn(std::string_view storedText);
inline const char* flagText(bool on) {
  return on ? kFlagOn : kFlagOff;
}

// The widths the user gave a window's columns, in pixels, one for each
// column in order; none where the column fits its content instead.
using ColumnWidths = std::vector<std::optional<int>>;

// Wider than any screen: a kept width beyond it is taken for a damaged value.
inline constexpr int kMaxColumnWidth = 4000;

// The widths of `columns` columns from their text, such as "120,,300,". A
// width that is not a whole number from 0 to kMaxColumnWidth is none, and
// so is every width of a text with another count of widths.
ColumnWidths parseColumnWidths(std::string_view text, std::size_t columns);
// The text parseColumnWidths reads back; empty when no width is kept.
std::string columnWidthsText(const ColumnWidths& widths);

// The widths to keep when a window closes: a column the user resized (its
// width no longer the one it opened with) keeps its new width; any other
// column keeps what it had, so one that fitted its content goes on fitting.
ColumnWidths widthsToKeep(const ColumnWidths& kept, const std::vector<int>& opened,
                          const std::vector<int>& closing);

// The check timer's period for a Time value: Time x 10 ms, computed without
// wrapping and clamped to the largest period a timer accepts.
std::uint32_t checkTimerPeriod(std::uint32_t time);

}  // namespace kv
