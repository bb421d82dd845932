// Fuzz target: the entry line.
//
// Any bytes as a line, in either layout, parse without a fault into texts
// within their limits, and what is composed from them is a line within its
// limit that keeps its values once it has been written twice. An entry
// within the limits comes back from composing and parsing as it was: only
// an empty description becomes the default one. The pieces of any command
// line (program, parameters, extension, defaults) stay inside it. Texts
// and lines are cut to their limits in characters, never inside one.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "schedule/entry_line.h"
#include "schedule/utf8_text.h"

namespace {

void require(bool holds) {
  if (!holds) std::abort();
}

// Limits count characters (UTF-16 code units), whatever the bytes.
bool withinLimits(const kv::ScheduleEntry& e) {
  return kv::utf16Length(e.commandLine) <= kv::kMaxText &&
         kv::utf16Length(e.workingDirectory) <= kv::kMaxText &&
         kv::utf16Length(e.description) <= kv::kMaxText;
}

bool lineWithinLimit(std::string_view line) {
  return kv::utf16Length(line) <= kv::kMaxEntryLine && line.size() <= kv::kMaxEntryLineBytes;
}

// A valid text stays valid: nothing is cut inside a character.
void keepsValidText(std::string_view line, const kv::ScheduleEntry& parsed) {
  if (!kv::isValidUtf8(line)) return;
  require(kv::isValidUtf8(parsed.commandLine) && kv::isValidUtf8(parsed.workingDirectory) &&
          kv::isValidUtf8(parsed.description));
  require(kv::isValidUtf8(kv::composeEntryLine(parsed)));
}

void anyLine(std::string_view line) {
  require(kv::leadingStart(line) == kv::parseEntryLine(line).start);
  for (kv::LineLayout layout : {kv::LineLayout::Current, kv::LineLayout::Legacy}) {
    const kv::ScheduleEntry parsed = kv::parseEntryLine(line, layout);
    require(withinLimits(parsed));
    keepsValidText(line, parsed);
    const kv::EntryLine written = kv::composeEntryLine(parsed);
    require(lineWithinLimit(written));
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
// in the working directory, and codes of ASCII, the frequency no blank.
kv::ScheduleEntry carriedEntry(FuzzedDataProvider& data) {
  kv::ScheduleEntry e;
  e.start = data.ConsumeIntegral<kv::Time>();
  e.end = data.ConsumeIntegral<kv::Time>();
  e.frequency = data.ConsumeIntegral<char>();
  if (e.frequency == ' ') e.frequency = 'O';
  e.showCommand = data.ConsumeIntegral<std::uint16_t>();
  e.printFlag = data.ConsumeIntegral<char>();
  // A code is one byte: one from 0x80 up would begin a character.
  for (char* code : {&e.frequency, &e.printFlag}) {
    if (static_cast<unsigned char>(*code) >= 0x80) *code = kv::kUnknownCode;
  }
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
  require(lineWithinLimit(line));
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

// A text cut to a number of characters: a head and a tail of it, within
// the number, cut between two characters (the counts of the two parts add
// up to the whole's), and short of it by less than the widest character.
void cuts(std::string_view text, std::size_t units) {
  const std::size_t whole = kv::utf16Length(text);
  const std::string_view head = kv::utf16Head(text, units);
  const std::string_view tail = kv::utf16Tail(text, units);
  require(text.starts_with(head) && text.ends_with(tail));
  for (std::string_view part : {head, tail}) {
    const std::size_t kept = kv::utf16Length(part);
    require(kept <= units && (kept == whole || kept + 1 >= units));
  }
  require(kv::utf16Length(head) + kv::utf16Length(text.substr(head.size())) == whole);
  require(kv::utf16Length(tail) + kv::utf16Length(text.substr(0, text.size() - tail.size())) ==
          whole);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const std::string_view whole(reinterpret_cast<const char*>(bytes), size);
  anyLine(whole);
  commandLinePieces(whole.substr(0, kv::kMaxText));
  cuts(whole, size % 300);
  FuzzedDataProvider data(bytes, size);
  roundTrip(carriedEntry(data));
  return 0;
}
