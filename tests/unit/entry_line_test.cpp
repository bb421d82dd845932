#include "schedule/entry_line.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

using kv::ScheduleEntry;

ScheduleEntry makeEntry(kv::Time start, kv::Time end, char frequency, std::uint16_t show,
                        std::string commandLine, std::string workingDirectory, char printFlag,
                        std::string description) {
  ScheduleEntry e;
  e.start = start;
  e.end = end;
  e.frequency = frequency;
  e.showCommand = show;
  e.commandLine = std::move(commandLine);
  e.workingDirectory = std::move(workingDirectory);
  e.printFlag = printFlag;
  e.description = std::move(description);
  return e;
}

// A string literal as bytes, NULs included.
template <std::size_t N>
constexpr std::string_view bytes(const char (&literal)[N]) {
  return std::string_view(literal, N - 1);
}

std::string withoutLeadingBlanks(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  return first == std::string::npos ? std::string{} : text.substr(first);
}

// Every entry within the limits comes back as it went in, except that the
// command line loses its leading blanks and an empty description comes back
// as the default one.
class RandomEntries {
 public:
  explicit RandomEntries(std::uint32_t seed) : rng_(seed) {}

  ScheduleEntry next() {
    ScheduleEntry e;
    e.start = anyTime();
    e.end = anyTime();
    e.frequency = pick(std::string_view("OMFHDKWTE"));
    e.showCommand = pick(std::vector<std::uint16_t>{1, 2, 3, 4, 7, 0, 65535});
    e.printFlag = pick(std::string_view("01"));
    const std::size_t cmdLength = length(kv::kMaxText);
    const std::size_t dirLength = length(std::min(kv::kMaxText, kv::kMaxTextsTogether - cmdLength));
    const std::size_t descLength =
        length(std::min(kv::kMaxText, kv::kMaxTextsTogether - cmdLength - dirLength));
    // No blank followed by byte 18 in the command line and no " p" in the
    // working directory: those would end the fields early, by the line's
    // design. Byte 18 anywhere else, at the start of the command line too.
    e.commandLine = text(cmdLength, bytes(" pd\x12.:\\aZ\xe9\xff\0"), '\x12');
    e.workingDirectory = text(dirLength, bytes(" pd\x12.:\\aZ\xff\0"), 'p');
    e.description = text(descLength, bytes(" pd\x12.:\\aZ\xff\0"), std::nullopt);
    return e;
  }

 private:
  kv::Time anyTime() {
    switch (rng_() % 4) {
      case 0:
        return 0;
      case 1:
        return 4294967295u;
      default:
        return static_cast<kv::Time>(rng_());
    }
  }

  // Lengths favour the edges: empty, the full limit, and everything between.
  std::size_t length(std::size_t limit) {
    switch (rng_() % 5) {
      case 0:
        return 0;
      case 1:
        return limit;
      default:
        return rng_() % (limit + 1);
    }
  }

  // n bytes of the alphabet in which notAfterBlank never follows a blank.
  std::string text(std::size_t n, std::string_view alphabet, std::optional<char> notAfterBlank) {
    std::string s;
    while (s.size() < n) {
      char c = alphabet[rng_() % alphabet.size()];
      if (c == notAfterBlank && !s.empty() && s.back() == ' ') c = 'q';
      s += c;
    }
    return s;
  }

  template <typename Seq>
  typename Seq::value_type pick(const Seq& options) {
    return options[rng_() % options.size()];
  }

  std::mt19937 rng_;
};

TEST(EntryLine, ComposeThenParseGivesTheEntryBack) {
  RandomEntries entries(20240611u);
  for (int i = 0; i < 5000; ++i) {
    const ScheduleEntry in = entries.next();
    const kv::EntryLine line = kv::composeEntryLine(in);
    ASSERT_LE(line.size(), kv::kMaxEntryLine);

    ScheduleEntry expected = in;
    expected.commandLine = withoutLeadingBlanks(in.commandLine);
    if (expected.description.empty()) {
      expected.description = kv::defaultDescription(expected.commandLine);
    }
    ASSERT_EQ(kv::parseEntryLine(line), expected) << "entry " << i;
  }
}

