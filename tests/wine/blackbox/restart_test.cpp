// What a person meets across a restart of the real kv.exe: a start it made
// is never made again as a missed one, a deleted entry stays deleted only
// when the answer at Exit says so, and the status bar remembers the last
// start.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "kivro_process_win32.h"
#include "kvtool_runs_win32.h"
#include "resources/resource_ids.h"
#include "test_schedules.h"

namespace {

using kvtest::KivroProcess;
using kvtest::makeEntry;

std::size_t occurrences(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++n;
  }
  return n;
}

class Restarts : public ::testing::Test {
 protected:
  Restarts() { SetEnvironmentVariableA("KV_RECORD_FILE", record.c_str()); }
  ~Restarts() override { SetEnvironmentVariableA("KV_RECORD_FILE", nullptr); }

  kv::ScheduleEntry recorded(kv::Time start, const std::string& id) {
    return makeEntry(start, 'D', kvtest::recorderPath() + " " + id, id, folder.path());
  }
  // How often the recorder was started as `id`.
  std::size_t startsOf(const std::string& id) {
    return occurrences(kvtest::readFile(record), "params=[" + id + "]");
  }
  // A start missed while Kivro did not run, added to the file as another
  // program could: it starts once at the load, which shows the due check ran.
  void addMissedStart(const std::string& id) {
    kvtest::writeFile(schedule, kvtest::readFile(schedule) +
                                    kv::composeEntryLine(recorded(kv::currentTime() - 1800, id)) +
                                    "\r\n");
  }
  // kvtool.exe with these arguments, what it wrote on standard output.
  std::string kvtool(const std::string& arguments) {
    std::string written =
        kvtest::runKvtool(arguments, folder.file("kvtool" + std::to_string(++kvtoolRuns) + ".out"));
    std::erase(written, '\r');
    return written;
  }

  kvtest::ScratchFolder folder;
  kvtest::ScopedSetting quickChecks{"Time", "10"};
  kvtest::ScopedSetting missedStarts{"MissedStarts", "1"};
  std::string schedule = folder.file("restart.KV");
  std::string record = folder.file("started.log");
  int kvtoolRuns = 0;
};

// With Run Missed Starts on, the due check moves entries on without marking
// the schedule changed, so the file keeps starts that already ran. Closed
// without saving or ended outright, Kivro never starts them again; a start
// missed while it did not run still starts once.
TEST_F(Restarts, AStartIsNeverMadeAgainAsAMissedOneWhetherKivroClosedOrWasEnded) {
  const kv::Time now = kv::currentTime();
  kvtest::writeFile(
      schedule, kvtest::scheduleBytes({recorded(now + 2, "due"), recorded(now - 3600, "first")}));
  const std::string unsaved = kvtest::readFile(schedule);
  {
    KivroProcess kivro(schedule);
    ASSERT_TRUE(kvtest::eventually([&] { return startsOf("due") == 1 && startsOf("first") == 1; }));
    kivro.command(IDM_EXIT);  // nothing changed: no question
    ASSERT_EQ(kivro.waitForExit(), 0);
  }
  ASSERT_EQ(kvtest::readFile(schedule), unsaved);

  const struct {
    const char* missed;
    bool ended;  // by TerminateProcess, rather than Exit
  } runs[] = {{"second", true}, {"third", false}};
  for (const auto& run : runs) {
    SCOPED_TRACE(run.missed);
    addMissedStart(run.missed);
    KivroProcess kivro(schedule);
    ASSERT_TRUE(kvtest::eventually([&] { return startsOf(run.missed) == 1; }));
    Sleep(1000);  // the other entries' stale starts would have come in the same check
    EXPECT_EQ(startsOf("due"), 1u);
    EXPECT_EQ(startsOf("first"), 1u);
    if (run.ended) continue;  // the destructor ends it with TerminateProcess
    kivro.command(IDM_EXIT);
    ASSERT_EQ(kivro.waitForExit(), 0);
  }

  // Started once more, it starts nothing, and the status bar shows the last
  // start the history holds for this schedule, with its end.
  {
    KivroProcess kivro(schedule);
    ASSERT_NE(kivro.mainWindow(), nullptr);
    Sleep(1500);
    for (const char* id : {"due", "first", "second", "third"}) EXPECT_EQ(startsOf(id), 1u) << id;
    const std::string status = kivro.statusText();
    EXPECT_EQ(status.rfind("Last: third at ", 0), 0u) << status;
    EXPECT_NE(status.find(": exited 0 after "), std::string::npos) << status;
  }

  // kvtool, given the same record, sees no missed start either; given none,
  // it takes every stale start in the file for one.
  const std::string args = "next \"" + schedule + "\" --missed-starts --count 4 --format=tsv";
  const std::string withRecord = kvtool(args);
  EXPECT_EQ(occurrences(withRecord, "\n"), 5u) << withRecord;
  EXPECT_EQ(occurrences(withRecord, "\t\n"), 4u) << "no row has a missed start:\n" << withRecord;
  kvtest::writeFile(folder.file("empty.tsv"), "");
  const std::string withoutRecord = kvtool(args + " --record \"" + folder.file("empty.tsv") + "\"");
  EXPECT_EQ(occurrences(withoutRecord, "\n"), 5u) << withoutRecord;
  EXPECT_EQ(occurrences(withoutRecord, "\t\n"), 0u) << withoutRecord;
}

// Delete marks the schedule changed: Exit asks, and the answer decides
// whether the file still holds the entry.
TEST_F(Restarts, DeleteThenExitAsksAndTheAnswerDecidesWhatTheFileKeeps) {
  const kv::Time ahead = kv::currentTime() + 10 * 86400;
  for (const int answer : {IDNO, IDYES}) {
    SCOPED_TRACE(answer == IDYES ? "Yes" : "No");
    kvtest::writeFile(schedule, kvtest::scheduleBytes(
                                    {recorded(ahead, "kept"), recorded(ahead + 60, "deleted")}));
    KivroProcess kivro(schedule);
    ASSERT_TRUE(kvtest::rowsShow(kivro.rows(), {"kept", "deleted"}));
    kivro.selectRow(1);
    kivro.command(IDM_DELETE);
    EXPECT_EQ(kivro.answer("Confirmation", IDYES), "Are you sure you want to delete this entry?");
    ASSERT_TRUE(kvtest::eventually([&] { return kivro.rows().size() == 1; }));
    kivro.command(IDM_EXIT);
    EXPECT_EQ(kivro.answer("KV", answer), "Changes have been made.  Save changes?");
    ASSERT_EQ(kivro.waitForExit(), 0);
    const std::string saved = kvtest::readFile(schedule);
    EXPECT_NE(saved.find(" kept"), std::string::npos) << saved;
    EXPECT_EQ(saved.find(" deleted") != std::string::npos, answer == IDNO) << saved;
  }
}

}  // namespace
