// The Details view's texts: the columns of an entry, the last result the
// history holds for it, and the row that typing a description finds.
#include "app/details_rows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_visible_list.h"

namespace {

using kv::DetailsColumn;
using kv::HistoryRecord;

const std::string kSchedule = "C:\\Plans\\Day.KV";

// Times read "T" and the number, recent ones "R".
const kv::DetailsTexts kTexts{[](kv::Time t) { return "T" + std::to_string(t); },
                              [](kv::Time t) { return "R" + std::to_string(t); }};

const std::string& cell(const kv::DetailsRow& row, DetailsColumn column) {
  return row[static_cast<std::size_t>(column)];
}

kv::ScheduleEntry entry(char frequency, std::uint16_t show = 1, char print = '0') {
  kv::ScheduleEntry e;
  e.start = 1000;
  e.end = 2000;
  e.frequency = frequency;
  e.showCommand = show;
  e.printFlag = print;
  e.commandLine = "C:\\TOOLS\\CAF\xC3\x89.EXE /q";
  e.workingDirectory = "C:\\Caf\xC3\xA9";
  e.description = "Caf\xC3\xA9 run";
  return e;
}

// Every column of every Frequency and show command, printed or not; the
// end only where the entry repeats, the entry's texts as they are.
TEST(DetailsRow, ShowsEachFieldOfTheEntryByTheNamesOfItsCodes) {
  const struct {
    char frequency;
    std::uint16_t show;
    char print;
    const char* frequencyText;
    const char* until;
    const char* showText;
  } cases[] = {
      {'O', 1, '0', "Once", "", "Normal"},
      {'M', 2, '0', "Every Minute", "T2000", "Minimized"},
      {'F', 3, '1', "Every 15 Minutes", "T2000", "Maximized, print"},
      {'H', 4, '0', "Hourly", "T2000", "Normal, background"},
      {'D', 7, '0', "Daily", "T2000", "Minimized, background"},
      {'K', 7, '1', "Weekdays", "T2000", "Minimized, background, print"},
      {'W', 1, '0', "Weekly", "T2000", "Normal"},
      {'T', 9, '0', "Monthly", "T2000", "Show 9"},
      {'E', 1, 'x', "Month End", "T2000", "Normal"},
      {'X', 1, '0', "Code X", "T2000", "Normal"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.frequencyText);
    const kv::DetailsRow row = kv::detailsRow(entry(c.frequency, c.show, c.print), {}, kTexts);
    EXPECT_EQ(cell(row, DetailsColumn::NextStart), "T1000");
    EXPECT_EQ(cell(row, DetailsColumn::Frequency), c.frequencyText);
    EXPECT_EQ(cell(row, DetailsColumn::Until), c.until);
    EXPECT_EQ(cell(row, DetailsColumn::Description), "Caf\xC3\xA9 run");
    EXPECT_EQ(cell(row, DetailsColumn::CommandLine), "C:\\TOOLS\\CAF\xC3\x89.EXE /q");
    EXPECT_EQ(cell(row, DetailsColumn::Folder), "C:\\Caf\xC3\xA9");
    EXPECT_EQ(cell(row, DetailsColumn::Show), c.showText);
    EXPECT_EQ(cell(row, DetailsColumn::LastResult), "");
  }
}

HistoryRecord start(kv::Time attempted, std::string outcome,
                    std::string description = "Caf\xC3\xA9 run", std::string schedule = kSchedule) {
  HistoryRecord r;
  r.attempted = attempted;
  r.due = attempted;
  r.schedule = std::move(schedule);
  r.description = std::move(description);
  r.commandLine = "C:\\TOOLS\\CAF\xC3\x89.EXE /q";
  r.outcome = std::move(outcome);
  return r;
}

std::string historyOf(const std::vector<HistoryRecord>& records) {
  std::string bytes = std::string(kv::kHistoryHeader) + "\r\n";
  for (const HistoryRecord& r : records) bytes += kv::historyLine(r) + "\r\n";
  return bytes;
}

// The newest start of this schedule's entry, with its end, and when it was.
TEST(DetailsRow, LastResultIsTheNewestStartOfTheEntryInThisSchedule) {
  const struct {
    const char* what;
    std::vector<HistoryRecord> history;
    std::string shown;
  } cases[] = {
      {"its end",
       {start(50, "running"), kv::endRecord(start(50, "running"), "exited 1 after 3 s")},
       "exited 1 after 3 s, R50"},
      {"no end yet", {start(50, "running")}, "still running, R50"},
      {"a failure", {start(50, "File not found")}, "failed, File not found, R50"},
      {"the newest",
       {start(60, "running"), start(70, "handed over"),
        kv::endRecord(start(60, "running"), "exited 0 after 9 s")},
       "handed over, R70"},
      {"the schedule named in another case",
       {start(50, "handed over", "Caf\xC3\xA9 run", "c:\\plans\\DAY.kv")},
       "handed over, R50"},
      {"another schedule's start",
       {start(50, "handed over", "Caf\xC3\xA9 run", "C:\\Night.KV")},
       ""},
      {"another entry's start", {start(50, "handed over", "Other")}, ""},
  };
  for (const auto& c : cases) {
    kv::LastResults results;
    results.read(historyOf(c.history), kSchedule);
    EXPECT_EQ(cell(kv::detailsRow(entry('D'), results, kTexts), DetailsColumn::LastResult), c.shown)
        << c.what;
  }
}

// While the schedule is open, each start and end recorded shows at once;
// what belongs elsewhere, or came before what is shown, changes nothing.
TEST(LastResults, FollowsTheStartsAndEndsRecordedForTheScheduleOpen) {
  kv::LastResults results;
  results.read(historyOf({start(50, "handed over")}), kSchedule);
  const HistoryRecord running = start(80, "running");
  const struct {
    const char* what;
    HistoryRecord record;
    std::string schedule;  // open when it is recorded
    bool changes;
    std::string shown;
  } steps[] = {
      {"a newer start", running, kSchedule, true, "still running, R80"},
      {"an older end", kv::endRecord(start(50, "running"), "exited 2 after 1 s"), kSchedule, false,
       "still running, R80"},
      {"a start of the schedule open before",
       start(90, "handed over", "Caf\xC3\xA9 run", "C:\\A.KV"), kSchedule, false,
       "still running, R80"},
      {"its end", kv::endRecord(running, "exited 0 after 4 s"), kSchedule, true,
       "exited 0 after 4 s, R80"},
      {"a start after Save As", start(95, "File not found", "Caf\xC3\xA9 run", "C:\\New.KV"),
       "C:\\New.KV", true, "failed, File not found, R95"},
  };
  for (const auto& step : steps) {
    EXPECT_EQ(results.note(step.record, step.schedule), step.changes) << step.what;
    EXPECT_EQ(cell(kv::detailsRow(entry('D'), results, kTexts), DetailsColumn::LastResult),
              step.shown)
        << step.what;
  }
}

std::string lineDescribed(kv::Time start, const std::string& description) {
  kv::ScheduleEntry e = entry('D');
  e.start = start;
  e.description = description;
  return kv::composeEntryLine(e);
}

// Typed letters find the next description that begins with them, from the
// row asked on, round to the top only when asked to.
TEST(FindByDescription, FindsTheNextRowWhoseDescriptionBeginsWithTheLetters) {
  kvtest::FakeVisibleList list;
  kv::ScheduleStore store(list, [](kv::Time, const std::string& d) { return d; });
  store.replaceLines(
      std::vector<kv::EntryLine>{lineDescribed(100, "Backup"), lineDescribed(200, "mail"),
                                 lineDescribed(300, "Backup old"), lineDescribed(400, "Report")});
  const struct {
    std::size_t from;
    const char* typed;
    bool wrap;
    std::optional<std::size_t> found;
  } cases[] = {
      {0, "b", true, 0},      {1, "B", true, 2},    {3, "back", true, 0},
      {3, "back", false, {}}, {0, "MAIL", true, 1}, {0, "Backup o", true, 2},
      {2, "x", true, {}},     {9, "Rep", true, 3},  {0, "", true, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(kv::findByDescription(store, c.from, c.typed, c.wrap), c.found)
        << c.typed << " from " << c.from;
  }
}

}  // namespace
