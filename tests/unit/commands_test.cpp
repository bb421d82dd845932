// The decisions of the main window's commands, with boxes and files faked:
// what each asks, and what it does with the answer.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/file_commands.h"
#include "app/schedule_commands.h"
#include "app/unsaved_changes.h"
#include "fake_message_boxes.h"
#include "fake_visible_list.h"
#include "schedule/schedule_file.h"

namespace {

using kv::BoxAnswer;
using kv::BoxModality;
using kv::ScheduleEntry;
using kv::Time;

constexpr Time kNow = 1'700'000'000;

ScheduleEntry entryAt(Time start, const std::string& description) {
  ScheduleEntry e;
  e.start = start;
  e.end = 4'000'000'000u;
  e.frequency = 'D';
  e.commandLine = "C:\\BIN\\TOOL.EXE";
  e.description = description;
  return e;
}

class Commands : public ::testing::Test {
 protected:
  Commands() {
    fill();
    files.read = [this](const std::string& path) {
      const auto found = disk.find(path);
      if (found == disk.end()) return kv::FileContents{kv::ReadStatus::NotFound, {}};
      return kv::FileContents{
          found->second.empty() ? kv::ReadStatus::Unreadable : kv::ReadStatus::Ok, found->second};
    };
    files.write = [this](const std::string& path, std::string_view bytes) {
      if (path.find("readonly") != std::string::npos) return false;
      disk[path] = std::string(bytes);
      return true;
    };
    files.versionText = "3.0";
    files.clock = [] { return kNow; };
  }

  // Three entries e0, e1, e2, due in that order, nothing changed.
  void fill() {
    store.clear();
    for (Time i = 0; i < 3; ++i) store.fileEntry(entryAt(kNow + 100 + i, "e" + std::to_string(i)));
  }

  kvtest::FakeVisibleList list;
  kv::ScheduleDocument document{list, [](Time start, const std::string& description) {
                                  return std::to_string(start) + " " + description;
                                }};
  kv::ScheduleStore& store = document.store;
  kvtest::FakeMessageBoxes boxes;
  kv::ScheduleFiles files;
  std::map<std::string, std::string> disk;  // "" stands for a file that cannot be read
};

TEST_F(Commands, DeleteRemovesTheSelectedEntryOnlyOnYes) {
  struct Case {
    int row;
    BoxAnswer answer;
    std::vector<std::string> rows;
    Time firstDue;
  } const cases[] = {
      {1, BoxAnswer::No, {"1700000100 e0", "1700000101 e1", "1700000102 e2"}, kNow + 100},
      {1, BoxAnswer::Yes, {"1700000100 e0", "1700000102 e2"}, kNow + 100},
      {0, BoxAnswer::Yes, {"1700000101 e1", "1700000102 e2"}, kNow + 101},
  };
  for (const Case& c : cases) {
    fill();
    list.selected = c.row;
    boxes.answers = {c.answer};
    boxes.shown.clear();
    EXPECT_EQ(kv::deleteSelectedAfterAsking(store, boxes), c.answer == BoxAnswer::Yes);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Are you sure you want to delete this entry?");
    EXPECT_EQ(boxes.shown[0].modality, BoxModality::TaskOwned);
    EXPECT_EQ(list.rows, c.rows);
    EXPECT_EQ(store.firstDue().start, c.firstDue);
    EXPECT_FALSE(store.changed()) << "Delete leaves the changed flag alone";
  }
  boxes.shown.clear();
  list.selected = -1;
  EXPECT_FALSE(kv::deleteSelectedAfterAsking(store, boxes));
  EXPECT_TRUE(boxes.shown.empty());
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

TEST_F(Commands, TheSaveQuestionIsAskedWhereItsCaptionAndOwnerSay) {
  struct Case {
    const kv::SaveQuestion& question;
    BoxAnswer answer;
    kv::SaveAnswer expected;
  } const cases[] = {
      {kv::kSaveQuestionOnClosing, BoxAnswer::Yes, kv::SaveAnswer::Yes},
      {kv::kSaveQuestionOnNew, BoxAnswer::No, kv::SaveAnswer::No},
      {kv::kSaveQuestionOnOpen, BoxAnswer::Cancel, kv::SaveAnswer::Cancel},
  };
  for (const Case& c : cases) {
    boxes.answers = {c.answer};
    boxes.shown.clear();
    EXPECT_EQ(kv::askToSave(boxes, c.question), c.expected);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Changes have been made.  Save changes?");
    EXPECT_EQ(boxes.shown[0].caption, c.question.caption);
    EXPECT_EQ(boxes.shown[0].modality, c.question.modality);
    EXPECT_EQ(boxes.shown[0].buttons, kv::BoxButtons::YesNoCancel);
  }
}

// A load replaces the store only when the whole file came in; an Open that
// cannot load puts the old name back; a failed save keeps the change.
TEST_F(Commands, FileCommandsChangeTheDocumentOnlyWhenTheFileWasReadOrWritten) {
  const std::string before = kv::encodeScheduleFile(store, "3.0");
  store.markChanged();
  document.fileName = "C:\\old.KV";
  disk["C:\\locked.KV"] = "";
  disk["C:\\new.KV"] =
      "Version=3.0\r\n" + kv::composeEntryLine(entryAt(kNow + 500, "new")) + "\r\n";
  struct Case {
    const char* chosen;
    bool loaded;
    const char* box;  // nullptr: none
  } const cases[] = {
      {"C:\\absent.KV", false, "|C:\\absent.KV| not found."},
      {"C:\\locked.KV", false, "|C:\\locked.KV| could not be read."},
  };
  for (const Case& c : cases) {
    boxes.shown.clear();
    EXPECT_EQ(kv::openChosenSchedule(document, c.chosen, files, boxes), c.loaded);
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{c.box});
    EXPECT_EQ(boxes.shown[0].modality, BoxModality::TaskUnowned);
    EXPECT_EQ(document.fileName, "C:\\old.KV");
    EXPECT_EQ(document.openDialogField, c.chosen);
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
  EXPECT_EQ(disk["C:\\saved.KV"], kv::encodeScheduleFile(store, "3.0"));
  EXPECT_FALSE(store.changed());
}

}  // namespace
