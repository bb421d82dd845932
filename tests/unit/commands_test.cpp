// The decisions of the main window's commands, with boxes and files faked:
// what each asks, and what it does with the answer.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/schedule_commands.h"
#include "app/unsaved_changes.h"
#include "document_fixture.h"
#include "editor/entry_filing.h"
#include "engine/due_check.h"
#include "fake_shell.h"
#include "schedule/schedule_file.h"

namespace {

using kv::BoxAnswer;
using kv::BoxModality;
using kvtest::entryAt;
using kvtest::kNow;

class Commands : public ::testing::Test, protected kvtest::DocumentFixture {
 protected:
  Commands() : DocumentFixture(3) {}
};

// Delete asks over every window of the program; only Yes removes the entry,
// and the first-due entry follows the top row.
TEST_F(Commands, DeleteRemovesTheSelectedEntryOnlyOnYes) {
  const std::vector<std::string> all = {"1700000100 e0", "1700000101 e1", "1700000102 e2"};
  struct Case {
    int row;  // -1: none selected, nothing asked
    BoxAnswer answer;
    std::vector<std::string> rows;
  } const cases[] = {
      {1, BoxAnswer::No, all},
      {1, BoxAnswer::Yes, {all[0], all[2]}},
      {0, BoxAnswer::Yes, {all[1], all[2]}},
      {-1, BoxAnswer::Yes, all},
  };
  for (const Case& c : cases) {
    fill(3);
    store.clearChanged();
    list.selected = c.row;
    boxes.answers = {c.answer};
    boxes.shown.clear();
    EXPECT_EQ(kv::deleteSelectedAfterAsking(store, boxes), c.rows.size() < all.size());
    EXPECT_EQ(boxes.texts(),
              std::vector<std::string>(c.row >= 0 ? 1 : 0,
                                       "Are you sure you want to delete this entry?"));
    for (const kv::BoxRequest& box : boxes.shown) EXPECT_EQ(box.modality, BoxModality::TaskOwned);
    EXPECT_EQ(list.rows, c.rows);
    EXPECT_EQ(store.firstDue().start, kv::leadingStart(store.line(0)));
    EXPECT_EQ(store.changed(), c.rows.size() < all.size()) << "only a deletion is a change";
  }
}

// After each command the keyboard has a row to go on with: the entry just
// filed or pasted, the row that took a removed one's place, or the row it
// had when the command was declined. The due check re-files rows under the
// selection without ever selecting one itself.
TEST_F(Commands, EachCommandLeavesTheRowTheKeyboardGoesOnWithSelected) {
  const auto remove = [this](BoxAnswer answer) {
    return [this, answer] {
      boxes.answers = {answer};
      kv::deleteSelectedAfterAsking(store, boxes);
    };
  };
  const auto add = [this](kv::Time start) {
    return [this, start] { kv::fileAcceptedEntry(store, entryAt(start, "new")); };
  };
  struct Case {
    const char* command;
    int entries;
    int selectedBefore;
    std::function<void()> run;
    const char* selectedAfter;  // the selected row's text, null for none
    bool selects;               // false: the command itself selects nothing
  } const cases[] = {
      {"Add, first in due order", 3, 2, add(kNow + 50), "1700000050 new", true},
      {"Add, last in due order", 3, -1, add(kNow + 150), "1700000150 new", true},
      {"Add, Cancel", 3, 1, [this] { kv::putBack(store); }, "1700000101 e1", false},
      {"Edit, moved later", 3, 0,
       [this] {
         ASSERT_TRUE(kv::takeOutSelected(store));
         kv::fileAcceptedEntry(store, entryAt(kNow + 150, "e0 later"));
       },
       "1700000150 e0 later", true},
      {"Edit, Cancel", 3, 1,
       [this] {
         ASSERT_TRUE(kv::takeOutSelected(store));
         kv::putBack(store);
       },
       "1700000101 e1", true},
      {"Paste of the first row with the last selected", 3, 2,
       [this] {
         list.selected = 0;
         store.copySelected();
         list.selected = 2;
         store.paste();
       },
       "1700000100 e0", true},
      {"Delete the first row", 3, 0, remove(BoxAnswer::Yes), "1700000101 e1", true},
      {"Delete a middle row", 3, 1, remove(BoxAnswer::Yes), "1700000102 e2", true},
      {"Delete the last row", 3, 2, remove(BoxAnswer::Yes), "1700000101 e1", true},
      {"Delete the only row", 1, 0, remove(BoxAnswer::Yes), nullptr, false},
      {"Delete answered No", 3, 1, remove(BoxAnswer::No), "1700000101 e1", false},
      {"Cut of a middle row", 3, 1,
       [this] {
         store.cutSelected();
         kv::deleteSelectedAfterAsking(store, boxes);
       },
       "1700000102 e2", true},
      {"A due check re-files the top row", 3, 1,
       [this] {
         kvtest::FakeShell shell;
         kvtest::FakeReporter reporter;
         ASSERT_EQ(kv::runDueCheck(store, shell, reporter, kNow + 100), 1);
       },
       "1700000101 e1", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    fill(c.entries);
    list.selected = c.selectedBefore;
    list.selectCalls = 0;
    boxes.answers.clear();
    boxes.shown.clear();
    c.run();
    if (c.selectedAfter) {
      ASSERT_GE(list.selected, 0);
      ASSERT_LT(list.selected, static_cast<int>(list.rows.size()));
      EXPECT_EQ(list.rows[static_cast<std::size_t>(list.selected)], c.selectedAfter);
    } else {
      EXPECT_EQ(list.selected, -1);
    }
    EXPECT_EQ(list.selectCalls > 0, c.selects);
  }
}

TEST_F(Commands, ADroppedPathLongerThanACommandLineIsRefusedInABox) {
  EXPECT_TRUE(kv::acceptDroppedPath(std::string(kv::kMaxText, 'p'), boxes));
  EXPECT_TRUE(boxes.shown.empty());
  const std::string tooLong(kv::kMaxText + 1, 'p');
  EXPECT_FALSE(kv::acceptDroppedPath(tooLong, boxes));
  EXPECT_EQ(boxes.texts(), std::vector<std::string>{"The file " + tooLong +
                                                    " cannot be scheduled: its name is longer "
                                                    "than 253 characters."});
}

// Closing asks with no owner, New and Open over the main window.
TEST_F(Commands, TheSaveQuestionIsAskedWhereItsCaptionAndOwnerSay) {
  struct Case {
    const kv::SaveQuestion& question;
    const char* caption;
    BoxModality modality;
    BoxAnswer answer;
    kv::SaveAnswer expected;
  } const cases[] = {
      {kv::kSaveQuestionOnClosing, "KV", BoxModality::TaskUnowned, BoxAnswer::Yes,
       kv::SaveAnswer::Yes},
      {kv::kSaveQuestionOnNew, "KV", BoxModality::Owned, BoxAnswer::No, kv::SaveAnswer::No},
      {kv::kSaveQuestionOnOpen, "NOTICE", BoxModality::Owned, BoxAnswer::Cancel,
       kv::SaveAnswer::Cancel},
  };
  for (const Case& c : cases) {
    boxes.answers = {c.answer};
    boxes.shown.clear();
    EXPECT_EQ(kv::askToSave(boxes, c.question), c.expected);
    ASSERT_EQ(boxes.texts(), std::vector<std::string>{"Changes have been made.  Save changes?"});
    EXPECT_EQ(boxes.shown[0].caption, c.caption);
    EXPECT_EQ(boxes.shown[0].modality, c.modality);
    EXPECT_EQ(boxes.shown[0].buttons, kv::BoxButtons::YesNoCancel);
  }
}

// A load replaces the store only when the whole file came in; an Open that
// cannot load puts the old name back; a failed save keeps the change.
TEST_F(Commands, FileCommandsChangeTheDocumentOnlyWhenTheFileWasReadOrWritten) {
  const std::string before = kv::encodeScheduleFile(store, "3.0");
  store.markChanged();
  document.fileName = "C:\\old.KV";
  disk["C:\\locked.KV"] = {kv::ReadStatus::Unreadable, {}};
  const std::string newFile =
      "Version=3.0\r\n" + kv::composeEntryLine(entryAt(kNow + 500, "new")) + "\r\n";
  disk["C:\\new.KV"] = {kv::ReadStatus::Ok, newFile};
  for (const auto& [chosen, box] :
       {std::pair<std::string, std::string>{"C:\\absent.KV", "|C:\\absent.KV| not found."},
        {"C:\\locked.KV", "|C:\\locked.KV| could not be read."}}) {
    boxes.shown.clear();
    EXPECT_FALSE(kv::openChosenSchedule(document, chosen, files, boxes));
    ASSERT_EQ(boxes.texts(), std::vector<std::string>{box});
    EXPECT_EQ(boxes.shown[0].modality, BoxModality::TaskUnowned);
    EXPECT_EQ(document.fileName, "C:\\old.KV");
    EXPECT_EQ(document.openDialogField, chosen);
    EXPECT_EQ(kv::encodeScheduleFile(store, "3.0"), before);
    EXPECT_TRUE(store.changed());
  }

  EXPECT_TRUE(kv::openChosenSchedule(document, "C:\\new.KV", files, boxes));
  EXPECT_EQ(document.fileName, "C:\\new.KV");
  EXPECT_EQ(store.size(), 1u);
  EXPECT_FALSE(store.changed());

  store.markChanged();
  document.fileName = "C:\\readonly.KV";
  boxes.shown.clear();
  EXPECT_FALSE(kv::saveToCurrentFile(document, files, boxes));
  EXPECT_EQ(boxes.texts(), std::vector<std::string>{"Cannot write to C:\\readonly.KV."});
  EXPECT_TRUE(store.changed());
  document.fileName = "C:\\saved.KV";
  EXPECT_TRUE(kv::saveToCurrentFile(document, files, boxes));
  EXPECT_EQ(disk["C:\\saved.KV"].bytes, kv::encodeScheduleFile(store, "3.0"));
  EXPECT_FALSE(store.changed());
}

}  // namespace
