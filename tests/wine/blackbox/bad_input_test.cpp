// Bad input through every door of the real program: huge, over-long and
// garbage schedule files, Save targets that cannot be written, a settings
// file of garbage, and a dropped file whose name is too long. Each gives its
// message or its sound default, the program keeps running, and no schedule
// file changes unless it is saved.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstdint>
#include <memory>

#include "engine/calendar.h"
#include "engine/recurrence.h"
#include "kivro_process_win32.h"
#include "resources/resource_ids.h"
#include "schedule/schedule_file.h"
#include "test_schedules.h"

namespace {

using kvtest::KivroProcess;
using kvtest::makeEntry;

// Bytes that look like nothing, the same on every run.
std::string garbage(std::size_t size, std::uint32_t seed) {
  std::string bytes(size, '\0');
  for (char& c : bytes) {
    seed = seed * 1664525u + 1013904223u;
    c = static_cast<char>(seed >> 24);
  }
  return bytes;
}

// The names in a folder, "." and ".." left out.
std::vector<std::string> filesIn(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
    if (std::string(".") != found.cFileName && std::string("..") != found.cFileName) {
      names.push_back(found.cFileName);
    }
  }
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  return names;
}

std::uint64_t fileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

int rowCount(KivroProcess& kivro) {
  return static_cast<int>(SendMessageA(kivro.list(), LB_GETCOUNT, 0, 0));
}

// One row of the list, read alone: reading every row of a long list from
// another process takes minutes. Wine answers in UTF-16 across processes.
std::string row(KivroProcess& kivro, int index) {
  HWND list = kivro.list();
  auto length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length < 0) return "<no row>";
  std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
  SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(wide.data()));
  std::string text;
  for (wchar_t c : wide.substr(0, static_cast<std::size_t>(length))) text += static_cast<char>(c);
  return text;
}

class BadInput : public ::testing::Test {
 protected:
  std::unique_ptr<KivroProcess> startOn(const std::string& name, const std::string& bytes) {
    kvtest::writeFile(name, bytes);
    auto kivro = std::make_unique<KivroProcess>(name);
    EXPECT_NE(kivro->mainWindow(), nullptr);
    return kivro;
  }
  // The program is still there and answers, with no box of any kind open,
  // and ends at Exit without asking to save: nothing was changed.
  void expectRunningUnchangedAndClosing(KivroProcess& kivro) {
    EXPECT_TRUE(kivro.running());
    EXPECT_TRUE(kvtest::noWindowWithin(kivro.id(), "#32770", nullptr, 500));
    EXPECT_TRUE(IsWindow(kivro.mainWindow()));
    kivro.command(IDM_EXIT);
    EXPECT_EQ(kivro.waitForExit(), 0);
  }
  // Makes an unsaved change: a copy of row 0 pasted.
  void changeSchedule(KivroProcess& kivro) {
    kivro.selectRow(0);
    kivro.command(IDM_COPY);
    kivro.command(IDM_PASTE);
  }
  std::vector<kv::ScheduleEntry> aheadEntries() {
    return {makeEntry(ahead, 'D', "C:\\windows\\notepad.exe", "First"),
            makeEntry(ahead + 3600, 'W', "C:\\windows\\notepad.exe C:\\x.txt", "Second")};
  }

  kvtest::ScratchFolder folder;
  kv::Time ahead = kv::currentTime() + 10 * 86400;
};

TEST_F(BadInput, AFiftyMegabyteFileLoadsEveryEntryAndIsLeftAsItWas) {
  // Entries a day apart from ten days ahead; the last two are known rows.
  std::string bytes = "Version=3.0\r\n";
  std::size_t lines = 0;
  while (bytes.size() < 50u * 1024 * 1024) {
    bytes += kv::composeEntryLine(makeEntry(ahead + 86400 + static_cast<kv::Time>(lines) * 60, 'W',
                                            "C:\\windows\\notepad.exe C:\\notes.txt",
                                            "Bulk entry " + std::to_string(lines))) +
             "\r\n";
    ++lines;
  }
  for (const auto& entry : aheadEntries()) bytes += kv::composeEntryLine(entry) + "\r\n";
  std::string name = folder.file("fifty.KV");
  kvtest::writeFile(name, bytes);
  // The window shows once the whole file is in; that takes seconds here.
  auto kivro = std::make_unique<KivroProcess>(name);
  ASSERT_NE(kvtest::waitForWindow(kivro->id(), "KV", nullptr, 90000), nullptr);
  ASSERT_TRUE(
      kvtest::eventually([&] { return rowCount(*kivro) == static_cast<int>(lines) + 2; }, 60000));
  EXPECT_TRUE(kvtest::endsWith(row(*kivro, 0), " First"));
  EXPECT_TRUE(kvtest::endsWith(row(*kivro, 1), " Second"));
  EXPECT_TRUE(kvtest::endsWith(row(*kivro, static_cast<int>(lines) + 1),
                               " Bulk entry " + std::to_string(lines - 1)));
  EXPECT_EQ(kivro->title(), "Kivro - [" + name + "]");
  expectRunningUnchangedAndClosing(*kivro);
  EXPECT_EQ(kvtest::readFile(name), bytes);
}