// Whenever an entry tells without a parse what its line reads back as, a
// parse of the line agrees: also for entries with markers, leading blanks or
// texts over their limits, for which it must not tell.
TEST(EntryLine, AnEntryThatTellsHowItsLineReadsBackAgreesWithTheParse) {
  RandomEntries entries(20261209u);
  std::mt19937 spoil(3u);
  const std::string spoilers[] = {" \x12", " p", " ", std::string(300, 'x'), "d"};
  int told = 0;
  for (int i = 0; i < 5000; ++i) {
    ScheduleEntry e = entries.next();
    std::string* texts[] = {&e.commandLine, &e.workingDirectory, &e.description};
    if (spoil() % 2) {
      std::string& text = *texts[spoil() % 3];
      text.insert(spoil() % (text.size() + 1), spoilers[spoil() % std::size(spoilers)]);
    }
    const std::optional<ScheduleEntry> read = kv::entryAsComposedLineReads(e);
    if (!read) continue;
    ++told;
    ASSERT_EQ(*read, kv::parseEntryLine(kv::composeEntryLine(e))) << "entry " << i;
  }
  EXPECT_GT(told, 2000);
  EXPECT_LT(told, 4500);
}

TEST(EntryLine, ComposesTheFieldsInOrder) {
  const ScheduleEntry e =
      makeEntry(700000000, 800000000, 'D', 1, "C:\\WINDOWS\\NOTEPAD.EXE C:\\NOTES.TXT",
                "C:\\WINDOWS", '0', "Morning notes");
  EXPECT_EQ(kv::composeEntryLine(e),
            "700000000 800000000 D 1 C:\\WINDOWS\\NOTEPAD.EXE C:\\NOTES.TXT \x12"
            "C:\\WINDOWS p0 dMorning notes");
}

TEST(EntryLine, LongestLineFitsTheLimit) {
  const ScheduleEntry e = makeEntry(4294967295u, 4294967295u, 'E', 65535, std::string(253, 'c'),
                                    std::string(221, 'w'), '1', "");
  EXPECT_EQ(kv::composeEntryLine(e).size(), kv::kMaxEntryLine);
}

TEST(EntryLine, ComposeCutsDescriptionFirstThenDirectoryThenCommandLine) {
  struct Case {
    std::size_t cmd, dir, desc;     // lengths given
    std::size_t wantDir, wantDesc;  // lengths kept
  };
  const Case cases[] = {
      {200, 200, 200, 200, 74},   // the description gives way
      {253, 253, 253, 221, 0},    // all of it, then the directory
      {300, 10, 10, 10, 10},      // each text alone is cut to its limit
      {100, 100, 100, 100, 100},  // within the limits nothing is cut
  };
  for (const Case& c : cases) {
    const ScheduleEntry e = makeEntry(1, 2, 'O', 1, std::string(c.cmd, 'c'),
                                      std::string(c.dir, 'w'), '0', std::string(c.desc, 'x'));
    const kv::EntryLine line = kv::composeEntryLine(e);
    EXPECT_LE(line.size(), kv::kMaxEntryLine);
    const ScheduleEntry back = kv::parseEntryLine(line);
    EXPECT_EQ(back.commandLine, std::string(std::min(c.cmd, kv::kMaxText), 'c'));
    EXPECT_EQ(back.workingDirectory, std::string(c.wantDir, 'w'));
    const std::string wantDesc =
        c.wantDesc == 0 ? kv::defaultDescription(back.commandLine) : std::string(c.wantDesc, 'x');
    EXPECT_EQ(back.description, wantDesc) << c.cmd << "/" << c.dir << "/" << c.desc;
  }
}

