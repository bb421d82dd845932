#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <variant>
#include <vector>

#include "engine/history.h"
#include "schedule_lines.h"
#include "time_zone.h"
#include "tool/arguments.h"
#include "tool/history_command.h"
#include "tool/terminal_text.h"

namespace {

using kv::tool::Format;
using kv::tool::HistoryRequest;
using kv::tool::Options;
using kvtest::at;

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

std::vector<kv::HistoryRecord> smallHistory() {
  return kv::tool::readHistoryFile(historyOf({
                                       attempt("2026-12-07T02:00:01", "backup", "started"),
                                       attempt("2026-12-07T09:00:01", "notes", "File not found"),
                                       attempt("2026-12-08T02:00:01", "backup", "started"),
                                       attempt("2026-12-08T09:00:01", "notes", "File not found"),
                                       attempt("2026-12-09T02:00:01", "backup", "started"),
                                   }))
      .records;
}

// What history writes in text, and the note of an empty result after a '|'.
std::string shown(const std::vector<kv::HistoryRecord>& records, const HistoryRequest& request) {
  std::ostringstream out;
  const kv::tool::HistoryShown result = kv::tool::writeHistory(records, request, out);
  return result.note.empty() ? out.str() : out.str() + "|" + result.note;
}

TEST(KvtoolHistory, ChoosesTheLastStartsSinceATimeOrThoseThatFailed) {
  KV_IN_TIME_ZONE(zone, "UTC");
  // The columns are as wide as the rows shown need them.
  const std::string backup = "backup  C:\\Tools\\backup.exe  started\n";
  const std::string notes = "notes   C:\\Tools\\notes.exe   File not found\n";
  const std::string notesAlone = "notes  C:\\Tools\\notes.exe  File not found\n";
  const struct {
    HistoryRequest request;
    std::string shown;
  } cases[] = {
      {{},
       "2026-12-07 02:00  " + backup + "2026-12-07 09:00  " + notes + "2026-12-08 02:00  " +
           backup + "2026-12-08 09:00  " + notes + "2026-12-09 02:00  " + backup},
      {{at("2026-12-08T09:00:01"), false, {}},
       "2026-12-08 09:00  " + notes + "2026-12-09 02:00  " + backup},
      {{{}, true, {}}, "2026-12-07 09:00  " + notesAlone + "2026-12-08 09:00  " + notesAlone},
      {{{}, false, 2}, "2026-12-08 09:00  " + notes + "2026-12-09 02:00  " + backup},
      // --count takes the last of those that the other options keep.
      {{at("2026-12-07T09:00:02"), true, 1}, "2026-12-08 09:00  " + notesAlone},
      {{at("2026-12-09T02:00:01"), true, {}},
       "|no failed starts recorded since 2026-12-09 02:00:01"},
      {{at("2026-12-10"), false, {}}, "|no starts recorded since 2026-12-10 00:00"},
  };
  for (const auto& c : cases) EXPECT_EQ(shown(smallHistory(), c.request), c.shown);
  EXPECT_EQ(shown(smallHistory(), {{}, false, 100}), shown(smallHistory(), {}));
  EXPECT_EQ(shown({}, {}), "|no starts recorded");
}

TEST(KvtoolHistory, EscapesControlCharactersAndKeepsTheRestOfUtf8) {
  const struct {
    std::string utf8;
    const char* shown;
  } cases[] = {
      {"Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x93\x85", "Café € 📅"},
      {"a\tb\r\n\x1B[31m\x7F", "a\\x09b\\x0D\\x0A\\x1B[31m\\x7F"},
      {"\xC2\x9Bm\xC2\xA0", "\\x9Bm\xC2\xA0"},  // C1 CSI escaped, no-break space kept
      // Bytes of no valid sequence: lone, overlong, a surrogate, cut short.
      {"\xFF\x80", "\\xFF\\x80"},
      {"\xC0\x80\xED\xA0\x80", "\\xC0\\x80\\xED\\xA0\\x80"},
      {"x\xE2\x82", "x\\xE2\\x82"},
  };
  for (const auto& c : cases) EXPECT_EQ(kv::tool::escapedUtf8(c.utf8), c.shown) << c.shown;

  // A record holds the file's \xNN as the control characters again.
  KV_IN_TIME_ZONE(zone, "UTC");
  kv::HistoryRecord tricky = attempt("2026-12-09T17:00", "Caf\xC3\xA9\tw\x1B[1m", "started");
  tricky.commandLine = "C:\\A.EXE\r\nnext";
  tricky.outcome = "No\xC2\x85way";
  std::ostringstream out;
  kv::tool::writeHistory(kv::tool::readHistoryFile(historyOf({tricky})).records,
                         {{}, false, {}, Format::Tsv}, out);
  EXPECT_EQ(out.str(),
            "time\tdue\tschedule\tdescription\tcommand\tdirectory\taction\tshow\tresult\toutcome\n"
            "2026-12-09T17:00:00\t2026-12-09T17:00:00\tMy Schedule.KV\tCafé\\x09w\\x1B[1m\t"
            "C:\\A.EXE\\x0D\\x0Anext\tC:\\Tools\topen\tNormal\t42\tNo\\x85way\n");
}

TEST(KvtoolHistory, AlignsTheTextColumnsByCharacterUpToAWidth) {
  KV_IN_TIME_ZONE(zone, "UTC");
  std::vector<kv::HistoryRecord> records = {attempt("2026-12-09T01:00", "Café", "started"),
                                            attempt("2026-12-09T02:00", "ab", "File not found")};
  std::ostringstream out;
  kv::tool::writeHistory(records, {}, out);
  EXPECT_EQ(out.str(),
            "2026-12-09 01:00  Café  C:\\Tools\\Café.exe  started\n"
            "2026-12-09 02:00  ab    C:\\Tools\\ab.exe    File not found\n");

  // A text longer than the widest aligned one moves only its own line on.
  records[1].commandLine = std::string(kv::tool::kMaxAlignedWidth + 5, 'c');
  out.str("");
  kv::tool::writeHistory(records, {}, out);
  const std::string padding(kv::tool::kMaxAlignedWidth - 17, ' ');
  EXPECT_EQ(out.str(), "2026-12-09 01:00  Café  C:\\Tools\\Café.exe" + padding + "  started\n" +
                           "2026-12-09 02:00  ab    " + records[1].commandLine +
                           "  File not found\n");
}

TEST(KvtoolHistory, ReadsHistoryFilesAndRefusesOthers) {
  KV_IN_TIME_ZONE(zone, "UTC");
  const std::string two = historyOf(
      {attempt("2026-12-07", "a", "started"), attempt("2026-12-08", "b", "Path was not found")});
  const std::string header = std::string(kv::kHistoryHeader) + "\r\n";
  const struct {
    std::string bytes;
    bool history;
    std::size_t records, unread;
  } cases[] = {
      {"", true, 0, 0},
      {header, true, 0, 0},
      {two, true, 2, 0},
      {"\xEF\xBB\xBF" + two + two, true, 4, 0},  // a byte order mark; two files one after the other
      {two + "2026-12-09T02:00:01+00:00\tcut sho", true, 2, 1},
      {header + "damaged\r\n", true, 0, 1},
      {kvtest::fileOf({kvtest::line(at("2026-01-05"), at("2027-01-01"), 'D', "x")}), false, 0, 2},
  };
  for (const auto& c : cases) {
    const kv::tool::HistoryFile file = kv::tool::readHistoryFile(c.bytes);
    EXPECT_EQ(file.history, c.history) << c.bytes;
    EXPECT_EQ(file.records.size(), c.records) << c.bytes;
    EXPECT_EQ(file.unreadLines, c.unread) << c.bytes;
  }
}

TEST(KvtoolArguments, ReadsHistoryWithItsOptions) {
  KV_IN_TIME_ZONE(zone, "UTC");
  const auto parsed = kv::tool::parseArguments(
      {"history", "h.tsv", "--since", "2026-12-08", "--failed", "--count=3", "--format=tsv"});
  ASSERT_TRUE(std::holds_alternative<Options>(parsed)) << std::get<std::string>(parsed);
  const Options& history = std::get<Options>(parsed);
  EXPECT_EQ(history.command, kv::tool::Command::History);
  EXPECT_EQ(history.since, at("2026-12-08"));
  EXPECT_TRUE(history.failedOnly);
  EXPECT_EQ(history.count, 3u);
  EXPECT_EQ(history.format, Format::Tsv);
  // No cap unless one is asked for; no file where kv.exe's own is known.
  const auto all = kv::tool::parseArguments({"history", "--failed"}, true);
  ASSERT_TRUE(std::holds_alternative<Options>(all)) << std::get<std::string>(all);
  EXPECT_EQ(std::get<Options>(all).file, "");
  EXPECT_EQ(std::get<Options>(all).count, std::nullopt);

  const struct {
    std::vector<std::string_view> args;
    const char* reason;
  } refused[] = {
      {{"history", "--failed"}, "history needs a history file on Linux ('-' reads standard input)"},
      {{"history", "-", "--failed=yes"}, "--failed takes no value"},
      {{"history", "-", "--from", "2026-12-08"}, "history takes no option '--from'"},
      {{"list", "-", "--failed"}, "list takes no option '--failed'"},
      {{"history", "-", "--since", "yesterday"}, "--since needs a local date and time"},
  };
  for (const auto& r : refused) {
    const auto result = kv::tool::parseArguments(r.args, false);
    const std::string* error = std::get_if<std::string>(&result);
    ASSERT_NE(error, nullptr) << r.reason;
    EXPECT_EQ(error->rfind(r.reason, 0), 0u) << *error;
  }
}

}  // namespace
