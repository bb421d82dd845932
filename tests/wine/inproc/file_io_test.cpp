// Whole-file reads and safe replacement against Wine's real file system.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "schedule/entry_line.h"
#include "schedule/file_io_win32.h"

namespace kv {
namespace {

// A fresh folder under the temporary folder, whose own path is made up to
// `pathLength` characters by nested folders; removed with what it holds.
class DeepFolder {
 public:
  explicit DeepFolder(std::size_t pathLength) {
    char base[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, base);
    path_ = std::string(base) + "kvio" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(path_.c_str(), nullptr);
    levels_.push_back(path_);
    while (path_.size() < pathLength) {
      const std::size_t room = pathLength - path_.size() - 1;
      path_ += "\\" + std::string(std::min<std::size_t>(room, 100), 'd');
      CreateDirectoryA(path_.c_str(), nullptr);
      levels_.push_back(path_);
    }
  }
  ~DeepFolder() {
    for (const std::string& file : files()) DeleteFileA((path_ + "\\" + file).c_str());
    for (auto level = levels_.rbegin(); level != levels_.rend(); ++level) {
      RemoveDirectoryA(level->c_str());
    }
  }
  DeepFolder(const DeepFolder&) = delete;
  DeepFolder& operator=(const DeepFolder&) = delete;

  const std::string& path() const { return path_; }

  std::vector<std::string> files() const {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA((path_ + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
  }

 private:
  std::string path_;
  std::vector<std::string> levels_;
};

TEST(FileIo, SavesTheLongestNameInAFolderOf250Characters) {
  DeepFolder folder(250);
  ASSERT_EQ(folder.path().size(), 250u);
  const std::string target = folder.path() + "\\S.K";
  ASSERT_EQ(target.size(), kMaxFileName);

  for (const std::string contents : {"Version=3.0\r\n", "Version=3.0\r\nsecond save\r\n"}) {
    SCOPED_TRACE(contents);
    ASSERT_TRUE(replaceFileContents(target, contents));
    const FileContents read = readWholeFile(target);
    EXPECT_EQ(read.status, ReadStatus::Ok);
    EXPECT_EQ(read.bytes, contents);
    // The temporary file is gone: the target is all the folder holds.
    EXPECT_EQ(folder.files(), std::vector<std::string>{"S.K"});
  }
}

// Another program holds the file. A writer that shares reads does not stop a
// read. A reader that holds the old file for a moment delays the save; one
// that keeps holding it makes the save fail, leaving the old file as it was.
TEST(FileIo, ReadsAndSavesAFileThatAnotherProgramHolds) {
  DeepFolder folder(0);
  const std::string target = folder.path() + "\\held.KV";
  ASSERT_TRUE(replaceFileContents(target, "old"));
  const HANDLE writer = CreateFileA(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  const FileContents read = readWholeFile(target);
  CloseHandle(writer);
  EXPECT_EQ(read.status, ReadStatus::Ok);
  EXPECT_EQ(read.bytes, "old");

  for (const DWORD holdMs : {DWORD{150}, DWORD{INFINITE}}) {
    SCOPED_TRACE(holdMs);
    const bool saved = holdMs != INFINITE;
    HANDLE reader = CreateFileA(target.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    struct Release {
      HANDLE reader;
      DWORD afterMs;
      static DWORD WINAPI run(LPVOID self) {
        auto* release = static_cast<Release*>(self);
        Sleep(release->afterMs);
        CloseHandle(release->reader);
        return 0;
      }
    } release{reader, holdMs};
    HANDLE thread = saved ? CreateThread(nullptr, 0, Release::run, &release, 0, nullptr) : nullptr;
    EXPECT_EQ(replaceFileContents(target, "new"), saved);
    if (thread) {
      WaitForSingleObject(thread, INFINITE);
      CloseHandle(thread);
    } else {
      CloseHandle(reader);
    }
    EXPECT_EQ(readWholeFile(target).bytes, saved ? "new" : "old");
    ASSERT_TRUE(replaceFileContents(target, "old"));
    EXPECT_EQ(folder.files(), std::vector<std::string>{"held.KV"});
  }
}

}  // namespace
}  // namespace kv
