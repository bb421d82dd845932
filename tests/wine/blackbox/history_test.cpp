// The history of starts written by the real kv.exe: one line per attempt
// with its outcome, failure boxes one at a time, and starts that go on when
// the history cannot be written; the History window keeps the column widths
// the user sets.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>

#include "engine/history.h"
#include "history_records_win32.h"
#include "kivro_process_win32.h"
#include "resources/resource_ids.h"
#include "test_schedules.h"

namespace {

using kvtest::KivroProcess;
using kvtest::makeEntry;

using kvtest::historyPath;

// The attempts recorded for this test's entries, each with what became of
// it (see kvtest::historyLinesIn for which).
std::vector<kv::HistoryRecord> attemptsIn(const std::string& folder, kv::Time since) {
  std::vector<kv::HistoryRecord> mine;
  for (kv::HistoryStart& start : kv::joinStartsAndEnds(kvtest::historyLinesIn(folder, since))) {
    start.start.outcome = start.outcome();
    mine.push_back(std::move(start.start));
  }
  return mine;
}

// An exit's outcome without its running time, which may be 0 s or 1 s.
std::string withoutRunningTime(const std::string& outcome) {
  const std::size_t after = outcome.find(" after ");
  return outcome.starts_with("exited ") ? outcome.substr(0, after) : outcome;
}

struct BoxCount {
  DWORD process;
  const char* caption;
  int boxes = 0;
};

BOOL CALLBACK countBox(HWND window, LPARAM parameter) {
  auto* count = reinterpret_cast<BoxCount*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == count->process && IsWindowVisible(window) &&
      kvtest::windowText(window) == count->caption) {
    ++count->boxes;
  }
  return TRUE;
}

// The visible windows of the process with this caption.
int boxesOf(DWORD process, const char* caption) {
  BoxCount count{process, caption};
  EnumWindows(countBox, reinterpret_cast<LPARAM>(&count));
  return count.boxes;
}

class History : public ::testing::Test {
 protected:
  History() { SetEnvironmentVariableA("KV_RECORD_FILE", folder.file("started.log").c_str()); }
  ~History() override { SetEnvironmentVariableA("KV_RECORD_FILE", nullptr); }
  std::unique_ptr<KivroProcess> startWith(const std::vector<kv::ScheduleEntry>& entries) {
    kvtest::writeFile(schedule, kvtest::scheduleBytes(entries));
    auto kivro = std::make_unique<KivroProcess>(schedule);
    EXPECT_NE(kivro->mainWindow(), nullptr);
    return kivro;
  }
  kv::ScheduleEntry entry(kv::Time start, char frequency, const std::string& command,
                          const std::string& description) {
    return makeEntry(start, frequency, command, description, folder.path());
  }

  std::vector<kv::HistoryRecord> attempts() const { return attemptsIn(folder.path(), begun); }

  kv::Time begun = kv::currentTime();
  kvtest::ScratchFolder folder;
  std::string schedule = folder.file("history.KV");
  kvtest::ScopedSetting quickChecks{"Time", "10"};
  kv::Time soon = kv::currentTime() + 2;
};

TEST_F(History, EveryAttemptLeavesALineWithItsOutcomeAndAFailedDailyEntryStays) {
  auto print = entry(soon + 3, 'W', folder.file("tool.EXE"), "Print");
  print.printFlag = '1';
  auto kivro = startWith({entry(soon, 'O', kvtest::recorderPath() + " ok", "Starts"),
                          entry(soon, 'D', folder.file("missing.exe"), "Missing"), print});
  EXPECT_EQ(kivro->answer("Error", IDOK), "File not found");
  EXPECT_EQ(kivro->answer("Unable to Print", IDOK),
            "Error printing " + folder.file("tool.EXE") + ". You cannot print an executable file.");
  // Three attempts, and the started program's end.
  ASSERT_TRUE(kvtest::eventually([&] {
    const auto all = attempts();
    return all.size() == 3 && std::none_of(all.begin(), all.end(), [](const auto& r) {
             return r.outcome == kv::kStillRunningText;
           });
  }));
  std::vector<std::string> outcomes;
  for (const auto& record : attempts()) {
    outcomes.push_back(record.description + ": " + withoutRunningTime(record.outcome));
    EXPECT_EQ(record.schedule, schedule);
  }
  std::sort(outcomes.begin(), outcomes.end());
  EXPECT_EQ(outcomes, (std::vector<std::string>{"Missing: File not found",
                                                "Print: Error printing " + folder.file("tool.EXE") +
                                                    ". You cannot print an executable file.",
                                                "Starts: exited 0"}));
  // The Daily entry waits for tomorrow; the weekly print for next week.
  EXPECT_TRUE(kvtest::eventually([&] {
    return kvtest::rowsShow(kivro->rows(), {"Missing", "Print"});
  }));
}

