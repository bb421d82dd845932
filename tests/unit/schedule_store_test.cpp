#include "schedule/schedule_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <new>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "fake_visible_list.h"

namespace {

using kv::ScheduleEntry;

std::string formatRow(kv::Time start, const std::string& description) {
  return std::to_string(start) + " at " + description;
}

ScheduleEntry entryAt(kv::Time start, std::string description = "run",
                      std::string commandLine = "C:\\BIN\\TOOL.EXE") {
  ScheduleEntry e;
  e.start = start;
  e.end = 4000000000u;
  e.frequency = 'D';
  e.showCommand = 1;
  e.commandLine = std::move(commandLine);
  e.description = std::move(description);
  return e;
}

class ScheduleStoreTest : public ::testing::Test {
 protected:
  std::vector<kv::Time> storedStarts() const {
    std::vector<kv::Time> starts;
    for (std::size_t i = 0; i < store.size(); ++i)
      starts.push_back(kv::leadingStart(store.line(i)));
    return starts;
  }

  std::vector<kv::EntryLine> storedLines() const {
    std::vector<kv::EntryLine> lines;
    for (std::size_t i = 0; i < store.size(); ++i) lines.emplace_back(store.line(i));
    return lines;
  }

  // Row i of the visible list shows row i of the store.
  void expectListInStep() const {
    ASSERT_EQ(list.rows.size(), store.size());
    for (std::size_t i = 0; i < store.size(); ++i) {
      ASSERT_EQ(list.rows[i], store.displayRow(store.line(i))) << "row " << i;
    }
  }

  // Files a line as it stands, its row being the line itself.
  int restore(const kv::EntryLine& line) { return store.restoreRowPair(line, line); }

  kvtest::FakeVisibleList list;
  kv::ScheduleStore store{list, formatRow};
};

TEST_F(ScheduleStoreTest, FilesNineDigitStartsInDueOrderWhateverTheFilingOrder) {
  std::vector<kv::Time> starts = {300000000, 200000000, 999999999};
  std::sort(starts.begin(), starts.end());
  do {
    store.clear();
    for (kv::Time s : starts) store.fileEntry(entryAt(s));
    EXPECT_EQ(storedStarts(), (std::vector<kv::Time>{200000000, 300000000, 999999999}));
    expectListInStep();
    EXPECT_EQ(store.firstDue().start, 200000000u);
  } while (std::next_permutation(starts.begin(), starts.end()));
}

TEST_F(ScheduleStoreTest, TenDigitStartsComeAfterNineDigitOnes) {
  store.fileEntry(entryAt(999999999));
  store.fileEntry(entryAt(200000000));
  const int index = store.fileEntry(entryAt(1000000000));
  store.fileEntry(entryAt(4294967295u));
  EXPECT_EQ(index, 2);
  EXPECT_EQ(storedStarts(), (std::vector<kv::Time>{200000000, 999999999, 1000000000, 4294967295u}));
  EXPECT_EQ(store.firstDue().start, 200000000u);
  expectListInStep();
}

TEST_F(ScheduleStoreTest, EqualStartsOrderByTextIgnoringCaseAndEqualLinesByArrival) {
  // "a" before "B" ignoring case, though 'B' is the smaller byte.
  EXPECT_EQ(restore("5 9 D 1 B"), 0);
  EXPECT_EQ(restore("5 9 D 1 a"), 0);
  // "A" and "a" are equal ignoring case: the later one goes after.
  EXPECT_EQ(restore("5 9 D 1 A"), 1);
  EXPECT_EQ(restore("5 9 D 1 a"), 2);
  // Bytes above 127 sort after ASCII, as unsigned bytes.
  EXPECT_EQ(restore("5 9 D 1 \xe9"), 4);
  EXPECT_EQ(store.line(0), "5 9 D 1 a");
  EXPECT_EQ(store.line(1), "5 9 D 1 A");
  EXPECT_EQ(store.line(2), "5 9 D 1 a");
  EXPECT_EQ(store.line(3), "5 9 D 1 B");
}

// The store against a plainly sorted copy, through a random run of the
// operations that change it.
class SortedModel {
 public:
  void add(const kv::EntryLine& line) { rows_.push_back({key(line), nextArrival_++, line}); }
  void removeAt(std::size_t i) { rows_.erase(sorted().begin() + static_cast<std::ptrdiff_t>(i)); }
  std::vector<kv::EntryLine> lines() {
    std::vector<kv::EntryLine> out;
    for (const Row& r : sorted()) out.push_back(r.line);
    return out;
  }

