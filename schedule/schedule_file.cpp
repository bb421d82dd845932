// Reading and writing the bytes of a schedule file.
//
// Reading is one pass over the text: the header is the first line, every
// further non-empty line is an entry. Lines are cut to kMaxEntryLine
// characters; the rest of an over-long line is skipped, never taken as a
// line of its own.
#include "schedule/schedule_file.h"

#include <algorithm>

#include "schedule/ascii_case.h"
#include "schedule/schedule_store.h"
#include "schedule/utf8_text.h"

namespace kv {
namespace {

constexpr std::string_view kHeaderKey = "Version=";
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Every control byte ends a line except the separator inside an entry line;
// bytes from the blank up, the upper half included, are line text.
bool endsLine(char byte) {
  const auto value = static_cast<unsigned char>(byte);
  return value < 0x20 && byte != kDirectorySeparator;
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

ScheduleEntry parseLine(std::string_view line, LineLayout layout) {
  return layout == LineLayout::Legacy ? parseLegacyLine(line) : parseEntryLine(line);
}

bool isLineBreak(char byte) {
  return byte == '\r' || byte == '\n';
}

// Counts the file's line breaks as the reader passes the bytes that end its
// lines: LF, CR LF and a CR alone each count once.
class LineCounter {
 public:
  explicit LineCounter(std::string_view bytes) : bytes_(bytes) {}
  std::size_t number() const { return number_; }
  void passEnd(std::size_t at) {
    if (at >= bytes_.size()) return;
    const char byte = bytes_[at];
    const bool crBeforeLf = byte == '\r' && at + 1 < bytes_.size() && bytes_[at + 1] == '\n';
    if (isLineBreak(byte) && !crBeforeLf) ++number_;
  }

 private:
  std::string_view bytes_;
  std::size_t number_ = 1;
};

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
  // An entry held out for editing is written where due order puts it.
  const EntryLine* held = store.heldOut();
  const std::size_t heldAt = store.heldOutPosition();
  return encodeLines(
      store.size() + (held ? 1 : 0),
      [&store, held, heldAt](std::size_t row) -> std::string_view {
        if (!held || row < heldAt) return store.line(row);
        return row == heldAt ? std::string_view(*held) : store.line(row - 1);
      },
      versionText);
}

std::string encodeScheduleFile(const std::vector<EntryLine>& lines, std::string_view versionText) {
  return encodeLines(
      lines.size(), [&lines](std::size_t row) -> std::string_view { return lines[row]; },
      versionText);
}

namespace {

// Reads the header, then hands each scanned line in turn to `take`; the
// header goes into `scan`, the lines only to `take`.
template <typename Take>
void scanLines(std::string_view bytes, std::string_view versionText, ScheduleFileScan& scan,
               Take take) {
  const FileLine header = headerOf(bytes);
  scan.header = header.text;
  scan.currentHeader = isCurrentHeader(header.text, versionText);
  // Without the current header the first line is an entry too.
  const LineLayout layout = scan.currentHeader ? LineLayout::Current : LineLayout::Legacy;
  std::size_t position = scan.currentHeader ? header.next : 0;
  LineCounter counter(bytes);
  if (scan.currentHeader) counter.passEnd(header.text.size());

  while (position < bytes.size()) {
    const FileLine line = lineAt(bytes, position);
    const std::size_t end = position + line.text.size();
    position = line.next;
    if (!line.text.empty()) {  // else the LF of a CR LF pair, or a blank line
      ScannedLine scanned;
      scanned.number = counter.number();
      scanned.text = line.text;
      const std::string_view kept = utf16Head(line.text, kMaxEntryLine);
      scanned.cut = kept.size() < line.text.size();
      scanned.endedEarly = end < bytes.size() && !isLineBreak(bytes[end]);
      scanned.entry = parseLine(kept, layout);
      take(std::move(scanned));
    }
    counter.passEnd(end);
  }
}

}  // namespace

ScheduleFileText scheduleFileText(std::string bytes, const LegacyTextReader& fromCodePage) {
  if (!isValidUtf8(bytes)) return {fromCodePage(bytes), FileEncoding::CodePage};
  // Kivro writes no byte-order mark, but an editor that saved the file may.
  if (std::string_view(bytes).starts_with(kByteOrderMark)) bytes.erase(0, kByteOrderMark.size());
  return {std::move(bytes), FileEncoding::Utf8};
}

ScheduleFileScan scanScheduleFile(std::string_view bytes, std::string_view versionText) {
  ScheduleFileScan scan;
  scanLines(bytes, versionText, scan,
            [&scan](ScannedLine&& line) { scan.lines.push_back(std::move(line)); });
  return scan;
}

void forEachScheduleEntry(std::string_view bytes, std::string_view versionText,
                          const std::function<void(ScheduleEntry&&)>& take) {
  ScheduleFileScan header;
  scanLines(bytes, versionText, header,
            [&take](ScannedLine&& line) { take(std::move(line.entry)); });
}

std::vector<ScheduleEntry> decodeScheduleFile(std::string_view bytes,
                                              std::string_view versionText) {
  std::vector<ScheduleEntry> entries;
  forEachScheduleEntry(bytes, versionText,
                       [&entries](ScheduleEntry&& entry) { entries.push_back(std::move(entry)); });
  return entries;
}

}  // namespace kv
