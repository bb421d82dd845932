// The Add/Edit dialog of the real kv.exe, opened and worked as a person
// would: by key, double-click and menu command, with the boxes it shows.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "kivro_process_win32.h"
#include "resources/resource_ids.h"
#include "test_schedules.h"

namespace {

using kvtest::KivroProcess;

constexpr const char* kDialogCaption = "Add/Edit Time";
constexpr const char* kNotepad = "C:\\windows\\notepad.exe";

void setText(HWND dialog, int id, const std::string& value) {
  SendMessageA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()));
}
std::string text(HWND dialog, int id) {
  return kvtest::windowText(GetDlgItem(dialog, id));
}
void choose(HWND dialog, int id, int index) {
  HWND list = GetDlgItem(dialog, id);
  SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}
// Sets the start fields to a local time, on the 12-hour clock.
void setStart(HWND dialog, kv::Time when) {
  const kv::LocalTime t = kv::toLocalTime(when);
  choose(dialog, IDC_START_MONTH, t.month - 1);
  setText(dialog, IDC_START_DAY, std::to_string(t.day));
  setText(dialog, IDC_START_YEAR, std::to_string(t.year));
  const int hour = t.hour % 12 == 0 ? 12 : t.hour % 12;
  setText(dialog, IDC_START_HOUR, std::to_string(hour));
  setText(dialog, IDC_START_MINUTE, (t.minute < 10 ? "0" : "") + std::to_string(t.minute));
  SendDlgItemMessageA(dialog, t.hour >= 12 ? IDC_START_PM : IDC_START_AM, BM_CLICK, 0, 0);
}

class EntryDialogProcess : public ::testing::Test {
 protected:
  void start() {
    now = kv::currentTime();
    kvtest::writeFile(fileName, kvtest::scheduleBytes(
                                    {kvtest::makeEntry(now + kDay, 'D', kNotepad, "First"),
                                     kvtest::makeEntry(now + 3 * kDay, 'D', kNotepad, "Third")}));
    kivro = std::make_unique<KivroProcess>(fileName);
    ASSERT_NE(kivro->mainWindow(), nullptr);
  }
  void SetUp() override { start(); }
  void TearDown() override {
    if (!kivro || !kivro->running()) return;
    kivro->command(IDM_EXIT);
    if (kivro->waitForDialog("KV", 2000)) kivro->answer("KV", IDNO);
  }

  HWND dialog() { return kivro->waitForDialog(kDialogCaption); }
  bool closed(HWND window) { return kvtest::waitUntilGone(window); }
  // The saved schedule's line whose description is this.
  kv::ScheduleEntry saved(const std::string& description) {
    kivro->command(IDM_SAVE);
    kv::ScheduleEntry found;
    bool seen = false;
    kvtest::eventually([&] {
      std::istringstream lines(kvtest::readFile(fileName));
      for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const kv::ScheduleEntry e = kv::parseEntryLine(line);
        if (e.description == description) {
          found = e;
          seen = true;
        }
      }
      return seen;
    });
    EXPECT_TRUE(seen) << description;
    return found;
  }

  static constexpr kv::Time kDay = 86400;
  kvtest::ScratchFolder folder;
  std::string fileName = folder.file("entries.KV");
  kv::Time now = 0;
  std::unique_ptr<KivroProcess> kivro;
};

TEST_F(EntryDialogProcess, InsAddsAnEntryInDueOrderAndClosingAsksToSave) {
  kivro->key(VK_INSERT);
  HWND add = dialog();
  ASSERT_NE(add, nullptr);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(add, IDOK)));
  setText(add, IDC_COMMAND_LINE, kNotepad);
  choose(add, IDC_FREQUENCY, 4);  // Daily
  setStart(add, now + 2 * kDay);
  setText(add, IDC_DESCRIPTION, "Second");
  kvtest::pressButton(add, IDOK);
  ASSERT_TRUE(closed(add));
  ASSERT_TRUE(kvtest::eventually([&] { return kivro->rows().size() == 3; }));
  EXPECT_TRUE(kvtest::endsWith(kivro->rows()[1], " Second"));

  kivro->command(IDM_EXIT);
  EXPECT_EQ(kivro->answer("KV", IDNO), "Changes have been made.  Save changes?");
  EXPECT_EQ(kivro->waitForExit(), 0);
}

TEST_F(EntryDialogProcess, EnterThenCancelPutsTheRowBackExactly) {
  const std::vector<std::string> before = kivro->rows();
  kivro->selectRow(1);
  kivro->key(VK_RETURN);
  HWND edit = dialog();
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(text(edit, IDC_DESCRIPTION), "Third");
  EXPECT_EQ(kivro->rows().size(), 1u);
  kvtest::pressButton(edit, IDCANCEL);
  ASSERT_TRUE(closed(edit));
  EXPECT_EQ(kivro->rows(), before);
  // Nothing changed: closing asks nothing.
  kivro->command(IDM_EXIT);
  EXPECT_EQ(kivro->waitForExit(), 0);
}