 private:
  struct Row {
    std::pair<kv::Time, std::string> key;
    int arrival;
    kv::EntryLine line;
  };
  static std::pair<kv::Time, std::string> key(const kv::EntryLine& line) {
    std::string folded = line;
    for (char& c : folded) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return {kv::leadingStart(line), folded};
  }
  std::vector<Row>& sorted() {
    std::sort(rows_.begin(), rows_.end(), [](const Row& a, const Row& b) {
      return std::tie(a.key, a.arrival) < std::tie(b.key, b.arrival);
    });
    return rows_;
  }
  std::vector<Row> rows_;
  int nextArrival_ = 0;
};

TEST_F(ScheduleStoreTest, RandomOperationsKeepDueOrderAndTheListInStep) {
  std::mt19937 engine(424242u);
  auto rng = [&engine] { return static_cast<std::uint32_t>(engine()); };
  SortedModel model;
  std::vector<std::pair<kv::EntryLine, std::string>> removed;
  const std::vector<kv::Time> sharedStarts = {5, 999999999, 1000000000};
  auto randomStart = [&]() -> kv::Time {
    switch (rng() % 4) {
      case 0:
        return sharedStarts[rng() % sharedStarts.size()];
      case 1:
        return 100000000 + rng() % 900000000;  // nine digits
      case 2:
        return 1000000000 + rng() % 3000000000u;  // ten digits
      default:
        return rng() % 100000;
    }
  };
  auto randomText = [&]() {
    std::string s;
    for (std::size_t n = rng() % 3; n > 0; --n) s += "aAbB\xe9"[rng() % 5];
    return s;
  };

  for (int step = 0; step < 1500; ++step) {
    int op = static_cast<int>(rng() % 10);
    const int count = static_cast<int>(store.size());
    if (count > 40) {
      op = 5;  // a small store shows more equal lines and edge rows
    }
    if (op < 4 || count == 0) {
      const ScheduleEntry e = entryAt(randomStart(), randomText(), "P" + randomText());
      store.fileEntry(e);
      model.add(kv::composeEntryLine(e));
    } else if (op < 7) {
      const int row = static_cast<int>(rng() % static_cast<unsigned>(count));
      removed.emplace_back(store.line(static_cast<std::size_t>(row)),
                           list.rows[static_cast<std::size_t>(row)]);
      store.removeRow(row);
      model.removeAt(static_cast<std::size_t>(row));
    } else if (op < 9 && !removed.empty()) {
      store.restoreRowPair(removed.back().first, removed.back().second);
      model.add(removed.back().first);
      removed.pop_back();
    } else {
      list.selected = static_cast<int>(rng() % static_cast<unsigned>(count));
      ASSERT_TRUE(store.copySelected());
      ASSERT_TRUE(store.paste());
      model.add(kv::composeEntryLine(kv::parseEntryLine(store.clipBuffer())));
    }

    ASSERT_EQ(storedLines(), model.lines()) << "step " << step;
    expectListInStep();
    if (store.empty()) {
      ASSERT_EQ(store.firstDue().start, kv::kNeverDue);
    } else {
      ASSERT_EQ(store.firstDue(), kv::parseEntryLine(store.line(0))) << "step " << step;
    }
  }
}

// Each removed row leaves its bytes behind until the store packs its lines
// again; thousands of long rows taken out and put in make it do so several
// times, and every row must still read as it was filed.
TEST_F(ScheduleStoreTest, RowsReadTheSameAfterTheirLinesArePackedAgain) {
  SortedModel model;
  auto longEntry = [](int i) {
    return entryAt(static_cast<kv::Time>(1000000000 + (i * 7919) % 100000),
                   std::string(200, static_cast<char>('a' + i % 26)) + std::to_string(i),
                   "C:\\" + std::string(240, 'P') + std::to_string(i));
  };
  for (int i = 0; i < 20; ++i) {
    store.fileEntry(longEntry(i));
    model.add(kv::composeEntryLine(longEntry(i)));
  }
  for (int i = 20; i < 8000; ++i) {
    const std::size_t row = static_cast<std::size_t>(i) % store.size();
    store.removeRow(static_cast<int>(row));
    model.removeAt(row);
    store.fileEntry(longEntry(i));
    model.add(kv::composeEntryLine(longEntry(i)));
    ASSERT_EQ(storedLines(), model.lines()) << "step " << i;
  }
  expectListInStep();
  EXPECT_EQ(store.firstDue(), kv::parseEntryLine(store.line(0)));
}

TEST_F(ScheduleStoreTest, EmptyStoreHasNothingDue) {
  EXPECT_EQ(store.firstDue().start, kv::kNeverDue);
  EXPECT_EQ(store.firstDue().end, 0u);

  store.fileEntry(entryAt(700000000, "last one", "C:\\LAST.EXE"));
  store.removeRow(0);
  EXPECT_EQ(store.firstDue().start, kv::kNeverDue);
  EXPECT_EQ(store.firstDue().end, 0u);
  // The other fields keep the last entry's values.
  EXPECT_EQ(store.firstDue().commandLine, "C:\\LAST.EXE");
  EXPECT_EQ(store.firstDue().description, "last one");
}

TEST_F(ScheduleStoreTest, RemovingARowKeepsBothListsAndTheFirstDueEntryInStep) {
  for (kv::Time s = 500000000; s < 500000005; ++s) store.fileEntry(entryAt(s));
  const kv::EntryLine formerRow4(store.line(4));

  store.removeRow(3);
  EXPECT_EQ(store.size(), 4u);
  EXPECT_EQ(store.line(3), formerRow4);
  expectListInStep();

  store.removeRow(0);
  EXPECT_EQ(store.firstDue().start, 500000001u) << "the first-due entry follows the top row";

  for (int noSuchRow : {-1, 3, 7}) store.removeRow(noSuchRow);  // 3: exactly the size
  EXPECT_EQ(store.size(), 3u);
  expectListInStep();
}

TEST_F(ScheduleStoreTest, CopyThenTwoPastesGivesThreeIdenticalRows) {
  store.fileEntry(entryAt(600000000, "", "C:\\EDIT.EXE"));  // shown with its default description
  store.fileEntry(entryAt(900000000));
  list.selected = 0;

  ASSERT_TRUE(store.copySelected());
  EXPECT_TRUE(store.clipFull());
  EXPECT_FALSE(store.changed()) << "Copy alone leaves the schedule unchanged";
  ASSERT_TRUE(store.paste());
  ASSERT_TRUE(store.paste());

  EXPECT_TRUE(store.changed());
  ASSERT_EQ(store.size(), 4u);
  for (std::size_t i = 1; i < 3; ++i) {
    // Pasted as parsed: the empty description comes in filled.
    EXPECT_EQ(store.line(i), "600000000 4000000000 D 1 C:\\EDIT.EXE \x12 p0 dEDIT");
    EXPECT_EQ(list.rows[i], list.rows[0]);
  }
  EXPECT_EQ(list.rows[0], "600000000 at EDIT");
  EXPECT_EQ(store.firstDue().start, 600000000u) << "Paste reloads the first-due entry";
  expectListInStep();
}

TEST_F(ScheduleStoreTest, CutFillsTheClipAndMarksChangedButLeavesTheRow) {
  store.fileEntry(entryAt(600000000));
  list.selected = 0;
  ASSERT_TRUE(store.cutSelected());
  EXPECT_TRUE(store.changed());
  EXPECT_TRUE(store.clipFull());
  EXPECT_EQ(store.clipBuffer(), store.line(0));
  EXPECT_EQ(store.size(), 1u) << "the caller's Delete removes the row";
}

TEST_F(ScheduleStoreTest, ClipCommandsNeedASelectionOrAFullClip) {
  EXPECT_FALSE(store.paste());
  store.fileEntry(entryAt(600000000));
  for (int selection : {-1, 1}) {
    list.selected = selection;
    EXPECT_FALSE(store.selectedRow().has_value());
    EXPECT_FALSE(store.copySelected());
    EXPECT_FALSE(store.cutSelected());
  }
  EXPECT_FALSE(store.clipFull());
  EXPECT_FALSE(store.changed());
  EXPECT_FALSE(store.paste());
  EXPECT_EQ(store.size(), 1u);
}

TEST_F(ScheduleStoreTest, ClipOutlivesClearingSoItPastesIntoAnotherSchedule) {
  store.fileEntry(entryAt(600000000, "keep"));
  list.selected = 0;
  ASSERT_TRUE(store.copySelected());
  store.clear();
  store.clearChanged();
  EXPECT_TRUE(list.rows.empty());
  ASSERT_TRUE(store.paste());
  EXPECT_EQ(list.rows, (std::vector<std::string>{"600000000 at keep"}));
  EXPECT_TRUE(store.changed());
}

TEST_F(ScheduleStoreTest, FilingAndRemovingLeaveTheChangedFlagAlone) {
  store.fileEntry(entryAt(600000000));
  store.removeRow(0);
  EXPECT_FALSE(store.changed());
  store.markChanged();
  EXPECT_TRUE(store.changed());
  store.clearChanged();
  EXPECT_FALSE(store.changed());
}

TEST_F(ScheduleStoreTest, RestoreInsertsTheSavedRowUnchangedWhereTheLineSorts) {
  store.fileEntry(entryAt(300000000));
  store.fileEntry(entryAt(900000000));
  const int index =
      store.restoreRowPair(kv::composeEntryLine(entryAt(500000000)), "as it was shown");
  EXPECT_EQ(index, 1);
  EXPECT_EQ(list.rows[1], "as it was shown");
  EXPECT_EQ(kv::leadingStart(store.line(1)), 500000000u);
}

TEST_F(ScheduleStoreTest, LinesOverTheLimitAreCutWhereTheyEnter) {
  const std::string longLine = "700000000 1 O 1 " + std::string(600, 'x');
  store.replaceLines({longLine});
  store.rebuildVisibleList();
  store.restoreRowPair(longLine, store.displayRow(longLine));
  list.selected = 0;
  ASSERT_TRUE(store.copySelected());
  ASSERT_TRUE(store.paste());
  ASSERT_EQ(store.size(), 3u);
  // Loaded and restored lines are cut to the limit; the pasted one is
  // composed again from what was read of it, within the limit too.
  std::size_t atLimit = 0;
  for (std::size_t i = 0; i < store.size(); ++i) {
    EXPECT_LE(store.line(i).size(), kv::kMaxEntryLine);
    atLimit += store.line(i).size() == kv::kMaxEntryLine;
  }
  EXPECT_EQ(atLimit, 2u);
  expectListInStep();

  ScheduleEntry huge = entryAt(700000000, std::string(300, 'd'), std::string(300, 'c'));
  huge.workingDirectory = std::string(300, 'w');
  store.fileEntry(huge);
  expectListInStep();
  store.restoreRowPair(longLine, "long");
  ASSERT_EQ(store.size(), 5u);
  for (std::size_t i = 0; i < store.size(); ++i) EXPECT_LE(store.line(i).size(), kv::kMaxEntryLine);
}

TEST_F(ScheduleStoreTest, FiledRowShowsWhatARebuildWouldShow) {
  // An entry filed with an empty description shows its default description,
  // as the same line does after a reload.
  store.fileEntry(entryAt(700000000, "", "C:\\WINDOWS\\NOTEPAD.EXE"));
  EXPECT_EQ(list.rows, (std::vector<std::string>{"700000000 at NOTEPAD"}));
}

TEST_F(ScheduleStoreTest, RebuildShowsEveryLineInOneBulkUpdate) {
  list.rows = {"stale row"};
  store.replaceLines({kv::composeEntryLine(entryAt(800000000, "later")),
                      std::string("700000000 1 O 1 C:\\WINDOWS\\NOTEPAD.EXE \x12 p0 d")});
  store.rebuildVisibleList();
  EXPECT_EQ(list.rows, (std::vector<std::string>{"700000000 at NOTEPAD", "800000000 at later"}));
  EXPECT_EQ(list.bulkUpdates, 1);
  EXPECT_EQ(list.bulkDepth, 0);
  EXPECT_EQ(list.rowsChangedInBulk, 2);
}

TEST_F(ScheduleStoreTest, ReplacingWithManyLinesSortsThemStably) {
  // A large load, many of its lines equal but for case.
  std::mt19937 engine(99u);
  auto rng = [&engine] { return static_cast<std::uint32_t>(engine()); };
  std::vector<kv::EntryLine> lines;
  for (int i = 0; i < 20000; ++i) {
    const kv::Time start = rng() % 2 ? 100000000 + rng() % 1000 : 1000000000 + rng() % 1000;
    // "a" and "A" lines with the same start and number are equal ignoring
    // case, so their input order must survive the sort.
    lines.push_back(std::to_string(start) + " 0 O 1 X \x12 p0 d" + (i % 2 ? "A" : "a") + " #" +
                    std::to_string(i % 7));
  }
  store.replaceLines(lines);
  ASSERT_EQ(store.size(), lines.size());

  // Lines here differ only in the case of the description letter, so
  // folding that letter gives the full ordering key; the input position
  // breaks ties, as a stable sort keeps them.
  std::vector<std::tuple<kv::Time, std::string, std::size_t>> keys;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string folded = lines[i];
    std::replace(folded.begin(), folded.end(), 'A', 'a');
    keys.emplace_back(kv::leadingStart(lines[i]), std::move(folded), i);
  }
  std::sort(keys.begin(), keys.end());
  std::vector<kv::EntryLine> expected;
  for (const auto& key : keys) expected.push_back(lines[std::get<2>(key)]);
  for (std::size_t i = 0; i < expected.size(); ++i) ASSERT_EQ(store.line(i), expected[i]) << i;

