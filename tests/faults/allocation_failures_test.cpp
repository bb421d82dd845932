// Every allocation of each operation that changes the schedule made to fail
// in turn, the first, then the second, and so on until the operation runs
// through: after each failure the schedule holds exactly what it held, the
// first-due entry is the top row, the failure is reported as the program
// reports it, and nothing leaks (LeakSanitizer checks at the end).
//
// This program replaces the global operator new, so it is a test program of
// its own.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "app/file_commands.h"
#include "app/schedule_commands.h"
#include "editor/entry_filing.h"
#include "engine/due_check.h"
#include "fake_message_boxes.h"
#include "fake_shell.h"
#include "fake_visible_list.h"
#include "schedule/schedule_file.h"

namespace {

// Allocations left before the one that fails; below 0, none fails.
long allocationsBeforeFailure = -1;
bool failureInjected = false;

void* allocate(std::size_t size) {
  if (allocationsBeforeFailure >= 0 && allocationsBeforeFailure-- == 0) {
    failureInjected = true;
    throw std::bad_alloc();
  }
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) {
  return allocate(size);
}
void* operator new[](std::size_t size) {
  return allocate(size);
}
// The nothrow forms are left to succeed: a caller of one copes with null on
// its own (std::stable_sort sorts without its buffer), so no failure of the
// operation follows from them.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
  return operator new(size, tag);
}
void operator delete(void* memory, const std::nothrow_t&) noexcept {
  std::free(memory);
}
void operator delete[](void* memory, const std::nothrow_t&) noexcept {
  std::free(memory);
}
void operator delete(void* memory) noexcept {
  std::free(memory);
}
void operator delete[](void* memory) noexcept {
  std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
  std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
  std::free(memory);
}

namespace {

using kv::ScheduleEntry;
using kv::Time;

constexpr Time kNow = 1'700'000'000;

ScheduleEntry entryAt(Time start, const std::string& description, char frequency = 'D') {
  ScheduleEntry e;
  e.start = start;
  e.end = 4'000'000'000u;
  e.frequency = frequency;
  e.commandLine = "C:\\BIN\\TOOL.EXE /" + description;
  e.description = description;
  return e;
}

// A schedule of four entries, the second selected.
struct Schedule {
  Schedule() {
    for (int i = 0; i < 4; ++i) {
      store.fileEntry(entryAt(kNow + 100 + static_cast<Time>(i), "e" + std::to_string(i)));
    }
    list.selected = 1;
    files.read = [this](const std::string&) {
      return kv::FileContents{kv::ReadStatus::Ok, fileBytes};
    };
    files.write = [](const std::string&, std::string_view) { return true; };
    files.versionText = "3.0";
    files.clock = [] { return kNow; };
    fileBytes = "Version=3.0\r\n" + kv::composeEntryLine(entryAt(kNow + 5, "loaded", 'M')) +
                "\r\n" + kv::composeEntryLine(entryAt(kNow - 500, "behind", 'H')) + "\r\n";
  }
  std::vector<std::string> lines() const {
    std::vector<std::string> all;
    for (std::size_t i = 0; i < store.size(); ++i) all.push_back(store.line(i));
    return all;
  }

