#include "engine/history.h"

#include <cstdio>
#include <deque>
#include <unordered_map>
#include <cstdlib>
#include <limits>

#include "engine/calendar.h"
#include "engine/launcher.h"
#include "schedule/entry_codes.h"

namespace kv {
namespace {

constexpr std::size_t kFieldCount = 10;
constexpr char kHexDigits[] = "0123456789ABCDEF";

bool isEscaped(unsigned char c, std::string_view rest) {
  return c < 0x20 || c == 0x7F || (c == '\\' && rest.starts_with('x'));
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Seconds from 1970 of a date and clock, as if it were UTC.
std::int64_t civilSeconds(const LocalTime& t) {
  return std::int64_t{dayNumber(t)} * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

std::optional<unsigned> parseNumber(std::string_view text) {
  if (text.empty() || text.size() > 10) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  if (value > std::numeric_limits<unsigned>::max()) return std::nullopt;
  return static_cast<unsigned>(value);
}

}  // namespace

std::string escapedField(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (!isEscaped(c, text.substr(i + 1))) {
      out += static_cast<char>(c);
      continue;
    }
    out += "\\x";
    out += kHexDigits[c >> 4];
    out += kHexDigits[c & 0xF];
  }
  return out;
}

std::string unescapedField(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x' &&
        hexValue(text[i + 2]) >= 0 && hexValue(text[i + 3]) >= 0) {
      out += static_cast<char>(hexValue(text[i + 2]) * 16 + hexValue(text[i + 3]));
      i += 3;
      continue;
    }
    out += text[i];
  }
  return out;
}

std::vector<std::string_view> tabSeparatedFields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t at = 0;
  while (true) {
    const std::size_t tab = line.find('\t', at);
    fields.push_back(line.substr(at, tab == std::string_view::npos ? tab : tab - at));
    if (tab == std::string_view::npos) return fields;
    at = tab + 1;
  }
}

HistoryRecord historyRecord(const ScheduleEntry& entry, Time attempted, unsigned result,
                            std::string_view schedule, bool watched) {
  HistoryRecord record;
  record.attempted = attempted;
  record.due = entry.start;
  record.schedule = schedule;
  record.description = entry.description;
  record.commandLine = entry.commandLine;
  record.workingDirectory = entry.workingDirectory;
  record.print = actionOfFlag(entry.printFlag) == Action::Print;
  record.showCommand = entry.showCommand;
  record.result = result;
  record.outcome = isLaunchFailure(result)
                       ? launchFailureText(result, programPart(entry.commandLine), entry.printFlag)
                       : std::string(watched ? kRunningOutcome : kHandedOverOutcome);
  return record;
}

HistoryRecord skippedRecord(const ScheduleEntry& entry, Time attempted, std::string_view schedule,
                            std::string_view runningSince) {
  HistoryRecord record = historyRecord(entry, attempted, 0, schedule);
  record.outcome = skippedText(runningSince);
  return record;
}

HistoryRecord endRecord(const HistoryRecord& start, std::string_view outcome) {
  HistoryRecord end = start;
  end.outcome = outcome;
  return end;
}

namespace {

// What ties an end to its start: every field but the outcome.
std::string startKey(const HistoryRecord& r) {
  std::string key = std::to_string(r.attempted) + '\t' + std::to_string(r.due) + '\t' +
                    std::to_string(r.result) + '\t' + std::to_string(r.showCommand) +
                    (r.print ? "\tp\t" : "\to\t");
  for (const std::string* text :
       {&r.schedule, &r.description, &r.commandLine, &r.workingDirectory}) {
    key += escapedField(*text);
    key += '\t';
  }
  return key;
}

bool isEnd(const HistoryRecord& record) {
  const OutcomeKind kind = outcomeKind(record.outcome);
  return kind == OutcomeKind::Exited || kind == OutcomeKind::NoLongerWatched;
}

}  // namespace

std::string HistoryStart::outcome() const {
  if (end) return end->outcome;
  if (outcomeKind(start.outcome) == OutcomeKind::Running) return std::string(kStillRunningText);
  return start.outcome;
}

std::vector<HistoryStart> joinStartsAndEnds(std::vector<HistoryRecord> records) {
  std::vector<HistoryStart> starts;
  starts.reserve(records.size());
  // The running starts whose end has not come yet, by what ties them; two
  // starts of one entry in one second end in the order they began.
  std::unordered_map<std::string, std::deque<std::size_t>> open;
  for (HistoryRecord& record : records) {
    const std::string key = startKey(record);
    if (!isEnd(record)) {
      if (outcomeKind(record.outcome) == OutcomeKind::Running) open[key].push_back(starts.size());
      starts.push_back(HistoryStart{std::move(record), std::nullopt});
      continue;
    }
    const auto waiting = open.find(key);
    if (waiting == open.end() || waiting->second.empty()) {
      starts.push_back(HistoryStart{record, record});  // its start is no longer here
      continue;
    }
    starts[waiting->second.front()].end = std::move(record);
    waiting->second.pop_front();
  }
  return starts;
}

