// The due check on an idle tick: nothing is due, whatever the schedule's
// size. It runs once a second for the life of the program, so it must cost
// one comparison for 10 entries as for 100,000.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "engine/due_check.h"

namespace {

class NoList : public kv::VisibleList {
 public:
  void insertRow(int, std::string) override {}
  void removeRow(int) override {}
  void clear() override {}
  int selectedRow() const override { return -1; }
  void selectRow(int) override {}
};

class NoShell : public kv::Shell {
 public:
  kv::ShellStart start(const std::string&, const std::string&, const std::string&,
                       const std::string&, int) override {
    return kv::ShellStart{42};
  }
};

class NoReporter : public kv::FailureReporter {
 public:
  void reportLaunchFailure(const std::string&, const std::string&) override {}
};

constexpr kv::Time kFirstStart = 1900000000;

void IdleDueCheck(benchmark::State& state) {
  NoList list;
  kv::ScheduleStore store(list, [](kv::Time, const std::string& d) { return d; });
  std::vector<kv::EntryLine> lines;
  const auto count = static_cast<kv::Time>(state.range(0));
  for (kv::Time i = 0; i < count; ++i) {
    kv::ScheduleEntry entry;
    entry.start = kFirstStart + i * 60;
    entry.end = 2100000000;
    entry.frequency = 'D';
    entry.commandLine = "C:\\WINDOWS\\NOTEPAD.EXE C:\\NOTES" + std::to_string(i) + ".TXT";
    entry.workingDirectory = "C:\\WINDOWS";
    entry.description = "Notes " + std::to_string(i);
    lines.push_back(kv::composeEntryLine(entry));
  }
  store.replaceLines(std::move(lines));

  NoShell shell;
  NoReporter reporter;
  kv::Time checkTime = kFirstStart - 100000;
  for (auto _ : state) {
    benchmark::DoNotOptimize(checkTime);
    benchmark::DoNotOptimize(kv::runDueCheck(store, shell, reporter, checkTime));
  }
  if (store.size() != static_cast<std::size_t>(count)) state.SkipWithError("an entry was launched");
}

BENCHMARK(IdleDueCheck)->Arg(10)->Arg(1000)->Arg(100000);

}  // namespace
