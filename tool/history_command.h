// history: the starts that kv.exe attempted, read from the history it keeps.
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

struct HistoryRequest {
  std::optional<Time> since;  // no attempt before it
  bool failedOnly = false;
  std::optional<std::size_t> count;  // the last this many of the rest; empty: all
  Format format = Format::Text;
};

struct HistoryShown {
  std::size_t records = 0;
  // An empty result said in words, for standard error.
  std::string note;
};

// The texts are aligned in columns up to this many characters; a longer
// text moves the columns after it on its own line only.
inline constexpr std::size_t kMaxAlignedWidth = 60;

// history: the records the request asks for, in the order given (the order
// of the attempts). Text: the attempt time, description, command line and
// outcome, aligned; tsv: every field under a row of column names, with
// kvtool's times. Texts keep their UTF-8 with control characters escaped;
// `output` converts each line for the terminal.
HistoryShown writeHistory(const std::vector<HistoryRecord>& records, const HistoryRequest& request,
                          std::ostream& out, const Utf8Output& output = {});

}  // namespace kv::tool
