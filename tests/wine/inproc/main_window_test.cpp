// The real main window and hList, in process: the commands that work on
// the selected row, the questions they ask, and the menu's grey states.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "app/dialog_box_win32.h"
#include "app/commands_win32.h"
#include "app/kivro_win32.h"
#include "engine/calendar.h"
#include "modal_answerer_win32.h"
#include "resources/resource_ids.h"
#include "window_search_win32.h"

namespace {

using kvtest::ModalAnswerer;

constexpr kv::Time kFarAhead = 2000000000u;  // 2033, never due in a test

std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

kv::ScheduleEntry entry(kv::Time start, const std::string& description) {
  kv::ScheduleEntry e;
  e.start = start;
  e.end = start + 1000000u;
  e.frequency = 'D';
  e.commandLine = "C:\\windows\\notepad.exe";
  e.workingDirectory = "C:\\windows";
  e.description = description;
  return e;
}

class MainWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(kivro.start("", SW_SHOWNORMAL));
    for (kv::Time i = 0; i < 3; ++i) {
      kivro.parts().document.store.fileEntry(
          entry(kFarAhead + i * 60u, "Entry " + std::to_string(i)));
    }
  }
  void TearDown() override {
    kivro.parts().document.store.clearChanged();  // so that closing asks nothing
    DestroyWindow(kivro.parts().mainWindow);
    kvtest::pumpMessages();
  }

  void select(int row) { SendMessageA(kivro.list(), LB_SETCURSEL, static_cast<WPARAM>(row), 0); }
  void command(int id) {
    SendMessageA(kivro.parts().mainWindow, WM_COMMAND, static_cast<WPARAM>(id), 0);
    kvtest::pumpMessages();
  }
  std::vector<std::string> rows() { return kvtest::listBoxRows(kivro.list()); }
  // The menu item's state after the menu update that runs before it opens.
  UINT menuState(UINT id) {
    HMENU menu = GetMenu(kivro.parts().mainWindow);
    SendMessageA(kivro.parts().mainWindow, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
    return GetMenuState(menu, id, MF_BYCOMMAND);
  }
  void expectListsInStep() {
    auto shown = rows();
    ASSERT_EQ(shown.size(), kivro.parts().document.store.size());
    for (std::size_t i = 0; i < shown.size(); ++i) {
      EXPECT_EQ(shown[i],
                kivro.parts().document.store.displayRow(kivro.parts().document.store.line(i)))
          << "row " << i;
    }
  }

  kv::Kivro kivro{GetModuleHandleA(nullptr)};
};

TEST_F(MainWindow, CopyThenTwoPastesGivesThreeIdenticalRowsAndMarksTheChange) {
  select(1);
  command(IDM_COPY);
  EXPECT_FALSE(kivro.parts().document.store.changed());
  command(IDM_PASTE);
  command(IDM_PASTE);
  auto shown = rows();
  ASSERT_EQ(shown.size(), 5u);
  EXPECT_EQ(shown[1], shown[2]);
  EXPECT_EQ(shown[2], shown[3]);
  EXPECT_NE(shown[1].find("Entry 1"), std::string::npos);
  EXPECT_TRUE(kivro.parts().document.store.changed());
  expectListsInStep();
}

TEST_F(MainWindow, CutAnsweredNoKeepsTheRowButFillsTheClipBufferAndMarksTheChange) {
  select(2);
  ModalAnswerer no("Confirmation", IDNO);
  command(IDM_CUT);
  ASSERT_TRUE(no.answered());
  EXPECT_EQ(no.text(), "Are you sure you want to delete this entry?");
  EXPECT_EQ(rows().size(), 3u);
  EXPECT_TRUE(kivro.parts().document.store.clipFull());
  EXPECT_EQ(kivro.parts().document.store.clipBuffer(), kivro.parts().document.store.line(2));
  EXPECT_TRUE(kivro.parts().document.store.changed());
}

TEST_F(MainWindow, DeleteAnsweredYesRemovesTheRowFromBothListsAndMarksTheScheduleChanged) {
  select(1);
  ModalAnswerer yes("Confirmation", IDYES);
  command(IDM_DELETE);
  ASSERT_TRUE(yes.answered());
  auto shown = rows();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_NE(shown[0].find("Entry 0"), std::string::npos);
  EXPECT_NE(shown[1].find("Entry 2"), std::string::npos);
  EXPECT_TRUE(kivro.parts().document.store.changed());
  expectListsInStep();
}