  store.rebuildVisibleList();
  EXPECT_EQ(list.rows.size(), lines.size());
  EXPECT_EQ(list.rowsChangedInBulk, 20000);
}

// A list that draws its rows from the store (the Details view) is given no
// texts: whatever changes the rows, none is made for it, and it stays row
// for row with the store.
TEST(ScheduleStoreWithoutTexts, MakesNoRowTextWhateverChangesTheRows) {
  kvtest::FakeVisibleList list;
  list.texts = false;
  int formatted = 0;
  kv::ScheduleStore store(list, [&formatted](kv::Time, const std::string&) {
    ++formatted;
    return std::string("row");
  });
  const struct {
    const char* what;
    std::function<void()> run;
  } operations[] = {
      {"load",
       [&] {
         store.replaceLines(
             {kv::composeEntryLine(entryAt(800000000)), kv::composeEntryLine(entryAt(700000000))});
         store.rebuildVisibleList();
       }},
      {"file", [&] { store.fileEntry(entryAt(750000000)); }},
      {"paste",
       [&] {
         list.selected = 0;
         store.copySelected();
         store.paste();
       }},
      {"edit",
       [&] {
         store.holdOut(1);
         store.restoreHeldOut();
       }},
      {"due check", [&] { store.refile(kv::EntryLine(store.line(0)), entryAt(900000000)); }},
      {"delete", [&] { store.removeRowSelectingNext(0); }},
  };
  for (const auto& operation : operations) {
    operation.run();
    EXPECT_EQ(formatted, 0) << operation.what;
    EXPECT_EQ(list.rows, std::vector<std::string>(store.size())) << operation.what;
  }
}

