// Schedule files with the real program: loading at start-up, Save, Save As,
// New, and what is reported when a file cannot be read or written.
#include <gtest/gtest.h>

#include "kivro_process_win32.h"
#include "resources/resource_ids.h"
#include "test_schedules.h"

namespace {

using kvtest::KivroProcess;
using kvtest::makeEntry;

class ScheduleFiles : public ::testing::Test {
 protected:
  // A schedule whose entries all lie ahead, so loading keeps them as they are.
  std::vector<kv::ScheduleEntry> aheadEntries() {
    return {makeEntry(ahead, 'D', "C:\\windows\\notepad.exe", "First"),
            makeEntry(ahead + 3600, 'W', "C:\\windows\\notepad.exe C:\\x.txt", "Second"),
            makeEntry(ahead + 7200, 'O', "C:\\windows\\notepad.exe", "Third")};
  }
  // Makes an unsaved change: a copy of row 0 pasted.
  void changeSchedule(KivroProcess& kivro) {
    kivro.selectRow(0);
    kivro.command(IDM_COPY);
    kivro.command(IDM_PASTE);
  }
  // The Save As dialog: types the path and presses OK.
  void saveAsThroughTheDialog(KivroProcess& kivro, const std::string& path) {
    kivro.command(IDM_SAVE_AS);
    chooseInFileDialog(kivro, "Save As", path);
  }
  void chooseInFileDialog(KivroProcess& kivro, const char* caption, const std::string& path) {
    ASSERT_TRUE(kivro.chooseFile(caption, path));
  }
  // The close prompt appears only while the schedule has unsaved changes.
  bool closingAsksToSave(KivroProcess& kivro) {
    kivro.command(IDM_EXIT);
    HWND box = kivro.waitForDialog("KV", 1500);
    if (!box) return false;
    kvtest::pressButton(box, IDCANCEL);
    kvtest::waitUntilGone(box);
    return true;
  }

