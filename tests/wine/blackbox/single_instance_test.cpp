// One scheduler per schedule file, with two real processes.
#include <gtest/gtest.h>

#include <cctype>

#include "kivro_process_win32.h"
#include "test_schedules.h"

namespace {

using kvtest::KivroProcess;

class SingleInstance : public ::testing::Test {
 protected:
  SingleInstance() { kvtest::writeFile(first, "Version=3.0\r\n"); }
  kvtest::ScratchFolder folder;
  std::string first = folder.file("first.KV");
};

TEST_F(SingleInstance, ASecondCopyWithTheSameFileBringsTheFirstBackAndEnds) {
  KivroProcess running(first);
  HWND window = running.mainWindow();
  ASSERT_NE(window, nullptr);
  ShowWindowAsync(window, SW_MINIMIZE);
  ShowWindowAsync(window, SW_HIDE);
  ASSERT_TRUE(kvtest::eventually([&] { return !IsWindowVisible(window); }));

  // The same file, named in other case.
  std::string sameFile = first;
  for (char& c : sameFile) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  KivroProcess second(sameFile);
  EXPECT_EQ(second.waitForExit(5000), 0);
  EXPECT_TRUE(kvtest::eventually([&] { return IsWindowVisible(window) && !IsIconic(window); }));
  EXPECT_TRUE(running.running());
}

TEST_F(SingleInstance, CopiesWithOtherFilesOrNoneRunSideBySide) {
  std::string other = folder.file("other.KV");
  kvtest::writeFile(other, "Version=3.0\r\n");
  KivroProcess running(first);
  ASSERT_NE(running.mainWindow(), nullptr);
  KivroProcess withOther(other);
  KivroProcess untitled;
  EXPECT_NE(withOther.mainWindow(), nullptr);
  EXPECT_NE(untitled.mainWindow(), nullptr);
  EXPECT_TRUE(withOther.running());
  EXPECT_TRUE(untitled.running());
}

}  // namespace
