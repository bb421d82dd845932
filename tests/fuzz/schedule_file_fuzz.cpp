// Fuzz target: any bytes load as a schedule file without a fault, every kept
// line stays within the line limit, reading the file one entry at a time
// keeps the same lines as decoding it whole, and what a load keeps loads
// again unchanged once saved. The bytes are read as the program reads a
// file: as UTF-8 when they are, else in the code page of earlier versions;
// either way every line is UTF-8, and a saved file reads back as UTF-8.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "engine/recurrence.h"
#include "schedule/schedule_file.h"
#include "schedule/utf8_text.h"

namespace {

constexpr std::string_view kVersion = "3.0";
constexpr kv::Time kLoadTime = 1'700'000'000;
constexpr kv::Time kNow = kLoadTime + 100;

void require(bool holds) {
  if (!holds) std::abort();
}

std::vector<kv::EntryLine> load(std::string_view bytes) {
  return kv::catchUpLoadedEntries(kv::decodeScheduleFile(bytes, kVersion), kLoadTime, kNow);
}

// The program reads a file one entry at a time into packed lines.
std::vector<kv::EntryLine> streamedLoad(std::string_view bytes) {
  std::vector<kv::EntryLine> lines;
  for (const kv::PackedRow& row : kv::catchUpScheduleFile(bytes, kVersion, kLoadTime, kNow).rows) {
    lines.emplace_back(row.line());
  }
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const kv::ScheduleFileText file =
      kv::scheduleFileText(std::string(bytes), kv::utf8FromWindows1252);
  require(kv::isValidUtf8(file.text));
  require((file.encoding == kv::FileEncoding::Utf8) == kv::isValidUtf8(bytes));
  const std::vector<kv::EntryLine> loaded = load(file.text);
  // Every line takes at least one byte of the file.
  require(loaded.size() <= size);
  for (const kv::EntryLine& line : loaded) {
    require(kv::utf16Length(line) <= kv::kMaxEntryLine && line.size() <= kv::kMaxEntryLineBytes);
    require(kv::isValidUtf8(line));
  }
  require(streamedLoad(file.text) == loaded);
  // Only lines in the current layout come back unchanged: a legacy command
  // line may hold the separator of the current layout.
  if (kv::scanScheduleFile(file.text, kVersion).currentHeader) {
    const kv::ScheduleFileText saved = kv::scheduleFileText(
        kv::encodeScheduleFile(loaded, kVersion), [](std::string_view) -> std::string {
          std::abort();  // a saved file is UTF-8
        });
    require(load(saved.text) == loaded);
  }
  return 0;
}
