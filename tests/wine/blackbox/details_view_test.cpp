// The Details view of the real kv.exe, read from outside as a screen reader
// reads it, and worked as a person works it: its columns, every command on
// the entry selected in it, its keys, and switching views.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "kivro_process_win32.h"
#include "remote_list_view_win32.h"
#include "resources/resource_ids.h"
#include "test_schedules.h"

namespace {

using kvtest::KivroProcess;
using kvtest::makeEntry;
using kvtest::RemoteListView;

enum Column { kNextStart, kFrequency, kUntil, kDescription, kCommandLine, kFolder, kShow, kLast };

constexpr const char* kNotepad = "C:\\windows\\notepad.exe";
constexpr const char* kEntryDialog = "Add/Edit Time";
constexpr kv::Time kHour = 3600;

void setText(HWND dialog, int id, const std::string& text) {
  SendMessageA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

class DetailsView : public ::testing::Test {
 protected:
  void start(const std::vector<kv::ScheduleEntry>& entries) {
    kvtest::writeFile(schedule, kvtest::scheduleBytes(entries));
    startAgain(entries.size());
  }
  void startAgain(std::size_t rows) {
    view.reset();
    kivro = std::make_unique<KivroProcess>(schedule);
    ASSERT_NE(kivro->mainWindow(), nullptr);
    view = std::make_unique<RemoteListView>(kivro->details());
    ASSERT_TRUE(view->usable());
    ASSERT_TRUE(kvtest::eventually([&] {
      return IsWindowVisible(kivro->details()) && view->count() == static_cast<int>(rows);
    }));
  }
  std::vector<std::string> column(Column c) {
    std::vector<std::string> cells;
    for (int row = 0; row < view->count(); ++row) cells.push_back(view->text(row, c));
    return cells;
  }
  // Waits until the view shows these descriptions, top down.
  ::testing::AssertionResult shows(const std::vector<std::string>& descriptions) {
    std::vector<std::string> seen;
    if (kvtest::eventually([&] { return (seen = column(kDescription)) == descriptions; })) {
      return ::testing::AssertionSuccess();
    }
    std::string text;
    for (const std::string& d : seen) text += "\"" + d + "\" ";
    return ::testing::AssertionFailure() << "the view shows " << text;
  }
  ::testing::AssertionResult selects(int row) {
    if (kvtest::eventually([&] { return view->selected() == row; }, 3000)) {
      return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "row " << view->selected() << " is selected";
  }
  HWND entryDialog() { return kivro->waitForDialog(kEntryDialog); }
  // Whether the row's Last Result comes to read that its program ended well.
  bool exitedZero(int row) {
    return kvtest::eventually(
        [&] { return view->text(row, kLast).rfind("exited 0 after ", 0) == 0; });
  }
  void answerYes() {
    EXPECT_EQ(kivro->answer("Confirmation", IDYES), "Are you sure you want to delete this entry?");
  }
  // A double-click on a row, as the mouse gives it.
  void doubleClick(int row) {
    const RECT rect = view->rowRect(row);
    const LPARAM at = MAKELPARAM(rect.left + 10, (rect.top + rect.bottom) / 2);
    for (const UINT message :
         {0u + WM_LBUTTONDOWN, 0u + WM_LBUTTONUP, 0u + WM_LBUTTONDBLCLK, 0u + WM_LBUTTONUP}) {
      PostMessageA(kivro->details(), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, at);
    }
  }
  kv::ScheduleEntry entry(int hours, const std::string& description) {
    return makeEntry(ahead + static_cast<kv::Time>(hours) * kHour, 'D', kNotepad, description);
  }

  kvtest::ScratchFolder folder;
  kvtest::ScopedSetting details{"View", "Details"};
  // Named afresh on every run: the history, which outlives the folder,
  // knows a schedule by its name.
  std::string schedule = folder.file("details-" + std::to_string(GetTickCount()) + ".KV");
  kv::Time ahead = kv::currentTime() + 86400;
  std::unique_ptr<KivroProcess> kivro;
  std::unique_ptr<RemoteListView> view;
};

TEST_F(DetailsView, AReaderFromOutsideFindsTheColumnsAndTheTextsOfEveryEntry) {
  const struct {
    char frequency;
    std::uint16_t show;
    char print;
    const char* frequencyText;
    const char* showText;
  } cases[] = {
      {'O', 1, '0', "Once", "Normal"},
      {'M', 2, '0', "Every Minute", "Minimized"},
      {'F', 3, '1', "Every 15 Minutes", "Maximized, print"},
      {'H', 4, '0', "Hourly", "Normal, background"},
      {'D', 7, '0', "Daily", "Minimized, background"},
      {'K', 7, '1', "Weekdays", "Minimized, background, print"},
      {'W', 1, '0', "Weekly", "Normal"},
      {'T', 2, '1', "Monthly", "Minimized, print"},
      {'E', 4, '0', "Month End", "Normal, background"},
  };
  std::vector<kv::ScheduleEntry> entries;
  for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
    const std::string n = std::to_string(i);
    kv::ScheduleEntry e = makeEntry(ahead + static_cast<kv::Time>(i) * kHour, cases[i].frequency,
                                    "C:\\tools\\run.exe /n " + n, "Entry " + n, "C:\\work\\" + n);
    e.showCommand = cases[i].show;
    e.printFlag = cases[i].print;
    entries.push_back(e);
  }
  start(entries);
  EXPECT_EQ(view->headers(),
            (std::vector<std::string>{"Next Start", "Frequency", "Until", "Description",
                                      "Command Line", "Folder", "Show", "Last Result"}));
  for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
    SCOPED_TRACE(cases[i].frequencyText);
    const std::vector<std::string> cells = view->row(i);
    ASSERT_EQ(cells.size(), 8u);
    const std::string n = std::to_string(i);
    EXPECT_FALSE(cells[kNextStart].empty());
    EXPECT_EQ(cells[kFrequency], cases[i].frequencyText);
    // A one-time entry has no end; the others end in 2035.
    EXPECT_EQ(cells[kUntil].find("35") != std::string::npos, cases[i].frequency != 'O')
        << cells[kUntil];
    EXPECT_EQ(cells[kDescription], "Entry " + n);
    EXPECT_EQ(cells[kCommandLine], "C:\\tools\\run.exe /n " + n);
    EXPECT_EQ(cells[kFolder], "C:\\work\\" + n);
    EXPECT_EQ(cells[kShow], cases[i].showText);
    EXPECT_EQ(cells[kLast], "");
  }
}

// Copy, Paste, Delete (the Del key), Cut, Edit (the Enter key and a
// double-click), Add and a dropped file, each on the entry selected in the
// view; each leaves the row the keyboard goes on with selected.
TEST_F(DetailsView, EveryCommandActsOnTheEntrySelectedInTheView) {
  start({entry(1, "A"), entry(2, "B"), entry(3, "C")});
  kivro->selectRow(1);
  kivro->command(IDM_COPY);
  kivro->command(IDM_PASTE);
  EXPECT_TRUE(shows({"A", "B", "B", "C"}));
  EXPECT_TRUE(selects(2)) << "the pasted copy";

  kivro->key(VK_DELETE);
  answerYes();
  EXPECT_TRUE(shows({"A", "B", "C"}));
  EXPECT_TRUE(selects(2)) << "the row that took its place";

  kivro->command(IDM_CUT);
  answerYes();
  EXPECT_TRUE(shows({"A", "B"}));
  kivro->command(IDM_PASTE);
  EXPECT_TRUE(shows({"A", "B", "C"}));
  EXPECT_TRUE(selects(2));

  kivro->key(VK_RETURN);
  HWND dialog = entryDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(kvtest::windowText(GetDlgItem(dialog, IDC_DESCRIPTION)), "C");
  setText(dialog, IDC_DESCRIPTION, "C edited");
  kvtest::pressButton(dialog, IDOK);
  EXPECT_TRUE(shows({"A", "B", "C edited"}));
  EXPECT_TRUE(selects(2));

  doubleClick(0);
  dialog = entryDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(kvtest::windowText(GetDlgItem(dialog, IDC_DESCRIPTION)), "A");
  kvtest::pressButton(dialog, IDCANCEL);
  ASSERT_TRUE(kvtest::waitUntilGone(dialog));
  EXPECT_TRUE(shows({"A", "B", "C edited"}));
  EXPECT_TRUE(selects(0)) << "the entry put back";

  kivro->command(IDM_ADD);
  dialog = entryDialog();
  ASSERT_NE(dialog, nullptr);
  const int year = std::atoi(kvtest::windowText(GetDlgItem(dialog, IDC_START_YEAR)).c_str());
  setText(dialog, IDC_START_YEAR, std::to_string(year + 4));
  setText(dialog, IDC_COMMAND_LINE, kNotepad);
  setText(dialog, IDC_DESCRIPTION, "Added");
  kvtest::pressButton(dialog, IDOK);
  EXPECT_TRUE(shows({"A", "B", "C edited", "Added"}));
  EXPECT_TRUE(selects(3));

  ASSERT_TRUE(kivro->dropFiles({"C:\\windows\\system32\\cmd.exe"}));
  dialog = entryDialog();
  ASSERT_NE(dialog, nullptr);
  setText(dialog, IDC_START_YEAR, std::to_string(year + 5));
  setText(dialog, IDC_DESCRIPTION, "Dropped");
  kvtest::pressButton(dialog, IDOK);
  EXPECT_TRUE(shows({"A", "B", "C edited", "Added", "Dropped"}));
  EXPECT_TRUE(selects(4));
}

// The due check moves the entries it starts past the selection and back
// before it, and the selection stays on its entry; each start and end shows
// in Last Result and the status bar as it is recorded, Test Entry's too.
TEST_F(DetailsView, StartsMoveRowsUnderTheSelectionAndShowTheirResults) {
  kvtest::ScopedSetting quickChecks{"Time", "10"};
  const std::string record = folder.file("started.log");
  SetEnvironmentVariableA("KV_RECORD_FILE", record.c_str());
  const kv::Time now = kv::currentTime();
  const auto recorded = [&](kv::Time start, char frequency, const std::string& name) {
    return makeEntry(start, frequency, kvtest::recorderPath() + " " + name, name, folder.path());
  };
  // "again" comes back before "later" a minute on, "hourly" after it.
  start({recorded(now + 4, 'M', "again"), recorded(now + 5, 'H', "hourly"),
         recorded(now + 600, 'D', "between"), recorded(now + 1800, 'D', "later")});
  SetEnvironmentVariableA("KV_RECORD_FILE", nullptr);
  kivro->selectRow(3);
  ASSERT_EQ(view->text(3, kDescription), "later");
  EXPECT_TRUE(shows({"again", "between", "later", "hourly"}));
  EXPECT_TRUE(selects(2)) << "the selection stays on its entry";
  EXPECT_TRUE(exitedZero(3)) << view->text(3, kLast);
  EXPECT_TRUE(exitedZero(0)) << view->text(0, kLast);
  EXPECT_EQ(view->text(2, kLast), "");

  kivro->command(IDM_TEST_ENTRY);
  EXPECT_TRUE(exitedZero(2)) << view->text(2, kLast);
  // Sent, not GetWindowText: the status bar keeps its text in its part.
  wchar_t status[512] = L"";
  SendMessageW(GetDlgItem(kivro->mainWindow(), IDC_STATUS_BAR), WM_GETTEXT, 512,
               reinterpret_cast<LPARAM>(status));
  EXPECT_EQ(kvtest::utf8Of(status).rfind("Last: later at ", 0), 0u) << kvtest::utf8Of(status);
  const std::string log = kvtest::readFile(record);
  for (const char* name : {"again", "hourly", "later"}) {
    EXPECT_NE(log.find(std::string("params=[") + name + "]"), std::string::npos) << log;
  }
}

TEST_F(DetailsView, ArrowKeysAndTypingMoveTheSelectionFromTheKeyboard) {
  start({entry(1, "Alpha"), entry(2, "Bravo"), entry(3, "Charlie"), entry(4, "Bravo two"),
         entry(5, "Delta")});
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  const DWORD thread = GetWindowThreadProcessId(kivro->mainWindow(), nullptr);
  EXPECT_TRUE(kvtest::eventually([&] {
    return GetGUIThreadInfo(thread, &info) && info.hwndFocus == kivro->details();
  })) << "the view has the keyboard from the start";
  kivro->selectRow(0);
  const struct {
    WPARAM key;
    int selected;
  } keys[] = {{VK_DOWN, 1}, {VK_END, 4}, {VK_UP, 3}, {VK_HOME, 0}, {VK_NEXT, 4}, {VK_PRIOR, 0}};
  for (const auto& k : keys) {
    kivro->key(k.key);
    EXPECT_TRUE(selects(k.selected)) << "after key " << k.key;
  }
  // Letters typed apart start a search each, from the row after the caret.
  for (const auto& [letter, selected] : {std::pair{'c', 2}, std::pair{'b', 3}, std::pair{'a', 0}}) {
    PostMessageA(kivro->details(), WM_CHAR, static_cast<WPARAM>(letter), 1);
    EXPECT_TRUE(selects(selected)) << letter;
    Sleep(1100);
  }
}

TEST_F(DetailsView, SwitchingViewsKeepsTheSelectedEntryAndKV_INIKeepsTheView) {
  start({entry(1, "A"), entry(2, "B"), entry(3, "C")});
  // The view shown, and KV.INI written, once the switch is through.
  const auto switched = [&](bool toDetails, const char* setting) {
    return kvtest::eventually([&] {
      return (IsWindowVisible(kivro->details()) != FALSE) == toDetails &&
             (IsWindowVisible(kivro->list()) != FALSE) == !toDetails &&
             kvtest::readSetting("View") == setting;
    });
  };
  kivro->selectRow(1);
  kivro->command(IDM_VIEW_ROWS);
  ASSERT_TRUE(switched(false, "Rows"));
  EXPECT_TRUE(kvtest::rowsShow(kivro->rows(), {"A", "B", "C"}));
  EXPECT_EQ(SendMessageA(kivro->list(), LB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(view->count(), 0) << "the hidden view holds no rows";

  kivro->selectRow(2);
  kivro->command(IDM_VIEW_DETAILS);
  ASSERT_TRUE(switched(true, "Details"));
  EXPECT_TRUE(shows({"A", "B", "C"}));
  EXPECT_TRUE(selects(2));
  EXPECT_TRUE(kivro->rows().empty());

  kivro->command(IDM_EXIT);
  EXPECT_EQ(kivro->waitForExit(), 0);
  startAgain(3);
  EXPECT_FALSE(IsWindowVisible(kivro->list())) << "it opens in the view last chosen";
}

}  // namespace
