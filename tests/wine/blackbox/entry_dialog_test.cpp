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
using kvtest::pressButton;
using kvtest::waitUntilGone;

constexpr const char* kDialogCaption = "Add/Edit Time";
constexpr const char* kNotepad = "C:\\windows\\notepad.exe";
constexpr kv::Time kDay = 86400;

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
  setText(dialog, IDC_START_HOUR, std::to_string(t.hour % 12 == 0 ? 12 : t.hour % 12));
  setText(dialog, IDC_START_MINUTE, (t.minute < 10 ? "0" : "") + std::to_string(t.minute));
  SendDlgItemMessageA(dialog, t.hour >= 12 ? IDC_START_PM : IDC_START_AM, BM_CLICK, 0, 0);
}

class EntryDialogProcess : public ::testing::Test {
 protected:
  void SetUp() override {
    kvtest::writeFile(fileName, kvtest::scheduleBytes(
                                    {kvtest::makeEntry(now + kDay, 'D', kNotepad, "First"),
                                     kvtest::makeEntry(now + 3 * kDay, 'D', kNotepad, "Third")}));
    kivro = std::make_unique<KivroProcess>(fileName);
    ASSERT_NE(kivro->mainWindow(), nullptr);
  }
  void TearDown() override {
    if (!kivro || !kivro->running()) return;
    kivro->command(IDM_EXIT);
    if (kivro->waitForDialog("KV", 2000)) kivro->answer("KV", IDNO);
  }

  HWND dialog() { return kivro->waitForDialog(kDialogCaption); }
  // OK on the dialog gives this box, which is answered; the dialog stays
  // and the list is as it was.
  std::string refused(HWND dialog, const char* caption, int button) {
    pressButton(dialog, IDOK);
    std::string message = kivro->answer(caption, button);
    Sleep(200);
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(kivro->rows().size(), 2u);
    return message;
  }
  kvtest::ScratchFolder folder;
  std::string fileName = folder.file("entries.KV");
  kv::Time now = kv::currentTime();
  std::unique_ptr<KivroProcess> kivro;
};

// Ins opens Add. A start after the end is refused; a command that is not
// there is warned of, Cancel on the warning stays in the dialog and OK files
// the entry. A double-click edits an entry. Each is filed in due order, and
// closing then asks to save.
TEST_F(EntryDialogProcess, InsAndDoubleClickFileEntriesInDueOrderAfterTheirBoxes) {
  kivro->key(VK_INSERT);
  HWND add = dialog();
  ASSERT_NE(add, nullptr);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(add, IDOK)));
  setText(add, IDC_COMMAND_LINE, kNotepad);
  choose(add, IDC_FREQUENCY, 4);  // Daily
  const std::string endYear = text(add, IDC_END_YEAR);
  setText(add, IDC_END_YEAR, "1990");
  EXPECT_EQ(refused(add, "Invalid Time", IDOK), "Start time must be earlier than end time.");

  setText(add, IDC_END_YEAR, endYear);
  setText(add, IDC_COMMAND_LINE, "C:\\nowhere\\gone.exe");
  setStart(add, now + 2 * kDay);
  setText(add, IDC_DESCRIPTION, "Second");
  const std::string warning =
      "The path C:\\nowhere\\gone.exe specified on the command line is invalid.\nIf you know "
      "this file is in your path you may disregard this warning";
  EXPECT_EQ(refused(add, "Invalid Path Warning", IDCANCEL), warning);
  pressButton(add, IDOK);
  EXPECT_EQ(kivro->answer("Invalid Path Warning", IDOK), warning);
  ASSERT_TRUE(waitUntilGone(add));
  EXPECT_TRUE(kvtest::eventually([&] {
    return kvtest::rowsShow(kivro->rows(), {"First", "Second", "Third"});
  }));

  kivro->selectRow(0);
  PostMessageA(kivro->mainWindow(), WM_COMMAND, MAKEWPARAM(IDC_LIST, LBN_DBLCLK),
               reinterpret_cast<LPARAM>(kivro->list()));
  HWND edit = dialog();
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(text(edit, IDC_DESCRIPTION), "First");
  setText(edit, IDC_DESCRIPTION, "Fourth");
  setStart(edit, now + 4 * kDay);
  pressButton(edit, IDOK);
  ASSERT_TRUE(waitUntilGone(edit));
  EXPECT_TRUE(kvtest::eventually([&] {
    return kvtest::rowsShow(kivro->rows(), {"Second", "Third", "Fourth"});
  }));

  kivro->command(IDM_EXIT);
  EXPECT_EQ(kivro->answer("KV", IDNO), "Changes have been made.  Save changes?");
  EXPECT_EQ(kivro->waitForExit(), 0);
}

