// The bytes of a schedule file (*.KV): "Version=" and the version text, CR LF,
// then one EntryLine per entry in due order, each followed by CR LF. Kivro
// writes them in UTF-8, without a byte-order mark; earlier versions wrote
// the ANSI code page of the machine, under the same header.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "schedule/entry_line.h"

namespace kv {

class ScheduleStore;

// A file of an earlier version, its bytes in the code page they were
// written in, as UTF-8 text. The platform knows the code page.
using LegacyTextReader = std::function<std::string(std::string_view bytes)>;

enum class FileEncoding { Utf8, CodePage };

struct ScheduleFileText {
  std::string text;  // UTF-8
  FileEncoding encoding = FileEncoding::Utf8;
};

// The text of a file's bytes: the bytes themselves when they are valid
// UTF-8 (a byte-order mark dropped), otherwise the bytes read in the legacy
// code page. A file of plain ASCII reads the same either way. Control bytes
// keep their meaning in every code page, the separator 18 among them.
ScheduleFileText scheduleFileText(std::string bytes, const LegacyTextReader& fromCodePage);

// The file's bytes for the store's lines, an entry held out for editing
// included.
std::string encodeScheduleFile(const ScheduleStore& store, std::string_view versionText);
std::string encodeScheduleFile(const std::vector<EntryLine>& lines, std::string_view versionText);

// How the reader sees a file's text (scheduleFileText), line by line, before
// anything is done with the entries. Reading rules:
//   - The header is the run of bytes from the blank to 'z' at the start. When
//     it is not the current one, the file is in the legacy layout and its
//     first line is an entry too.
//   - A line ends at any control byte (below 0x20) other than 18; every byte
//     from 0x20 up belongs to it. A last line without a line end is read too.
//     Empty lines are passed over.
//   - Only the first kMaxEntryLine characters of a line are read; the rest
//     of an over-long line is skipped, never taken as a line of its own.
struct ScannedLine {
  // The line in the file, counted from 1 at the start of the file; a line
  // break is LF, CR LF or a CR alone. A line that another control byte ended
  // early shares its number with the part that follows that byte.
  std::size_t number = 0;
  // The whole line as it stands in the file, without the byte that ended it
  // (a view into the scanned bytes).
  std::string_view text;
  // Longer than kMaxEntryLine characters: the entry comes from its first
  // kMaxEntryLine only.
  bool cut = false;
  // Ended by a control byte other than CR and LF, so that the rest of the
  // file's line is read as another line.
  bool endedEarly = false;
  // The entry the line gives, legacy lines converted to the current layout
  // (working directory from the command line, opened, default description).
  ScheduleEntry entry;
};

struct ScheduleFileScan {
  // Whether the file begins with the current header (compared ignoring case).
  bool currentHeader = false;
  // The header as it was read (a view into the scanned bytes); in a legacy
  // file, the start of its first line.
  std::string_view header;
  std::vector<ScannedLine> lines;
};

// Scans a file's text. The views in the result point into `bytes`.
ScheduleFileScan scanScheduleFile(std::string_view bytes, std::string_view versionText);

// The entries of a file's text as stored, in file order: the entries of
// scanScheduleFile. Nothing is caught up here; whoever loads does that.
std::vector<ScheduleEntry> decodeScheduleFile(std::string_view bytes, std::string_view versionText);
// The same entries handed over one at a time, so that a large file's entries
// need not all be held at once.
void forEachScheduleEntry(std::string_view bytes, std::string_view versionText,
                          const std::function<void(ScheduleEntry&&)>& take);

}  // namespace kv
