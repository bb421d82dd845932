// Kivro running unseen, with the real main window: the notification-area
// icon while the window is hidden, and the check mark of Start at Logon.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/commands_win32.h"
#include "app/kivro_win32.h"
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

class RunningUnseen : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(kivro.start("", SW_SHOWNORMAL)); }
  void TearDown() override {
    kivro.document().store.clearChanged();
    kivro.runKey().remove();
    DestroyWindow(kivro.mainWindow());
    kvtest::pumpMessages();
  }
  UINT menuState(UINT id) {
    HMENU menu = GetMenu(kivro.mainWindow());
    SendMessageA(kivro.mainWindow(), WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
    return GetMenuState(menu, id, MF_BYCOMMAND);
  }
  kv::Kivro kivro{GetModuleHandleA(nullptr)};
};

TEST_F(RunningUnseen, TheIconStandsForTheHiddenWindowAndItsTipFollowsTheFirstDueEntry) {
  kv::ScheduleStore& store = kivro.document().store;
  store.fileEntry(entryAt(2000000000u, "Later"));
  kivro.hideToNotificationArea();
  EXPECT_FALSE(IsWindowVisible(kivro.mainWindow()));
  ASSERT_TRUE(kivro.notificationIcon().shown()) << "the shell refused the icon";
  const std::string first = kivro.notificationIcon().tip();
  EXPECT_EQ(first.substr(0, first.find('\n')), "Kivro");
  EXPECT_NE(first.find("\nNext: Later at "), std::string::npos) << first;

  store.fileEntry(entryAt(1900000000u, "Sooner"));
  kivro.refreshNotificationTip();
  EXPECT_NE(kivro.notificationIcon().tip().find("Next: Sooner at "), std::string::npos);

  // A click on the icon brings the window back and takes the icon away.
  SendMessageA(kivro.mainWindow(), WM_NOTIFICATION_ICON, 1, NIN_SELECT);
  EXPECT_TRUE(IsWindowVisible(kivro.mainWindow()));
  EXPECT_FALSE(IsIconic(kivro.mainWindow()));
  EXPECT_FALSE(kivro.notificationIcon().shown());
}

TEST_F(RunningUnseen, StartAtLogonIsGreyedWhileUntitledUnlessOnAndItsCheckMarkShowsTheRunValue) {
  EXPECT_TRUE(menuState(IDM_START_AT_LOGON) & MF_GRAYED);
  kivro.document().fileName = "C:\\schedules\\day.KV";
  EXPECT_FALSE(menuState(IDM_START_AT_LOGON) & MF_GRAYED);
  SendMessageA(kivro.mainWindow(), WM_COMMAND, IDM_START_AT_LOGON, 0);
  EXPECT_TRUE(menuState(IDM_START_AT_LOGON) & MF_CHECKED);
  EXPECT_EQ(kivro.runKey().read().value_or(""),
            "\"" + kivro.programPath() + "\" \"C:\\schedules\\day.KV\"");
  SendMessageA(kivro.mainWindow(), WM_COMMAND, IDM_START_AT_LOGON, 0);
  EXPECT_FALSE(menuState(IDM_START_AT_LOGON) & MF_CHECKED);
  EXPECT_FALSE(kivro.runKey().read().has_value());

  // After New, a value that names this program can still be turned off,
  // and once off it cannot be turned on again while untitled.
  SendMessageA(kivro.mainWindow(), WM_COMMAND, IDM_START_AT_LOGON, 0);
  SendMessageA(kivro.mainWindow(), WM_COMMAND, IDM_NEW, 0);
  ASSERT_TRUE(kivro.document().fileName.empty());
  EXPECT_EQ(menuState(IDM_START_AT_LOGON) & (MF_GRAYED | MF_CHECKED), 0u + MF_CHECKED);
  SendMessageA(kivro.mainWindow(), WM_COMMAND, IDM_START_AT_LOGON, 0);
  EXPECT_FALSE(kivro.runKey().read().has_value());
  EXPECT_EQ(menuState(IDM_START_AT_LOGON) & (MF_GRAYED | MF_CHECKED), 0u + MF_GRAYED);
}

}  // namespace
