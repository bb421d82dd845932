// Fuzz target: kvtool's check on any bytes.
//
// The check ends without a fault, with one of its two verdicts, and says
// every finding on a line of its own that names the file, ending with the
// summing-up line. When it says the file loads as it stands, a load at the
// same time keeps every line the file holds, under the current header.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

#include "engine/recurrence.h"
#include "schedule/schedule_file.h"
#include "tool/arguments.h"
#include "tool/commands.h"

namespace {

constexpr std::string_view kName = "fuzz.KV";
constexpr kv::Time kNow = 1'700'000'000;

void require(bool holds) {
  if (!holds) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::ostringstream out;
  const int verdict = kv::tool::writeCheck(bytes, kName, kNow, nullptr, out);
  require(verdict == kv::tool::kExitLoadsAsItStands || verdict == kv::tool::kExitLoadChanges);

  const std::string report = out.str();
  require(!report.empty() && report.back() == '\n');
  std::istringstream lines(report);
  std::string line, last;
  while (std::getline(lines, line)) {
    require(line.compare(0, kName.size() + 1, std::string(kName) + ":") == 0);
    last = line;
  }
  require(last.find(" kept by a load; ") != std::string::npos);

  if (verdict == kv::tool::kExitLoadsAsItStands) {
    const std::string text = kv::scheduleFileText(std::string(bytes), kv::utf8FromWindows1252).text;
    const kv::ScheduleFileScan scan = kv::scanScheduleFile(text, kv::tool::kVersionText);
    require(scan.currentHeader || scan.lines.empty());
    const auto loaded =
        kv::catchUpLoadedEntries(kv::decodeScheduleFile(text, kv::tool::kVersionText), kNow, kNow);
    require(loaded.size() == scan.lines.size());
  }
  return 0;
}
