// Kivro running unseen, with the real main window: the notification-area
// icon while the window is hidden, the balloon of a failure, and the check
// mark of Start at Logon.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/commands_win32.h"
#include "app/kivro_win32.h"
#include "engine/calendar.h"
#include "modal_answerer_win32.h"
#include "resources/resource_ids.h"

namespace {

kv::ScheduleEntry entryAt(kv::Time start, const std::string& description) {
  kv::ScheduleEntry e;
  e.start = start;
  e.end = start + 100000;
  e.frequency = 'D';
  e.commandLine = "C:\\windows\\notepad.exe";
  e.description = description;
  return e;
}

// A one-time entry that the next check starts.
kv::ScheduleEntry dueNow(const std::string& commandLine, const std::string& description) {
  kv::ScheduleEntry e = entryAt(kv::currentTime() - 1, description);
  e.frequency = 'O';
  e.showCommand = SW_SHOWMINNOACTIVE;
  e.commandLine = commandLine;
  return e;
}

constexpr const char* kMissingProgram = "C:\\windows\\kivro-missing-program.exe";

class RunningUnseen : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(kivro.start("", SW_SHOWNORMAL)); }
  void TearDown() override {
    kivro.parts().document.store.clearChanged();
    kivro.parts().runKey.remove();
    DestroyWindow(kivro.parts().mainWindow);
    kvtest::pumpMessages();
  }
  void sendIconEvent(UINT event) {
    SendMessageA(kivro.parts().mainWindow, WM_NOTIFICATION_ICON, 1, static_cast<LPARAM>(event));
  }
  const kv::Balloon& lastBalloon() { return kivro.notificationIcon().lastBalloon(); }
  UINT menuState(UINT id) {
    HMENU menu = GetMenu(kivro.parts().mainWindow);
    SendMessageA(kivro.parts().mainWindow, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
    return GetMenuState(menu, id, MF_BYCOMMAND);
  }
  kv::Kivro kivro{GetModuleHandleA(nullptr)};
};

TEST_F(RunningUnseen, TheIconStandsForTheHiddenWindowAndItsTipFollowsTheFirstDueEntry) {
  kv::ScheduleStore& store = kivro.parts().document.store;
  store.fileEntry(entryAt(2000000000u, "Later"));
  kivro.hideToNotificationArea();
  EXPECT_FALSE(IsWindowVisible(kivro.parts().mainWindow));
  ASSERT_TRUE(kivro.notificationIcon().shown()) << "the shell refused the icon";
  const std::string first = kivro.notificationIcon().tip();
  EXPECT_EQ(first.substr(0, first.find('\n')), "Kivro");
  EXPECT_NE(first.find("\nNext: Later at "), std::string::npos) << first;

  store.fileEntry(entryAt(1900000000u, "Sooner"));
  kivro.refreshNotificationTip();
  EXPECT_NE(kivro.notificationIcon().tip().find("Next: Sooner at "), std::string::npos);

  // A click on the icon brings the window back and takes the icon away.
  SendMessageA(kivro.parts().mainWindow, WM_NOTIFICATION_ICON, 1, NIN_SELECT);
  EXPECT_TRUE(IsWindowVisible(kivro.parts().mainWindow));
  EXPECT_FALSE(IsIconic(kivro.parts().mainWindow));
  EXPECT_FALSE(kivro.notificationIcon().shown());
}

// A failed start: the balloon (and, while the window shows, the icon for it
// until it goes); its box too, unless the window is hidden and the balloon
// stands in for it. With Notify on Failure off, the box alone.
TEST_F(RunningUnseen, AFailedStartShowsABalloonAndItsBoxUnlessTheBalloonStandsInForIt) {
  const struct {
    bool hidden;
    bool notifyOnFailure;
    bool box;
    bool balloon;
  } cases[] = {
      {false, true, true, true},
      {true, true, false, true},
      {true, false, true, false},
      {false, false, true, false},
  };
  int n = 0;
  for (const auto& c : cases) {
    const std::string description = "Missing " + std::to_string(++n);
    SCOPED_TRACE(description);
    kivro.parts().settings.notifyOnFailure = c.notifyOnFailure;
    if (c.hidden) {
      kivro.hideToNotificationArea();
    } else {
      kivro.bringBack();
    }
    kivro.parts().document.store.fileEntry(dueNow(kMissingProgram, description));
    kvtest::ModalAnswerer box("Error", IDOK, c.box ? 10000 : 1500);
    kivro.checkDueEntries();
    EXPECT_EQ(box.answered(), c.box);
    if (c.box) {
      EXPECT_EQ(box.text(), "File not found");
    }
    if (c.balloon) {
      EXPECT_EQ(lastBalloon(), (kv::Balloon{description, "failed: File not found"}));
      EXPECT_TRUE(kivro.notificationIcon().shown());
      sendIconEvent(NIN_BALLOONTIMEOUT);
    } else {
      EXPECT_NE(lastBalloon().title, description);
    }
    EXPECT_EQ(kivro.notificationIcon().shown(), c.hidden);
  }
}

