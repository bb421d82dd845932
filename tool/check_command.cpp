// check reads the file as a load by kv.exe would, with the same reader and
// the same catch-up, and says by line what that load would not keep as it
// stands.
#include "tool/commands.h"

#include <cstdio>
#include <string>

#include "engine/recurrence.h"
#include "schedule/ascii_case.h"
#include "schedule/entry_codes.h"
#include "schedule/schedule_file.h"
#include "schedule/utf8_text.h"

namespace kv::tool {
namespace {

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

class CheckReport {
 public:
  CheckReport(std::string_view name, std::ostream& out) : name_(name), out_(out) {}

  // The findings that follow are about the rest of a line that a control
  // byte ended early.
  void setRestOfLine(bool rest) { rest_ = rest; }

  // Something a load would cut, change or drop.
  void change(std::size_t line, const std::string& text) {
    ++changes_;
    writeFinding(line, "", text);
  }
  // Something a load keeps as it stands, but that will not run as meant.
  void warning(std::size_t line, const std::string& text) {
    ++warnings_;
    writeFinding(line, "warning: ", text);
  }
  // What a load will do, or would do with another setting; no finding.
  void note(std::size_t line, const std::string& text) { writeFinding(line, "note: ", text); }

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
  // "<name>:<line>: <kind><text>", the rest of a line said so before the text.
  void writeFinding(std::size_t line, std::string_view kind, const std::string& text) {
    out_ << name_ << ':' << line << ": " << kind << (rest_ ? "its rest: " : "") << text << '\n';
  }

  std::string_view name_;
  std::ostream& out_;
  std::size_t changes_ = 0;
  std::size_t warnings_ = 0;
  bool rest_ = false;
};

// A file of an earlier version loads as it always did; only its bytes
// change at the next save.
void checkEncoding(FileEncoding encoding, CheckReport& report) {
  if (encoding != FileEncoding::CodePage) return;
  report.note(1, "not UTF-8: read in the code page of earlier versions; a save writes UTF-8");
}

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
    report.change(line.number, "line of " + std::to_string(utf16Length(line.text)) +
                                   " characters: a load keeps only its first " +
                                   std::to_string(kMaxEntryLine));
  }
  if (line.endedEarly) {
    const std::size_t end =
        static_cast<std::size_t>(line.text.data() - bytes.data()) + line.text.size();
    const unsigned char byte = end < bytes.size() ? static_cast<unsigned char>(bytes[end]) : 0u;
    report.change(line.number, "byte " + byteText(byte) +
                                   " ends the line early: the rest is read as another line");
  }
  const std::string_view kept = utf16Head(line.text, kMaxEntryLine);
  if (currentLayout && !loadsUnchanged(kept, line.entry)) {
    report.change(line.number, "damaged line (" + damageOf(kept) + "): a load changes it");
  }
}

// What the lines are checked against: the load, and what can tell whether
// a program starts.
struct CheckedLoad {
  std::string_view bytes;
  bool currentLayout = false;
  Time now = 0;
  MissedStarts missed = MissedStarts::Skip;
  HandledThrough handled = {};
  ProgramChecks* programs = nullptr;

  std::optional<ScheduleEntry> caughtUp(const ScheduleEntry& e) const {
    return catchUpOnLoad(e, now, now, missed, handled);
  }
  // When kv.exe dealt with the entry's starts up to a time at or after its
  // start: those starts are no missed ones.
  std::optional<Time> handledPastStart(const ScheduleEntry& e) const {
    if (!handled || e.start >= now) return std::nullopt;
    const std::optional<Time> through = handled(e);
    return through && *through >= e.start ? through : std::nullopt;
  }
};

// Why a load drops an entry it does not keep.
std::string whyDropped(const CheckedLoad& load, const ScheduleEntry& e) {
  const Time now = load.now;
  if (load.handledPastStart(e) && !isRecurring(e.frequency)) {
    return "one-time entry started already (" + shortLocalTime(e.start) + "): a load drops it";
  }
  if (frequencyOfCode(e.frequency) == Frequency::Once && now > e.start) {
    return "one-time entry in the past (" + shortLocalTime(e.start) + "): a load drops it";
  }
  if (now > e.end) return "end " + shortLocalTime(e.end) + " has passed: a load drops the entry";
  if (const Time next = firstOccurrenceAfter(e.frequency, e.start, now);
      next > now || e.start >= now) {
    // A start after the end, as it stands or once brought up to date.
    const Time start = e.start >= now ? e.start : next;
    return "next start " + shortLocalTime(start) + " lies after its end " + shortLocalTime(e.end) +
           ": a load drops the entry";
  }
  return "no start left before 2106: a load drops the entry";
}

