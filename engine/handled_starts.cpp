#include "engine/handled_starts.h"

#include <utility>
#include <vector>

#include "schedule/ascii_case.h"

namespace kv {
namespace {

constexpr std::size_t kFieldCount = 5;

// One line of the record, its texts still escaped as written.
struct RecordLine {
  Time through = 0;
  std::string_view schedule;
  std::string_view entry;  // description, command and directory with their tabs
};

std::optional<RecordLine> parseRecordLine(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  const std::vector<std::string_view> fields = tabSeparatedFields(line);
  if (fields.size() != kFieldCount) return std::nullopt;
  const std::optional<Time> through = parseIsoTimeWithOffset(fields[0]);
  if (!through) return std::nullopt;
  const std::size_t entryAt = static_cast<std::size_t>(fields[2].data() - line.data());
  return RecordLine{*through, fields[1], line.substr(entryAt)};
}

// Calls take(line, record) for every line that is a record, in file order.
template <typename Take>
void forEachRecordLine(std::string_view bytes, Take take) {
  std::size_t at = 0;
  while (at < bytes.size()) {
    std::size_t end = bytes.find('\n', at);
    if (end == std::string_view::npos) end = bytes.size();
    const std::string_view line = bytes.substr(at, end - at);
    if (const std::optional<RecordLine> record = parseRecordLine(line)) take(line, *record);
    at = end + 1;
  }
}

std::string foldedAsciiCase(std::string_view text) {
  std::string folded(text.size(), '\0');
  for (std::size_t i = 0; i < text.size(); ++i)
    folded[i] = static_cast<char>(foldAsciiCase(text[i]));
  return folded;
}

}  // namespace

std::string handledStartLine(Time through, std::string_view schedule, const ScheduleEntry& entry) {
  std::string line = isoTimeWithOffset(through);
  for (std::string_view text :
       {schedule, std::string_view(entry.description), std::string_view(entry.commandLine),
        std::string_view(entry.workingDirectory)}) {
    line += '\t';
    line += escapedField(text);
  }
  return line;
}

HandledStarts::HandledStarts(std::string_view recordBytes, std::string_view schedule) {
  const std::string name = escapedField(schedule);
  // The newest line of an entry holds, even where the clock went back
  // since an older one.
  forEachRecordLine(recordBytes, [&](std::string_view, const RecordLine& record) {
    if (equalsIgnoringAsciiCase(record.schedule, name)) {
      through_[std::string(record.entry)] = record.through;
    }
  });
}

std::string HandledStarts::keyOf(const ScheduleEntry& entry) {
  return escapedField(entry.description) + '\t' + escapedField(entry.commandLine) + '\t' +
         escapedField(entry.workingDirectory);
}

std::optional<Time> HandledStarts::handledThrough(const ScheduleEntry& entry) const {
  if (through_.empty()) return std::nullopt;
  const auto found = through_.find(keyOf(entry));
  if (found == through_.end()) return std::nullopt;
  return found->second;
}

HandledThrough handledThroughLookup(std::shared_ptr<const HandledStarts> starts) {
  if (!starts || starts->empty()) return {};
  return [starts = std::move(starts)](const ScheduleEntry& entry) {
    return starts->handledThrough(entry);
  };
}

std::string compactHandledStarts(std::string_view recordBytes) {
  // Which line is the newest of its entry, by the line's place.
  std::unordered_map<std::string, std::size_t> newest;
  std::vector<std::string_view> lines;
  forEachRecordLine(recordBytes, [&](std::string_view line, const RecordLine& record) {
    std::string key = foldedAsciiCase(record.schedule);
    key += '\t';
    key += record.entry;
    newest[std::move(key)] = lines.size();
    lines.push_back(line);
  });
  std::vector<bool> kept(lines.size(), false);
  for (const auto& [key, index] : newest) kept[index] = true;
  std::string compacted(kHandledStartsHeader);
  compacted += "\r\n";
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!kept[i]) continue;
    std::string_view line = lines[i];
    if (line.back() == '\r') line.remove_suffix(1);
    compacted += line;
    compacted += "\r\n";
  }
  return compacted;
}

}  // namespace kv
