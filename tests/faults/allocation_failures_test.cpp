// Every allocation of each operation that changes the schedule made to fail
// in turn until the operation runs through: after each failure the schedule
// holds exactly what it held, with the list and the first-due entry in step,
// the failure is reported as the program reports it, and nothing leaks
// (LeakSanitizer checks at the end). It replaces the global operator new, so
// it is a test program of its own.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "app/file_commands.h"
#include "app/schedule_commands.h"
#include "document_fixture.h"
#include "editor/entry_filing.h"
#include "engine/due_check.h"
#include "fake_shell.h"
#include "schedule/schedule_file.h"

namespace {

// Allocations left before the one that fails; below 0 (as after it), none.
long allocationsBeforeFailure = -1;

void* allocate(std::size_t size) {
  if (allocationsBeforeFailure >= 0 && allocationsBeforeFailure-- == 0) throw std::bad_alloc();
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

using kvtest::entryAt;
using kvtest::kNow;

// A schedule of four entries, the second selected, and a file to load.
struct Schedule : kvtest::DocumentFixture {
  Schedule() : DocumentFixture(4) {
    list.selected = 1;
    files.write = [](const std::string&, std::string_view) { return true; };  // allocates nothing
    disk["C:\\a.KV"] = {kv::ReadStatus::Ok,
                        "Version=3.0\r\n" + kv::composeEntryLine(entryAt(kNow + 5, "loaded", 'M')) +
                            "\r\n" + kv::composeEntryLine(entryAt(kNow - 500, "behind", 'H')) +
                            "\r\n"};
  }

  kvtest::FakeShell shell;
  kvtest::FakeReporter reporter;
  kv::ScheduleEntry filed = entryAt(kNow + 50, "filed");
};

struct Operation {
  const char* name;
  std::function<void(Schedule&)> prepare;  // before the count starts; may be empty
  std::function<void(Schedule&)> run;
  // An operation either reports the failure itself (here checked, when
  // given) or lets std::bad_alloc go to the command's guard.
  std::function<void(const Schedule&, bool threw)> failed = nullptr;
};

void PrintTo(const Operation& operation, std::ostream* out) {
  *out << operation.name;
}

const auto fileTheEntry = [](Schedule& s) {
  if (!kv::fileAcceptedEntry(s.store, s.filed)) throw std::bad_alloc();
};

const Operation kOperations[] = {
    {"load", nullptr,
     [](Schedule& s) { kv::loadSchedule(s.document, "C:\\a.KV", s.files, s.boxes); },
     [](const Schedule& s, bool threw) {
       EXPECT_TRUE(threw || s.boxes.texts() ==
                                std::vector<std::string>{"|C:\\a.KV| is too large to open: there "
                                                         "is not enough memory for its entries."});
     }},
    {"paste", [](Schedule& s) { s.store.copySelected(); }, [](Schedule& s) { s.store.paste(); }},
    {"cut", nullptr, [](Schedule& s) { s.store.cutSelected(); }},
    {"delete", nullptr, [](Schedule& s) { kv::deleteSelectedAfterAsking(s.store, s.boxes); }},
    {"fileAnAddedEntry", nullptr, fileTheEntry},
    {"fileAnEditedEntry", [](Schedule& s) { kv::takeOutSelected(s.store); }, fileTheEntry},
    {"dueCheckRefiling", nullptr,
     [](Schedule& s) { kv::runDueCheck(s.store, s.shell, s.reporter, kNow + 100); }},
    {"saveEncoding", nullptr,
     [](Schedule& s) { kv::saveToCurrentFile(s.document, s.files, s.boxes); }},
};

class AllocationFailures : public ::testing::TestWithParam<Operation> {};

// Runs the operation on a fresh schedule with allocation number `point`
// failing, for each point until the operation runs through.
TEST_P(AllocationFailures, LeaveTheScheduleAsItWasAtEveryPoint) {
  const Operation& op = GetParam();
  long point = 0;
  for (;; ++point) {
    Schedule s;
    const std::vector<std::string> before = s.lines(), rowsBefore = s.list.rows;
    const kv::ScheduleEntry firstDue = s.store.firstDue();
    if (op.prepare) op.prepare(s);
    const bool changed = s.store.changed();
    allocationsBeforeFailure = point;
    bool threw = false;
    try {
      op.run(s);
    } catch (const std::bad_alloc&) {
      threw = true;
    }
    if (allocationsBeforeFailure >= 0) {  // it ran through
      allocationsBeforeFailure = -1;
      break;
    }
    SCOPED_TRACE(::testing::Message() << "failure point " << point);
    EXPECT_EQ(s.lines(), before);
    EXPECT_EQ(s.store.changed(), changed);
    EXPECT_EQ(s.list.rows, rowsBefore);
    EXPECT_EQ(s.store.firstDue(), firstDue);
    if (op.failed) op.failed(s, threw);
    if (HasFailure()) break;
  }
  std::printf("%s: %ld failure points\n", op.name, point);
  EXPECT_GT(point, 0);
}

// Filling the list with a loaded schedule's rows cannot leave the schedule
// as it was (the list is emptied first), but list and store never part: at
// each failure point both are empty, the schedule untitled and the user
// told.
TEST(AllocationFailuresWhileShowingRows, EmptyTheScheduleAndSaySo) {
  const kv::RowFormatter format = [](kv::Time start, const std::string& description) {
    return std::to_string(start) + " " + description;
  };
  long point = 0;
  for (;; ++point) {
    Schedule s;
    s.document.fileName = "C:\\a.KV";
    allocationsBeforeFailure = point;
    const bool shown = kv::showScheduleRows(s.document, format, s.boxes);
    const bool ranThrough = allocationsBeforeFailure >= 0;
    allocationsBeforeFailure = -1;
    SCOPED_TRACE(::testing::Message() << "failure point " << point);
    EXPECT_EQ(shown, ranThrough);
    if (ranThrough) {
      EXPECT_EQ(s.list.rows.size(), 4u);
      EXPECT_TRUE(s.boxes.texts().empty());
      break;
    }
    EXPECT_EQ(s.store.size(), 0u);
    EXPECT_TRUE(s.list.rows.empty());
    EXPECT_TRUE(s.document.fileName.empty());
    EXPECT_EQ(s.boxes.texts(), std::vector<std::string>{"|C:\\a.KV| is too large to open: there is "
                                                        "not enough memory for its entries."});
    if (HasFailure()) break;
  }
  std::printf("showing rows: %ld failure points\n", point);
  EXPECT_GT(point, 0);
}

// An Edit that ends without filing puts its entry back. Where that runs out
// of memory the caller is told (it says the entry was not filed), and the
// entry stays held, so that a save still writes it.
TEST(AllocationFailuresPuttingBack, SayThatTheEntryIsStillHeld) {
  long point = 0;
  for (;; ++point) {
    Schedule s;
    const std::vector<std::string> before = s.lines();
    const std::string held(s.store.line(1));
    ASSERT_TRUE(kv::takeOutSelected(s.store));
    allocationsBeforeFailure = point;
    const bool back = kv::putBack(s.store);
    const bool ranThrough = allocationsBeforeFailure >= 0;
    allocationsBeforeFailure = -1;
    SCOPED_TRACE(::testing::Message() << "failure point " << point);
    EXPECT_EQ(back, ranThrough);
    if (ranThrough) {
      EXPECT_EQ(s.lines(), before);
      break;
    }
    ASSERT_NE(s.store.heldOut(), nullptr);
    EXPECT_EQ(std::string(*s.store.heldOut()), held);
    if (HasFailure()) break;
  }
  std::printf("putting back: %ld failure points\n", point);
  EXPECT_GT(point, 0);
}

INSTANTIATE_TEST_SUITE_P(EachOperation, AllocationFailures, ::testing::ValuesIn(kOperations),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