std::vector<HistoryRecord> startsWithOutcomes(std::vector<HistoryRecord> records) {
  std::vector<HistoryStart> joined = joinStartsAndEnds(std::move(records));
  std::vector<HistoryRecord> starts;
  starts.reserve(joined.size());
  for (HistoryStart& start : joined) {
    start.start.outcome = start.outcome();
    starts.push_back(std::move(start.start));
  }
  return starts;
}

std::string historyLine(const HistoryRecord& r) {
  std::string line = isoTimeWithOffset(r.attempted);
  for (const std::string& field :
       {isoTimeWithOffset(r.due), escapedField(r.schedule), escapedField(r.description),
        escapedField(r.commandLine), escapedField(r.workingDirectory),
        std::string(nameOf(r.print ? Action::Print : Action::Open)), std::to_string(r.showCommand),
        std::to_string(r.result), escapedField(r.outcome)}) {
    line += '\t';
    line += field;
  }
  return line;
}

std::optional<HistoryRecord> parseHistoryLine(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  const std::vector<std::string_view> f = tabSeparatedFields(line);
  if (f.size() != kFieldCount) return std::nullopt;
  const auto attempted = parseIsoTimeWithOffset(f[0]);
  const auto due = parseIsoTimeWithOffset(f[1]);
  const auto show = parseNumber(f[7]);
  const auto result = parseNumber(f[8]);
  const bool opened = f[6] == nameOf(Action::Open);
  const bool printed = f[6] == nameOf(Action::Print);
  if (!attempted || !due || !show || !result || (!opened && !printed)) {
    return std::nullopt;
  }
  HistoryRecord r;
  r.attempted = *attempted;
  r.due = *due;
  r.schedule = unescapedField(f[2]);
  r.description = unescapedField(f[3]);
  r.commandLine = unescapedField(f[4]);
  r.workingDirectory = unescapedField(f[5]);
  r.print = printed;
  r.showCommand = static_cast<int>(*show);
  r.result = *result;
  r.outcome = unescapedField(f[9]);
  return r;
}

std::vector<HistoryRecord> parseHistory(std::string_view bytes) {
  std::vector<HistoryRecord> records;
  std::size_t at = 0;
  while (at < bytes.size()) {
    std::size_t end = bytes.find('\n', at);
    if (end == std::string_view::npos) end = bytes.size();
    if (auto record = parseHistoryLine(bytes.substr(at, end - at))) {
      records.push_back(std::move(*record));
    }
    at = end + 1;
  }
  return records;
}

std::string isoTimeWithOffset(Time t) {
  const LocalTime local = toLocalTime(t);
  const std::int64_t offset = civilSeconds(local) - std::int64_t{t};
  const std::int64_t minutes = (offset < 0 ? -offset : offset) / 60;
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", local.year,
                local.month, local.day, local.hour, local.minute, local.second,
                offset < 0 ? '-' : '+', static_cast<int>(minutes / 60),
                static_cast<int>(minutes % 60));
  return text;
}

std::optional<Time> parseIsoTimeWithOffset(std::string_view text) {
  LocalTime fields;
  int offsetHours = 0, offsetMinutes = 0;
  char sign = 0, tee = 0;
  int used = 0;
  const std::string copy(text.substr(0, 32));
  if (std::sscanf(copy.c_str(), "%4d-%2d-%2d%c%2d:%2d:%2d%c%2d:%2d%n", &fields.year, &fields.month,
                  &fields.day, &tee, &fields.hour, &fields.minute, &fields.second, &sign,
                  &offsetHours, &offsetMinutes, &used) != 10 ||
      static_cast<std::size_t>(used) != text.size() || tee != 'T' || (sign != '+' && sign != '-')) {
    return std::nullopt;
  }
  const bool inRange = fields.month >= 1 && fields.month <= 12 && fields.day >= 1 &&
                       fields.day <= daysInMonth(fields.year, fields.month) && fields.hour >= 0 &&
                       fields.hour < 24 && fields.minute >= 0 && fields.minute < 60 &&
                       fields.second >= 0 && fields.second < 60 && offsetHours >= 0 &&
                       offsetHours < 24 && offsetMinutes >= 0 && offsetMinutes < 60;
  if (!inRange) return std::nullopt;
  const std::int64_t offset = (sign == '-' ? -1 : 1) * (offsetHours * 3600 + offsetMinutes * 60);
  const std::int64_t t = civilSeconds(fields) - offset;
  if (t < 0 || t > std::numeric_limits<Time>::max()) return std::nullopt;
  return static_cast<Time>(t);
}

}  // namespace kv
