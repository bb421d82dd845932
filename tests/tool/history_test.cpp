#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "engine/history.h"
#include "local_time.h"
#include "time_zone.h"
#include "tool/arguments.h"
#include "tool/history_command.h"
#include "tool/terminal_text.h"

namespace {

using kv::test::at;
using kv::tool::HistoryRequest;

kv::HistoryRecord attempt(const char* when, std::string description, std::string outcome) {
  kv::HistoryRecord r;
  r.attempted = r.due = at(when);
  r.schedule = "My Schedule.KV";
  r.description = std::move(description);
  r.commandLine = "C:\\Tools\\" + r.description + ".exe";
  r.workingDirectory = "C:\\Tools";
  r.result = outcome == kv::kStartedOutcome ? 42 : 2;
  r.outcome = std::move(outcome);
  return r;
}

// A history file of the records, as kv.exe writes it.
std::string historyOf(const std::vector<kv::HistoryRecord>& records) {
  std::string bytes = std::string(kv::kHistoryHeader) + "\r\n";
  for (const kv::HistoryRecord& r : records) {
    bytes += kv::historyLine(r, [](std::string_view text) { return std::string(text); }) + "\r\n";
  }
  return bytes;
}

std::string written(const std::vector<kv::HistoryRecord>& records, const HistoryRequest& request) {
  std::ostringstream out;
  kv::tool::writeHistory(records, request, out);
  return out.str();
}

TEST(KvtoolHistory, ChoosesTheLastStartsSinceATimeOrThoseThatFailed) {
  KV_IN_TIME_ZONE(zone, "UTC");
  const std::vector<kv::HistoryRecord> records = {
      attempt("2026-12-07T02:00:01", "b7", "started"),
      attempt("2026-12-07T09:00:01", "n7", "File not found"),
      attempt("2026-12-08T02:00:01", "b8", "started"),
      attempt("2026-12-08T09:00:01", "n8", "File not found"),
      attempt("2026-12-09T02:00:01", "b9", "started"),
  };
  // The descriptions shown, then the note of an empty result.
  const struct {
    HistoryRequest request;
    const char* shown;
  } cases[] = {
      {{at("2026-12-08T09:00:01"), false, {}}, "n8 b9 "},
      {{{}, true, {}}, "n7 n8 "},
      {{{}, false, 2}, "n8 b9 "},
      {{{}, false, 100}, "b7 n7 b8 n8 b9 "},
      // --count takes the last of those that the other options keep.
      {{at("2026-12-07T09:00:02"), true, 1}, "n8 "},
      {{at("2026-12-09T02:00:01"), true, {}},
       "no failed starts recorded since 2026-12-09 02:00:01"},
      {{at("2026-12-10"), false, {}}, "no starts recorded since 2026-12-10 00:00"},
  };
  for (const auto& c : cases) {
    std::ostringstream out;
    const std::string note = kv::tool::writeHistory(records, c.request, out).note;
    std::istringstream lines(out.str());
    std::string descriptions;
    for (std::string l; std::getline(lines, l);) descriptions += l.substr(18, 3);
    EXPECT_EQ(descriptions + note, c.shown) << out.str();
  }
}

TEST(KvtoolHistory, EscapesControlCharactersAndKeepsTheRestOfUtf8) {
  // The no-break space kept, DEL and C1 CSI escaped; U+10FFFF, the last
  // character there is, passes as it stands.
  EXPECT_EQ(
      kv::tool::escapedUtf8("\xE2\x82\xAC\xF0\x9F\x93\x85\xC2\xA0\x7F\xC2\x9Bm\xF4\x8F\xBF\xBF"),
      "€📅\xC2\xA0\\x7F\\x9Bm\xF4\x8F\xBF\xBF");
  // Bytes of no valid sequence: lone, overlong, the first and last
  // surrogates, past U+10FFFF, cut short.
  EXPECT_EQ(
      kv::tool::escapedUtf8("\xFF\x80\xC0\x80\xED\xA0\x80\xED\xBF\xBFx\xF4\x90\x80\x80\xE2\x82"),
      "\\xFF\\x80\\xC0\\x80\\xED\\xA0\\x80\\xED\\xBF\\xBFx\\xF4\\x90\\x80\\x80\\xE2\\x82");

  // A record holds the file's \xNN as the control characters again.
  KV_IN_TIME_ZONE(zone, "UTC");
  kv::HistoryRecord tricky = attempt("2026-12-09T17:00", "Caf\xC3\xA9\tw\x1B[1m", "started");
  tricky.commandLine = "C:\\A.EXE\r\nnext";
  tricky.outcome = "No\xC2\x85way";
  EXPECT_EQ(written(kv::tool::readHistoryFile(historyOf({tricky})).records,
                    {{}, false, {}, kv::tool::Format::Tsv}),
            "time\tdue\tschedule\tdescription\tcommand\tdirectory\taction\tshow\tresult\toutcome\n"
            "2026-12-09T17:00:00\t2026-12-09T17:00:00\tMy Schedule.KV\tCafé\\x09w\\x1B[1m\t"
            "C:\\A.EXE\\x0D\\x0Anext\tC:\\Tools\topen\tNormal\t42\tNo\\x85way\n");
}

TEST(KvtoolHistory, AlignsTheColumnsOfTheStartsShownByCharacterUpToAWidth) {
  KV_IN_TIME_ZONE(zone, "UTC");
  std::vector<kv::HistoryRecord> records = {attempt("2026-12-09T00:00", "not shown", "started"),
                                            attempt("2026-12-09T01:00", "Café", "started"),
                                            attempt("2026-12-09T02:00", "ab", "File not found")};
  const HistoryRequest since = {at("2026-12-09T01:00"), false, {}};
  EXPECT_EQ(written(records, since),
            "2026-12-09 01:00  Café  C:\\Tools\\Café.exe  started\n"
            "2026-12-09 02:00  ab    C:\\Tools\\ab.exe    File not found\n");

  // A text longer than the widest aligned one moves only its own line on.
  records[2].commandLine = std::string(kv::tool::kMaxAlignedWidth + 5, 'c');
  const std::string padding(kv::tool::kMaxAlignedWidth - 17, ' ');
  EXPECT_EQ(written(records, since), "2026-12-09 01:00  Café  C:\\Tools\\Café.exe" + padding +
                                         "  started\n2026-12-09 02:00  ab    " +
                                         records[2].commandLine + "  File not found\n");

  // A column of empty texts takes no width.
  kv::HistoryRecord undescribed = attempt("2026-12-09T03:00", "", "started");
  undescribed.commandLine = "C:\\A.EXE";
  EXPECT_EQ(written({undescribed}, {}), "2026-12-09 03:00    C:\\A.EXE  started\n");
}

TEST(KvtoolHistory, ReadsHistoryFilesAndRefusesOthers) {
  KV_IN_TIME_ZONE(zone, "UTC");
  const std::string two = historyOf(
      {attempt("2026-12-07", "a", "started"), attempt("2026-12-08", "b", "Path was not found")});
  const struct {
    std::string bytes;
    bool history;
    std::size_t records, unread;
  } cases[] = {
      {"", true, 0, 0},
      {two, true, 2, 0},
      {"\xEF\xBB\xBF" + two + two, true, 4, 0},  // a byte order mark; two files one after the other
      {two + "2026-12-09T02:00:01+00:00\tcut sho", true, 2, 1},
      {std::string(kv::kHistoryHeader) + "\r\ndamaged\r\n", true, 0, 1},
      {"Version=3.0\r\n1767571200 1798761600 D 1 C:\\A.EXE\r\n", false, 0, 2},  // a schedule
  };
  for (const auto& c : cases) {
    const kv::tool::HistoryFile file = kv::tool::readHistoryFile(c.bytes);
    EXPECT_EQ(std::tuple(file.history, file.records.size(), file.unreadLines),
              std::tuple(c.history, c.records, c.unread))
        << c.bytes;
  }
}

}  // namespace