// Switching views: the rows go to the other list, each with a text only
// where that list shows texts, the same entry selected there; the list that
// showed them is emptied, and the store's changes go to the new one.
TEST(ScheduleStoreViews, RowsMoveToAnotherListWithTheEntrySelected) {
  kvtest::FakeVisibleList rows;
  kvtest::FakeVisibleList details;
  details.texts = false;
  kv::ScheduleStore store(rows, formatRow);
  for (const kv::Time start : {300000000u, 400000000u, 500000000u}) store.fileEntry(entryAt(start));
  rows.selected = 1;

  store.showIn(details, formatRow);
  EXPECT_TRUE(rows.rows.empty());
  EXPECT_EQ(details.rows, std::vector<std::string>(3));
  EXPECT_EQ(store.selectedRow(), 1);
  store.fileEntry(entryAt(100000000));
  EXPECT_EQ(details.rows.size(), 4u);
  EXPECT_EQ(store.selectedRow(), 2) << "the selection follows its entry";
  EXPECT_TRUE(rows.rows.empty());

  store.showIn(rows, formatRow);
  EXPECT_TRUE(details.rows.empty());
  EXPECT_EQ(rows.rows, (std::vector<std::string>{"100000000 at run", "300000000 at run",
                                                 "400000000 at run", "500000000 at run"}));
  EXPECT_EQ(store.selectedRow(), 2);
  EXPECT_EQ(rows.bulkDepth, 0);
}