  kvtest::FakeVisibleList list;
  kv::ScheduleDocument document{list, [](Time start, const std::string& description) {
                                  return std::to_string(start) + " " + description;
                                }};
  kv::ScheduleStore& store = document.store;
  kvtest::FakeMessageBoxes boxes;
  kvtest::FakeShell shell;
  kvtest::FakeReporter reporter;
  kv::ScheduleFiles files;
  std::string fileBytes;
  ScheduleEntry filed = entryAt(kNow + 50, "filed");
};

// The store as it stands, and the list and the first-due entry in step with it.
void expectWhole(const Schedule& s, const std::vector<std::string>& before, long point) {
  EXPECT_EQ(s.lines(), before) << "failure point " << point;
  ASSERT_EQ(s.list.rows.size(), s.store.size()) << "failure point " << point;
  for (std::size_t i = 0; i < s.store.size(); ++i) {
    EXPECT_EQ(s.list.rows[i], s.store.displayRow(s.store.line(i))) << "failure point " << point;
  }
  if (!s.store.empty()) {
    EXPECT_EQ(s.store.firstDue(), kv::parseEntryLine(s.store.line(0))) << "failure point " << point;
  }
}

// Runs the operation on a fresh schedule with allocation number `point`
// failing, until it runs through; returns how many failure points it had.
// `failed` checks the state after a failure: an operation either reports it
// itself or lets std::bad_alloc go to the command's guard.
long failEachAllocationInTurn(const std::function<void(Schedule&)>& prepare,
                              const std::function<void(Schedule&)>& operation,
                              const std::function<void(const Schedule&, bool threw)>& failed) {
  for (long point = 0;; ++point) {
    Schedule s;
    const std::vector<std::string> before = s.lines();
    prepare(s);
    failureInjected = false;
    allocationsBeforeFailure = point;
    bool threw = false;
    try {
      operation(s);
    } catch (const std::bad_alloc&) {
      threw = true;
    }
    allocationsBeforeFailure = -1;
    if (!failureInjected) return point;
    expectWhole(s, before, point);
    failed(s, threw);
    if (::testing::Test::HasFailure()) return point;
  }
}

struct Operation {
  const char* name;
  std::function<void(Schedule&)> prepare;
  std::function<void(Schedule&)> run;
  std::function<void(const Schedule&, bool)> failed;
};

void PrintTo(const Operation& operation, std::ostream* out) {
  *out << operation.name;
}

void nothingMore(const Schedule&, bool) {}
void noPreparation(Schedule&) {}

const Operation kOperations[] = {
    {"load", noPreparation,
     [](Schedule& s) { kv::loadSchedule(s.document, "C:\\a.KV", s.files, s.boxes); },
     [](const Schedule& s, bool threw) {
       // The load reports its own failure; a box that could not be made
       // goes to the command's guard.
       EXPECT_TRUE(threw ||
                   s.boxes.texts() == std::vector<std::string>{"|C:\\a.KV| could not be read."});
     }},
    {"paste", [](Schedule& s) { s.store.copySelected(); }, [](Schedule& s) { s.store.paste(); },
     [](const Schedule& s, bool) { EXPECT_FALSE(s.store.changed()); }},
    {"cut", noPreparation, [](Schedule& s) { s.store.cutSelected(); }, nothingMore},
    {"delete", noPreparation, [](Schedule& s) { kv::deleteSelectedAfterAsking(s.store, s.boxes); },
     nothingMore},
    {"filing an added entry", noPreparation,
     [](Schedule& s) {
       if (!kv::fileAcceptedEntry(s.store, s.filed)) throw std::bad_alloc();
     },
     [](const Schedule& s, bool) { EXPECT_FALSE(s.store.changed()); }},
    {"filing an edited entry", [](Schedule& s) { kv::takeOutSelected(s.store); },
     [](Schedule& s) {
       if (!kv::fileAcceptedEntry(s.store, s.filed)) throw std::bad_alloc();
     },
     [](const Schedule& s, bool) { EXPECT_FALSE(s.store.changed()); }},
    {"the due check's re-filing", noPreparation,
     [](Schedule& s) { kv::runDueCheck(s.store, s.shell, s.reporter, kNow + 100); }, nothingMore},
    {"save's encoding", noPreparation,
     [](Schedule& s) { kv::saveToCurrentFile(s.document, s.files, s.boxes); }, nothingMore},
};

class AllocationFailures : public ::testing::TestWithParam<Operation> {};

TEST_P(AllocationFailures, LeaveTheScheduleAsItWasAtEveryPoint) {
  const Operation& op = GetParam();
  const long points = failEachAllocationInTurn(op.prepare, op.run, op.failed);
  std::printf("%s: %ld failure points\n", op.name, points);
  EXPECT_GT(points, 0);
}

INSTANTIATE_TEST_SUITE_P(EachOperation, AllocationFailures, ::testing::ValuesIn(kOperations),
                         [](const auto& test) {
                           std::string name = test.param.name;
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });

}  // namespace
