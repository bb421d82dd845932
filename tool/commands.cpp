// list and next run on the core that kv.exe runs on: the file reader of
// the schedule, the store's due order, the catch-up on load and the re-file
// after a start. Nothing here decides anew what kv.exe would do; check, in
// check_command.cpp, reads the file with the same reader.
#include "tool/commands.h"

#include <algorithm>
#include <map>
#include <vector>

#include "engine/recurrence.h"
#include "schedule/entry_codes.h"
#include "schedule/schedule_file.h"
#include "schedule/schedule_store.h"
#include "schedule/utf8_text.h"
#include "schedule/visible_list.h"

namespace kv::tool {
namespace {

// The store keeps the due order; nothing here is shown in a window.
class NoVisibleList : public VisibleList {
 public:
  void insertRow(int, std::string) override {}
  void removeRow(int) override {}
  void clear() override {}
  int selectedRow() const override { return -1; }
  void selectRow(int) override {}
};

class Schedule {
 public:
  explicit Schedule(std::vector<EntryLine> lines)
      : store_(list_, [](Time, const std::string&) { return std::string(); }) {
    store_.replaceLines(std::move(lines));
  }
  ScheduleStore& store() { return store_; }

 private:
  NoVisibleList list_;
  ScheduleStore store_;
};

std::vector<EntryLine> composedAsStored(const std::vector<ScheduleEntry>& entries) {
  std::vector<EntryLine> lines;
  lines.reserve(entries.size());
  for (const ScheduleEntry& entry : entries) lines.push_back(composeEntryLine(entry));
  return lines;
}

// Every entry line, of either layout, begins with its start and end times.
bool beginsWithTwoTimes(std::string_view line) {
  std::size_t at = 0;
  const auto digits = [&] {
    const std::size_t from = at;
    while (at < line.size() && line[at] >= '0' && line[at] <= '9') ++at;
    return at > from;
  };
  if (!digits() || at >= line.size() || line[at] != ' ') return false;
  while (at < line.size() && line[at] == ' ') ++at;
  return digits();
}

bool looksLikeSchedule(const ScheduleFileScan& scan) {
  if (scan.currentHeader || scan.lines.empty()) return true;
  for (const ScannedLine& line : scan.lines) {
    if (beginsWithTwoTimes(line.text)) return true;
  }
  return false;
}

// Whether the file's line holds no description, so that the reader gave
// its entry the default one. Legacy lines hold none; in a current line a
// description runs from its 'd' to the end of the line.
bool holdsNoDescription(const ScannedLine& line, bool currentLayout) {
  if (!currentLayout) return true;
  const ScheduleEntry& e = line.entry;
  if (e.description.empty() || e.description != defaultDescription(e.commandLine)) return false;
  return !utf16Head(line.text, kMaxEntryLine).ends_with("d" + e.description);
}

// The entries of a file, and apart from them those that the file gives no
// description.
struct FileEntries {
  std::vector<ScheduleEntry> all;
  std::vector<ScheduleEntry> undescribed;
};

FileEntries entriesOf(const ScheduleFileScan& scan) {
  FileEntries entries;
  entries.all.reserve(scan.lines.size());
  for (const ScannedLine& line : scan.lines) {
    entries.all.push_back(line.entry);
    if (holdsNoDescription(line, scan.currentHeader)) entries.undescribed.push_back(line.entry);
  }
  return entries;
}

// The entries of the bytes, when they look like a schedule file.
std::optional<FileEntries> entriesOfSchedule(std::string_view bytes,
                                             const LegacyTextReader& legacy) {
  const ScheduleFileText text = scheduleFileText(std::string(bytes), legacy);
  const ScheduleFileScan scan = scanScheduleFile(text.text, kVersionText);
  if (!looksLikeSchedule(scan)) return std::nullopt;
  return entriesOf(scan);
}

// The store's lines of entries that the file gives no description. Equal
// lines cannot be told apart in the store, so a count per line will do.
class UndescribedLines {
 public:
  explicit UndescribedLines(const std::vector<EntryLine>& lines) {
    for (const EntryLine& line : lines) add(line);
  }
  void add(const EntryLine& line) { ++counts_[line]; }
  // Whether the line is one of them; each line added is found once.
  bool take(std::string_view line) {
    const auto found = counts_.find(line);
    if (found == counts_.end()) return false;
    if (--found->second == 0) counts_.erase(found);
    return true;
  }

