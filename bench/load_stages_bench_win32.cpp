// Where the time and the memory of opening a large schedule go, stage by
// stage, with the program's own code under Wine:
//   kv_load_stages SCHEDULE
// reads the file, scans and parses it, catches its entries up, composes and
// packs their lines, lets the file go, sorts them into a store, formats every
// row and fills a list box like the main window's. Each stage runs once, and
// the stages the program runs together in one pass (scan, parse, catch-up,
// pack) are timed by running the pass up to each of them in turn. After each
// stage it prints the milliseconds and the change of the process's
// resident memory. It measures; it never passes or fails.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <optional>
#include <string>
#include <utility>

#include "app/list_box_win32.h"
#include "bench/milliseconds_win32.h"
#include "engine/calendar.h"
#include "engine/recurrence.h"
#include "locale/regional_settings_win32.h"
#include "schedule/file_io_win32.h"
#include "schedule/schedule_file.h"
#include "schedule/schedule_store.h"

namespace {

constexpr const char* kVersionText = "3.0";

using kvbench::now;

// The resident memory of this process in bytes (Wine counts it as Linux
// does for the process).
double residentBytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return static_cast<double>(counters.WorkingSetSize);
}

class StageTable {
 public:
  StageTable() : memory_(residentBytes()) {
    std::printf("%-34s %10s %12s %10s\n", "stage", "ms", "memory MiB", "B/entry");
  }
  void countEntries(std::size_t entries) { entries_ = entries; }
  // Prints one stage: its time less `passBefore` ms (the part of a pass
  // already counted), and the memory it left held.
  void stage(const char* name, double started, double passBefore = 0) {
    const double ms = now() - started - passBefore;
    const double memory = residentBytes();
    const double kept = memory - memory_;
    memory_ = memory;
    std::printf("%-34s %10.0f %12.1f %10.1f\n", name, ms, kept / 1048576,
                entries_ ? kept / static_cast<double>(entries_) : 0.0);
    std::fflush(stdout);
  }

 private:
  std::size_t entries_ = 0;
  double memory_;
};

// The stages of taking in a file: its lines, caught up and packed, and the
// file let go.
std::optional<kv::PackedLines> takeInFile(const std::string& path, StageTable& table) {
  const kv::Time loaded = kv::currentTime();
  double started = now();
  kv::FileContents file = kv::readWholeFile(path);
  if (file.status != kv::ReadStatus::Ok) return std::nullopt;
  std::size_t entries = 0;
  kv::forEachScheduleEntry(file.bytes, kVersionText, [&](kv::ScheduleEntry&&) { ++entries; });
  table.countEntries(entries);
  table.stage("read the file", started);

  started = now();
  kv::forEachScheduleEntry(file.bytes, kVersionText, [](kv::ScheduleEntry&&) {});
  const double scanned = now() - started;
  table.stage("scan and parse the lines", started);

  started = now();
  kv::forEachScheduleEntry(file.bytes, kVersionText, [&](kv::ScheduleEntry&& entry) {
    (void)kv::catchUpOnLoad(entry, loaded, loaded);
  });
  const double caughtUp = now() - started;
  table.stage("catch the entries up", started, scanned);

  started = now();
  kv::PackedLines lines = kv::catchUpScheduleFile(file.bytes, kVersionText, loaded, loaded);
  table.stage("compose and pack the lines", started, caughtUp);

  started = now();
  std::string().swap(file.bytes);
  table.stage("let the file's bytes go", started);
  return lines;
}

HWND createListBox() {
  HWND frame = CreateWindowExA(0, "STATIC", "kv_load_stages", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480,
                               nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  return CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | LBS_NOTIFY | LBS_HASSTRINGS, 0,
                         0, 640, 480, frame, nullptr, GetModuleHandleA(nullptr), nullptr);
}

// The stages of showing the lines: sorted into a store, and a list box like
// the main window's filled with their rows.
void showInList(kv::PackedLines lines, StageTable& table) {
  HWND listBox = createListBox();
  kv::ListBoxList list(listBox);
  const kv::RowFormatter formatRow = kv::startRowFormatterForManyRows();
  kv::ScheduleStore store(list, formatRow);
  double started = now();
  store.replaceLines(std::move(lines));
  table.stage("sort the lines into the store", started);

  started = now();
  std::size_t characters = 0;
  for (std::size_t row = 0; row < store.size(); ++row) {
    const kv::ScheduleEntry entry = kv::parseEntryLine(store.line(row));
    characters += formatRow(entry.start, entry.description).size();
  }
  const double formatted = now() - started;
  table.stage("format the rows (made, dropped)", started);

  started = now();
  store.rebuildVisibleList(formatRow);
  table.stage("fill the list (formatting again)", started, formatted);
  const double rows = static_cast<double>(store.size());
  std::printf("rows %ld, %.1f characters a row\n",
              static_cast<long>(SendMessageA(listBox, LB_GETCOUNT, 0, 0)),
              rows > 0 ? static_cast<double>(characters) / rows : 0.0);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: kv_load_stages SCHEDULE\n");
    return 2;
  }
  StageTable table;
  std::optional<kv::PackedLines> lines = takeInFile(argv[1], table);
  if (!lines) {
    std::fprintf(stderr, "kv_load_stages: cannot read %s\n", argv[1]);
    return 1;
  }
  showInList(std::move(*lines), table);
  return 0;
}
