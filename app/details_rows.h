// The Details view of the main window, apart from Windows: the columns it
// shows for each entry, the last result of each entry that the history
// holds, and the search that typing in the list makes.
#pragma once

#include <array>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "engine/history.h"
#include "schedule/schedule_store.h"

namespace kv {

enum class DetailsColumn {
  NextStart,
  Frequency,
  Until,
  Description,
  CommandLine,
  Folder,
  Show,
  LastResult,
};

inline constexpr std::size_t kDetailsColumnCount = 8;

// In the order of DetailsColumn.
inline constexpr std::array<const char*, kDetailsColumnCount> kDetailsColumnTitles = {
    "Next Start",   "Frequency", "Until", "Description",
    "Command Line", "Folder",    "Show",  "Last Result",
};

// The newest start of each entry of the open schedule that the history
// holds, with what became of it. An entry is known by its description and
// command line; texts in UTF-8.
class LastResults {
 public:
  // Starts over from a history file's bytes, for the schedule named.
  void read(std::string_view historyBytes, std::string_view schedule);
  // A start or an end just recorded, while `schedule` is open. One of
  // another schedule (a program started before Open) or older than the
  // start known for its entry changes nothing. True when it changed what
  // an entry shows.
  bool note(const HistoryRecord& record, std::string_view schedule);
  // The newest start of the entry, or null.
  const HistoryRecord* find(std::string_view description, std::string_view commandLine) const;

 private:
  struct EntryKey {
    std::string description;
    std::string commandLine;
    auto operator<=>(const EntryKey&) const = default;
  };
  bool keep(HistoryRecord record);

  std::map<EntryKey, HistoryRecord> newest_;
};

// What the texts of a row are made with: the date and time texts of the
// regional settings (for a recent moment without its year).
struct DetailsTexts {
  std::function<std::string(Time)> timeText;
  std::function<std::string(Time)> recentTimeText;
};

using DetailsRow = std::array<std::string, kDetailsColumnCount>;

// The texts of an entry's row, indexed by DetailsColumn. Until is
// blank for a one-time entry, Last Result for an entry the history holds no
// start of.
DetailsRow detailsRow(const ScheduleEntry& entry, const LastResults& results,
                      const DetailsTexts& texts);

// The Show column: "Minimized, background", with ", print" for a document
// that is printed.
std::string showText(std::uint16_t showCommand, char printFlag);

// Typing in the list: the first row from `from` on (round to the top, with
// `wrap`) whose description begins with `prefix`, the case of ASCII letters
// ignored; none when no row's does.
std::optional<std::size_t> findByDescription(const ScheduleStore& store, std::size_t from,
                                             std::string_view prefix, bool wrap);

}  // namespace kv