TEST_F(BadInput, ALineOfOneMegabyteIsCutToItsLimitAndSavedCut) {
  std::string bytes = kvtest::scheduleBytes(
      {kv::composeEntryLine(makeEntry(ahead, 'D', "C:\\windows\\notepad.exe", "Long")) +
           std::string(1 << 20, 'x'),
       kv::composeEntryLine(makeEntry(ahead + 60, 'O', "C:\\windows\\notepad.exe", "After"))});
  std::string name = folder.file("long.KV");
  auto kivro = startOn(name, bytes);
  ASSERT_TRUE(kvtest::eventually([&] { return rowCount(*kivro) == 2; }));
  // The rest of the line is not taken for a line of its own.
  EXPECT_NE(row(*kivro, 0).find(" Longxxx"), std::string::npos);
  EXPECT_TRUE(kvtest::endsWith(row(*kivro, 1), " After"));
  EXPECT_EQ(kvtest::readFile(name), bytes);

  changeSchedule(*kivro);
  kivro->command(IDM_SAVE);
  // Waits by the size alone: reading the file while it is replaced would
  // hold it open and make the save fail.
  ASSERT_TRUE(kvtest::eventually([&] { return fileSize(name) != bytes.size(); }));
  std::string saved = kvtest::readFile(name);
  for (std::size_t at = 0, next; (next = saved.find("\r\n", at)) != std::string::npos;
       at = next + 2) {
    EXPECT_LE(next - at, kv::kMaxEntryLine);
  }
  EXPECT_TRUE(kivro->running());
}

