// How the programs that the real kv.exe starts end, as its history and its
// status bar tell it: each exit code with the time the program ran, a due
// start skipped while the previous one still runs, and a program that
// outlives Kivro.
#include <gtest/gtest.h>

#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "engine/history.h"
#include "history_records_win32.h"
#include "kivro_process_win32.h"
#include "resources/resource_ids.h"
#include "test_schedules.h"

namespace {

using kvtest::KivroProcess;

// A start of the exiter as it recorded it: "exiter TAG pid=N".
struct ExiterStart {
  std::string tag;
  DWORD pid = 0;
};

std::vector<ExiterStart> exiterStartsIn(const std::string& log) {
  std::vector<ExiterStart> starts;
  std::istringstream lines(log);
  for (std::string line; std::getline(lines, line);) {
    char tag[64] = "";
    unsigned long pid = 0;
    if (std::sscanf(line.c_str(), "exiter %63s pid=%lu", tag, &pid) == 2) {
      starts.push_back({tag, static_cast<DWORD>(pid)});
    }
  }
  return starts;
}

unsigned long long ticksOf(const FILETIME& time) {
  return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// Whether that process runs and is an exiter: a process id may be taken
// again once its process has gone.
bool exiterRuns(DWORD pid) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32 process{};
  process.dwSize = sizeof process;
  bool found = false;
  for (BOOL more = Process32First(snapshot, &process); more && !found;
       more = Process32Next(snapshot, &process)) {
    found = process.th32ProcessID == pid && lstrcmpiA(process.szExeFile, "kv_exiter.exe") == 0;
  }
  CloseHandle(snapshot);
  return found;
}

void endExiter(DWORD pid) {
  if (!exiterRuns(pid)) return;
  HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
  if (!process) return;
  TerminateProcess(process, 1);
  WaitForSingleObject(process, 5000);
  CloseHandle(process);
}

// The exiters of a test, each held by its process handle as soon as it has
// recorded its start, so that none can end unseen.
class HeldExiters {
 public:
  HeldExiters() = default;
  HeldExiters(const HeldExiters&) = delete;
  HeldExiters& operator=(const HeldExiters&) = delete;
  ~HeldExiters() {
    for (const auto& [tag, process] : held_) {
      if (process) CloseHandle(process);
    }
  }

  // Takes hold of those not held yet; how many are held.
  std::size_t hold(const std::vector<ExiterStart>& starts) {
    for (const ExiterStart& start : starts) {
      if (held_.count(start.tag)) continue;
      held_[start.tag] = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, start.pid);
    }
    return held_.size();
  }

  // How long each ran, by its tag: from the creation of its process to the
  // end seen here. Those that did not end within the time are left out.
  std::map<std::string, double> secondsRun(DWORD timeoutMs) const {
    std::map<std::string, double> ran;
    const DWORD begun = GetTickCount();
    for (;;) {
      std::vector<HANDLE> running;
      std::vector<std::string> tags;
      for (const auto& [tag, process] : held_) {
        if (ran.count(tag) || !process) continue;
        running.push_back(process);
        tags.push_back(tag);
      }
      const DWORD spent = GetTickCount() - begun;
      if (running.empty() || spent > timeoutMs) return ran;
      const DWORD which = WaitForMultipleObjects(static_cast<DWORD>(running.size()), running.data(),
                                                 FALSE, timeoutMs - spent);
      if (which - WAIT_OBJECT_0 >= running.size()) return ran;
      FILETIME ended{}, created{}, exited{}, kernel{}, user{};
      GetSystemTimeAsFileTime(&ended);
      GetProcessTimes(running[which - WAIT_OBJECT_0], &created, &exited, &kernel, &user);
      ran[tags[which - WAIT_OBJECT_0]] =
          static_cast<double>(ticksOf(ended) - ticksOf(created)) / 10'000'000;
    }
  }

 private:
  std::map<std::string, HANDLE> held_;
};

