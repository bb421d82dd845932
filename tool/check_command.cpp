// check reads the file as a load by kv.exe would, with the same reader and
// the same catch-up, and says by line what that load would not keep as it
// stands.
#include "tool/commands.h"

#include <cstdio>
#include <string>

#include "engine/recurrence.h"
#include "schedule/ascii_case.h"
#include "schedule/schedule_file.h"

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
    writeFinding(line, "", text);
  }
  // Something a load keeps as it stands, but that will not run as meant.
  void warning(std::size_t line, const std::string& text) {
    ++warnings_;
    writeFinding(line, "warning: ", text);
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
