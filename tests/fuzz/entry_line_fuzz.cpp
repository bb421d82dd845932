// Fuzz target: the entry line.
//
// Any bytes as a line, in either layout, parse without a fault into texts
// within their limits, and what is composed from them is a line within its
// limit that keeps its values once it has been written twice. An entry
// within the limits comes back from composing and parsing as it was: only
// an empty description becomes the default one. The pieces of any command
// line (program, parameters, extension, defaults) stay inside it.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "schedule/entry_line.h"

namespace {

void require(bool holds) {
  if (!holds) std::abort();
}

bool withinLimits(const kv::ScheduleEntry& e) {
  return e.commandLine.size() <= kv::kMaxText && e.workingDirectory.size() <= kv::kMaxText &&
         e.description.size() <= kv::kMaxText;
}

void anyLine(std::string_view line) {
  require(kv::leadingStart(line) == kv::parseEntryLine(line).start);
  for (kv::LineLayout layout : {kv::LineLayout::Current, kv::LineLayout::Legacy}) {
    const kv::ScheduleEntry parsed = kv::parseEntryLine(line, layout);
    require(withinLimits(parsed));
    const kv::EntryLine written = kv::composeEntryLine(parsed);
    require(written.size() <= kv::kMaxEntryLine);
    // A damaged line may change when first written (texts over the joint
    // limit are cut, a legacy command line may hold the separator); once
    // written again it must hold still.
    const kv::ScheduleEntry once = kv::parseEntryLine(written);
    const kv::ScheduleEntry twice = kv::parseEntryLine(kv::composeEntryLine(once));
    require(kv::composeEntryLine(kv::parseEntryLine(kv::composeEntryLine(twice))) ==
            kv::composeEntryLine(twice));
  }
}

// An entry whose texts the line can carry: within the limits, no leading
// blank in the command line, no blank and byte 18 in it, no blank and 'p'
// in the working directory, and a frequency code that is not a blank.
kv::ScheduleEntry carriedEntry(FuzzedDataProvider& data) {
  kv::ScheduleEntry e;
  e.start = data.ConsumeIntegral<kv::Time>();
  e.end = data.ConsumeIntegral<kv::Time>();
  e.frequency = data.ConsumeIntegral<char>();
  if (e.frequency == ' ') e.frequency = 'O';
  e.showCommand = data.ConsumeIntegral<std::uint16_t>();
  e.printFlag = data.ConsumeIntegral<char>();
  e.commandLine = data.ConsumeRandomLengthString(kv::kMaxText);
  e.workingDirectory = data.ConsumeRandomLengthString(kv::kMaxText);
  e.description = data.ConsumeRandomLengthString(kv::kMaxText);
  while (!e.commandLine.empty() && e.commandLine[0] == ' ') e.commandLine.erase(0, 1);
  for (std::size_t at; (at = e.commandLine.find(" \x12")) != std::string::npos;) {
    e.commandLine.erase(at, 1);
  }
  for (std::size_t at; (at = e.workingDirectory.find(" p")) != std::string::npos;) {
    e.workingDirectory.erase(at, 1);
  }
  const std::size_t together =
      e.commandLine.size() + e.workingDirectory.size() + e.description.size();
  if (together > kv::kMaxTextsTogether) {
    e.description.resize(e.description.size() -
                         std::min(e.description.size(), together - kv::kMaxTextsTogether));
  }
  if (e.commandLine.size() + e.workingDirectory.size() + e.description.size() >
      kv::kMaxTextsTogether) {
    e.workingDirectory.resize(kv::kMaxTextsTogether - e.commandLine.size());
  }
  return e;
}

void roundTrip(const kv::ScheduleEntry& e) {
  const kv::EntryLine line = kv::composeEntryLine(e);
  require(line.size() <= kv::kMaxEntryLine);
  kv::ScheduleEntry expected = e;
  if (expected.description.empty()) expected.description = kv::defaultDescription(e.commandLine);
  require(kv::parseEntryLine(line) == expected);
}

void commandLinePieces(std::string_view commandLine) {
  const std::string_view program = kv::programPart(commandLine);
  const std::string_view parameters = kv::parameterPart(commandLine);
  if (program.size() == commandLine.size()) {
    require(parameters.empty());
  } else {
    require(std::string(program) + " " + std::string(parameters) == commandLine);
  }
  const std::string_view ext = kv::extension(commandLine);
  require(ext.size() <= program.size());
  if (kv::isExecutableExtension(ext)) require(ext.size() == 3);
  require(kv::defaultDescription(commandLine).size() <= commandLine.size());
  std::string directory;
  kv::fillDefaultDirectory(commandLine, directory);
  require(commandLine.substr(0, directory.size()) == directory);
  std::string kept = "kept";
  kv::fillDefaultDirectory(commandLine, kept);
  require(kept == "kept");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const std::string_view whole(reinterpret_cast<const char*>(bytes), size);
  anyLine(whole);
  commandLinePieces(whole.substr(0, kv::kMaxText));
  FuzzedDataProvider data(bytes, size);
  roundTrip(carriedEntry(data));
  return 0;
}
