#include "schedule/schedule_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "engine/recurrence.h"
#include "fake_visible_list.h"
#include "schedule/entry_line.h"
#include "schedule/schedule_store.h"
#include "schedule/utf8_text.h"

namespace {

using kv::decodeScheduleFile;
using kv::encodeScheduleFile;
using kv::EntryLine;
using kv::ScheduleEntry;
using kv::Time;

constexpr std::string_view kVersion = "3.0";
constexpr std::string_view kHeader = "Version=3.0\r\n";
constexpr Time kLoadTime = 1'700'000'000;
// The clock read for the Once test lies a little after the load time, far
// enough that mixing the two up moves or drops different entries.
constexpr Time kNow = kLoadTime + 100;
constexpr Time kYear = 365 * 86400;

// The lines of a file's entries as stored, without the catch-up.
std::vector<EntryLine> decode(std::string_view bytes) {
  std::vector<EntryLine> lines;
  for (const ScheduleEntry& e : decodeScheduleFile(bytes, kVersion)) {
    lines.push_back(kv::composeEntryLine(e));
  }
  return lines;
}

// The lines a load stores: the entries as stored, then caught up, read the
// way the program reads a file (one entry at a time, packed).
std::vector<EntryLine> load(std::string_view bytes) {
  std::vector<EntryLine> lines;
  for (const kv::PackedRow& row : kv::catchUpScheduleFile(bytes, kVersion, kLoadTime, kNow).rows) {
    lines.emplace_back(row.line());
  }
  return lines;
}

ScheduleEntry entry(Time start, Time end, char frequency, std::string commandLine,
                    std::string workingDirectory, std::string description) {
  ScheduleEntry e;
  e.start = start;
  e.end = end;
  e.frequency = frequency;
  e.commandLine = std::move(commandLine);
  e.workingDirectory = std::move(workingDirectory);
  e.description = std::move(description);
  return e;
}

// A Daily entry well in the future, which the catch-up keeps as it is.
EntryLine futureLine(const std::string& description) {
  return kv::composeEntryLine(entry(kLoadTime + kYear, kLoadTime + 2 * kYear, 'D',
                                    "C:\\WINDOWS\\NOTEPAD.EXE C:\\NOTES.TXT", "C:\\WINDOWS",
                                    description));
}

std::string fileOf(const std::vector<EntryLine>& lines) {
  return encodeScheduleFile(lines, kVersion);
}

// The limit counts characters: a text byte from 0x80 up may begin a
// character of several bytes.
void expectWithinLineLimit(const std::vector<EntryLine>& lines) {
  for (const EntryLine& line : lines) {
    EXPECT_LE(kv::utf16Length(line), kv::kMaxEntryLine);
    EXPECT_LE(line.size(), kv::kMaxEntryLineBytes);
  }
}

// Random schedules whose texts use the bytes from the blank to 0xFF and the
// byte 18, within what a line can carry back unchanged: no leading blank in
// the command line (the parser drops it) nor a blank followed by 18 (it ends
// the command line), no " p" in the working directory (it ends the
// directory), the three texts within their limits.
class ScheduleGenerator {
 public:
  explicit ScheduleGenerator(std::uint32_t seed) : rng_(seed) {}

  // The entry as filed and the entry as a load gives it back (an empty
  // description comes back as the default description).
  struct Case {
    ScheduleEntry filed;
    ScheduleEntry loaded;
  };

  Case next() {
    ScheduleEntry e;
    e.start = static_cast<Time>(kNow + uniform(1, 10 * kYear));
    e.end = static_cast<Time>(e.start + uniform(0, UINT32_MAX - e.start));
    e.frequency = pick(std::string_view("OMFHDKWTE"));
    e.showCommand = static_cast<std::uint16_t>(pick(std::string_view("\1\2\3\4\7")));
    e.printFlag = pick(std::string_view("01"));
    const std::size_t commandLength = uniform(1, kv::kMaxText);
    const std::size_t room = kv::kMaxTextsTogether - commandLength;
    const std::size_t directoryLength = uniform(0, std::min(kv::kMaxText, room));
    const std::size_t descriptionRoom = std::min(kv::kMaxText, room - directoryLength);
    // Now and then no description, which loads as the default description.
    const bool noDescription = descriptionRoom == 0 || uniform(0, 7) == 0;
    const std::size_t descriptionLength = noDescription ? 0 : uniform(1, descriptionRoom);
    e.commandLine = text(commandLength);
    if (e.commandLine[0] == ' ') e.commandLine[0] = 'A';
    for (std::size_t i = 1; i < e.commandLine.size(); ++i) {
      if (e.commandLine[i - 1] == ' ' && e.commandLine[i] == '\x12') e.commandLine[i] = 'B';
    }
    e.workingDirectory = text(directoryLength);
    for (std::size_t i = 1; i < e.workingDirectory.size(); ++i) {
      if (e.workingDirectory[i - 1] == ' ' && e.workingDirectory[i] == 'p') {
        e.workingDirectory[i] = 'P';
      }
    }
    e.description = text(descriptionLength);
    ScheduleEntry loaded = e;
    if (loaded.description.empty()) loaded.description = kv::defaultDescription(e.commandLine);
    return {e, loaded};
  }