// Whether a load keeps the entry (catch-up steps 1 and 2); reports a drop.
bool checkKept(const CheckedLoad& load, const ScannedLine& line, CheckReport& report) {
  if (load.caughtUp(line.entry)) return true;
  report.change(line.number, whyDropped(load, line.entry));
  return false;
}

// The entry as a load keeps it, when its start is still behind the load:
// the first due check after the load then starts it once.
std::optional<ScheduleEntry> behindAfterLoad(const CheckedLoad& load, const ScheduleEntry& e) {
  std::optional<ScheduleEntry> loaded = load.caughtUp(e);
  if (loaded && loaded->start >= load.now) loaded.reset();
  return loaded;
}

// Where an entry started once by the first due check after the load goes on.
std::string afterMissedStart(const ScheduleEntry& loaded, Time now) {
  if (const std::optional<ScheduleEntry> next = refileAfter(loaded, now)) {
    return ", then at " + shortLocalTime(next->start);
  }
  return isRecurring(loaded.frequency) ? ", its last start" : "";
}

// A start missed before the load that the load starts once (with Run
// Missed Starts on, or an entry of an unknown code, which a load keeps),
// and the starts kv.exe dealt with already, which are no missed ones.
void checkMissedStart(const CheckedLoad& load, const ScheduleEntry& e, std::size_t number,
                      CheckReport& report) {
  if (const std::optional<Time> through = load.handledPastStart(e)) {
    report.note(number, "kv.exe dealt with its starts up to " + shortLocalTime(*through) +
                            ": none of them is a missed start");
  }
  if (const std::optional<ScheduleEntry> loaded = behindAfterLoad(load, e)) {
    report.note(number, "a load starts it once (missed start " + shortLocalTime(loaded->start) +
                            ")" + afterMissedStart(*loaded, load.now));
  }
}

void checkEntry(const ScheduleEntry& e, std::size_t number, ProgramChecks* programs,
                CheckReport& report) {
  if (e.start >= e.end) {
    report.warning(number, "start " + shortLocalTime(e.start) + " is not before its end " +
                               shortLocalTime(e.end));
  }
  if (!frequencyOfCode(e.frequency)) {
    report.warning(number, "unknown frequency code '" + escapedUtf8(std::string(1, e.frequency)) +
                               "': the entry starts once and leaves");
  }
  if (!showChoiceOf(e.showCommand)) {
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
      report.warning(number, escapedUtf8(program) + " not found");
      break;
    case ProgramChecks::Result::NoAssociation:
      report.warning(number, "no application is associated with " + escapedUtf8(program));
      break;
    case ProgramChecks::Result::Startable:
      break;
  }
}

// The findings on one line of the file; whether a load keeps its entry.
bool checkLine(const CheckedLoad& load, const ScannedLine& line, CheckReport& report) {
  checkLineForm(load.bytes, line, load.currentLayout, report);
  const bool kept = checkKept(load, line, report);
  checkMissedStart(load, line.entry, line.number, report);
  if (kept) checkEntry(line.entry, line.number, load.programs, report);
  return kept;
}

}  // namespace

int writeCheck(std::string_view bytes, std::string_view name, Time now, MissedStarts missed,
               const HandledThrough& handled, ProgramChecks* programs, std::ostream& out,
               const LegacyTextReader& legacy) {
  const ScheduleFileText text = scheduleFileText(std::string(bytes), legacy);
  const ScheduleFileScan scan = scanScheduleFile(text.text, kVersionText);
  const CheckedLoad load{text.text, scan.currentHeader, now, missed, handled, programs};
  CheckReport report(name, out);
  checkEncoding(text.encoding, report);
  checkHeader(scan, report);
  std::size_t kept = 0;
  const ScannedLine* previous = nullptr;
  for (const ScannedLine& line : scan.lines) {
    report.setRestOfLine(previous && previous->endedEarly && previous->number == line.number);
    previous = &line;
    if (checkLine(load, line, report)) ++kept;
  }
  return report.finish(scan.lines.size(), kept);
}

int writeCheck(std::string_view bytes, std::string_view name, Time now, ProgramChecks* programs,
               std::ostream& out, const LegacyTextReader& legacy) {
  return writeCheck(bytes, name, now, MissedStarts::Skip, {}, programs, out, legacy);
}

}  // namespace kv::tool
