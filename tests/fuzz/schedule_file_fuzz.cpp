// Fuzz target: any bytes load as a schedule file without a fault, every kept
// line stays within the line limit, reading the file one entry at a time
// keeps the same lines as decoding it whole, and what a load keeps loads
// again unchanged once saved.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "engine/recurrence.h"
#include "schedule/schedule_file.h"

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
  const std::vector<kv::EntryLine> loaded = load(bytes);
  // Every line takes at least one byte of the file.
  require(loaded.size() <= size);
  for (const kv::EntryLine& line : loaded) require(line.size() <= kv::kMaxEntryLine);
  require(streamedLoad(bytes) == loaded);
  // Only lines in the current layout come back unchanged: a legacy command
  // line may hold the separator of the current layout.
  if (kv::scanScheduleFile(bytes, kVersion).currentHeader) {
    const std::string saved = kv::encodeScheduleFile(loaded, kVersion);
    require(load(saved) == loaded);
  }
  return 0;
}
