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
  r.result = kv::outcomeKind(outcome) == kv::OutcomeKind::Failed ? 2 : 42;
  r.outcome = std::move(outcome);
  return r;
}

// A history file of the records, as kv.exe writes it.
std::string historyOf(const std::vector<kv::HistoryRecord>& records) {
  std::string bytes = std::string(kv::kHistoryHeader) + "\r\n";
  for (const kv::HistoryRecord& r : records) {
    bytes += kv::historyLine(r) + "\r\n";
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

// "description: outcome" of each start shown, text or tsv, joined by "; ".
std::string startsShown(const std::string& output, kv::tool::Format format) {
  std::istringstream lines(output);
  std::string shown;
  std::string line;
  if (format == kv::tool::Format::Tsv) std::getline(lines, line);  // the column names
  while (std::getline(lines, line)) {
    std::string description, outcome;
    if (format == kv::tool::Format::Tsv) {
      const std::vector<std::string_view> fields = kv::tabSeparatedFields(line);
      description = fields.at(3);
      outcome = fields.at(9);
    } else {
      description = line.substr(18, line.find("  ", 18) - 18);
      outcome = line.substr(line.rfind("  ") + 2);
    }
    shown += (shown.empty() ? "" : "; ") + description + ": " + outcome;
  }
  return shown;
}

// A watched start's end is a line of its own, written when the program
// ends, after any later starts: each start shows once with its end, and
// --since, --count and --failed count starts, not lines.
TEST(KvtoolHistory, ShowsEachStartWithItsEndAndFindsThoseThatNeedAttention) {
  KV_IN_TIME_ZONE(zone, "UTC");
  const std::string old = historyOf({attempt("2026-12-07T02:00:01", "b7", "started"),
                                     attempt("2026-12-07T09:00:01", "n7", "File not found"),
                                     attempt("2026-12-08T02:00:01", "b8", "started")});
  const kv::HistoryRecord backup = attempt("2026-12-09T02:00:01", "backup", "running");
  const kv::HistoryRecord mail = attempt("2026-12-09T09:00:01", "mail", "running");
  const kv::HistoryRecord crash = attempt("2026-12-09T12:30:01", "crash", "running");
  const kv::HistoryRecord quit = attempt("2026-12-09T18:00:01", "quit", "running");
  const std::string ends = historyOf({
      backup,
      mail,
      kv::endRecord(backup, "exited 0 after 7 h 0 min"),
      kv::endRecord(mail, "exited 1 after 3 s"),
      crash,
      kv::endRecord(crash, "exited 0xC0000005 after 1 s"),
      attempt("2026-12-09T13:00:01", "doc", "handed over"),
      attempt("2026-12-09T15:00:01", "gone", "File not found"),
      attempt("2026-12-09T17:00:01", "week", "running"),
      attempt("2026-12-09T17:01:01", "week", kv::skippedText("5:00:01 PM")),
      quit,
      kv::endRecord(quit, "no longer watched"),
  });
  constexpr auto kTsv = kv::tool::Format::Tsv;
  const std::string attention =
      "mail: exited 1 after 3 s; crash: exited 0xC0000005 after 1 s; gone: File not found";
  const struct {
    const std::string& file;
    HistoryRequest request;
    std::string shown;
    int status;
  } cases[] = {
      // An earlier version's history reads as it always did.
      {old, {}, "b7: started; n7: File not found; b8: started", 0},
      {old, {{}, true, {}}, "n7: File not found", 1},
      {ends,
       {},
       "backup: exited 0 after 7 h 0 min; mail: exited 1 after 3 s; "
       "crash: exited 0xC0000005 after 1 s; doc: handed over; gone: File not found; "
       "week: still running; week: skipped: still running since 5:00:01 PM; "
       "quit: no longer watched",
       0},
      {ends, {{}, true, {}}, attention, 1},
      {ends, {{}, true, {}, kTsv}, attention, 1},
      // The backup's end comes after 09:00, its start before.
      {ends, {at("2026-12-09T09:00:01"), true, {}}, attention, 1},
      {ends,
       {at("2026-12-09T09:00:02"), false, 3},
       "week: still running; week: skipped: still running since 5:00:01 PM; "
       "quit: no longer watched",
       0},
      {ends, {{}, true, 1, kTsv}, "gone: File not found", 1},
      // Nothing found: nothing to tell a script.
      {ends, {at("2026-12-09T15:00:02"), true, {}}, "", 0},
  };
  for (const auto& c : cases) {
    std::ostringstream out;
    const kv::tool::HistoryShown shown =
        kv::tool::writeHistory(kv::tool::readHistoryFile(c.file).records, c.request, out);
    EXPECT_EQ(startsShown(out.str(), c.request.format), c.shown) << out.str();
    EXPECT_EQ(kv::tool::historyExitStatus(c.request, shown), c.status) << c.shown;
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