// "exited CODE after N s", with N within a second of the seconds it ran.
::testing::AssertionResult exitedAfter(const std::string& outcome, const std::string& code,
                                       double ran) {
  const std::string prefix = "exited " + code + " after ";
  unsigned seconds = 0;
  int used = 0;
  if (outcome.rfind(prefix, 0) != 0 ||
      std::sscanf(outcome.c_str() + prefix.size(), "%u s%n", &seconds, &used) != 1 ||
      prefix.size() + static_cast<std::size_t>(used) != outcome.size()) {
    return ::testing::AssertionFailure() << "\"" << outcome << "\" is not \"" << prefix << "N s\"";
  }
  if (std::abs(seconds - ran) > 1.0) {
    return ::testing::AssertionFailure() << "\"" << outcome << "\", but it ran " << ran << " s";
  }
  return ::testing::AssertionSuccess();
}

// A schedule in a folder of its own, run with a quick check timer, whose
// exiters record their starts in the folder. An exiter still running at the
// end is ended with the test.
class Outcomes : public ::testing::Test {
 protected:
  Outcomes() { SetEnvironmentVariableA("KV_RECORD_FILE", record.c_str()); }
  ~Outcomes() override {
    for (const ExiterStart& start : exiterStarts()) endExiter(start.pid);
    SetEnvironmentVariableA("KV_RECORD_FILE", nullptr);
  }

  std::unique_ptr<KivroProcess> startWith(const std::vector<kv::ScheduleEntry>& entries) {
    kvtest::writeFile(schedule, kvtest::scheduleBytes(entries));
    auto kivro = std::make_unique<KivroProcess>(schedule);
    EXPECT_NE(kivro->mainWindow(), nullptr);
    return kivro;
  }
  kv::ScheduleEntry exiter(kv::Time start, char frequency, std::uint32_t code, int milliseconds,
                           const std::string& tag) {
    return kvtest::makeEntry(start, frequency,
                             kvtest::exiterPath() + " " + std::to_string(code) + " " +
                                 std::to_string(milliseconds) + " " + tag,
                             "Exits " + tag, folder.path());
  }
  std::vector<ExiterStart> exiterStarts() const { return exiterStartsIn(kvtest::readFile(record)); }
  // This test's history lines, starts and ends, oldest first.
  std::vector<kv::HistoryRecord> lines() const {
    return kvtest::historyLinesIn(folder.path(), begun);
  }
  std::vector<kv::HistoryStart> starts() const { return kv::joinStartsAndEnds(lines()); }
  // The starts of this test that have their end, once there are `count`.
  std::vector<kv::HistoryStart> endedStarts(std::size_t count) const {
    std::vector<kv::HistoryStart> ended;
    kvtest::eventually([&] {
      ended.clear();
      for (kv::HistoryStart& start : starts()) {
        if (start.end) ended.push_back(std::move(start));
      }
      return ended.size() >= count;
    });
    return ended;
  }

  kv::Time begun = kv::currentTime();
  kvtest::ScratchFolder folder;
  std::string schedule = folder.file("outcomes.KV");
  std::string record = folder.file("started.log");
  kvtest::ScopedSetting quickChecks{"Time", "10"};
};

struct ExitCase {
  std::uint32_t code;
  int milliseconds;
  const char* text;  // as the history writes the code
};

TEST_F(Outcomes, EachEndIsRecordedWithItsExitCodeAndHowLongTheProgramRan) {
  // The longest runs last, so that the status bar ends on the crash code.
  const ExitCase cases[] = {
      {0, 1000, "0"}, {1, 1300, "1"}, {3, 1600, "3"}, {3221225477u, 2400, "0xC0000005"}};
  std::vector<kv::ScheduleEntry> entries;
  const kv::Time soon = kv::currentTime() + 2;
  for (const ExitCase& c : cases)
    entries.push_back(exiter(soon, 'O', c.code, c.milliseconds, c.text));
  auto kivro = startWith(entries);

  HeldExiters held;
  ASSERT_TRUE(kvtest::eventually([&] { return held.hold(exiterStarts()) == std::size(cases); }));
  const std::map<std::string, double> ran = held.secondsRun(10000);
  ASSERT_EQ(ran.size(), std::size(cases)) << "an exiter ended unseen, or did not end";

  const std::vector<kv::HistoryStart> ended = endedStarts(std::size(cases));
  ASSERT_EQ(ended.size(), std::size(cases));
  for (const ExitCase& c : cases) {
    SCOPED_TRACE(c.text);
    const auto start = std::find_if(ended.begin(), ended.end(), [&](const kv::HistoryStart& s) {
      return s.start.description == std::string("Exits ") + c.text;
    });
    ASSERT_NE(start, ended.end());
    EXPECT_EQ(start->start.outcome, "running");
    EXPECT_TRUE(exitedAfter(start->end->outcome, c.text, ran.at(c.text)));
  }
  // The status bar: the end recorded last, with the start's time.
  const kv::HistoryRecord last = lines().back();
  std::string status;
  EXPECT_TRUE(kvtest::eventually([&] {
    status = kivro->statusText();
    return status.rfind("Last: " + last.description + " at ", 0) == 0 &&
           kvtest::endsWith(status, ": " + last.outcome);
  })) << status
      << "\nfor " << last.description << ": " << last.outcome;
}

