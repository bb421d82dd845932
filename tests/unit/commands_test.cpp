// The decisions of the main window's commands, with boxes and files faked:
// what each asks, and what it does with the answer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/schedule_commands.h"
#include "app/unsaved_changes.h"
#include "document_fixture.h"
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
