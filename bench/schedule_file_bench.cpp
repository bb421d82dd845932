// Schedule files of growing size: writing, reading (with the catch-up of
// every line) and filing the read lines into the store. Each benchmark fits
// its times to n log n; a reported complexity of that order or below means
// no step grows faster.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "engine/recurrence.h"
#include "schedule/entry_line.h"
#include "schedule/schedule_file.h"
#include "schedule/schedule_store.h"
#include "schedule/visible_list.h"

namespace {

constexpr std::string_view kVersion = "3.0";
constexpr kv::Time kLoadTime = 1'700'000'000;
constexpr kv::Time kNow = kLoadTime + 100;

class NullVisibleList : public kv::VisibleList {
 public:
  void insertRow(int, std::string) override {}
  void removeRow(int) override {}
  void clear() override {}
  int selectedRow() const override { return -1; }
  void selectRow(int) override {}
};

// n entries in random order of start, every one still to come, so that the
// catch-up keeps them all and the store has to sort.
std::vector<kv::EntryLine> schedule(std::size_t n) {
  std::mt19937 rng(42);
  std::uniform_int_distribution<kv::Time> offset(1000, 300'000'000);
  const char codes[] = "OMFHDKWTE";
  std::vector<kv::EntryLine> lines;
  lines.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    kv::ScheduleEntry e;
    e.start = kLoadTime + offset(rng);
    e.end = 4'000'000'000u;
    e.frequency = codes[i % 9];
    e.commandLine = "C:\\PROGRA~1\\APP" + std::to_string(i) + ".EXE /open C:\\DATA\\FILE.TXT";
    e.workingDirectory = "C:\\PROGRA~1";
    e.description = "Entry number " + std::to_string(i);
    lines.push_back(kv::composeEntryLine(e));
  }
  return lines;
}

void setSizes(benchmark::internal::Benchmark* b) {
  b->RangeMultiplier(10)->Range(1000, 100000)->Complexity(benchmark::oNLogN);
}

void BM_Encode(benchmark::State& state) {
  const std::vector<kv::EntryLine> lines = schedule(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(kv::encodeScheduleFile(lines, kVersion));
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_Encode)->Apply(setSizes);

void BM_EncodeStore(benchmark::State& state) {
  NullVisibleList list;
  kv::ScheduleStore store(list, [](kv::Time, const std::string& d) { return d; });
  store.replaceLines(schedule(static_cast<std::size_t>(state.range(0))));
  for (auto _ : state) benchmark::DoNotOptimize(kv::encodeScheduleFile(store, kVersion));
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_EncodeStore)->Apply(setSizes);

void BM_Decode(benchmark::State& state) {
  const std::string file =
      kv::encodeScheduleFile(schedule(static_cast<std::size_t>(state.range(0))), kVersion);
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        kv::catchUpLoadedEntries(kv::decodeScheduleFile(file, kVersion), kLoadTime, kNow));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(file.size()));
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_Decode)->Apply(setSizes);

void BM_ReplaceLines(benchmark::State& state) {
  const std::vector<kv::EntryLine> lines = schedule(static_cast<std::size_t>(state.range(0)));
  NullVisibleList list;
  kv::ScheduleStore store(list, [](kv::Time, const std::string& d) { return d; });
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<kv::EntryLine> copy = lines;
    state.ResumeTiming();
    store.replaceLines(std::move(copy));
    benchmark::DoNotOptimize(store.size());
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ReplaceLines)->Apply(setSizes);

}  // namespace