// A one-time entry added through Browse ends at the default end, whatever
// end was typed. Once that is saved, Enter then Cancel puts the row back
// exactly and leaves nothing to save.
TEST_F(EntryDialogProcess, BrowseAddsAOneTimeEntryEndingIn2035AndCancelChangesNothing) {
  kivro->command(IDM_ADD);
  HWND add = dialog();
  ASSERT_NE(add, nullptr);
  setText(add, IDC_END_YEAR, "1990");
  setStart(add, now + 2 * kDay);  // not due while the test looks
  pressButton(add, IDC_BROWSE);
  HWND browse = kivro->waitForDialog("Browse");
  ASSERT_NE(browse, nullptr);
  HWND combo = FindWindowExA(GetDlgItem(browse, 1148), nullptr, "ComboBox", nullptr);
  SendMessageA(FindWindowExA(combo, nullptr, "Edit", nullptr), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>(kNotepad));
  pressButton(browse, IDOK);
  ASSERT_TRUE(waitUntilGone(browse));
  EXPECT_TRUE(kvtest::eventually([&] { return text(add, IDC_COMMAND_LINE) == kNotepad; }));
  pressButton(add, IDOK);
  ASSERT_TRUE(waitUntilGone(add));
  kivro->command(IDM_SAVE);
  kv::ScheduleEntry once;
  ASSERT_TRUE(kvtest::eventually([&] {
    std::istringstream lines(kvtest::readFile(fileName));
    for (std::string line; std::getline(lines, line);) {
      once = kv::parseEntryLine(line.substr(0, line.find('\r')));
      if (once.description == "notepad") return true;
    }
    return false;
  }));
  EXPECT_EQ(once.frequency, 'O');
  EXPECT_EQ(once.workingDirectory, "C:\\windows");
  const kv::LocalTime end = kv::toLocalTime(once.end);
  EXPECT_EQ(end.year * 10000 + end.month * 100 + end.day, 20351231);
  EXPECT_EQ(end.hour * 10000 + end.minute * 100 + end.second, 130059);

  const std::vector<std::string> before = kivro->rows();
  ASSERT_TRUE(kvtest::rowsShow(before, {"First", "notepad", "Third"}));
  kivro->selectRow(2);
  kivro->key(VK_RETURN);
  HWND edit = dialog();
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(text(edit, IDC_DESCRIPTION), "Third");
  EXPECT_EQ(kivro->rows().size(), 2u);
  pressButton(edit, IDCANCEL);
  ASSERT_TRUE(waitUntilGone(edit));
  // The row goes back once the dialog has closed.
  EXPECT_TRUE(kvtest::eventually([&] { return kivro->rows() == before; }));
  kivro->command(IDM_EXIT);  // asks nothing
  EXPECT_EQ(kivro->waitForExit(), 0);
}

TEST(EntryDialogAssociation, NoAssociationIsAskedOnlyWithTheSettingOn) {
  kvtest::ScratchFolder folder;
  const std::string document = folder.file("letter.kvnoassoc");
  kvtest::writeFile(document, "text");
  for (bool on : {true, false}) {
    SCOPED_TRACE(on ? "setting on" : "setting off");
    kvtest::ScopedSetting setting("AssociationWarning", on ? "1" : "0");
    KivroProcess kivro;
    ASSERT_NE(kivro.mainWindow(), nullptr);
    kivro.key(VK_INSERT);
    HWND add = kivro.waitForDialog(kDialogCaption);
    ASSERT_NE(add, nullptr);
    setText(add, IDC_COMMAND_LINE, document);
    setStart(add, kv::currentTime() + kDay);  // not due while the test looks
    pressButton(add, IDOK);
    if (on) {
      EXPECT_EQ(kivro.answer("No Association", IDOK), "There is no association for " + document);
    } else {
      EXPECT_EQ(kivro.waitForDialog("No Association", 1000), nullptr);
    }
    ASSERT_TRUE(waitUntilGone(add));
    EXPECT_TRUE(kvtest::eventually([&] { return kivro.rows().size() == 1; }));
    kivro.command(IDM_EXIT);
    kivro.answer("KV", IDNO);
    kivro.waitForExit();
  }
}

// OK looks for the program where the shell will: a bare name on the search
// path is filed at Add and at Edit without a path warning; one found
// nowhere is still warned of at both.
TEST(EntryDialogProgramSearch, OnlyAProgramFoundNowhereIsWarnedOf) {
  struct Case {
    const char* commandLine;
    bool warned;
  } const cases[] = {
      {"notepad.exe", false},
      {"no-such-program-kv.exe", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.commandLine);
    const std::string warning = std::string("The path ") + c.commandLine +
                                " specified on the command line is invalid.\nIf you know this "
                                "file is in your path you may disregard this warning";
    KivroProcess kivro;
    ASSERT_NE(kivro.mainWindow(), nullptr);
    // OK on a dialog gives the warning, or files the entry without one.
    auto okFiles = [&](HWND dialog) {
      pressButton(dialog, IDOK);
      if (c.warned) {
        EXPECT_EQ(kivro.answer("Invalid Path Warning", IDOK), warning);
      } else {
        EXPECT_EQ(kivro.waitForDialog("Invalid Path Warning", 1000), nullptr);
      }
      return waitUntilGone(dialog);
    };
    kivro.key(VK_INSERT);
    HWND add = kivro.waitForDialog(kDialogCaption);
    ASSERT_NE(add, nullptr);
    setText(add, IDC_COMMAND_LINE, c.commandLine);
    setText(add, IDC_DESCRIPTION, "Searched");
    setStart(add, kv::currentTime() + kDay);  // not due while the test looks
    ASSERT_TRUE(okFiles(add));
    ASSERT_TRUE(kvtest::eventually([&] { return kvtest::rowsShow(kivro.rows(), {"Searched"}); }));

    kivro.selectRow(0);
    kivro.key(VK_RETURN);
    HWND edit = kivro.waitForDialog(kDialogCaption);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(text(edit, IDC_COMMAND_LINE), c.commandLine);
    ASSERT_TRUE(okFiles(edit));
    EXPECT_TRUE(kvtest::eventually([&] { return kvtest::rowsShow(kivro.rows(), {"Searched"}); }));
    kivro.command(IDM_EXIT);
    kivro.answer("KV", IDNO);
    kivro.waitForExit();
  }
}

}  // namespace