TEST_F(BadInput, BinaryGarbageShowsWhatTheReaderKeepsAndChangesNothing) {
  struct Case {
    const char* name;
    std::string bytes;
  };
  const Case cases[] = {
      {"garbage.KV", garbage(256 * 1024, 12)},
      {"header then garbage.KV", "Version=3.0\r\n" + garbage(256 * 1024, 34)},
      {"zeros.KV", std::string(64 * 1024, '\0')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string name = folder.file(c.name);
    auto kivro = startOn(name, c.bytes);
    kv::Time now = kv::currentTime();
    std::size_t kept =
        kv::catchUpLoadedEntries(kv::decodeScheduleFile(c.bytes, "3.0"), now, now).size();
    EXPECT_TRUE(kvtest::eventually([&] { return rowCount(*kivro) == static_cast<int>(kept); }));
    expectRunningUnchangedAndClosing(*kivro);
    EXPECT_EQ(kvtest::readFile(name), c.bytes);
  }
}

// Save refuses a target that another program holds open without sharing,
// says so, keeps the schedule marked as changed and leaves nothing behind.
TEST_F(BadInput, ALockedSaveTargetIsReportedAndKeptAsItWas) {
  std::string name = folder.file("locked.KV");
  std::string bytes = kvtest::scheduleBytes(aheadEntries());
  auto kivro = startOn(name, bytes);
  ASSERT_TRUE(kvtest::eventually([&] { return rowCount(*kivro) == 2; }));
  HANDLE hold = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(hold, INVALID_HANDLE_VALUE);
  changeSchedule(*kivro);
  kivro->command(IDM_SAVE);
  EXPECT_EQ(kivro->answer("Error", IDOK), "Cannot write to " + name + ".");
  CloseHandle(hold);
  EXPECT_EQ(kvtest::readFile(name), bytes);
  EXPECT_EQ(filesIn(folder.path()), std::vector<std::string>{"locked.KV"});
  // Still changed: closing asks.
  kivro->command(IDM_EXIT);
  EXPECT_EQ(kivro->answer("KV", IDCANCEL), "Changes have been made.  Save changes?");
  EXPECT_TRUE(kivro->running());
}

// A new file on a drive with no room: the message, and neither the file
// nor a temporary file left on the drive.
TEST_F(BadInput, ASaveToAFullDiskLeavesNoFileBehind) {
  const char* drive = std::getenv("KV_FULL_DRIVE");
  if (!drive || !*drive) GTEST_SKIP() << "no small drive was set up for this run";
  std::string root = std::string(drive) + "\\";
  std::string filler = root + "filler";
  kvtest::writeFile(filler, std::string(1 << 20, 'x'));
  std::string name = root + "new.KV";
  KivroProcess kivro(name);
  EXPECT_EQ(kivro.answer("Warning", IDOK), "|" + name + "| not found.");
  ASSERT_NE(kivro.mainWindow(), nullptr);
  kivro.command(IDM_SAVE);
  EXPECT_EQ(kivro.answer("Error", IDOK), "Cannot write to " + name + ".");
  EXPECT_EQ(filesIn(std::string(drive)), std::vector<std::string>{"filler"});
  EXPECT_TRUE(kivro.running());
  DeleteFileA(filler.c_str());
}

// Settings that are not what they should be still give a program that
// checks for due entries at a usable pace (the default, or the shortest
// period for a Time that is no number), and the file is only read.
TEST_F(BadInput, GarbageSettingsStillStartDueEntriesAndStayAsTheyWere) {
  const std::string cases[] = {
      garbage(4096, 56),
      "[KV]\r\nTime=abc\r\nAssociationWarning=\x01\x02\r\nHideIcon=yes\r\n",
      "[KV]\r\nTime=\r\nTime=7x\r\n[KV\r\nHideIcon\r\n" + garbage(300, 78),
  };
  // KV.INI is replaced for each case and put back at the end.
  const std::string path = kvtest::settingsFile();
  const bool had = kvtest::fileExists(path);
  const std::string old = had ? kvtest::readFile(path) : "";
  std::string record = folder.file("started.log");
  SetEnvironmentVariableA("KV_RECORD_FILE", record.c_str());
  for (const std::string& settings : cases) {
    SCOPED_TRACE(::testing::PrintToString(settings.substr(0, 40)));
    kvtest::writeFile(path, settings);
    DeleteFileA(record.c_str());
    auto kivro = startOn(
        folder.file("settings.KV"),
        kvtest::scheduleBytes({makeEntry(kv::currentTime() + 1, 'O',
                                         kvtest::recorderPath() + " due", "Due", folder.path())}));
    EXPECT_TRUE(kvtest::eventually([&] { return kvtest::fileExists(record); }, 5000));
    EXPECT_TRUE(kivro->running());
    kivro->command(IDM_EXIT);
    EXPECT_EQ(kivro->waitForExit(), 0);
    EXPECT_EQ(kvtest::readFile(path), settings);
  }
  SetEnvironmentVariableA("KV_RECORD_FILE", nullptr);
  if (had) {
    kvtest::writeFile(path, old);
  } else {
    DeleteFileA(path.c_str());
  }
}

TEST_F(BadInput, ADroppedFileWithAPathOf300CharactersIsRefusedAndTheNextOneAdded) {
  std::string name = folder.file("drop.KV");
  std::string bytes = kvtest::scheduleBytes(aheadEntries());
  auto kivro = startOn(name, bytes);
  std::string longPath = "C:\\" + std::string(291, 'd') + "\\x.txt";  // 300 characters
  std::string shortPath = "C:\\windows\\notepad.exe";
  ASSERT_TRUE(kivro->dropFiles({longPath, shortPath}));
  EXPECT_EQ(kivro->answer("KV", IDOK), "The file " + longPath +
                                           " cannot be scheduled: its name is longer than 253 "
                                           "characters.");
  // The second file gets its Add dialog.
  HWND dialog = kivro->waitForDialog(nullptr);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(kvtest::windowText(GetDlgItem(dialog, IDC_COMMAND_LINE)), shortPath);
  kvtest::pressButton(dialog, IDCANCEL);
  kvtest::waitUntilGone(dialog);
  EXPECT_EQ(rowCount(*kivro), 2);
  expectRunningUnchangedAndClosing(*kivro);
  EXPECT_EQ(kvtest::readFile(name), bytes);
}

}  // namespace