  kvtest::ScratchFolder folder;
  kv::Time ahead = kv::currentTime() + 10 * 86400;
};

TEST_F(ScheduleFiles, AFileNamedWithBlanksLoadsInDueOrderUnderItsName) {
  std::string name = folder.file("Two Words.KV");
  auto entries = aheadEntries();
  kvtest::writeFile(name, kvtest::scheduleBytes({entries[2], entries[0], entries[1]}));
  KivroProcess kivro(name);
  ASSERT_NE(kivro.mainWindow(), nullptr);
  EXPECT_EQ(kivro.title(), "Kivro - [" + name + "]");
  EXPECT_TRUE(kvtest::rowsShow(kivro.rows(), {"First", "Second", "Third"}));
}

TEST_F(ScheduleFiles, SaveWritesTheExactBytesAndClearsTheChange) {
  std::string name = folder.file("exact.KV");
  std::string bytes = kvtest::scheduleBytes(aheadEntries());
  kvtest::writeFile(name, bytes);
  KivroProcess kivro(name);
  ASSERT_NE(kivro.mainWindow(), nullptr);
  kvtest::writeFile(name, "overwritten");
  changeSchedule(kivro);
  ASSERT_TRUE(closingAsksToSave(kivro));
  kivro.command(IDM_SAVE);
  auto lines = aheadEntries();
  std::string expected = kvtest::scheduleBytes({lines[0], lines[0], lines[1], lines[2]});
  EXPECT_TRUE(kvtest::eventually([&] { return kvtest::readFile(name) == expected; }));
  EXPECT_FALSE(closingAsksToSave(kivro));
  EXPECT_EQ(kivro.waitForExit(), 0);
}

TEST_F(ScheduleFiles, ALegacyFileComesInConverted) {
  std::string name = folder.file("legacy.KV");
  std::string start = std::to_string(ahead), end = std::to_string(kvtest::kNoEnd);
  kvtest::writeFile(name, start + " " + end + " D 1 C:\\WINDOWS\\NOTEPAD.EXE C:\\NOTES.TXT\r\n" +
                              start + " " + end + " W 2 C:\\WINDOWS\\CALC.EXE\r\n");
  KivroProcess kivro(name);
  ASSERT_NE(kivro.mainWindow(), nullptr);
  EXPECT_TRUE(kvtest::rowsShow(kivro.rows(), {"C:\\WINDOWS\\NOTEPAD.EXE C:\\NOTES.TXT", "CALC"}));
  kivro.command(IDM_SAVE);
  std::string expected = "Version=3.0\r\n" + start + " " + end +
                         " D 1 C:\\WINDOWS\\NOTEPAD.EXE C:\\NOTES.TXT \x12"
                         "C:\\WINDOWS p0 d\r\n" +
                         start + " " + end +
                         " W 2 C:\\WINDOWS\\CALC.EXE \x12"
                         "C:\\WINDOWS p0 d\r\n";
  EXPECT_TRUE(kvtest::eventually([&] { return kvtest::readFile(name) == expected; }));
}

TEST_F(ScheduleFiles, PastOnceEntriesAndEndedEntriesAreGoneAfterLoading) {
  kv::Time past = kv::currentTime() - 3600;
  auto ended = makeEntry(past - 86400, 'D', "C:\\windows\\notepad.exe", "Ended");
  ended.end = past;
  std::string name = folder.file("old.KV");
  kvtest::writeFile(name, kvtest::scheduleBytes(
                              {makeEntry(past, 'O', "C:\\windows\\notepad.exe", "Once, past"),
                               ended, makeEntry(past, 'D', "C:\\windows\\notepad.exe", "Daily")}));
  KivroProcess kivro(name);
  ASSERT_NE(kivro.mainWindow(), nullptr);
  // The daily entry moved to its next start, 23 hours ahead; it is not launched.
  EXPECT_TRUE(kvtest::rowsShow(kivro.rows(), {"Daily"}));
}

TEST_F(ScheduleFiles, SaveAsThroughTheDialogWritesTheNewFileAndRetitles) {
  std::string name = folder.file("first.KV");
  kvtest::writeFile(name, kvtest::scheduleBytes(aheadEntries()));
  KivroProcess kivro(name);
  ASSERT_NE(kivro.mainWindow(), nullptr);
  std::string renamed = folder.file("second.KV");
  saveAsThroughTheDialog(kivro, renamed);
  EXPECT_TRUE(kvtest::eventually([&] { return kivro.title() == "Kivro - [" + renamed + "]"; }));
  EXPECT_EQ(kvtest::readFile(renamed), kvtest::scheduleBytes(aheadEntries()));
}

TEST_F(ScheduleFiles, OpenAfterChangesAnsweredNoLoadsTheChosenFile) {
  std::string first = folder.file("first.KV"), second = folder.file("second.KV");
  auto entries = aheadEntries();
  kvtest::writeFile(first, kvtest::scheduleBytes(entries));
  kvtest::writeFile(second, kvtest::scheduleBytes({entries[1]}));
  KivroProcess kivro(first);
  ASSERT_NE(kivro.mainWindow(), nullptr);
  changeSchedule(kivro);
  kivro.command(IDM_OPEN);
  EXPECT_EQ(kivro.answer("NOTICE", IDNO), "Changes have been made.  Save changes?");
  chooseInFileDialog(kivro, "Open", second);
  EXPECT_TRUE(kvtest::eventually([&] { return kivro.title() == "Kivro - [" + second + "]"; }));
  EXPECT_TRUE(kvtest::rowsShow(kivro.rows(), {"Second"}));
  EXPECT_FALSE(closingAsksToSave(kivro));
}

TEST_F(ScheduleFiles, OpenAnsweredYesOnAnUntitledScheduleAsksForANameFirst) {
  std::string name = folder.file("source.KV");
  kvtest::writeFile(name, kvtest::scheduleBytes(aheadEntries()));
  KivroProcess kivro(name);
  ASSERT_NE(kivro.mainWindow(), nullptr);
  kivro.selectRow(0);
  kivro.command(IDM_COPY);
  kivro.command(IDM_NEW);
  kivro.command(IDM_PASTE);  // an untitled schedule with a change
  ASSERT_TRUE(kvtest::eventually([&] { return kivro.rows().size() == 1; }));
  kivro.command(IDM_OPEN);
  kivro.answer("NOTICE", IDYES);
  HWND saveAs = kivro.waitForDialog("Save As");
  ASSERT_NE(saveAs, nullptr);
  // Open waits for the save: no second question over the Save As dialog.
  EXPECT_EQ(kivro.waitForDialog("NOTICE", 1000), nullptr);
  PostMessageA(saveAs, WM_COMMAND, IDCANCEL, 0);
  // Nothing was saved, so Open asks again.
  EXPECT_EQ(kivro.answer("NOTICE", IDCANCEL), "Changes have been made.  Save changes?");
}

TEST_F(ScheduleFiles, AnOpenThatCannotReadTheFileKeepsTheCurrentName) {
  std::string first = folder.file("first.KV"), locked = folder.file("locked.KV");
  kvtest::writeFile(first, kvtest::scheduleBytes(aheadEntries()));
  kvtest::writeFile(locked, kvtest::scheduleBytes(std::vector<kv::ScheduleEntry>{}));
  KivroProcess kivro(first);
  ASSERT_NE(kivro.mainWindow(), nullptr);
  // Held open without sharing, the file exists but cannot be read.
  HANDLE hold = CreateFileA(locked.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(hold, INVALID_HANDLE_VALUE);
  kivro.command(IDM_OPEN);
  chooseInFileDialog(kivro, "Open", locked);
  EXPECT_EQ(kivro.answer("Warning", IDOK), "|" + locked + "| could not be read.");
  CloseHandle(hold);
  EXPECT_EQ(kivro.title(), "Kivro - [" + first + "]");
  EXPECT_TRUE(kvtest::rowsShow(kivro.rows(), {"First", "Second", "Third"}));
  // Save still goes to the schedule's own file.
  kvtest::writeFile(first, "stale");
  kivro.command(IDM_SAVE);
  EXPECT_TRUE(kvtest::eventually(
      [&] { return kvtest::readFile(first) == kvtest::scheduleBytes(aheadEntries()); }));
  EXPECT_EQ(kvtest::readFile(locked), kvtest::scheduleBytes(std::vector<kv::ScheduleEntry>{}));
}

TEST_F(ScheduleFiles, NewWithChangesAnsweredNoEmptiesTheSchedule) {
  std::string name = folder.file("new.KV");
  kvtest::writeFile(name, kvtest::scheduleBytes(aheadEntries()));
  KivroProcess kivro(name);
  ASSERT_NE(kivro.mainWindow(), nullptr);
  changeSchedule(kivro);
  kivro.command(IDM_NEW);
  EXPECT_EQ(kivro.answer("KV", IDNO), "Changes have been made.  Save changes?");
  EXPECT_TRUE(kvtest::eventually([&] { return kivro.rows().empty(); }));
  EXPECT_EQ(kivro.title(), "Kivro - []");
  EXPECT_EQ(kvtest::readFile(name), kvtest::scheduleBytes(aheadEntries()));
  EXPECT_FALSE(closingAsksToSave(kivro));
}

TEST_F(ScheduleFiles, TheLongestFileNameLoadsSavesAndShowsItsEndInTheTitle) {
  std::string name = folder.file("");
  name += std::string(kv::kMaxFileName - name.size() - 3, 'n') + ".KV";
  ASSERT_EQ(name.size(), kv::kMaxFileName);
  kvtest::writeFile(name, kvtest::scheduleBytes(aheadEntries()));
  KivroProcess kivro(name);
  ASSERT_NE(kivro.mainWindow(), nullptr);
  std::string title = kivro.title();
  EXPECT_EQ(title.substr(0, 12), "Kivro - [...");
  EXPECT_TRUE(kvtest::endsWith(title, "nnn.KV]"));
  EXPECT_LE(title.size(), 83u);
  kvtest::writeFile(name, "stale");
  kivro.command(IDM_SAVE);
  EXPECT_TRUE(kvtest::eventually(
      [&] { return kvtest::readFile(name) == kvtest::scheduleBytes(aheadEntries()); }));
}

// A schedule of some thirteen million entries' size: more than a 32-bit
// process can hold while it loads. The file is sparse, so it costs no disk.
TEST_F(ScheduleFiles, AFileTooLargeForMemoryIsRefusedAndTheScheduleStays) {
  if (sizeof(void*) == 8) GTEST_SKIP() << "a 64-bit process has the room for it";
  std::string first = folder.file("first.KV"), huge = folder.file("huge.KV");
  kvtest::writeFile(first, kvtest::scheduleBytes(aheadEntries()));
  HANDLE file = CreateFileA(huge.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  LARGE_INTEGER size{};
  size.QuadPart = 1536LL << 20;
  EXPECT_TRUE(SetFilePointerEx(file, size, nullptr, FILE_BEGIN) && SetEndOfFile(file));
  CloseHandle(file);
  KivroProcess kivro(first);
  ASSERT_NE(kivro.mainWindow(), nullptr);
  kivro.command(IDM_OPEN);
  chooseInFileDialog(kivro, "Open", huge);
  EXPECT_EQ(kivro.answer("Warning", IDOK),
            "|" + huge + "| is too large to open: there is not enough memory for its entries.");
  EXPECT_EQ(kivro.title(), "Kivro - [" + first + "]");
  EXPECT_TRUE(kvtest::rowsShow(kivro.rows(), {"First", "Second", "Third"}));
  DeleteFileA(huge.c_str());
}

TEST_F(ScheduleFiles, AFileNameLongerThanItsRoomIsRefused) {
  std::string name = folder.file(std::string(kv::kMaxFileName, 'n') + ".KV");
  KivroProcess kivro(name);
  EXPECT_EQ(kivro.answer("Warning", IDOK), "|" + name + "| not found.");
  ASSERT_NE(kivro.mainWindow(), nullptr);
  EXPECT_EQ(kivro.title(), "Kivro - []");
}

// A schedule named at start-up that does not exist yet keeps its name: the
// title shows it, and Save writes there without asking.
TEST_F(ScheduleFiles, AMissingFileIsReportedAndKeepsItsNameForSave) {
  std::string name = folder.file("absent.KV");
  KivroProcess kivro(name);
  EXPECT_EQ(kivro.answer("Warning", IDOK), "|" + name + "| not found.");
  ASSERT_NE(kivro.mainWindow(), nullptr);
  EXPECT_TRUE(kivro.rows().empty());
  EXPECT_EQ(kivro.title(), "Kivro - [" + name + "]");
  kivro.command(IDM_SAVE);
  EXPECT_TRUE(kvtest::eventually([&] { return kvtest::readFile(name) == "Version=3.0\r\n"; }));
  EXPECT_EQ(kvtest::waitForDialog(kivro.id(), "Save As", 300), nullptr);
}

// A file that exists but cannot be read (another program holds it) is not
// taken for a new one: the schedule stays untitled, so Save cannot write
// over it.
TEST_F(ScheduleFiles, AFileThatCannotBeReadLeavesTheScheduleUntitled) {
  std::string name = folder.file("held.KV");
  const std::string bytes = kvtest::scheduleBytes(aheadEntries());
  kvtest::writeFile(name, bytes);
  HANDLE held = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  {
    KivroProcess kivro(name);
    EXPECT_EQ(kivro.answer("Warning", IDOK), "|" + name + "| could not be read.");
    ASSERT_NE(kivro.mainWindow(), nullptr);
    EXPECT_EQ(kivro.title(), "Kivro - []");
  }
  CloseHandle(held);
  EXPECT_EQ(kvtest::readFile(name), bytes);
}

TEST_F(ScheduleFiles, AReadOnlyTargetIsReportedAndKeptAsItWas) {
  std::string name = folder.file("readonly.KV");
  std::string bytes = kvtest::scheduleBytes(aheadEntries());
  kvtest::writeFile(name, bytes);
  KivroProcess kivro(name);
  ASSERT_NE(kivro.mainWindow(), nullptr);
  SetFileAttributesA(name.c_str(), FILE_ATTRIBUTE_READONLY);
  changeSchedule(kivro);
  kivro.command(IDM_SAVE);
  EXPECT_EQ(kivro.answer("Error", IDOK), "Cannot write to " + name + ".");
  EXPECT_EQ(kvtest::readFile(name), bytes);
  EXPECT_TRUE(closingAsksToSave(kivro));
}

TEST_F(ScheduleFiles, AMissingFolderIsReported) {
  std::string name = folder.file("no such folder\\x.KV");
  KivroProcess kivro(name);
  EXPECT_EQ(kivro.answer("Warning", IDOK), "|" + name + "| not found.");
  ASSERT_NE(kivro.mainWindow(), nullptr);
  kivro.command(IDM_SAVE);
  EXPECT_EQ(kivro.answer("Error", IDOK), "Cannot write to " + name + ".");
  EXPECT_FALSE(kvtest::fileExists(name));
}

// A drive with almost no room, made by the test script (a small tmpfs mapped
// into the Wine prefix) and named by KV_FULL_DRIVE.
TEST_F(ScheduleFiles, AFullDiskIsReportedAndTheOldFileKept) {
  const char* drive = std::getenv("KV_FULL_DRIVE");
  if (!drive || !*drive) GTEST_SKIP() << "no small drive was set up for this run";
  std::string name = std::string(drive) + "\\full.KV";
  std::string bytes = kvtest::scheduleBytes(aheadEntries());
  kvtest::writeFile(name, bytes);
  ASSERT_EQ(kvtest::readFile(name), bytes);
  // Fill what room is left.
  std::string filler = std::string(drive) + "\\filler";
  kvtest::writeFile(filler, std::string(1 << 20, 'x'));

  KivroProcess kivro(name);
  ASSERT_NE(kivro.mainWindow(), nullptr);
  changeSchedule(kivro);
  kivro.command(IDM_SAVE);
  EXPECT_EQ(kivro.answer("Error", IDOK), "Cannot write to " + name + ".");
  EXPECT_EQ(kvtest::readFile(name), bytes);
  EXPECT_TRUE(closingAsksToSave(kivro));
  DeleteFileA(filler.c_str());
  DeleteFileA(name.c_str());
}

}  // namespace
