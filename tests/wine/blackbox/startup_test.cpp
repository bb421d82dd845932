// Starting and ending the real program.
#include <gtest/gtest.h>

#include "kivro_process_win32.h"

using kvtest::KivroProcess;

namespace {

constexpr int kExit = 2005;

TEST(Startup, WithoutArgumentsShowsAnEmptyUntitledScheduleAndExitsWithZero) {
  KivroProcess kivro;
  ASSERT_NE(kivro.mainWindow(), nullptr);
  EXPECT_EQ(kivro.title(), "Kivro - []");
  EXPECT_TRUE(kivro.rows().empty());
  DWORD style = static_cast<DWORD>(GetWindowLongA(kivro.mainWindow(), GWL_STYLE));
  DWORD frameBits = WS_OVERLAPPED | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
  EXPECT_EQ(style & frameBits, 0xf0000u);
  EXPECT_TRUE(GetWindowLongA(kivro.mainWindow(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
  kivro.command(kExit);
  EXPECT_EQ(kivro.waitForExit(), 0);
}

TEST(Startup, ClosingTheWindowEndsTheProgram) {
  KivroProcess kivro;
  ASSERT_NE(kivro.mainWindow(), nullptr);
  PostMessageA(kivro.mainWindow(), WM_CLOSE, 0, 0);
  EXPECT_EQ(kivro.waitForExit(), 0);
}

TEST(Startup, TheListFillsTheClientAreaAboveTheStatusBarAndFollowsResizing) {
  KivroProcess kivro;
  ASSERT_NE(kivro.mainWindow(), nullptr);
  SetWindowPos(kivro.mainWindow(), nullptr, 0, 0, 500, 300, SWP_NOZORDER | SWP_NOMOVE);
  HWND statusBar = GetDlgItem(kivro.mainWindow(), 104);
  ASSERT_NE(statusBar, nullptr);
  EXPECT_TRUE(kvtest::eventually([&] {
    RECT client{}, list{}, bar{};
    GetClientRect(kivro.mainWindow(), &client);
    GetClientRect(kivro.list(), &list);
    GetWindowRect(statusBar, &bar);
    // The list keeps whole rows, so it may stop short of the status bar by
    // less than one row.
    LONG rowHeight = static_cast<LONG>(SendMessageA(kivro.list(), LB_GETITEMHEIGHT, 0, 0));
    LONG shortfall = client.bottom - (bar.bottom - bar.top) - list.bottom;
    return client.right == list.right && client.right > 400 && shortfall >= 0 &&
           shortfall < rowHeight;
  }));
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(kivro.list(), GWL_STYLE)), 0x50000041u);
  kivro.command(kExit);
  EXPECT_EQ(kivro.waitForExit(), 0);
}

TEST(Startup, AFileNameWithBlanksIsTakenWholeFromTheCommandLine) {
  kvtest::ScratchFolder folder;
  std::string name = folder.file("My  Schedule.KV");
  kvtest::writeFile(name, "Version=3.0\r\n");
  KivroProcess kivro(name);
  ASSERT_NE(kivro.mainWindow(), nullptr);
  EXPECT_EQ(kivro.title(), "Kivro - [" + name + "]");
  kivro.command(kExit);
  EXPECT_EQ(kivro.waitForExit(), 0);
}

TEST(Startup, AMissingFileInQuotesIsReportedByItsNameWithoutThem) {
  kvtest::ScratchFolder folder;
  std::string quoted = "\"" + folder.file("Quoted.KV") + "\"";
  KivroProcess kivro(quoted);
  // The box comes before the window shows.
  EXPECT_EQ(kivro.answer("Warning", IDOK), "|" + folder.file("Quoted.KV") + "| not found.");
  ASSERT_NE(kivro.mainWindow(), nullptr);
  EXPECT_EQ(kivro.title(), "Kivro - [" + folder.file("Quoted.KV") + "]");
  kivro.command(kExit);
  EXPECT_EQ(kivro.waitForExit(), 0);
}

}  // namespace