TEST_F(MainWindow, DeletingTheTopRowReloadsTheFirstDueEntry) {
  select(0);
  ModalAnswerer yes("Confirmation", IDYES);
  command(IDM_DELETE);
  ASSERT_TRUE(yes.answered());
  EXPECT_EQ(kivro.parts().document.store.firstDue().start, kFarAhead + 60u);
  EXPECT_EQ(kivro.parts().document.store.firstDue().description, "Entry 1");
}

TEST_F(MainWindow, DeleteAnsweredNoChangesNothingAndTheCheckTimerRunsAgain) {
  select(0);
  ModalAnswerer no("Confirmation", IDNO);
  command(IDM_DELETE);
  ASSERT_TRUE(no.answered());
  EXPECT_EQ(rows().size(), 3u);
  // Setting the timer again succeeds whether or not it runs; killing it
  // tells: it succeeds only for a running timer.
  EXPECT_TRUE(KillTimer(kivro.parts().mainWindow, ID_CHECK_TIMER));
  kivro.armCheckTimer();
}

TEST_F(MainWindow, MenuGreysWhatCannotBeUsedNow) {
  const UINT selectionItems[] = {0u + IDM_EDIT, 0u + IDM_DELETE, 0u + IDM_CUT, 0u + IDM_COPY,
                                 0u + IDM_TEST_ENTRY};
  for (UINT id : selectionItems) EXPECT_TRUE(menuState(id) & MF_GRAYED) << id;
  EXPECT_TRUE(menuState(IDM_PASTE) & MF_GRAYED);
  EXPECT_TRUE(menuState(IDM_SAVE) & MF_GRAYED);

  select(0);
  for (UINT id : selectionItems) EXPECT_FALSE(menuState(id) & MF_GRAYED) << id;
  command(IDM_COPY);
  EXPECT_FALSE(menuState(IDM_PASTE) & MF_GRAYED);
  for (int id : {IDM_NEW, IDM_OPEN, IDM_SAVE_AS, IDM_ADD, IDM_SETTINGS, IDM_EXIT}) {
    EXPECT_FALSE(menuState(static_cast<UINT>(id)) & MF_GRAYED) << id;
  }
}

// The row a command leaves selected is selected as a click would select it:
// the items that act on the selection are enabled, and each Delete in turn
// finds a row to delete until the list is empty.
TEST_F(MainWindow, TheRowACommandLeavesSelectedEnablesTheSelectionItems) {
  const UINT selectionItems[] = {0u + IDM_EDIT, 0u + IDM_DELETE, 0u + IDM_CUT, 0u + IDM_COPY,
                                 0u + IDM_TEST_ENTRY};
  select(0);
  command(IDM_COPY);
  select(-1);
  command(IDM_PASTE);
  EXPECT_EQ(SendMessageA(kivro.list(), LB_GETCURSEL, 0, 0), 1) << "the pasted row";
  for (UINT id : selectionItems) EXPECT_FALSE(menuState(id) & MF_GRAYED) << id;
  for (std::size_t left = rows().size(); left > 0; --left) {
    ModalAnswerer yes("Confirmation", IDYES);
    command(IDM_DELETE);
    ASSERT_TRUE(yes.answered()) << left << " rows left and none selected";
  }
  EXPECT_TRUE(rows().empty());
  for (UINT id : selectionItems) EXPECT_TRUE(menuState(id) & MF_GRAYED) << id;
}

TEST_F(MainWindow, SaveIsEnabledOnceTheScheduleHasAName) {
  kivro.parts().document.fileName = "C:\\a.KV";
  EXPECT_FALSE(menuState(IDM_SAVE) & MF_GRAYED);
}