// Missing programs failing one after another, the first one's box left
// open: one box however often a start fails meanwhile (an Every Minute
// entry with nobody there), and a line for every failure.
TEST_F(History, FailuresWhileAFailureBoxIsOpenShowNoOtherBoxAndEachIsWritten) {
  auto kivro = startWith({entry(soon, 'M', folder.file("missing.exe"), "Every minute"),
                          entry(soon + 2, 'D', folder.file("gone.exe"), "Daily"),
                          entry(soon + 4, 'O', folder.file("lost.exe"), "Once")});
  ASSERT_NE(kivro->waitForDialog("Error"), nullptr);
  ASSERT_TRUE(kvtest::eventually([&] { return attempts().size() == 3; }));
  Sleep(500);  // time for a second box to show, were there one
  EXPECT_EQ(boxesOf(kivro->id(), "Error"), 1);
  kivro->answer("Error", IDOK);
}

// The history's place taken by a folder: starts go on without a box, and
// the History window says since when nothing was written.
TEST_F(History, AHistoryThatCannotBeWrittenStopsNoStart) {
  const std::string path = historyPath();
  const std::string aside = path + ".aside";
  MoveFileExA(path.c_str(), aside.c_str(), MOVEFILE_REPLACE_EXISTING);
  ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
  auto kivro = startWith({entry(soon, 'O', kvtest::recorderPath() + " ok", "Starts")});
  EXPECT_TRUE(kvtest::eventually([&] { return kvtest::fileExists(folder.file("started.log")); }));
  EXPECT_TRUE(kvtest::noWindowWithin(kivro->id(), "#32770", nullptr, 500));
  kivro->command(IDM_HISTORY);
  HWND window = kivro->waitForDialog("History");
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(kvtest::windowText(GetDlgItem(window, IDC_HISTORY_NOTE))
                .rfind("The history could not be written since ", 0),
            0u);
  kvtest::pressButton(window, IDCANCEL);
  kvtest::waitUntilGone(window);
  RemoveDirectoryA(path.c_str());
  MoveFileExA(aside.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

// A column width the user sets is written to KV.INI when the window closes
// and comes back when it opens again; the untouched columns are not kept.
TEST(HistoryColumns, AWidthTheUserSetsIsKeptInKvIniAndComesBack) {
  kvtest::ScopedSetting noneKept{"HistoryColumns", ""};
  KivroProcess kivro;
  ASSERT_NE(kivro.mainWindow(), nullptr);
  const auto openHistory = [&kivro] {
    kivro.command(IDM_HISTORY);
    return kivro.waitForDialog("History");
  };
  HWND window = openHistory();
  ASSERT_NE(window, nullptr);
  SendDlgItemMessageW(window, IDC_HISTORY_LIST, LVM_SETCOLUMNWIDTH, 2, MAKELPARAM(321, 0));
  kvtest::pressButton(window, IDCANCEL);
  ASSERT_TRUE(kvtest::waitUntilGone(window));
  // Kivro writes the widths once the window is gone: a moment later.
  EXPECT_TRUE(kvtest::eventually([] { return kvtest::readSetting("HistoryColumns") == ",,321,"; }))
      << kvtest::readSetting("HistoryColumns");
  window = openHistory();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(SendDlgItemMessageW(window, IDC_HISTORY_LIST, LVM_GETCOLUMNWIDTH, 2, 0), 321);
  kvtest::pressButton(window, IDCANCEL);
  kvtest::waitUntilGone(window);
}

}  // namespace