 private:
  std::size_t uniform(std::size_t low, std::size_t high) {
    return std::uniform_int_distribution<std::size_t>(low, high)(rng_);
  }
  char pick(std::string_view choices) { return choices[uniform(0, choices.size() - 1)]; }
  std::string text(std::size_t length) {
    std::string t(length, ' ');
    for (char& c : t) c = static_cast<char>(uniform(0x1F, 0xFF));
    std::replace(t.begin(), t.end(), '\x1F', '\x12');
    return t;
  }

  std::mt19937 rng_;
};

// One entry that carries every byte from the blank to 0xFF, short path
// names and braces included.
ScheduleEntry everyByteEntry() {
  std::string allBytes;
  for (int b = 0x20; b <= 0xFF; ++b) allBytes += static_cast<char>(b);
  return entry(kLoadTime + kYear, kLoadTime + 2 * kYear, 'W', "C:\\PROGRA~1\\{|}\x7F\xE9.EXE /x",
               "C:\\PROGRA~1\\\xFF~", allBytes);
}

TEST(ScheduleFileRoundTrip, RandomSchedulesOverEveryTextByteComeBackUnchanged) {
  for (std::uint32_t seed : {1u, 2u, 3u, 4u}) {
    SCOPED_TRACE(seed);
    ScheduleGenerator generator(seed);
    std::vector<EntryLine> filed{kv::composeEntryLine(everyByteEntry())};
    std::vector<EntryLine> expected = filed;
    for (int i = 0; i < 60; ++i) {
      const ScheduleGenerator::Case c = generator.next();
      filed.push_back(kv::composeEntryLine(c.filed));
      expected.push_back(kv::composeEntryLine(c.loaded));
    }
    const std::vector<EntryLine> loaded = decode(fileOf(filed));
    ASSERT_EQ(loaded.size(), expected.size());
    for (std::size_t i = 0; i < loaded.size(); ++i) {
      EXPECT_EQ(loaded[i], expected[i]) << "line " << i;
    }
  }
}

TEST(ScheduleFileRoundTrip, EveryByteEntryParsesBackToItsValues) {
  const std::vector<EntryLine> loaded = decode(fileOf({kv::composeEntryLine(everyByteEntry())}));
  ASSERT_EQ(loaded.size(), 1u);
  EXPECT_EQ(kv::parseEntryLine(loaded[0]), everyByteEntry());
}

TEST(ScheduleFileEncode, WritesHeaderThenEachLineWithCrLfAndNothingElse) {
  EXPECT_EQ(encodeScheduleFile(std::vector<EntryLine>{}, kVersion), "Version=3.0\r\n");
  EXPECT_EQ(encodeScheduleFile(std::vector<EntryLine>{}, kVersion).size(), 13u);
  EXPECT_EQ(encodeScheduleFile({"a b", "c\x12"}, "4.1"), "Version=4.1\r\na b\r\nc\x12\r\n");
}

TEST(ScheduleFileEncode, StoreIsWrittenInItsRowOrder) {
  kvtest::FakeVisibleList list;
  kv::ScheduleStore store(list, [](Time, const std::string& d) { return d; });
  const EntryLine later = futureLine("later");
  const EntryLine earlier = kv::composeEntryLine(
      entry(kLoadTime + 1000, kLoadTime + kYear, 'H', "CALC.EXE", "C:\\", "earlier"));
  store.replaceLines({later, earlier});
  EXPECT_EQ(encodeScheduleFile(store, kVersion),
            std::string(kHeader) + earlier + "\r\n" + later + "\r\n");
}

TEST(ScheduleFileDecode, EmptyFilesLoadAsEmptySchedules) {
  EXPECT_TRUE(decode("").empty());
  EXPECT_TRUE(decode(kHeader).empty());
  EXPECT_TRUE(decode("Version=3.0").empty());
  EXPECT_TRUE(decode("\r\n\r\n\n").empty());
}

TEST(ScheduleFileDecode, AnyLineEndLoadsTheSameLines) {
  const EntryLine first = futureLine("first");
  const EntryLine second = futureLine("second");
  struct Case {
    const char* name;
    std::string lineEnd;
    bool lastLineEnded;
  };
  const Case cases[] = {
      {"CR LF", "\r\n", true},
      {"LF only", "\n", true},
      {"CR only", "\r", true},
      {"LF CR", "\n\r", true},
      {"blank lines", "\r\n\r\n", true},
      {"NUL", std::string(1, '\0'), true},
      {"CR LF, last unended", "\r\n", false},
      {"LF only, last unended", "\n", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string bytes =
        "Version=3.0" + c.lineEnd + first + c.lineEnd + second + (c.lastLineEnded ? c.lineEnd : "");
    EXPECT_EQ(decode(bytes), (std::vector<EntryLine>{first, second}));
  }
}

TEST(ScheduleFileDecode, OnlyControlBytesOtherThanTheSeparatorEndALine) {
  const EntryLine first = futureLine("first");
  const EntryLine second = futureLine("second");
  struct Case {
    char byte;
    bool endsLine;
  };
  const Case cases[] = {
      {'\0', true},    {'\t', true},    {'\x0B', true},  {'\x1A', true},  {'\x1F', true},
      {'\x12', false}, {' ', false},    {'{', false},    {'|', false},    {'}', false},
      {'~', false},    {'\x7F', false}, {'\x80', false}, {'\xFF', false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(static_cast<unsigned char>(c.byte)));
    const std::vector<EntryLine> loaded = decode(std::string(kHeader) + first + c.byte + second);
    if (c.endsLine) {
      EXPECT_EQ(loaded, (std::vector<EntryLine>{first, second}));
    } else {
      ASSERT_EQ(loaded.size(), 1u);
      EXPECT_EQ(loaded[0].substr(0, first.size() + 1), first + c.byte);
    }
  }
}

TEST(ScheduleFileHeader, IsTheFirstLineComparedIgnoringCase) {
  struct Case {
    std::string firstLine;
    bool current;
  };
  // The last four: the header ends at the first byte outside blank to 'z'.
  const Case cases[] = {
      {"Version=3.0", true},     {"VERSION=3.0", true},
      {"version=3.0", true},     {"Version=2.0", false},
      {"Version=3.0 ", false},   {" Version=3.0", false},
      {"Version=3.00", false},   {"Version=", false},
      {"Version3.0", false},     {"", false},
      {"Version=3.0\x12", true}, {"Version=3.0~", true},
      {"Version=3.0{x", true},   {"Version=3.0\xE9", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.firstLine);
    EXPECT_EQ(kv::scanScheduleFile(c.firstLine, kVersion).currentHeader, c.current);
    EXPECT_EQ(kv::scanScheduleFile(c.firstLine + "\r\n" + futureLine("x"), kVersion).currentHeader,
              c.current);
    EXPECT_EQ(kv::scanScheduleFile(c.firstLine + "\n", kVersion).currentHeader, c.current);
  }
  EXPECT_TRUE(kv::scanScheduleFile("version=4.1\r\n", "4.1").currentHeader);
  // Reading goes on right after the byte that ended the header.
  EXPECT_EQ(decode("Version=3.0~" + futureLine("x") + "\r\n"),
            std::vector<EntryLine>{futureLine("x")});
  EXPECT_FALSE(kv::scanScheduleFile("Version=3.0\r\n", "4.1").currentHeader);
}

TEST(ScheduleFileDecode, UpperCaseHeaderReadsCurrentLines) {
  const EntryLine line = futureLine("notes");
  EXPECT_EQ(decode("VERSION=3.0\r\n" + line + "\r\n"), std::vector<EntryLine>{line});
}

TEST(ScheduleFileScan, TellsEachLineItsNumberAndWhatTheReaderDidToIt) {
  const EntryLine l1 = futureLine("one"), l2 = futureLine("two"), l3 = futureLine("three"),
                  l4 = futureLine("four");
  std::string overlong = futureLine("long ");
  overlong.resize(600, 'x');
  const std::string bytes = "Version=3.0\r\n" + l1 + "\r\n\r\n" + l2 + '\t' + l3 + "\n\r" + l4 +
                            '\0' + overlong + '\r' + l1;
  // Number, text, cut, ended early.
  using Scanned = std::vector<std::tuple<std::size_t, std::string_view, bool, bool>>;
  const auto scanned = [](const kv::ScheduleFileScan& scan) {
    Scanned lines;
    for (const auto& l : scan.lines) lines.emplace_back(l.number, l.text, l.cut, l.endedEarly);
    return lines;
  };
  const kv::ScheduleFileScan scan = kv::scanScheduleFile(bytes, kVersion);
  for (const kv::ScannedLine& l : scan.lines) {
    EXPECT_EQ(l.entry, kv::parseEntryLine(l.text.substr(0, kv::kMaxEntryLine))) << l.number;
  }
  EXPECT_TRUE(scan.currentHeader);
  EXPECT_EQ(scan.header, "Version=3.0");
  const Scanned expected = {{2, l1, false, false},      {4, l2, false, true},
                            {4, l3, false, false},      {6, l4, false, true},
                            {6, overlong, true, false}, {7, l1, false, false}};
  EXPECT_EQ(scanned(scan), expected);

  // Without the current header the first line counts as an entry too.
  const kv::ScheduleFileScan legacy =
      kv::scanScheduleFile("Version=2.0\r\n1 2 D 1 C:\\A\\B.EXE\n", kVersion);
  EXPECT_FALSE(legacy.currentHeader);
  EXPECT_EQ(legacy.header, "Version=2.0");
  EXPECT_EQ(scanned(legacy),
            (Scanned{{1, "Version=2.0", false, false}, {2, "1 2 D 1 C:\\A\\B.EXE", false, false}}));
  EXPECT_EQ(legacy.lines[1].entry.workingDirectory, "C:\\A");
}

// The legacy layout: start, end, code, show command, command line.
std::string legacyLine(Time start, Time end, char frequency, const std::string& commandLine) {
  return std::to_string(start) + ' ' + std::to_string(end) + ' ' + frequency + " 1 " + commandLine;
}

TEST(ScheduleFileLegacy, LinesGetDirectoryPrintFlagAndDescriptionFromTheCommandLine) {
  struct Case {
    std::string commandLine;
    std::string directory;
    std::string description;
  };
  const Case cases[] = {
      {"C:\\WINDOWS\\NOTEPAD.EXE C:\\NOTES.TXT", "C:\\WINDOWS",
       "C:\\WINDOWS\\NOTEPAD.EXE C:\\NOTES.TXT"},
      {"C:\\WINDOWS\\CALC.EXE", "C:\\WINDOWS", "CALC"},
      {"C:\\CALC.EXE", "C:\\", "CALC"},
      {"CALC.EXE", "", "CALC"},
  };
  const Time start = kLoadTime + 3600;
  const Time end = kLoadTime + kYear;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.commandLine);
    const std::vector<EntryLine> loaded =
        decode(legacyLine(start, end, 'D', c.commandLine) + "\r\n");
    ASSERT_EQ(loaded.size(), 1u);
    const ScheduleEntry e = kv::parseEntryLine(loaded[0]);
    EXPECT_EQ(e.start, start);
    EXPECT_EQ(e.end, end);
    EXPECT_EQ(e.frequency, 'D');
    EXPECT_EQ(e.showCommand, 1);
    EXPECT_EQ(e.commandLine, c.commandLine);
    EXPECT_EQ(e.workingDirectory, c.directory);
    EXPECT_EQ(e.printFlag, '0');
    EXPECT_EQ(e.description, c.description);
  }
}

