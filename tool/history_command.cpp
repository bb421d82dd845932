// history reads the file with the reader of the core, the one kv.exe's
// History window reads it with, ties each end to its start as the window
// does, and only chooses and lays out the starts.
#include "tool/history_command.h"

#include <algorithm>
#include <limits>

#include "schedule/entry_codes.h"
#include "tool/commands.h"

namespace kv::tool {
namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

constexpr std::string_view kHistoryColumns =
    "time\tdue\tschedule\tdescription\tcommand\tdirectory\taction\tshow\tresult\toutcome";

// The lines of the bytes, without their line ends.
std::vector<std::string_view> linesOf(std::string_view bytes) {
  std::vector<std::string_view> lines;
  while (!bytes.empty()) {
    const std::size_t end = std::min(bytes.find('\n'), bytes.size());
    std::string_view line = bytes.substr(0, end);
    if (line.ends_with('\r')) line.remove_suffix(1);
    lines.push_back(line);
    bytes.remove_prefix(std::min(end + 1, bytes.size()));
  }
  return lines;
}

std::vector<const HistoryRecord*> chosen(const std::vector<HistoryRecord>& starts,
                                         const HistoryRequest& request) {
  std::vector<const HistoryRecord*> kept;
  for (const HistoryRecord& start : starts) {
    if (request.since && start.attempted < *request.since) continue;
    if (request.failedOnly && !start.needsAttention()) continue;
    kept.push_back(&start);
  }
  if (request.count && kept.size() > *request.count) {
    kept.erase(kept.begin(), kept.end() - static_cast<std::ptrdiff_t>(*request.count));
  }
  return kept;
}

std::string emptyNote(const HistoryRequest& request) {
  std::string note = request.failedOnly ? "no failed starts recorded" : "no starts recorded";
  if (request.since) note += " since " + localTimeText(*request.since);
  return note;
}

std::string showName(int showCommand) {
  if (showCommand < 0 || showCommand > std::numeric_limits<std::uint16_t>::max()) {
    return "Show " + std::to_string(showCommand);
  }
  return showModeName(static_cast<std::uint16_t>(showCommand));
}

std::string tsvRow(const HistoryRecord& r) {
  std::string row = isoLocalTime(r.attempted);
  for (const std::string& field :
       {isoLocalTime(r.due), escapedUtf8(r.schedule), escapedUtf8(r.description),
        escapedUtf8(r.commandLine), escapedUtf8(r.workingDirectory),
        std::string(nameOf(r.print ? Action::Print : Action::Open)), showName(r.showCommand),
        std::to_string(r.result), escapedUtf8(r.outcome)}) {
    row += '\t';
    row += field;
  }
  return row;
}

// The texts of a line of the text output, escaped.
struct TextRow {
  std::string time, description, command, outcome;
};

TextRow textRow(const HistoryRecord& r) {
  return {shortLocalTime(r.attempted), escapedUtf8(r.description), escapedUtf8(r.commandLine),
          escapedUtf8(r.outcome)};
}

std::string padded(std::string text, std::size_t width) {
  const std::size_t length = utf8Length(text);
  if (length < width) text.append(width - length, ' ');
  return text;
}

// The width of a column: its longest text, up to kMaxAlignedWidth.
template <typename Field>
std::size_t columnWidth(const std::vector<TextRow>& rows, Field field) {
  std::size_t width = 0;
  for (const TextRow& row : rows) width = std::max(width, utf8Length(row.*field));
  return std::min(width, kMaxAlignedWidth);
}

std::vector<std::string> textLines(const std::vector<const HistoryRecord*>& records) {
  std::vector<TextRow> rows;
  rows.reserve(records.size());
  for (const HistoryRecord* record : records) rows.push_back(textRow(*record));
  const std::size_t description = columnWidth(rows, &TextRow::description);
  const std::size_t command = columnWidth(rows, &TextRow::command);
  std::vector<std::string> lines;
  lines.reserve(rows.size());
  for (const TextRow& row : rows) {
    lines.push_back(row.time + "  " + padded(row.description, description) + "  " +
                    padded(row.command, command) + "  " + row.outcome);
  }
  return lines;
}

void writeLine(std::string_view line, std::ostream& out) {
  out << line << '\n';
}

}  // namespace

HistoryFile readHistoryFile(std::string_view bytes) {
  if (bytes.starts_with(kUtf8ByteOrderMark)) bytes.remove_prefix(kUtf8ByteOrderMark.size());
  HistoryFile file;
  bool header = false;
  for (std::string_view line : linesOf(bytes)) {
    if (line.empty()) continue;
    if (line == kHistoryHeader) {
      header = true;
    } else if (std::optional<HistoryRecord> record = parseHistoryLine(line)) {
      file.records.push_back(std::move(*record));
    } else {
      ++file.unreadLines;
    }
  }
  file.history = header || !file.records.empty() || file.unreadLines == 0;
  return file;
}

HistoryShown writeHistory(const std::vector<HistoryRecord>& records, const HistoryRequest& request,
                          std::ostream& out) {
  const std::vector<HistoryRecord> starts = startsWithOutcomes(records);
  const std::vector<const HistoryRecord*> kept = chosen(starts, request);
  if (request.format == Format::Tsv) {
    writeLine(kHistoryColumns, out);
    for (const HistoryRecord* record : kept) writeLine(tsvRow(*record), out);
  } else {
    for (const std::string& line : textLines(kept)) writeLine(line, out);
  }
  return {kept.size(), kept.empty() ? emptyNote(request) : std::string()};
}

int historyExitStatus(const HistoryRequest& request, const HistoryShown& shown) {
  return request.failedOnly && shown.starts > 0 ? kExitFailedStarts : kExitDone;
}

}  // namespace kv::tool
