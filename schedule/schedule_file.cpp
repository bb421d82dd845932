// Reading and writing the bytes of a schedule file.
//
// Reading is one pass over the bytes: the header is the first line, every
// further non-empty line is an entry. Lines are cut to kMaxEntryLine; the
// rest of an over-long line is skipped, never taken as a line of its own.
#include "schedule/schedule_file.h"

#include <algorithm>
#include <optional>

#include "engine/recurrence.h"
#include "schedule/schedule_store.h"

namespace kv {
namespace {

constexpr std::string_view kHeaderKey = "Version=";
constexpr std::string_view kLineEnd = "\r\n";

// Every control byte ends a line except the separator inside an entry line;
// bytes from the blank up, the upper half included, are line text.
bool endsLine(char byte) {
  const auto value = static_cast<unsigned char>(byte);
  return value < 0x20 && byte != kDirectorySeparator;
}

char foldAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return foldAscii(x) == foldAscii(y);
         });
}

// One line of the file: its whole text (without the byte that ended it) and
// the position where the next line begins.
struct FileLine {
  std::string_view text;
  std::size_t next;
};

template <typename EndsLine>
FileLine lineAt(std::string_view bytes, std::size_t from, EndsLine endsAt) {
  std::size_t end = from;
  while (end < bytes.size() && !endsAt(bytes[end])) ++end;
  return {bytes.substr(from, end - from), std::min(end + 1, bytes.size())};
}

FileLine lineAt(std::string_view bytes, std::size_t from) {
  return lineAt(bytes, from, endsLine);
}

// The header is collected as files have always been read: it runs over the
// bytes from the blank to 'z' and ends at the first byte outside them.
bool endsHeader(char byte) {
  const auto value = static_cast<unsigned char>(byte);
  return value < 0x20 || value > 0x7A;
}

FileLine headerOf(std::string_view bytes) {
  return lineAt(bytes, 0, endsHeader);
}

bool isCurrentHeader(std::string_view line, std::string_view versionText) {
  return line.size() == kHeaderKey.size() + versionText.size() &&
         equalsIgnoringAsciiCase(line.substr(0, kHeaderKey.size()), kHeaderKey) &&
         equalsIgnoringAsciiCase(line.substr(kHeaderKey.size()), versionText);
}

// Older files carry only start, end, code, show command and command line:
// the entry runs in its program's directory, opens rather than prints, and
// is described by its command line.
ScheduleEntry parseLegacyLine(std::string_view line) {
  ScheduleEntry entry = parseEntryLine(line, LineLayout::Legacy);
  entry.workingDirectory.clear();
  entry.description.clear();
  entry.printFlag = '0';
  fillDefaultDirectory(entry.commandLine, entry.workingDirectory);
  return entry;
}

// The line as it is to be kept, or nothing when the entry can no longer run.
std::optional<EntryLine> loadLine(std::string_view line, LineLayout layout, Time loadTime,
                                  Time now) {
  const ScheduleEntry entry =
      layout == LineLayout::Legacy ? parseLegacyLine(line) : parseEntryLine(line);
  const std::optional<ScheduleEntry> caughtUp = catchUpOnLoad(entry, loadTime, now);
  if (!caughtUp) return std::nullopt;
  return composeEntryLine(*caughtUp);
}

template <typename LineAt>
std::string encodeLines(std::size_t count, LineAt lineAtRow, std::string_view versionText) {
  std::size_t size = kHeaderKey.size() + versionText.size() + kLineEnd.size();
  for (std::size_t row = 0; row < count; ++row) size += lineAtRow(row).size() + kLineEnd.size();
  std::string bytes;
  bytes.reserve(size);
  bytes += kHeaderKey;
  bytes += versionText;
  bytes += kLineEnd;
  for (std::size_t row = 0; row < count; ++row) {
    bytes += lineAtRow(row);
    bytes += kLineEnd;
  }
  return bytes;
}

}  // namespace

std::string encodeScheduleFile(const ScheduleStore& store, std::string_view versionText) {
  return encodeLines(
      store.size(), [&store](std::size_t row) -> const EntryLine& { return store.line(row); },
      versionText);
}

std::string encodeScheduleFile(const std::vector<EntryLine>& lines, std::string_view versionText) {
  return encodeLines(
      lines.size(), [&lines](std::size_t row) -> const EntryLine& { return lines[row]; },
      versionText);
}

bool hasCurrentHeader(std::string_view bytes, std::string_view versionText) {
  return isCurrentHeader(headerOf(bytes).text, versionText);
}

std::vector<EntryLine> decodeScheduleFile(std::string_view bytes, std::string_view versionText,
                                          Time loadTime, Time now) {
  const FileLine header = headerOf(bytes);
  const bool current = isCurrentHeader(header.text, versionText);
  // Without the current header the first line is an entry too.
  const LineLayout layout = current ? LineLayout::Current : LineLayout::Legacy;
  std::size_t position = current ? header.next : 0;

  std::vector<EntryLine> lines;
  while (position < bytes.size()) {
    const FileLine line = lineAt(bytes, position);
    position = line.next;
    if (line.text.empty()) continue;  // the LF of a CR LF pair, or a blank line
    const std::string_view kept = line.text.substr(0, std::min(line.text.size(), kMaxEntryLine));
    if (std::optional<EntryLine> loaded = loadLine(kept, layout, loadTime, now)) {
      lines.push_back(std::move(*loaded));
    }
  }
  return lines;
}

}  // namespace kv