TEST(EntryLine, ParsesTheCasesOfTheLineFormat) {
  struct Case {
    const char* name;
    std::string line;
    ScheduleEntry want;
  };
  const std::vector<Case> cases = {
      {"a blank and p inside the directory ends it there",
       std::string("5 6 D 1 NOTEPAD.EXE \x12") + "C:\\my progs p0 dNotes",
       makeEntry(5, 6, 'D', 1, "NOTEPAD.EXE", "C:\\my", 'r', "Notes")},
      {"empty description becomes the file name",
       std::string("5 6 D 1 NOTEPAD.EXE \x12") + "C:\\ p0 d",
       makeEntry(5, 6, 'D', 1, "NOTEPAD.EXE", "C:\\", '0', "NOTEPAD")},
      {"empty description with parameters becomes the command line",
       std::string("5 6 D 1 NOTEPAD.EXE README.TXT \x12 p0 d"),
       makeEntry(5, 6, 'D', 1, "NOTEPAD.EXE README.TXT", "", '0', "NOTEPAD.EXE README.TXT")},
      {"description runs to the end whatever it holds",
       std::string("5 6 D 1 A.EXE \x12 p1 dsay pd \x12 p0 dd"),
       makeEntry(5, 6, 'D', 1, "A.EXE", "", '1', "say pd \x12 p0 dd")},
      {"leading blanks of the command line are lost, trailing ones stay",
       std::string("5 6 D 1    A.EXE   \x12 p0 dx"),
       makeEntry(5, 6, 'D', 1, "A.EXE  ", "", '0', "x")},
      {"an empty command line keeps the fields after it", std::string("5 6 D 1  \x12W p1 dx"),
       makeEntry(5, 6, 'D', 1, "", "W", '1', "x")},
      {"a command line may begin with the separator byte",
       std::string("5 6 D 1 \x12"
                   "A \x12W p0 dx"),
       makeEntry(5, 6, 'D', 1,
                 "\x12"
                 "A",
                 "W", '0', "x")},
      {"a print flag of d is not taken for the description marker",
       std::string("5 6 D 1 A \x12 pd dx"), makeEntry(5, 6, 'D', 1, "A", "", 'd', "x")},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(kv::parseEntryLine(c.line), c.want) << c.name;
  }
}

TEST(EntryLine, LegacyLayoutTakesTheRestAsCommandLine) {
  const ScheduleEntry e = kv::parseEntryLine(
      "700000000 800000000 D 1 C:\\WINDOWS\\NOTEPAD.EXE C:\\NOTES.TXT", kv::LineLayout::Legacy);
  EXPECT_EQ(e, makeEntry(700000000, 800000000, 'D', 1, "C:\\WINDOWS\\NOTEPAD.EXE C:\\NOTES.TXT", "",
                         '0', ""));
  // A current-layout line read as legacy keeps its separators in the command
  // line: the file reader decides the layout, not the line.
  const ScheduleEntry current =
      kv::parseEntryLine("1 2 O 1 A.EXE \x12 p0 dx", kv::LineLayout::Legacy);
  EXPECT_EQ(current.commandLine, "A.EXE \x12 p0 dx");
}

TEST(EntryLine, DamagedLinesKeepWhatCanBeRead) {
  struct Case {
    const char* name;
    std::string line;
    ScheduleEntry want;
  };
  const std::vector<Case> cases = {
      {"empty line", "", makeEntry(0, 0, 'O', 0, "", "", '0', "")},
      {"start only", "123", makeEntry(123, 0, 'O', 0, "", "", '0', "")},
      {"no terminators", "1 2 D 3 NOTEPAD.EXE",
       makeEntry(1, 2, 'D', 3, "NOTEPAD.EXE", "", '0', "NOTEPAD")},
      {"no print marker",
       "1 2 D 3 A.EXE \x12"
       "C:\\X",
       makeEntry(1, 2, 'D', 3, "A.EXE", "C:\\X", '0', "A")},
      {"print marker at the end",
       "1 2 D 3 A.EXE \x12"
       "C:\\X p",
       makeEntry(1, 2, 'D', 3, "A.EXE", "C:\\X", '0', "A")},
      {"no description marker",
       "1 2 D 3 A.EXE \x12"
       "C:\\X p1",
       makeEntry(1, 2, 'D', 3, "A.EXE", "C:\\X", '1', "A")},
      {"numbers too large for their fields", "99999999999 4294967296 D 70000 A",
       makeEntry(4294967295u, 4294967295u, 'D', 65535, "A", "", '0', "A")},
      {"letters where numbers belong", "x y D z A",
       makeEntry(0, 0, 'x', 0, "y D z A", "", '0', "y D z A")},
      {"command line over the text limit", "1 2 D 3 " + std::string(300, 'A') + " \x12W p0 dx",
       makeEntry(1, 2, 'D', 3, std::string(253, 'A'), "W", '0', "x")},
      // 8 + 253 + 2 = 263 characters before the directory leave 248 of the
      // 511, and the cut takes its " p" away.
      {"line over the line limit",
       "1 2 D 3 " + std::string(253, 'c') + " \x12" + std::string(253, 'w') + " p1 dx",
       makeEntry(1, 2, 'D', 3, std::string(253, 'c'), std::string(248, 'w'), '0',
                 std::string(253, 'c'))},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(kv::parseEntryLine(c.line), c.want) << c.name;
  }
}

