// Each file call of a save and of a load made to fail in turn, and a save
// ended at each of its steps: the target keeps its old bytes or takes the
// new ones whole, and no temporary file stays.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "file_call_faults_win32.h"

namespace {

// The file calls are counted; the one numbered `failing` fails.
int callsMade = 0;
int failing = 0;
std::string failedCall;

bool failsNow(const char* call) {
  if (++callsMade != failing) return false;
  failedCall = call;
  return true;
}

class FileFailures : public ::testing::Test {
 protected:
  FileFailures() {
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof temp, temp);
    folder = std::string(temp) + "kv-file-failures-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    writeOld();
  }
  ~FileFailures() override {
    for (const std::string& name : filesInFolder()) DeleteFileA((folder + "\\" + name).c_str());
    RemoveDirectoryA(folder.c_str());
  }
  void writeOld() { ASSERT_TRUE(kv::replaceFileContents(target(), oldBytes)); }
  std::string target() const { return folder + "\\schedule.KV"; }
  std::string contents() const { return kv::readWholeFile(target()).bytes; }
  std::vector<std::string> filesInFolder() const {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
      if (found.cFileName[0] != '.') names.push_back(found.cFileName);
    }
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    return names;
  }

  std::string folder;
  // Large enough for several writes and several reads.
  const std::string oldBytes = std::string(2500000, 'o');
  const std::string newBytes = std::string(2600000, 'n');
};

TEST_F(FileFailures, EachCallOfASaveFailingLeavesTheOldFileAndNoTemporary) {
  const kv::FileCalls calls = kvtest::faultyFileCalls(failsNow);
  for (failing = 1;; ++failing) {
    SCOPED_TRACE("call " + std::to_string(failing));
    callsMade = 0;
    const bool saved = kv::replaceFileContents(target(), newBytes, calls);
    if (callsMade < failing) {
      EXPECT_TRUE(saved);
      EXPECT_EQ(contents(), newBytes);
      break;
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(contents(), oldBytes);
    EXPECT_EQ(filesInFolder(), std::vector<std::string>{"schedule.KV"});
    if (HasFailure()) break;
  }
  std::printf("a save: %d failure points\n", failing - 1);
  EXPECT_GE(failing - 1, 6);  // create, three writes, flush, close, replace
}

TEST_F(FileFailures, EachCallOfALoadFailingReadsNothing) {
  const kv::FileCalls calls = kvtest::faultyFileCalls(failsNow);
  for (failing = 1;; ++failing) {
    SCOPED_TRACE("call " + std::to_string(failing));
    callsMade = 0;
    const kv::FileContents read = kv::readWholeFile(target(), calls);
    if (callsMade < failing) {
      EXPECT_EQ(read.status, kv::ReadStatus::Ok);
      EXPECT_EQ(read.bytes, oldBytes);
      break;
    }
    // A close that fails once every byte is in loses nothing.
    if (failedCall == "close") {
      EXPECT_EQ(read.bytes, oldBytes);
      continue;
    }
    EXPECT_NE(read.status, kv::ReadStatus::Ok);
    EXPECT_TRUE(read.bytes.empty());
    if (HasFailure()) break;
  }
  std::printf("a load: %d failure points\n", failing - 1);
  EXPECT_GE(failing - 1, 4);  // open, size, reads
}

// A process that ends at step K of a save, for every K: the target holds
// the old bytes or the new ones, whole, never a mix or nothing.
TEST_F(FileFailures, ASaveEndedAtAnyStepLeavesTheOldFileOrTheNewWhole) {
  for (int step = 1;; ++step) {
    SCOPED_TRACE("step " + std::to_string(step));
    writeOld();
    std::string line =
        std::string("\"") + KV_CRASH_SAVE_PATH + "\" \"" + target() + "\" " + std::to_string(step);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &process));
    WaitForSingleObject(process.hProcess, 30000);
    DWORD code = 99;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    const std::string now = contents();
    EXPECT_TRUE(now == std::string(2500000, 'o') || now == std::string(3u << 20, 'n'))
        << now.size() << " bytes";
    if (code == 0 || HasFailure()) {
      EXPECT_EQ(code, 0u);
      std::printf("a save ended at each of its %d steps\n", step - 1);
      break;
    }
    EXPECT_EQ(code, 3u);
  }
}

}  // namespace