// Two failures in one check make one balloon that counts them; a click on it
// brings the hidden window back and opens History.
TEST_F(RunningUnseen, AClickOnTheBalloonBringsTheWindowBackAndOpensHistory) {
  kivro.parts().settings.notifyOnFailure = true;
  kivro.hideToNotificationArea();
  kivro.parts().document.store.fileEntry(dueNow(kMissingProgram, "First"));
  kivro.parts().document.store.fileEntry(dueNow(kMissingProgram, "Second"));
  kivro.checkDueEntries();
  EXPECT_EQ(lastBalloon(), (kv::Balloon{"Second", "2 failures; the last: failed: File not found"}));

  kvtest::ModalAnswerer history("History", IDCANCEL);
  sendIconEvent(NIN_BALLOONUSERCLICK);
  EXPECT_TRUE(history.answered());
  EXPECT_TRUE(IsWindowVisible(kivro.parts().mainWindow));
  EXPECT_FALSE(kivro.notificationIcon().shown());
}

// A real program that ends with exit code 3: the first check after its end
// tells so.
TEST_F(RunningUnseen, AProgramEndingWithAnExitCodeOtherThanZeroShowsABalloon) {
  kivro.parts().settings.notifyOnFailure = true;
  kivro.parts().document.store.fileEntry(
      dueNow("C:\\windows\\system32\\cmd.exe /c exit 3", "Exit three"));
  kivro.checkDueEntries();
  ASSERT_EQ(kivro.parts().history.watchedCount(), 1u) << "the start was not watched";
  for (int tries = 0; tries < 300 && lastBalloon().title.empty(); ++tries) {
    Sleep(50);
    kivro.checkDueEntries();
  }
  EXPECT_EQ(lastBalloon().title, "Exit three");
  EXPECT_EQ(lastBalloon().text.rfind("exited 3 after ", 0), 0u) << lastBalloon().text;
  EXPECT_TRUE(kivro.notificationIcon().shown());
}

TEST_F(RunningUnseen, StartAtLogonIsGreyedWhileUntitledUnlessOnAndItsCheckMarkShowsTheRunValue) {
  EXPECT_TRUE(menuState(IDM_START_AT_LOGON) & MF_GRAYED);
  kivro.parts().document.fileName = "C:\\schedules\\day.KV";
  EXPECT_FALSE(menuState(IDM_START_AT_LOGON) & MF_GRAYED);
  SendMessageA(kivro.parts().mainWindow, WM_COMMAND, IDM_START_AT_LOGON, 0);
  EXPECT_TRUE(menuState(IDM_START_AT_LOGON) & MF_CHECKED);
  EXPECT_EQ(kivro.parts().runKey.read().value_or(""),
            "\"" + kivro.parts().programPath + "\" \"C:\\schedules\\day.KV\"");
  SendMessageA(kivro.parts().mainWindow, WM_COMMAND, IDM_START_AT_LOGON, 0);
  EXPECT_FALSE(menuState(IDM_START_AT_LOGON) & MF_CHECKED);
  EXPECT_FALSE(kivro.parts().runKey.read().has_value());

  // After New, a value that names this program can still be turned off,
  // and once off it cannot be turned on again while untitled.
  SendMessageA(kivro.parts().mainWindow, WM_COMMAND, IDM_START_AT_LOGON, 0);
  SendMessageA(kivro.parts().mainWindow, WM_COMMAND, IDM_NEW, 0);
  ASSERT_TRUE(kivro.parts().document.fileName.empty());
  EXPECT_EQ(menuState(IDM_START_AT_LOGON) & (MF_GRAYED | MF_CHECKED), 0u + MF_CHECKED);
  SendMessageA(kivro.parts().mainWindow, WM_COMMAND, IDM_START_AT_LOGON, 0);
  EXPECT_FALSE(kivro.parts().runKey.read().has_value());
  EXPECT_EQ(menuState(IDM_START_AT_LOGON) & (MF_GRAYED | MF_CHECKED), 0u + MF_GRAYED);
}

}  // namespace