void expectParsedWithinLimits(std::string_view line, kv::LineLayout layout,
                              const std::string& from) {
  const ScheduleEntry e = kv::parseEntryLine(line, layout);
  ASSERT_LE(e.commandLine.size(), kv::kMaxText) << from;
  ASSERT_LE(e.workingDirectory.size(), kv::kMaxText) << from;
  ASSERT_LE(e.description.size(), kv::kMaxText) << from;
  ASSERT_LE(kv::composeEntryLine(e).size(), kv::kMaxEntryLine) << from;
  // Only the current layout supplies a description.
  if (layout == kv::LineLayout::Current && !e.commandLine.empty()) {
    ASSERT_FALSE(e.description.empty()) << from;
  }
}

TEST(EntryLine, EveryPrefixOfAGoodLineParsesWithinLimits) {
  const std::vector<std::string> lines = {
      kv::composeEntryLine(makeEntry(1000000000, 2000000000, 'W', 7, "C:\\A B\\P.EXE x y",
                                     "C:\\A B", '1', "weekly p d run")),
      kv::composeEntryLine(makeEntry(4294967295u, 4294967295u, 'E', 65535, std::string(253, 'c'),
                                     std::string(221, 'w'), '0', "")),
  };
  for (const std::string& line : lines) {
    for (std::size_t n = 0; n <= line.size(); ++n) {
      for (const kv::LineLayout layout : {kv::LineLayout::Current, kv::LineLayout::Legacy}) {
        expectParsedWithinLimits(std::string_view(line).substr(0, n), layout,
                                 "prefix " + std::to_string(n));
      }
    }
  }
}

TEST(EntryLine, RandomBytesParseWithinLimits) {
  std::mt19937 rng(7u);
  // Weighted towards the bytes that mean something to the parser.
  const std::string_view alphabet = bytes("0123456789  pd\x12\x12\0\xff\xfe\\.:aZ");
  for (int i = 0; i < 3000; ++i) {
    std::string line(rng() % 1200, '\0');
    for (char& c : line) c = alphabet[rng() % alphabet.size()];
    for (const kv::LineLayout layout : {kv::LineLayout::Current, kv::LineLayout::Legacy}) {
      expectParsedWithinLimits(line, layout, "random line " + std::to_string(i));
    }
  }
}

