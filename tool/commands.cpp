// list, next and check run on the core that kv.exe runs on: the file reader
// of the schedule, the store's due order, the catch-up on load and the
// re-file after a start. Nothing here decides anew what kv.exe would do.
#include "tool/commands.h"

#include <cstdio>
#include <map>
#include <vector>

#include "engine/recurrence.h"
#include "schedule/ascii_case.h"
#include "schedule/schedule_file.h"
#include "schedule/schedule_store.h"
#include "schedule/visible_list.h"

namespace kv::tool {
namespace {

// The store keeps the due order; nothing here is shown in a window.
class NoVisibleList : public VisibleList {
 public:
  void insertRow(int, const std::string&) override {}
  void removeRow(int) override {}
  void clear() override {}
  int selectedRow() const override { return -1; }
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
  return !line.text.substr(0, kMaxEntryLine).ends_with("d" + e.description);
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

// The store's lines of entries that the file gives no description. Equal
// lines cannot be told apart in the store, so a count per line will do.
class UndescribedLines {
 public:
  explicit UndescribedLines(const std::vector<EntryLine>& lines) {
    for (const EntryLine& line : lines) add(line);
  }
  void add(const EntryLine& line) { ++counts_[line]; }
  // Whether the line is one of them; each line added is found once.
  bool take(const EntryLine& line) {
    const auto found = counts_.find(line);
    if (found == counts_.end()) return false;
    if (--found->second == 0) counts_.erase(found);
    return true;
  }

 private:
  std::map<EntryLine, std::size_t> counts_;
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
constexpr std::string_view kNextColumns = "start\tfrequency\tdescription\n";

std::string_view openOrPrint(char printFlag) {
  return printFlag == '1' ? "print" : "open";
}

// A row of list; in tsv the description is the one the file holds.
void writeListRow(const ScheduleEntry& e, bool undescribed, Format format, const TerminalText& text,
                  std::ostream& out) {
  if (format == Format::Tsv) {
    out << isoLocalTime(e.start) << '\t' << text(frequencyName(e.frequency)) << '\t'
        << isoLocalTime(e.end) << '\t' << showModeName(e.showCommand) << '\t'
        << openOrPrint(e.printFlag) << '\t' << text(e.commandLine) << '\t'
        << text(e.workingDirectory) << '\t' << (undescribed ? "" : text(e.description)) << '\n';
    return;
  }
  out << shortLocalTime(e.start) << "  "
      << padded(text(frequencyName(e.frequency)), kFrequencyWidth) << "  until "
      << shortLocalTime(e.end) << "  " << padded(showModeName(e.showCommand), kShowModeWidth)
      << "  " << padded(std::string(openOrPrint(e.printFlag)), 5) << "  " << text(e.commandLine)
      << "  [" << text(e.workingDirectory) << "]  " << text(e.description) << '\n';
}

void writeNextRow(const ScheduleEntry& e, bool undescribed, Format format, const TerminalText& text,
                  std::ostream& out) {
  if (format == Format::Tsv) {
    out << isoLocalTime(e.start) << '\t' << text(frequencyName(e.frequency)) << '\t'
        << (undescribed ? "" : text(e.description)) << '\n';
    return;
  }
  out << shortLocalTime(e.start) << "  "
      << padded(text(frequencyName(e.frequency)), kFrequencyWidth) << "  " << text(e.description)
      << '\n';
}

// --- check -------------------------------------------------------------

std::string byteText(unsigned char byte) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", static_cast<unsigned>(byte));
  return text;
}

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         equalsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

// What is missing from a line that does not come back from a load as it
// stands, in the order in which the reader looks for the pieces.
std::string damageOf(std::string_view line) {
  const std::size_t separator = line.find(std::string{' ', kDirectorySeparator});
  if (separator == std::string_view::npos) return "no byte 18 before a working directory";
  const std::size_t print = line.find(" p", separator + 2);
  if (print == std::string_view::npos) return "no print flag";
  if (print + 3 > line.size() || line.find('d', print + 3) == std::string_view::npos) {
    return "no description field";
  }
  return "fields not in the form kv.exe writes";
}

// A line loads as it stands when composing its entry gives it back; an
// empty description, which the reader fills with the default one, counts
// as unchanged.
bool loadsUnchanged(std::string_view line, const ScheduleEntry& entry) {
  if (composeEntryLine(entry) == line) return true;
  if (entry.description != defaultDescription(entry.commandLine)) return false;
  ScheduleEntry undescribed = entry;
  undescribed.description.clear();
  return composeEntryLine(undescribed) == line;
}

bool knownShowCommand(std::uint16_t show) {
  return show == 1 || show == 2 || show == 3 || show == 4 || show == 7;
}

class CheckReport {
 public:
  CheckReport(std::string_view name, std::ostream& out) : name_(name), out_(out) {}

