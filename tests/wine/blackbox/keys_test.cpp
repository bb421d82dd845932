// Keys reach their commands through the accelerator table, only while the
// command's menu item is enabled.
#include <gtest/gtest.h>

#include "kivro_process_win32.h"
#include "resources/resource_ids.h"
#include "test_schedules.h"

namespace {

using kvtest::KivroProcess;

class Keys : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string name = folder.file("keys.KV");
    kv::Time ahead = kv::currentTime() + 86400;
    kvtest::writeFile(name, kvtest::scheduleBytes({kvtest::makeEntry(
                                ahead, 'D', "C:\\windows\\notepad.exe", "Only entry")}));
    kivro = std::make_unique<KivroProcess>(name);
    ASSERT_NE(kivro->mainWindow(), nullptr);
  }

  kvtest::ScratchFolder folder;
  std::unique_ptr<KivroProcess> kivro;
};

TEST_F(Keys, TheListHasTheFocusFromTheStart) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  DWORD thread = GetWindowThreadProcessId(kivro->mainWindow(), nullptr);
  EXPECT_TRUE(kvtest::eventually(
      [&] { return GetGUIThreadInfo(thread, &info) && info.hwndFocus == kivro->list(); }));
}

TEST_F(Keys, DelOnASelectedRowAsksToDelete) {
  kivro->selectRow(0);
  kivro->key(VK_DELETE);
  EXPECT_EQ(kivro->answer("Confirmation", IDYES), "Are you sure you want to delete this entry?");
  EXPECT_TRUE(kvtest::eventually([&] { return kivro->rows().empty(); }));
}

TEST_F(Keys, DelWithoutASelectionDoesNothing) {
  kivro->key(VK_DELETE);
  EXPECT_EQ(kivro->waitForDialog("Confirmation", 1000), nullptr);
  EXPECT_EQ(kivro->rows().size(), 1u);
}

}  // namespace
