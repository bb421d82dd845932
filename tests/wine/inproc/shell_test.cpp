// The shell adapter and the launch-failure box with the real main window.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/kivro_win32.h"
#include "engine/launcher.h"
#include "modal_answerer_win32.h"

namespace {

class Shell : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(kivro.start("", SW_SHOWNORMAL)); }
  void TearDown() override {
    DestroyWindow(kivro.parts().mainWindow);
    kvtest::pumpMessages();
  }
  kv::Kivro kivro{GetModuleHandleA(nullptr)};
};

TEST_F(Shell, GivesTheShellsResultAndReleasesTheMouseOnFailure) {
  const unsigned result =
      kivro.parts().shell.execute("OPEN", "C:\\no such folder\\missing.exe", "", "", SW_SHOWNORMAL);
  EXPECT_LT(result, 32u);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(Shell, ReportsAFailureInAStopBoxOwnedByTheMainWindow) {
  kvtest::ModalAnswerer ok("Unable to Print", IDOK);
  kv::ScheduleEntry entry;
  entry.commandLine = "calc.exe";
  entry.printFlag = '1';
  EXPECT_EQ(kv::launchAndReport(kivro.parts().shell, kivro.parts().reporter, entry),
            kv::kPrintExecutableRefused);
  ASSERT_TRUE(ok.answered());
  EXPECT_EQ(ok.text(), "Error printing calc.exe. You cannot print an executable file.");
  EXPECT_EQ(GetCapture(), nullptr);
}

}  // namespace
