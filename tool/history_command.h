// history: the starts that kv.exe attempted, read from the history it keeps,
// each with what became of it.
#pragma once

#include <cstddef>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "engine/history.h"
#include "tool/arguments.h"
#include "tool/terminal_text.h"

namespace kv::tool {

// The records of one history file's bytes, oldest first.
struct HistoryFile {
  // False when the bytes do not look like a history: they do when they hold
  // the header, a record, or no line at all.
  bool history = true;
  std::vector<HistoryRecord> records;
  // Lines that are neither the header nor a record: damaged ones.
  std::size_t unreadLines = 0;
};

HistoryFile readHistoryFile(std::string_view bytes);

// What to show of the starts; every option counts starts, not lines.
struct HistoryRequest {
  std::optional<Time> since;         // no start attempted before it
  bool failedOnly = false;           // only the starts that need attention
  std::optional<std::size_t> count;  // the last this many of the rest; empty: all
  Format format = Format::Text;
};

struct HistoryShown {
  std::size_t starts = 0;
  // An empty result said in words, for standard error.
  std::string note;
};

// The texts are aligned in columns up to this many characters; a longer
// text moves the columns after it on its own line only.
inline constexpr std::size_t kMaxAlignedWidth = 60;

// history: the starts the request asks for, in the order of the attempts,
// one line each: a start's end, read from a line of its own, shows as its
// outcome ("exited 1 after 3 s", "still running"). Text: the attempt time,
// description, command line and outcome, aligned; tsv: every field under a
// row of column names, with kvtool's times. Texts keep their UTF-8 with
// control characters escaped.
HistoryShown writeHistory(const std::vector<HistoryRecord>& records, const HistoryRequest& request,
                          std::ostream& out);

// 1 (kExitFailedStarts) when --failed found a start that needs attention,
// so that a script can tell; 0 otherwise.
int historyExitStatus(const HistoryRequest& request, const HistoryShown& shown);

}  // namespace kv::tool