TEST(ScheduleFileLegacy, EveryLineOfAFileWithoutTheCurrentHeaderIsLegacy) {
  const std::string first = legacyLine(kLoadTime + 60, kLoadTime + kYear, 'H', "C:\\APP\\A.EXE");
  const std::string second = legacyLine(kLoadTime + 120, kLoadTime + kYear, 'D', "C:\\B.EXE");
  struct Case {
    const char* name;
    std::string header;
  };
  const Case cases[] = {{"no header", ""}, {"older header", "Version=2.0\r\n"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // An older header reads as a legacy line whose end (0) has passed.
    const std::vector<EntryLine> loaded = load(c.header + first + "\r\n" + second + "\r\n");
    ASSERT_EQ(loaded.size(), 2u);
    // Only a legacy line gets the program's directory as its working
    // directory; read in the current layout, it would have none.
    EXPECT_EQ(kv::parseEntryLine(loaded[0]).workingDirectory, "C:\\APP");
    EXPECT_EQ(kv::parseEntryLine(loaded[1]).workingDirectory, "C:\\");
  }
}

TEST(ScheduleFileCatchUp, UsesTheLoadTimeForEndsAndStepsAndTheClockForOnce) {
  struct Case {
    const char* name;
    ScheduleEntry filed;
    std::optional<Time> loadedStart;
  };
  const Case cases[] = {
      {"Once already past", entry(kLoadTime - 10, kLoadTime + kYear, 'O', "A.EXE", "", "a"),
       std::nullopt},
      {"Once past by the clock only",
       entry(kLoadTime + 50, kLoadTime + kYear, 'O', "A.EXE", "", "a"), std::nullopt},
      {"Once still to come", entry(kNow, kLoadTime + kYear, 'O', "A.EXE", "", "a"), kNow},
      {"ended before the load", entry(kLoadTime + 10, kLoadTime - 1, 'D', "A.EXE", "", "a"),
       std::nullopt},
      {"ends between load and clock", entry(kLoadTime + 10, kLoadTime + 50, 'D', "A.EXE", "", "a"),
       kLoadTime + 10},
      {"start at the load time", entry(kLoadTime, kLoadTime + kYear, 'H', "A.EXE", "", "a"),
       kLoadTime},
      {"every minute, moved past the load time",
       entry(kLoadTime - 150, kLoadTime + kYear, 'M', "A.EXE", "", "a"), kLoadTime + 30},
      {"every minute, one step before the load time",
       entry(kLoadTime - 60, kLoadTime + kYear, 'M', "A.EXE", "", "a"), kLoadTime + 60},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<EntryLine> loaded = load(fileOf({kv::composeEntryLine(c.filed)}));
    if (!c.loadedStart) {
      EXPECT_TRUE(loaded.empty());
      continue;
    }
    ASSERT_EQ(loaded.size(), 1u);
    ScheduleEntry expected = c.filed;
    expected.start = *c.loadedStart;
    EXPECT_EQ(loaded[0], kv::composeEntryLine(expected));
  }
}

TEST(ScheduleFileCatchUp, DroppedEntriesLeaveTheOthersInFileOrder) {
  const EntryLine kept1 = futureLine("one");
  const EntryLine pastOnce =
      kv::composeEntryLine(entry(kLoadTime - 86400, kLoadTime + kYear, 'O', "A.EXE", "", "gone"));
  const EntryLine ended =
      kv::composeEntryLine(entry(kLoadTime - 86400, kLoadTime - 3600, 'D', "A.EXE", "", "gone"));
  const EntryLine kept2 = futureLine("two");
  EXPECT_EQ(load(fileOf({kept1, pastOnce, ended, kept2})), (std::vector<EntryLine>{kept1, kept2}));
  // Decoding alone keeps every entry as stored.
  EXPECT_EQ(decode(fileOf({kept1, pastOnce, ended, kept2})),
            (std::vector<EntryLine>{kept1, pastOnce, ended, kept2}));
}

// --- Damaged input -------------------------------------------------------

// A schedule file that holds lines of every kind the program writes.
std::string sampleFile() {
  ScheduleGenerator generator(7);
  std::vector<EntryLine> lines{kv::composeEntryLine(everyByteEntry())};
  for (int i = 0; i < 6; ++i) lines.push_back(kv::composeEntryLine(generator.next().filed));
  return fileOf(lines);
}

TEST(ScheduleFileDamage, TruncatedFileLoadsThePrefixOfItsLines) {
  const std::string file = sampleFile();
  const std::vector<EntryLine> whole = decode(file);
  ASSERT_EQ(whole.size(), 7u);
  for (std::size_t length = 0; length <= file.size(); ++length) {
    const std::vector<EntryLine> loaded = decode(std::string_view(file).substr(0, length));
    expectWithinLineLimit(loaded);
    ASSERT_LE(loaded.size(), whole.size()) << "length " << length;
    // Only the cut last line may differ from the whole file's.
    for (std::size_t i = 0; i + 1 < loaded.size(); ++i) {
      ASSERT_EQ(loaded[i], whole[i]) << "length " << length << ", line " << i;
    }
    if (length >= 2 && file.compare(length - 2, 2, "\r\n") == 0) {
      ASSERT_EQ(loaded,
                std::vector<EntryLine>(whole.begin(),
                                       whole.begin() + static_cast<std::ptrdiff_t>(loaded.size())));
    }
  }
}

TEST(ScheduleFileDamage, OverlongLinesAreCutAndTheirRestIsNoLine) {
  const EntryLine next = futureLine("next");
  for (std::size_t length : {511u, 512u, 1000u, 5000u, 100000u}) {
    SCOPED_TRACE(length);
    // The long line's tail is a line of its own: were the rest of a cut line
    // read as another line, it would load as a third entry.
    std::string longLine = futureLine("long ");
    longLine.resize(std::min<std::size_t>(length, kv::kMaxEntryLine), 'x');
    if (length > kv::kMaxEntryLine) longLine += next;
    longLine.resize(length, 'y');
    const std::vector<EntryLine> loaded = decode(std::string(kHeader) + longLine + "\r\n" + next);
    ASSERT_EQ(loaded.size(), 2u);
    EXPECT_LE(loaded[0].size(), kv::kMaxEntryLine);
    EXPECT_EQ(loaded[0].substr(0, 40), longLine.substr(0, 40));
    EXPECT_EQ(loaded[1], next);
  }
}

TEST(ScheduleFileDamage, LongLegacyLineWithoutLineEndStaysWithinTheLimit) {
  std::string line = legacyLine(kLoadTime + 60, kLoadTime + kYear, 'D', "C:\\A\\B.EXE ");
  line.resize(20000, 'z');
  const std::vector<EntryLine> loaded = decode(line);
  ASSERT_EQ(loaded.size(), 1u);
  EXPECT_LE(loaded[0].size(), kv::kMaxEntryLine);
  EXPECT_EQ(kv::parseEntryLine(loaded[0]).workingDirectory, "C:\\A");
}

std::string randomBytes(std::mt19937& rng, std::size_t length, std::string_view alphabet) {
  std::uniform_int_distribution<std::size_t> index(0, alphabet.size() - 1);
  std::string bytes(length, '\0');
  for (char& b : bytes) b = alphabet[index(rng)];
  return bytes;
}

std::string allByteValues() {
  std::string bytes;
  for (int b = 0; b <= 0xFF; ++b) bytes += static_cast<char>(b);
  return bytes;
}

TEST(ScheduleFileDamage, GarbageLoadsWithinLimitsAndLoadsAgainUnchanged) {
  // Uniform bytes, and bytes that make up entry lines, so that the parser's
  // paths are walked as well as its refusals.
  const std::string alphabets[] = {allByteValues(),
                                   std::string("0123456789   \x12pdOMFHDKWTE\r\n\\:.")};
  for (const std::string& alphabet : alphabets) {
    for (std::uint32_t seed = 1; seed <= 40; ++seed) {
      SCOPED_TRACE(seed);
      std::mt19937 rng(seed);
      const std::size_t length = std::uniform_int_distribution<std::size_t>(0, 4000)(rng);
      const std::string garbage = randomBytes(rng, length, alphabet);
      expectWithinLineLimit(load(garbage));
      const std::vector<EntryLine> loaded = load(std::string(kHeader) + garbage);
      expectWithinLineLimit(loaded);
      // What a load keeps is in the current layout and already caught up, so
      // saving and loading it again changes nothing.
      EXPECT_EQ(load(fileOf(loaded)), loaded);
    }
  }
}

TEST(ScheduleFileDamage, FilesOfAnySizeLoadInFull) {
  const EntryLine line = futureLine("bulk");
  std::string file(kHeader);
  std::size_t lines = 0;
  for (; file.size() < (1u << 20); ++lines) file += line + "\r\n";
  EXPECT_EQ(decode(file), std::vector<EntryLine>(lines, line));
}

TEST(ScheduleFileDamage, TenMegabytesOfLongGarbageLinesLoadToTheEnd) {
  // Text bytes with a rare line end: thousands of over-long lines, then one
  // good line that is only reached when the reader gets through them all.
  constexpr std::size_t kTenMegabytes = 10u << 20;
  std::string textBytes;
  for (int b = 0x20; b <= 0xFF; ++b) textBytes += static_cast<char>(b);
  std::mt19937 rng(11);
  std::string file = std::string(kHeader) + randomBytes(rng, kTenMegabytes, textBytes);
  std::uniform_int_distribution<std::size_t> position(kHeader.size(), file.size() - 1);
  for (int i = 0; i < 2000; ++i) file[position(rng)] = '\n';
  const EntryLine last = futureLine("last");
  file += "\r\n" + last + "\r\n";
  const std::vector<EntryLine> loaded = decode(file);
  expectWithinLineLimit(loaded);
  ASSERT_FALSE(loaded.empty());
  EXPECT_EQ(loaded.back(), last);
}

}  // namespace