  // The findings that follow are about the rest of a line that a control
  // byte ended early.
  void setRestOfLine(bool rest) { rest_ = rest; }

  // Something a load would cut, change or drop.
  void change(std::size_t line, const std::string& text) {
    ++changes_;
    out_ << name_ << ':' << line << ": " << (rest_ ? "its rest: " : "") << text << '\n';
  }
  // Something a load keeps as it stands, but that will not run as meant.
  void warning(std::size_t line, const std::string& text) {
    ++warnings_;
    out_ << name_ << ':' << line << ": warning: " << (rest_ ? "its rest: " : "") << text << '\n';
  }

  int finish(std::size_t read, std::size_t kept) {
    out_ << name_ << ": " << kept << " of " << read << (read == 1 ? " entry" : " entries")
         << " kept by a load; ";
    if (changes_ == 0) {
      out_ << "loads as it stands";
    } else {
      out_ << "a load would change or drop something (" << changes_ << ")";
    }
    if (warnings_ != 0) out_ << "; " << warnings_ << (warnings_ == 1 ? " warning" : " warnings");
    out_ << '\n';
    return changes_ == 0 ? kExitLoadsAsItStands : kExitLoadChanges;
  }

 private:
  std::string_view name_;
  std::ostream& out_;
  std::size_t changes_ = 0;
  std::size_t warnings_ = 0;
  bool rest_ = false;
};

void checkHeader(const ScheduleFileScan& scan, CheckReport& report) {
  if (scan.currentHeader) return;
  const std::string expected = "Version=" + std::string(kVersionText);
  if (startsWithIgnoringCase(scan.header, "Version=")) {
    report.change(1, "header " + std::string(scan.header) + " is not " + expected +
                         ": every line, this one too, is read as a legacy entry and converted");
  } else if (!scan.lines.empty()) {
    report.change(1, "no " + expected + " header: a legacy file, converted on load");
  }
}

void checkLineForm(std::string_view bytes, const ScannedLine& line, bool currentLayout,
                   CheckReport& report) {
  if (line.cut) {
    report.change(line.number, "line of " + std::to_string(line.text.size()) +
                                   " bytes: a load keeps only its first " +
                                   std::to_string(kMaxEntryLine));
  }
  if (line.endedEarly) {
    const std::size_t end =
        static_cast<std::size_t>(line.text.data() - bytes.data()) + line.text.size();
    const unsigned char byte = end < bytes.size() ? static_cast<unsigned char>(bytes[end]) : 0u;
    report.change(line.number, "byte " + byteText(byte) +
                                   " ends the line early: the rest is read as another line");
  }
  const std::string_view kept = line.text.substr(0, kMaxEntryLine);
  if (currentLayout && !loadsUnchanged(kept, line.entry)) {
    report.change(line.number, "damaged line (" + damageOf(kept) + "): a load changes it");
  }
}

// Whether a load keeps the entry (catch-up steps 1 and 2); reports a drop.
bool checkKept(const ScannedLine& line, Time now, CheckReport& report) {
  const ScheduleEntry& e = line.entry;
  if (!catchUpOnLoad(e, now, now)) {
    if (e.frequency == 'O' && now > e.start) {
      report.change(line.number, "one-time entry in the past (" + shortLocalTime(e.start) +
                                     "): a load drops it");
    } else if (now > e.end) {
      report.change(line.number,
                    "end " + shortLocalTime(e.end) + " has passed: a load drops the entry");
    } else if (const Time next = firstOccurrenceAfter(e.frequency, e.start, now);
               next > now || e.start >= now) {
      // A start after the end, as it stands or once brought up to date.
      const Time start = e.start >= now ? e.start : next;
      report.change(line.number, "next start " + shortLocalTime(start) + " lies after its end " +
                                     shortLocalTime(e.end) + ": a load drops the entry");
    } else {
      report.change(line.number, "no start left before 2106: a load drops the entry");
    }
    return false;
  }
  return true;
}

void checkEntry(const ScheduleEntry& e, std::size_t number, ProgramChecks* programs,
                const TerminalText& text, CheckReport& report) {
  if (e.start >= e.end) {
    report.warning(number, "start " + shortLocalTime(e.start) + " is not before its end " +
                               shortLocalTime(e.end));
  }
  if (e.frequency != 'O' && !isRecurring(e.frequency)) {
    report.warning(number, "unknown frequency code '" + text(std::string(1, e.frequency)) +
                               "': the entry starts once and leaves");
  }
  if (!knownShowCommand(e.showCommand)) {
    report.warning(number, "unknown show command " + std::to_string(e.showCommand));
  }
  const std::string_view program = programPart(e.commandLine);
  if (program.empty()) {
    report.warning(number, "no program or document to start");
    return;
  }
  if (!programs) return;
  switch (programs->check(program, e.workingDirectory)) {
    case ProgramChecks::Result::NotFound:
      report.warning(number, text(program) + " not found");
      break;
    case ProgramChecks::Result::NoAssociation:
      report.warning(number, "no application is associated with " + text(program));
      break;
    case ProgramChecks::Result::Startable:
      break;
  }
}

}  // namespace

std::string frequencyName(char frequency) {
  switch (frequency) {
    case 'O':
      return "Once";
    case 'M':
      return "Every Minute";
    case 'F':
      return "Every 15 Minutes";
    case 'H':
      return "Hourly";
    case 'D':
      return "Daily";
    case 'K':
      return "Weekdays";
    case 'W':
      return "Weekly";
    case 'T':
      return "Monthly";
    case 'E':
      return "Month End";
    default:
      return "Code " + std::string(1, frequency);
  }
}

std::string showModeName(std::uint16_t showCommand) {
  switch (showCommand) {
    case 1:
      return "Normal";
    case 2:
      return "Minimized";
    case 3:
      return "Maximized";
    case 4:
      return "Normal, background";
    case 7:
      return "Minimized, background";
    default:
      return "Show " + std::to_string(showCommand);
  }
}

Written writeList(std::string_view bytes, Format format, std::ostream& out,
                  const TerminalText& text) {
  const ScheduleFileScan scan = scanScheduleFile(bytes, kVersionText);
  if (!looksLikeSchedule(scan)) return {false, {}};
  const FileEntries entries = entriesOf(scan);
  Schedule schedule(composedAsStored(entries.all));
  UndescribedLines undescribed(composedAsStored(entries.undescribed));
  const ScheduleStore& store = schedule.store();
  if (format == Format::Tsv) out << kListColumns;
  for (std::size_t row = 0; row < store.size(); ++row) {
    writeListRow(parseEntryLine(store.line(row)), undescribed.take(store.line(row)), format, text,
                 out);
  }
  return {true, store.empty() ? "no entries" : ""};
}

Written writeNext(std::string_view bytes, const NextRequest& request, std::ostream& out,
                  const TerminalText& text) {
  const ScheduleFileScan scan = scanScheduleFile(bytes, kVersionText);
  if (!looksLikeSchedule(scan)) return {false, {}};
  const FileEntries entries = entriesOf(scan);
  Schedule schedule(catchUpLoadedEntries(entries.all, request.from, request.from));
  UndescribedLines undescribed(
      catchUpLoadedEntries(entries.undescribed, request.from, request.from));
  ScheduleStore& store = schedule.store();
  if (request.format == Format::Tsv) out << kNextColumns;
  const std::string from = "no starts from " + localTimeText(request.from);
  if (entries.all.empty()) return {true, from + " (the schedule is empty)"};
  if (store.empty()) return {true, from + ": a load then drops every entry"};
  std::size_t shown = 0;
  for (; (!request.count || shown < *request.count) && !store.empty(); ++shown) {
    // The first-due entry starts, leaves its row and is filed again.
    const ScheduleEntry due = parseEntryLine(store.line(0));
    if (request.until && due.start > *request.until) break;
    const bool noDescription = undescribed.take(store.line(0));
    writeNextRow(due, noDescription, request.format, text, out);
    store.removeRow(0);
    if (const std::optional<ScheduleEntry> next = refileAfterLaunch(due)) {
      store.fileEntry(*next);
      if (noDescription) undescribed.add(composeEntryLine(*next));
    }
  }
  if (shown == 0 && request.until) return {true, from + " to " + localTimeText(*request.until)};
  return {};
}

int writeCheck(std::string_view bytes, std::string_view name, Time now, ProgramChecks* programs,
               std::ostream& out, const TerminalText& text) {
  const ScheduleFileScan scan = scanScheduleFile(bytes, kVersionText);
  CheckReport report(name, out);
  checkHeader(scan, report);
  std::size_t kept = 0;
  const ScannedLine* previous = nullptr;
  for (const ScannedLine& line : scan.lines) {
    report.setRestOfLine(previous && previous->endedEarly && previous->number == line.number);
    previous = &line;
    checkLineForm(bytes, line, scan.currentHeader, report);
    if (!checkKept(line, now, report)) continue;
    ++kept;
    checkEntry(line.entry, line.number, programs, text, report);
  }
  return report.finish(scan.lines.size(), kept);
}

}  // namespace kv::tool