TEST(EntryLine, LeadingStartReadsOnlyTheFirstNumber) {
  const struct {
    std::string_view line;
    kv::Time want;
  } cases[] = {
      {"123 456 D 1 A", 123},
      {"1000000000 1 D", 1000000000},
      {"4294967295", 4294967295u},
      {"99999999999999", 4294967295u},
      {"", 0},
      {" 123", 0},
      {"abc", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(kv::leadingStart(c.line), c.want) << c.line;
}

TEST(CommandLine, SplitsIntoProgramParametersAndExtension) {
  const struct {
    std::string_view commandLine, program, parameters, ext;
    bool executable;
  } cases[] = {
      {"C:\\WINDOWS\\NOTEPAD.EXE C:\\NOTES.TXT", "C:\\WINDOWS\\NOTEPAD.EXE", "C:\\NOTES.TXT", "EXE",
       true},
      {"calc.exe", "calc.exe", "", "exe", true},
      {"GAME.Com  -fast  ", "GAME.Com", " -fast  ", "Com", true},
      {"README", "README", "", "", false},
      {"REPORT.TXT", "REPORT.TXT", "", "TXT", false},
      {"C:\\MY.DIR\\PROG.EXE", "C:\\MY.DIR\\PROG.EXE", "", "DIR\\PROG.EXE", false},
      {"TOOL.EXEC", "TOOL.EXEC", "", "EXEC", false},
      {"TOOL.COMX", "TOOL.COMX", "", "COMX", false},
      {"TOOL.EX", "TOOL.EX", "", "EX", false},
      {"", "", "", "", false},
      {" X.EXE", "", "X.EXE", "", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(kv::programPart(c.commandLine), c.program) << c.commandLine;
    EXPECT_EQ(kv::parameterPart(c.commandLine), c.parameters) << c.commandLine;
    EXPECT_EQ(kv::extension(c.commandLine), c.ext) << c.commandLine;
    EXPECT_EQ(kv::isExecutableExtension(kv::extension(c.commandLine)), c.executable)
        << c.commandLine;
  }
}

TEST(CommandLine, DefaultDescription) {
  const struct {
    std::string_view commandLine, want;
  } cases[] = {
      {"C:\\WINDOWS\\NOTEPAD.EXE", "NOTEPAD"},
      {"README", "README"},
      {"\\AUTOEXEC.BAT", "AUTOEXEC"},
      {"C:\\DATA.OLD\\REPORT", "DATA"},
      {"NOTEPAD.EXE README.TXT", "NOTEPAD.EXE README.TXT"},
      {"C:NOTES.TXT", "NOTES"},
      {"ARCHIVE.TAR.GZ", "ARCHIVE.TAR"},
      {".PROFILE", ".PROFILE"},
      {".\\TOOLS\\RUN", "RUN"},
      // Nothing left of a name: the command line itself.
      {"C:\\", "C:\\"},
      {"C:\\DIR\\.X", "C:\\DIR\\.X"},
      {"", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(kv::defaultDescription(c.commandLine), c.want) << c.commandLine;
  EXPECT_EQ(kv::defaultDescription(std::string(300, 'a') + " x").size(), kv::kMaxText);
}

TEST(CommandLine, DefaultDirectory) {
  const struct {
    std::string_view commandLine, target, want;
  } cases[] = {
      {"C:\\WINDOWS\\NOTEPAD.EXE C:\\NOTES.TXT", "", "C:\\WINDOWS"},
      {"C:\\NOTEPAD.EXE", "", "C:\\"},
      {"C:NOTEPAD.EXE", "", "C:"},
      {"NOTEPAD.EXE C:\\NOTES.TXT", "", ""},
      {"\\\\SERVER\\SHARE\\P.EXE", "", "\\\\SERVER\\SHARE"},
      {"\\P.EXE", "", ""},
      {"C:\\WINDOWS\\NOTEPAD.EXE", "D:\\KEEP", "D:\\KEEP"},
      {"", "", ""},
  };
  for (const auto& c : cases) {
    std::string target(c.target);
    kv::fillDefaultDirectory(c.commandLine, target);
    EXPECT_EQ(target, c.want) << c.commandLine;
  }
}

}  // namespace

// A damaged line whose separator byte follows the show command's place
// directly reads as an empty command line, as it reads once written again.
TEST(DamagedLine, SeparatorRightAfterTheShowCommandMeansAnEmptyCommandLine) {
  for (const char* line : {"1800000000 1900000000 D \x12"
                           "A",
                           "1800000000 1900000000 D 1\x12"
                           "A p1 dX"}) {
    const kv::ScheduleEntry parsed = kv::parseEntryLine(line);
    EXPECT_EQ(parsed.commandLine, "") << line;
    EXPECT_EQ(kv::parseEntryLine(kv::composeEntryLine(parsed)), parsed) << line;
  }
}