// A list with room for a few rows only.
class ListWithRoomFor : public kvtest::FakeVisibleList {
 public:
  explicit ListWithRoomFor(std::size_t room) : room_(room) {}
  void insertRow(int index, std::string text) override {
    if (rows.size() >= room_) throw std::bad_alloc();
    FakeVisibleList::insertRow(index, std::move(text));
  }

 private:
  std::size_t room_;
};

TEST(ScheduleStoreViews, AListWithoutRoomForTheRowsLeavesThemWhereTheyWere) {
  kvtest::FakeVisibleList details;
  details.texts = false;
  ListWithRoomFor rows(2);
  kv::ScheduleStore store(details, formatRow);
  for (const kv::Time start : {300000000u, 400000000u, 500000000u}) store.fileEntry(entryAt(start));
  details.selected = 2;

  EXPECT_THROW(store.showIn(rows, formatRow), std::bad_alloc);
  EXPECT_TRUE(rows.rows.empty());
  EXPECT_EQ(rows.bulkDepth, 0) << "the list may paint again";
  EXPECT_EQ(details.rows.size(), 3u);
  EXPECT_EQ(store.selectedRow(), 2);
  store.removeRow(0);
  EXPECT_EQ(details.rows.size(), 2u) << "the rows stay in the list that shows them";
}

}  // namespace
