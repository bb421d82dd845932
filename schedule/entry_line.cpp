// Composing and parsing entry lines.
//
// Parsing rules for lines the program did not write itself (damaged files):
//   - a line longer than kMaxEntryLine characters is cut to it first, and
//     every text taken from it is cut to kMaxText, never inside a character;
//   - a number is the run of digits at the current position, at most 11
//     characters looked at; no digits give 0, a value too large for its field
//     gives the field's largest value;
//   - a missing frequency code leaves 'O', a missing print flag leaves '0';
//   - without the " \x12" after the command line, the command line runs to
//     the end of the line and the working directory stays empty;
//   - without the " p" after the working directory, the working directory
//     runs to the end of the line;
//   - without a 'd' after the print flag, the description is empty, and so
//     becomes the default description.
#include "schedule/entry_line.h"

#include <algorithm>
#include <array>
#include <limits>

#include "schedule/ascii_case.h"
#include "schedule/utf8_text.h"

namespace kv {
namespace {

constexpr std::size_t kMaxNumberChars = 11;  // a time has at most 10 digits
constexpr std::string_view kAfterCommandLine = " \x12";
constexpr std::string_view kSeparatorOnly = "\x12";
constexpr std::string_view kAfterWorkingDirectory = " p";
constexpr char kBeforeDescription = 'd';

std::string_view dropLeadingBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  return first == std::string_view::npos ? std::string_view{} : text.substr(first);
}

// A forward-only reader over one line. No read goes past the line's end.
class LineCursor {
 public:
  explicit LineCursor(std::string_view line) : line_(line) {}

  template <typename Number>
  Number readNumber() {
    std::uint64_t value = 0;
    const std::size_t stop = std::min(line_.size(), pos_ + kMaxNumberChars);
    while (pos_ < stop && line_[pos_] >= '0' && line_[pos_] <= '9') {
      value = value * 10 + static_cast<std::uint64_t>(line_[pos_] - '0');
      ++pos_;
    }
    return static_cast<Number>(std::min<std::uint64_t>(value, std::numeric_limits<Number>::max()));
  }

  void skipBlanks() {
    while (pos_ < line_.size() && line_[pos_] == ' ') ++pos_;
  }

  char peek() const { return pos_ < line_.size() ? line_[pos_] : '\0'; }

  // Moves past the character here when it is c; says whether it was.
  bool skipOne(char c) {
    if (peek() != c || pos_ >= line_.size()) return false;
    ++pos_;
    return true;
  }

  // The one-byte code here (the frequency, the print flag), or fallback at
  // the end of the line. A character of several bytes in its place, in a
  // damaged line, is taken whole as kUnknownCode, so that no text keeps
  // half of it.
  char readCode(char fallback) {
    if (pos_ >= line_.size()) return fallback;
    if (static_cast<unsigned char>(line_[pos_]) < 0x80) return line_[pos_++];
    pos_ += std::max<std::size_t>(utf8CharacterAt(line_.substr(pos_)).length, 1);
    return kUnknownCode;
  }

  struct Field {
    std::string_view text;
    bool terminated;
  };
  // The text up to the terminator, moving past both; everything left when
  // the terminator is missing.
  Field readUntil(std::string_view terminator) {
    const std::size_t at = line_.find(terminator, pos_);
    const bool terminated = at != std::string_view::npos;
    const std::size_t end = terminated ? at : line_.size();
    const Field field{line_.substr(pos_, end - pos_), terminated};
    pos_ = terminated ? at + terminator.size() : line_.size();
    return field;
  }

  std::string_view rest() const { return line_.substr(pos_); }

 private:
  std::string_view line_;
  std::size_t pos_ = 0;
};

std::string textField(std::string_view text) {
  return std::string(utf16Head(text, kMaxText));
}

// Reads command line, working directory, print flag and description of a
// current-layout line. The cursor stands right after the show command.
void readTexts(LineCursor& in, ScheduleEntry& entry) {
  // Exactly the one blank after the show command is passed over before the
  // terminator is looked for: an empty command line leaves the terminator
  // right here, and a command line may itself begin with the separator byte.
  // A damaged line without that blank, its separator byte right here, has an
  // empty command line, which is also how it reads back once written again.
  const bool blankAfterShowCommand = in.skipOne(' ');
  const auto commandLine = !blankAfterShowCommand && in.peek() == kDirectorySeparator
                               ? in.readUntil(kSeparatorOnly)
                               : in.readUntil(kAfterCommandLine);
  entry.commandLine = textField(dropLeadingBlanks(commandLine.text));
  if (!commandLine.terminated) return;
  const auto workingDirectory = in.readUntil(kAfterWorkingDirectory);
  entry.workingDirectory = textField(workingDirectory.text);
  if (!workingDirectory.terminated) return;
  // The description marker is looked for after the print flag, so that any
  // flag character reads back as it was written.
  entry.printFlag = in.readCode(entry.printFlag);
  const std::string_view afterFlag = in.rest();
  const std::size_t marker = afterFlag.find(kBeforeDescription);
  if (marker != std::string_view::npos) entry.description = textField(afterFlag.substr(marker + 1));
}

// The three texts as they go into a line: each within kMaxText, together
// within kMaxTextsTogether. Over the joint limit the description gives way
// first, then the working directory, then the command line, so that what
// starts the program is kept longest.
struct FittedTexts {
  std::string_view commandLine;
  std::string_view workingDirectory;
  std::string_view description;
};

FittedTexts fitTexts(const ScheduleEntry& entry) {
  FittedTexts fitted{utf16Head(entry.commandLine, kMaxText),
                     utf16Head(entry.workingDirectory, kMaxText),
                     utf16Head(entry.description, kMaxText)};
  const std::array<std::string_view*, 3> cutOrder{&fitted.description, &fitted.workingDirectory,
                                                  &fitted.commandLine};
  std::array<std::size_t, 3> units{};
  std::size_t total = 0;
  for (std::size_t i = 0; i < cutOrder.size(); ++i) total += units[i] = utf16Length(*cutOrder[i]);
  for (std::size_t i = 0; i < cutOrder.size() && total > kMaxTextsTogether; ++i) {
    // A character of two units at the cut may take one unit more.
    const std::size_t keep = units[i] - std::min(total - kMaxTextsTogether, units[i]);
    *cutOrder[i] = utf16Head(*cutOrder[i], keep);
    total -= units[i] - utf16Length(*cutOrder[i]);
  }
  return fitted;
}

}  // namespace