TEST_F(MainWindow, EachFlagToggleTurnsItsCheckMark) {
  std::string path = kv::settingsFilePath();
  std::string saved = readBytes(path);
  bool existed = GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
  kivro.parts().document.fileName = "C:\\a.KV";  // Start at Logon needs a schedule with a name
  for (const kv::MenuCommand& item : kv::menuCommands()) {
    if (!item.checked) continue;
    const UINT id = item.id;
    const bool before = menuState(id) & MF_CHECKED;
    command(static_cast<int>(id));
    EXPECT_EQ((menuState(id) & MF_CHECKED) != 0, !before) << id;
    command(static_cast<int>(id));
    EXPECT_EQ((menuState(id) & MF_CHECKED) != 0, before) << id;
  }
  kivro.parts().runKey.remove();
  if (existed) {
    writeBytes(path, saved);
  } else {
    DeleteFileA(path.c_str());
  }
}

// Keys reach their commands through the accelerator table, as the message
// loop hands them over: only while the window is not minimized.
TEST_F(MainWindow, KeysGiveNoCommandsWhileTheWindowIsMinimized) {
  select(0);
  MSG del{kivro.list(), WM_KEYDOWN, VK_DELETE, 1, 0, {}};
  ShowWindow(kivro.parts().mainWindow, SW_MINIMIZE);
  {
    ModalAnswerer none("Confirmation", IDNO, 1500);
    TranslateAcceleratorA(kivro.parts().mainWindow, kivro.accelerators(), &del);
    EXPECT_FALSE(none.answered());
  }
  ShowWindow(kivro.parts().mainWindow, SW_RESTORE);
  ModalAnswerer no("Confirmation", IDNO);
  EXPECT_TRUE(TranslateAcceleratorA(kivro.parts().mainWindow, kivro.accelerators(), &del));
  EXPECT_TRUE(no.answered());
}

// While Delete asks, no timer may run the due check: the entry due at the
// top stays where it is, and Yes deletes the row that was selected.
TEST_F(MainWindow, NoDueCheckRunsWhileDeleteAsks) {
  kv::ScheduleEntry due = entry(kv::currentTime() - 5, "Due");
  due.frequency = 'O';
  due.commandLine = "C:\\windows\\system32\\cmd.exe /c exit";
  due.showCommand = 7;
  kivro.parts().document.store.fileEntry(due);
  select(2);
  const std::string selected(kivro.parts().document.store.line(2));
  ModalAnswerer yes("Confirmation", IDYES, 10000, [this](HWND) {
    PostMessageA(kivro.parts().mainWindow, WM_TIMER, ID_HIDE_TIMER, 0);
    PostMessageA(kivro.parts().mainWindow, WM_TIMER, ID_CHECK_TIMER, 0);
    Sleep(300);
  });
  command(IDM_DELETE);
  ASSERT_TRUE(yes.answered());
  ASSERT_EQ(kivro.parts().document.store.size(), 3u);
  EXPECT_NE(kivro.parts().document.store.line(0).find("dDue"), std::string::npos);
  for (std::size_t row = 0; row < kivro.parts().document.store.size(); ++row) {
    EXPECT_NE(kivro.parts().document.store.line(row), selected);
  }
  kivro.parts().document.store.removeRow(0);  // not started by the next tick
}

TEST_F(MainWindow, ADialogThatCannotBeCreatedIsNamedInASystemModalBox) {
  ModalAnswerer ok(" Cannot Create Dialog Box", IDOK);
  EXPECT_EQ(
      kv::runDialog(kivro.parts().instance, kivro.parts().mainWindow, "NO_SUCH_DIALOG", nullptr, 0),
      -1);
  ASSERT_TRUE(ok.answered());
  EXPECT_EQ(ok.text(), "NO_SUCH_DIALOG");
}

// A list box that has no room for another row.
LRESULT CALLBACK fullListBox(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto original = reinterpret_cast<WNDPROC>(GetPropA(window, "kvtest.original"));
  if (message == LB_INSERTSTRING || message == LB_ADDSTRING) return LB_ERRSPACE;
  return CallWindowProcA(original, window, message, wParam, lParam);
}

