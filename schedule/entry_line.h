// One scheduled start and its one-line text form.
//
// An EntryLine is the only form in which the program holds or exchanges an
// entry: the store keeps one per row, a schedule file one per line and the
// clip buffer one. Composing and parsing are the only ways between the two.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "schedule/schedule_time.h"

namespace kv {

// Limits kept wherever text enters, in characters as Windows counts those
// of a path: UTF-16 code units (schedule/utf8_text.h). Texts are UTF-8, so a
// text within its limit may take more bytes than characters.
inline constexpr std::size_t kMaxText = 253;           // each of the three texts
inline constexpr std::size_t kMaxTextsTogether = 474;  // the three texts together
inline constexpr std::size_t kMaxEntryLine = 511;      // one EntryLine
inline constexpr std::size_t kMaxFileName = 254;       // the current file name
// The most bytes a line within kMaxEntryLine characters takes: three for a
// character of one unit, four for one of two.
inline constexpr std::size_t kMaxEntryLineBytes = 3 * kMaxEntryLine;

// The byte that separates the command line from the working directory.
inline constexpr char kDirectorySeparator = '\x12';
// A frequency or print flag that a damaged line gives as a character
// beyond ASCII reads as this code, which no table knows.
inline constexpr char kUnknownCode = '?';

struct ScheduleEntry {
  Time start = 0;
  Time end = 0;
  char frequency = 'O';           // O M F H D K W T E
  std::uint16_t showCommand = 1;  // ShowWindow command: 1, 2, 3, 4 or 7
  std::string commandLine;
  std::string workingDirectory;
  char printFlag = '0';  // '1' prints the document
  std::string description;

  bool operator==(const ScheduleEntry&) const = default;
};

// "%lu %lu %c %u %s \x12%s p%c d%s": start, end, code, show command, command
// line, working directory, print flag, description.
using EntryLine = std::string;

// Header-less files from older versions carry only start, end, code, show
// command and command line.
enum class LineLayout { Current, Legacy };

// Composes the line; texts longer than kMaxText are cut to it, never inside
// a character, so the line never exceeds kMaxEntryLine.
EntryLine composeEntryLine(const ScheduleEntry& entry);

// Parses a line of either layout. Never reads past the end of the line; a
// damaged line keeps what can be read (see the implementation for the rules).
// In the current layout an empty description becomes the default description.
ScheduleEntry parseEntryLine(std::string_view line, LineLayout layout = LineLayout::Current);

// What parsing the entry's composed line gives back, when that is plain
// from the entry alone: its texts fit their limits and hold none of the
// markers the parser looks for. Then it is the entry with an empty
// description made the default one; otherwise empty, and only a parse of
// the line tells.
std::optional<ScheduleEntry> entryAsComposedLineReads(const ScheduleEntry& entry);

// The start time at the head of a line, without parsing the rest.
Time leadingStart(std::string_view line);

// Pieces of a command line: the program part runs to the first blank, the
// parameter part follows that one blank verbatim.
std::string_view programPart(std::string_view commandLine);
std::string_view parameterPart(std::string_view commandLine);
// The text after the first '.' of the program part ("" when it has none).
std::string_view extension(std::string_view commandLine);
// True only for an extension of exactly "EXE" or "COM", ignoring case.
bool isExecutableExtension(std::string_view ext);

// The whole command line when it holds a blank, otherwise the file name
// without directory and extension.
std::string defaultDescription(std::string_view commandLine);

// Fills target with the directory of the program part, only when target is
// empty. A drive root keeps its backslash ("C:\"); "C:" keeps its colon.
void fillDefaultDirectory(std::string_view commandLine, std::string& target);

}  // namespace kv