EntryLine composeEntryLine(const ScheduleEntry& entry) {
  const FittedTexts texts = fitTexts(entry);
  const std::string start = std::to_string(entry.start);
  const std::string end = std::to_string(entry.end);
  const std::string show = std::to_string(entry.showCommand);
  const std::array<std::string_view, 16> pieces{start,
                                                " ",
                                                end,
                                                " ",
                                                std::string_view(&entry.frequency, 1),
                                                " ",
                                                show,
                                                " ",
                                                texts.commandLine,
                                                kAfterCommandLine,
                                                texts.workingDirectory,
                                                kAfterWorkingDirectory,
                                                std::string_view(&entry.printFlag, 1),
                                                " ",
                                                std::string_view(&kBeforeDescription, 1),
                                                texts.description};
  // The store keeps the line for as long as the entry stands: no spare bytes.
  std::size_t size = 0;
  for (std::string_view piece : pieces) size += piece.size();
  EntryLine line;
  line.reserve(size);
  for (std::string_view piece : pieces) line += piece;
  return line;
}

ScheduleEntry parseEntryLine(std::string_view line, LineLayout layout) {
  LineCursor in(utf16Head(line, kMaxEntryLine));
  ScheduleEntry entry;
  entry.start = in.readNumber<Time>();
  in.skipBlanks();
  entry.end = in.readNumber<Time>();
  in.skipBlanks();
  entry.frequency = in.readCode(entry.frequency);
  in.skipBlanks();
  entry.showCommand = in.readNumber<std::uint16_t>();
  if (layout == LineLayout::Legacy) {
    // Older files hold only the command line here; the file reader supplies
    // the other texts.
    entry.commandLine = textField(dropLeadingBlanks(in.rest()));
    return entry;
  }
  readTexts(in, entry);
  if (entry.description.empty()) entry.description = defaultDescription(entry.commandLine);
  return entry;
}

std::optional<ScheduleEntry> entryAsComposedLineReads(const ScheduleEntry& entry) {
  const FittedTexts texts = fitTexts(entry);
  const bool kept = texts.commandLine.size() == entry.commandLine.size() &&
                    texts.workingDirectory.size() == entry.workingDirectory.size() &&
                    texts.description.size() == entry.description.size();
  const bool plain = entry.frequency != ' ' && !entry.commandLine.starts_with(' ') &&
                     entry.commandLine.find(kAfterCommandLine) == std::string::npos &&
                     entry.workingDirectory.find(kAfterWorkingDirectory) == std::string::npos;
  if (!kept || !plain) return std::nullopt;
  ScheduleEntry read = entry;
  if (read.description.empty()) read.description = defaultDescription(read.commandLine);
  return read;
}

Time leadingStart(std::string_view line) {
  return LineCursor(line).readNumber<Time>();
}

std::string_view programPart(std::string_view commandLine) {
  return commandLine.substr(0, commandLine.find(' '));
}

std::string_view parameterPart(std::string_view commandLine) {
  const std::size_t blank = commandLine.find(' ');
  return blank == std::string_view::npos ? std::string_view{} : commandLine.substr(blank + 1);
}

std::string_view extension(std::string_view commandLine) {
  const std::string_view program = programPart(commandLine);
  const std::size_t dot = program.find('.');
  return dot == std::string_view::npos ? std::string_view{} : program.substr(dot + 1);
}

bool isExecutableExtension(std::string_view ext) {
  return equalsIgnoringAsciiCase(ext, "EXE") || equalsIgnoringAsciiCase(ext, "COM");
}

std::string defaultDescription(std::string_view commandLine) {
  commandLine = utf16Head(commandLine, kMaxText);
  if (commandLine.find(' ') != std::string_view::npos) return std::string(commandLine);
  // A leading '.' is no extension; a '.' in a directory name does end the
  // name here ("C:\DATA.OLD\REPORT" gives "DATA").
  std::size_t end = commandLine.rfind('.');
  if (end == std::string_view::npos || end == 0) end = commandLine.size();
  const std::string_view beforeEnd = commandLine.substr(0, end);
  const std::size_t separator = beforeEnd.find_last_of("\\:");
  const std::string_view name =
      separator == std::string_view::npos ? beforeEnd : beforeEnd.substr(separator + 1);
  // A command line with no name left ("C:\", "C:\DIR\.X") describes itself,
  // so a row never shows an empty description.
  return std::string(name.empty() ? commandLine : name);
}

void fillDefaultDirectory(std::string_view commandLine, std::string& target) {
  if (!target.empty()) return;
  const std::string_view program = utf16Head(programPart(commandLine), kMaxText);
  const std::size_t separator = program.find_last_of("\\:");
  if (separator == std::string_view::npos) return;
  std::string_view directory = program.substr(0, separator + 1);
  // "C:\" is a drive root and keeps its backslash; a colon always stays.
  constexpr std::size_t kDriveRootLength = 3;
  if (directory.size() != kDriveRootLength && directory.back() == '\\') directory.remove_suffix(1);
  target.assign(directory);
}

}  // namespace kv