 private:
  std::map<EntryLine, std::size_t, std::less<>> counts_;
};

std::string padded(std::string text, std::size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

// The widest frequency and show mode names, so that the columns line up.
constexpr std::size_t kFrequencyWidth = 16;
constexpr std::size_t kShowModeWidth = 21;

constexpr std::string_view kListColumns =
    "start\tfrequency\tend\tshow\taction\tcommand\tdirectory\tdescription\n";
constexpr std::string_view kNextColumns = "start\tfrequency\tdescription";
// With missed starts run on load, tsv adds the missed start of each row
// that is one, empty for the others.
constexpr std::string_view kMissedColumn = "\tmissed";

std::string_view openOrPrint(char printFlag) {
  return nameOf(actionOfFlag(printFlag));
}

// The start and the frequency that the rows of list and next begin with,
// each followed by the column separator.
void writeStartAndFrequency(const ScheduleEntry& e, Format format, std::ostream& out) {
  if (format == Format::Tsv) {
    out << isoLocalTime(e.start) << '\t' << escapedUtf8(frequencyName(e.frequency)) << '\t';
    return;
  }
  out << shortLocalTime(e.start) << "  "
      << padded(escapedUtf8(frequencyName(e.frequency)), kFrequencyWidth) << "  ";
}

// The description of a row; in tsv the one the file holds, none where the
// reader gave the entry the default one.
std::string shownDescription(const ScheduleEntry& e, bool undescribed, Format format) {
  return format == Format::Tsv && undescribed ? std::string() : escapedUtf8(e.description);
}

void writeListRow(const ScheduleEntry& e, bool undescribed, Format format, std::ostream& out) {
  writeStartAndFrequency(e, format, out);
  if (format == Format::Tsv) {
    out << isoLocalTime(e.end) << '\t' << showModeName(e.showCommand) << '\t'
        << openOrPrint(e.printFlag) << '\t' << escapedUtf8(e.commandLine) << '\t'
        << escapedUtf8(e.workingDirectory) << '\t';
  } else {
    out << "until " << shortLocalTime(e.end) << "  "
        << padded(showModeName(e.showCommand), kShowModeWidth) << "  "
        << padded(std::string(openOrPrint(e.printFlag)), 5) << "  " << escapedUtf8(e.commandLine)
        << "  [" << escapedUtf8(e.workingDirectory) << "]  ";
  }
  out << shownDescription(e, undescribed, format) << '\n';
}

// A start that next shows: the entry as filed, started at `launch`, which
// is later than its start when the start was missed before the load.
struct NextStart {
  ScheduleEntry due;
  Time launch = 0;
  bool undescribed = false;
  bool missed() const { return due.start < launch; }
};

void writeNextRow(const NextStart& start, const NextRequest& request, std::ostream& out) {
  ScheduleEntry launched = start.due;
  launched.start = start.launch;
  writeStartAndFrequency(launched, request.format, out);
  out << shownDescription(launched, start.undescribed, request.format);
  if (request.format == Format::Tsv) {
    if (request.missedStarts == MissedStarts::RunOnce) {
      out << '\t' << (start.missed() ? isoLocalTime(start.due.start) : std::string());
    }
  } else if (start.missed()) {
    out << "  (missed start " << shortLocalTime(start.due.start) << ", run at load)";
  }
  out << '\n';
}

void writeNextColumns(const NextRequest& request, std::ostream& out) {
  if (request.format != Format::Tsv) return;
  out << kNextColumns << (request.missedStarts == MissedStarts::RunOnce ? kMissedColumn : "")
      << '\n';
}

}  // namespace

std::string frequencyName(char code) {
  return frequencyCodeName(code);
}

std::string showModeName(std::uint16_t showCommand) {
  return showCommandName(showCommand);
}

Written writeList(std::string_view bytes, Format format, std::ostream& out,
                  const LegacyTextReader& legacy) {
  const std::optional<FileEntries> entries = entriesOfSchedule(bytes, legacy);
  if (!entries) return {false, {}};
  Schedule schedule(composedAsStored(entries->all));
  UndescribedLines undescribed(composedAsStored(entries->undescribed));
  const ScheduleStore& store = schedule.store();
  if (format == Format::Tsv) out << kListColumns;
  for (std::size_t row = 0; row < store.size(); ++row) {
    writeListRow(parseEntryLine(store.line(row)), undescribed.take(store.line(row)), format, out);
  }
  return {true, store.empty() ? "no entries" : ""};
}

Written writeNext(std::string_view bytes, const NextRequest& request, std::ostream& out,
                  const LegacyTextReader& legacy) {
  const std::optional<FileEntries> entries = entriesOfSchedule(bytes, legacy);
  if (!entries) return {false, {}};
  const Time from = request.from;
  Schedule schedule(
      catchUpLoadedEntries(entries->all, from, from, request.missedStarts, request.handled));
  UndescribedLines undescribed(catchUpLoadedEntries(entries->undescribed, from, from,
                                                    request.missedStarts, request.handled));
  ScheduleStore& store = schedule.store();
  writeNextColumns(request, out);
  const std::string none = "no starts from " + localTimeText(from);
  if (entries->all.empty()) return {true, none + " (the schedule is empty)"};
  if (store.empty()) return {true, none + ": a load then drops every entry"};
  std::size_t shown = 0;
  for (; (!request.count || shown < *request.count) && !store.empty(); ++shown) {
    // The first-due entry starts when the due check first finds it due: at
    // its start, or at the load when the start was missed before it. It
    // leaves its row and is filed under its first occurrence after that.
    const ScheduleEntry due = parseEntryLine(store.line(0));
    const NextStart start{due, std::max(due.start, from), undescribed.take(store.line(0))};
    if (request.until && start.launch > *request.until) break;
    writeNextRow(start, request, out);
    store.removeRow(0);
    if (const std::optional<ScheduleEntry> next = refileAfter(due, start.launch)) {
      store.fileEntry(*next);
      if (start.undescribed) undescribed.add(composeEntryLine(*next));
    }
  }
  if (shown == 0 && request.until) return {true, none + " to " + localTimeText(*request.until)};
  return {};
}

}  // namespace kv::tool