TEST_F(MainWindow, APasteTheListHasNoRoomForIsRefusedAndTheListsStayInStep) {
  select(1);
  command(IDM_COPY);
  const LONG_PTR original =
      SetWindowLongPtrA(kivro.list(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(fullListBox));
  SetPropA(kivro.list(), "kvtest.original", reinterpret_cast<HANDLE>(original));
  ModalAnswerer ok("KV", IDOK);
  command(IDM_PASTE);
  SetWindowLongPtrA(kivro.list(), GWLP_WNDPROC, original);
  RemovePropA(kivro.list(), "kvtest.original");
  ASSERT_TRUE(ok.answered());
  EXPECT_EQ(ok.text(), "There is not enough memory to file the entry.");
  EXPECT_EQ(kivro.parts().document.store.size(), 3u);
  expectListsInStep();
}

TEST_F(MainWindow, RowsShowTheStartDateTimeAndDescriptionInDueOrder) {
  auto shown = rows();
  ASSERT_EQ(shown.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    const std::string& row = shown[static_cast<std::size_t>(i)];
    std::string tail = " Entry " + std::to_string(i);
    ASSERT_GE(row.size(), tail.size());
    EXPECT_EQ(row.substr(row.size() - tail.size()), tail);
    EXPECT_NE(row.find(" at "), std::string::npos);
  }
}

// The View menu moves the rows, and the entry selected, into the Details
// view's list and back; the radio item of the view shown is marked, and the
// grey states follow the selection of the list shown.
TEST_F(MainWindow, TheViewMenuMovesTheRowsAndTheSelectionBetweenTheLists) {
  const std::string path = kv::settingsFilePath();
  const std::string saved = readBytes(path);
  const bool existed = GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
  HWND listBox = kivro.list();
  HWND details = GetDlgItem(kivro.parts().mainWindow, IDC_DETAILS);
  select(1);
  command(IDM_VIEW_DETAILS);
  EXPECT_EQ(kivro.list(), details);
  EXPECT_TRUE(IsWindowVisible(details));
  EXPECT_FALSE(IsWindowVisible(listBox));
  EXPECT_EQ(SendMessageA(listBox, LB_GETCOUNT, 0, 0), 0) << "the hidden list holds no rows";
  EXPECT_EQ(SendMessageW(details, LVM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(kivro.parts().document.store.selectedRow(), 1);
  EXPECT_TRUE(menuState(IDM_VIEW_DETAILS) & MF_CHECKED);
  EXPECT_FALSE(menuState(IDM_VIEW_ROWS) & MF_CHECKED);
  MENUITEMINFOA item{};
  item.cbSize = sizeof item;
  item.fMask = MIIM_FTYPE;
  GetMenuItemInfoA(GetMenu(kivro.parts().mainWindow), IDM_VIEW_DETAILS, FALSE, &item);
  EXPECT_TRUE(item.fType & MFT_RADIOCHECK);

  kivro.details().selectRow(-1);
  EXPECT_TRUE(menuState(IDM_EDIT) & MF_GRAYED);
  kivro.details().selectRow(2);
  EXPECT_FALSE(menuState(IDM_EDIT) & MF_GRAYED);
  EXPECT_EQ(SendMessageW(details, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 2);

  // A column dragged wider is kept for the next time the view shows.
  SendMessageW(details, LVM_SETCOLUMNWIDTH, 4, MAKELPARAM(250, 0));
  command(IDM_VIEW_ROWS);
  EXPECT_EQ(kivro.parts().settingsFile.readColumnWidths(kv::kDetailsColumnsKey, 8)[4], 250);
  EXPECT_EQ(kivro.parts().settingsFile.readColumnWidths(kv::kDetailsColumnsKey, 8)[3], std::nullopt)
      << "a column left alone goes on fitting its texts";
  EXPECT_EQ(kivro.list(), listBox);
  EXPECT_FALSE(IsWindowVisible(details));
  EXPECT_EQ(SendMessageW(details, LVM_GETITEMCOUNT, 0, 0), 0);
  EXPECT_EQ(SendMessageA(listBox, LB_GETCURSEL, 0, 0), 2);
  EXPECT_TRUE(menuState(IDM_VIEW_ROWS) & MF_CHECKED);
  EXPECT_FALSE(menuState(IDM_VIEW_DETAILS) & MF_CHECKED);
  expectListsInStep();
  command(IDM_VIEW_DETAILS);
  EXPECT_EQ(SendMessageW(details, LVM_GETCOLUMNWIDTH, 4, 0), 250);
  command(IDM_VIEW_ROWS);  // so that closing keeps no widths
  if (existed) {
    writeBytes(path, saved);
  } else {
    DeleteFileA(path.c_str());
  }
}

}  // namespace