struct SkipCase {
  const char* name;
  const char* setting;  // SkipWhileRunning
  std::size_t starts;   // of the exiter: the Test Entry's, and the due one's
  std::size_t skipped;  // lines "skipped: still running since ..."
};

void PrintTo(const SkipCase& c, std::ostream* out) {
  *out << c.name;
}

class SkipWhileRunning : public Outcomes, public ::testing::WithParamInterface<SkipCase> {};

// Test Entry starts an Every Minute entry a few seconds before it falls
// due, and the program runs on past that.
TEST_P(SkipWhileRunning, ADueStartWhosePreviousStartStillRunsIsSkippedOnlyWhenSet) {
  const SkipCase& c = GetParam();
  kvtest::ScopedSetting skip{"SkipWhileRunning", c.setting};
  const kv::Time due = kv::currentTime() + 4;
  auto kivro = startWith({exiter(due, 'M', 0, 8000, "minutely")});
  const std::vector<std::string> before = kivro->rows();
  ASSERT_EQ(before.size(), 1u);
  kivro->selectRow(0);
  kivro->command(IDM_TEST_ENTRY);
  ASSERT_TRUE(kvtest::eventually([&] { return exiterStarts().size() == 1; }));
  ASSERT_LT(lines().front().attempted, due) << "Test Entry came too late to tell anything";

  // Filed under its next start, whether started or skipped.
  ASSERT_TRUE(kvtest::eventually([&] { return kivro->rows() != before; }));
  EXPECT_TRUE(kvtest::rowsShow(kivro->rows(), {"Exits minutely"}));
  kvtest::eventually([&] { return exiterStarts().size() >= c.starts; });
  Sleep(300);  // a start made as well as skipped would show by now
  EXPECT_EQ(exiterStarts().size(), c.starts);
  std::size_t skipped = 0;
  for (const kv::HistoryRecord& line : lines()) {
    if (line.outcome.rfind("skipped: still running since ", 0) != 0) continue;
    ++skipped;
    EXPECT_EQ(line.due, due);
    EXPECT_GE(line.attempted, due);
  }
  EXPECT_EQ(skipped, c.skipped);
}

INSTANTIATE_TEST_SUITE_P(Setting, SkipWhileRunning,
                         ::testing::Values(SkipCase{"On", "1", 1, 1}, SkipCase{"Off", "0", 2, 0}),
                         [](const auto& test) { return std::string(test.param.name); });

// Kivro never ends a program it started: at Exit the line says it is no
// longer watched, and the program runs on.
TEST_F(Outcomes, AProgramStillRunningAtExitGoesOnAndItsLineSaysItIsNoLongerWatched) {
  auto kivro = startWith({exiter(kv::currentTime() + 30 * 86400, 'W', 0, 20000, "lingers")});
  kivro->selectRow(0);
  kivro->command(IDM_TEST_ENTRY);
  ASSERT_TRUE(kvtest::eventually([&] { return exiterStarts().size() == 1; }));
  EXPECT_TRUE(kvtest::eventually([&] {
    return kvtest::endsWith(kivro->statusText(), ": still running");
  })) << kivro->statusText();

  kivro->command(IDM_EXIT);  // Test Entry changed nothing: no question
  ASSERT_EQ(kivro->waitForExit(), 0);
  const std::vector<kv::HistoryStart> recorded = starts();
  ASSERT_EQ(recorded.size(), 1u);
  EXPECT_EQ(recorded[0].start.outcome, "running");
  ASSERT_TRUE(recorded[0].end.has_value());
  EXPECT_EQ(recorded[0].end->outcome, "no longer watched");
  EXPECT_TRUE(exiterRuns(exiterStarts()[0].pid));
}

}  // namespace
