#include "app/details_rows.h"

#include <utility>

#include "app/launch_history.h"
#include "schedule/ascii_case.h"
#include "schedule/entry_codes.h"

namespace kv {

void LastResults::read(std::string_view historyBytes, std::string_view schedule) {
  newest_.clear();
  for (HistoryRecord& start : scheduleStarts(historyBytes, schedule)) keep(std::move(start));
}

bool LastResults::note(const HistoryRecord& record, std::string_view schedule) {
  if (!equalsIgnoringAsciiCase(record.schedule, schedule)) return false;
  return keep(record);
}

// An end carries the time of its start, so it replaces its own start and
// nothing newer.
bool LastResults::keep(HistoryRecord record) {
  EntryKey key{record.description, record.commandLine};
  const auto known = newest_.find(key);
  if (known == newest_.end()) {
    newest_.emplace(std::move(key), std::move(record));
    return true;
  }
  if (record.attempted < known->second.attempted) return false;
  known->second = std::move(record);
  return true;
}

const HistoryRecord* LastResults::find(std::string_view description,
                                       std::string_view commandLine) const {
  const auto found = newest_.find(EntryKey{std::string(description), std::string(commandLine)});
  return found == newest_.end() ? nullptr : &found->second;
}

std::string showText(std::uint16_t showCommand, char printFlag) {
  std::string text = showCommandName(showCommand);
  if (actionOfFlag(printFlag) == Action::Print) text += std::string(", ") + nameOf(Action::Print);
  return text;
}

DetailsRow detailsRow(const ScheduleEntry& entry, const LastResults& results,
                      const DetailsTexts& texts) {
  DetailsRow row;
  const auto cell = [&row](DetailsColumn column) -> std::string& {
    return row[static_cast<std::size_t>(column)];
  };
  cell(DetailsColumn::NextStart) = texts.timeText(entry.start);
  cell(DetailsColumn::Frequency) = frequencyCodeName(entry.frequency);
  if (frequencyOfCode(entry.frequency) != Frequency::Once) {
    cell(DetailsColumn::Until) = texts.timeText(entry.end);
  }
  cell(DetailsColumn::Description) = entry.description;
  cell(DetailsColumn::CommandLine) = entry.commandLine;
  cell(DetailsColumn::Folder) = entry.workingDirectory;
  cell(DetailsColumn::Show) = showText(entry.showCommand, entry.printFlag);
  if (const HistoryRecord* last =
          results.find(cell(DetailsColumn::Description), cell(DetailsColumn::CommandLine))) {
    cell(DetailsColumn::LastResult) = lastResultText(*last, texts.recentTimeText(last->attempted));
  }
  return row;
}

namespace {

bool beginsWith(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         equalsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace

std::optional<std::size_t> findByDescription(const ScheduleStore& store, std::size_t from,
                                             std::string_view prefix, bool wrap) {
  const std::size_t rows = store.size();
  if (from >= rows) from = 0;
  const std::size_t searched = wrap ? rows : rows - from;
  for (std::size_t n = 0; n < searched; ++n) {
    const std::size_t row = (from + n) % rows;
    if (beginsWith(parseEntryLine(store.line(row)).description, prefix)) return row;
  }
  return std::nullopt;
}

}  // namespace kv