TEST_F(EntryDialogProcess, DoubleClickThenOkFilesTheChangedEntryAgain) {
  kivro->selectRow(0);
  PostMessageA(kivro->mainWindow(), WM_COMMAND, MAKEWPARAM(IDC_LIST, LBN_DBLCLK),
               reinterpret_cast<LPARAM>(kivro->list()));
  HWND edit = dialog();
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(text(edit, IDC_DESCRIPTION), "First");
  setText(edit, IDC_DESCRIPTION, "Fourth");
  setStart(edit, now + 4 * kDay);
  kvtest::pressButton(edit, IDOK);
  ASSERT_TRUE(closed(edit));
  ASSERT_TRUE(kvtest::eventually([&] { return kivro->rows().size() == 2; }));
  EXPECT_TRUE(kvtest::endsWith(kivro->rows()[0], " Third"));
  EXPECT_TRUE(kvtest::endsWith(kivro->rows()[1], " Fourth"));
}

TEST_F(EntryDialogProcess, BrowseFillsTheCommandLineAndAOneTimeEntryEndsIn2035) {
  kivro->command(IDM_ADD);
  HWND add = dialog();
  ASSERT_NE(add, nullptr);
  setText(add, IDC_END_YEAR, "1990");
  setStart(add, now + 2 * kDay);  // not due while the test looks
  kvtest::pressButton(add, IDC_BROWSE);
  HWND browse = kivro->waitForDialog("Browse");
  ASSERT_NE(browse, nullptr);
  HWND combo = FindWindowExA(GetDlgItem(browse, 1148), nullptr, "ComboBox", nullptr);
  HWND name = FindWindowExA(combo, nullptr, "Edit", nullptr);
  SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kNotepad));
  kvtest::pressButton(browse, IDOK);
  ASSERT_TRUE(closed(browse));
  EXPECT_TRUE(kvtest::eventually([&] { return text(add, IDC_COMMAND_LINE) == kNotepad; }));
  kvtest::pressButton(add, IDOK);
  ASSERT_TRUE(closed(add));

  const kv::ScheduleEntry once = saved("notepad");
  EXPECT_EQ(once.frequency, 'O');
  EXPECT_EQ(once.workingDirectory, "C:\\windows");
  const kv::LocalTime end = kv::toLocalTime(once.end);
  EXPECT_EQ(end.year * 10000 + end.month * 100 + end.day, 20351231);
  EXPECT_EQ(end.hour * 10000 + end.minute * 100 + end.second, 130059);
}

TEST_F(EntryDialogProcess, PathWarningCancelStaysAndOkFiles) {
  kivro->key(VK_INSERT);
  HWND add = dialog();
  ASSERT_NE(add, nullptr);
  setText(add, IDC_COMMAND_LINE, "C:\\nowhere\\gone.exe");
  setStart(add, now + 2 * kDay);
  const std::string warning =
      "The path C:\\nowhere\\gone.exe specified on the command line is invalid.\nIf you know "
      "this file is in your path you may disregard this warning";
  kvtest::pressButton(add, IDOK);
  EXPECT_EQ(kivro->answer("Invalid Path Warning", IDCANCEL), warning);
  Sleep(200);
  EXPECT_TRUE(IsWindowVisible(add));
  EXPECT_EQ(kivro->rows().size(), 2u);
  kvtest::pressButton(add, IDOK);
  EXPECT_EQ(kivro->answer("Invalid Path Warning", IDOK), warning);
  ASSERT_TRUE(closed(add));
  EXPECT_TRUE(kvtest::eventually([&] { return kivro->rows().size() == 3; }));
}

TEST_F(EntryDialogProcess, AStartAfterItsEndIsRefusedWithTheStartEndBox) {
  kivro->key(VK_INSERT);
  HWND add = dialog();
  ASSERT_NE(add, nullptr);
  setText(add, IDC_COMMAND_LINE, kNotepad);
  choose(add, IDC_FREQUENCY, 4);
  setText(add, IDC_END_YEAR, "1990");
  kvtest::pressButton(add, IDOK);
  EXPECT_EQ(kivro->answer("Invalid Time", IDOK), "Start time must be earlier than end time.");
  Sleep(200);
  EXPECT_TRUE(IsWindowVisible(add));
  EXPECT_EQ(kivro->rows().size(), 2u);
}

TEST(EntryDialogAssociation, NoAssociationIsAskedOnlyWithTheSettingOn) {
  kvtest::ScratchFolder folder;
  const std::string document = folder.file("letter.kvnoassoc");
  kvtest::writeFile(document, "text");
  for (const char* flag : {"1", "0"}) {
    kvtest::ScopedSetting setting("AssociationWarning", flag);
    KivroProcess kivro;
    ASSERT_NE(kivro.mainWindow(), nullptr);
    kivro.key(VK_INSERT);
    HWND add = kivro.waitForDialog(kDialogCaption);
    ASSERT_NE(add, nullptr);
    setText(add, IDC_COMMAND_LINE, document);
    setStart(add, kv::currentTime() + 86400);  // not due while the test looks
    kvtest::pressButton(add, IDOK);
    if (flag[0] == '1') {
      EXPECT_EQ(kivro.answer("No Association", IDOK), "There is no association for " + document);
    } else {
      EXPECT_EQ(kivro.waitForDialog("No Association", 1000), nullptr);
    }
    ASSERT_TRUE(kvtest::waitUntilGone(add)) << flag;
    EXPECT_TRUE(kvtest::eventually([&] { return kivro.rows().size() == 1; })) << flag;
    kivro.command(IDM_EXIT);
    kivro.answer("KV", IDNO);
    kivro.waitForExit();
  }
}

}  // namespace
