// Names beyond the ANSI code page, with the real kv.exe in a prefix whose
// code page is 1252: a folder and a program named in Cyrillic, Greek and
// Chinese letters and an emoji (beyond the Basic Multilingual Plane) are
// scheduled through the Add dialog and Browse, shown, saved in UTF-8 and
// loaded back byte for byte, started in that folder, and found in the
// history and by kvtool. A file of an earlier version in code page 1252
// loads as it did and is saved in UTF-8; a path of 253 Chinese characters
// is kept whole.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <memory>

#include "history_records_win32.h"
#include "kivro_process_win32.h"
#include "kvtool_runs_win32.h"
#include "resources/resource_ids.h"
#include "test_schedules.h"

namespace {

using kvtest::KivroProcess;
using kvtest::pressButton;
using kvtest::setWindowText;
using kvtest::waitUntilGone;
using kvtest::wideOf;

// No blank in the folder's and the program's names: the program part of a
// command line ends at the first blank.
const std::string kFolderName = "Отчёт_Ελλάδα_報告_📅";
const std::string kProgramName = "Программа_Πρόγραμμα_程序_📅.exe";
const std::string kScheduleName = "Расписание_日程_📅.KV";
const std::string kParameters = "Café Ελλάδα 報告 📅";
const std::string kDescription = "Отчёт Ελλάδα 報告 📅";
constexpr const char* kDialogCaption = "Add/Edit Time";

std::string repeated(const std::string& text, std::size_t times) {
  std::string all;
  for (std::size_t i = 0; i < times; ++i) all += text;
  return all;
}

// A scratch folder with a folder of such a name in it, holding a copy of
// the recorder under such a name; the recorder writes into the scratch.
class UnicodeNames : public ::testing::Test {
 protected:
  UnicodeNames() {
    CreateDirectoryW(wideOf(folder).c_str(), nullptr);
    CopyFileW(wideOf(kvtest::recorderPath()).c_str(), wideOf(program).c_str(), FALSE);
    SetEnvironmentVariableA("KV_RECORD_FILE", record.c_str());
  }
  // The names must lie beyond the ANSI code page of the prefix.
  void SetUp() override { ASSERT_EQ(GetACP(), 1252u); }
  ~UnicodeNames() override {
    SetEnvironmentVariableA("KV_RECORD_FILE", nullptr);
    for (const std::string& file : {program, schedule}) DeleteFileW(wideOf(file).c_str());
    RemoveDirectoryW(wideOf(folder).c_str());
  }

  // Add, with the program chosen through Browse and the parameters typed
  // after it; a year from now, so that it is not due while the test runs.
  void addThroughTheDialog(KivroProcess& kivro) {
    kivro.command(IDM_ADD);
    HWND add = kivro.waitForDialog(kDialogCaption);
    ASSERT_NE(add, nullptr);
    const std::string year = kvtest::windowText(GetDlgItem(add, IDC_START_YEAR));
    setWindowText(GetDlgItem(add, IDC_START_YEAR), std::to_string(std::stoi(year) + 1));
    pressButton(add, IDC_BROWSE);
    ASSERT_TRUE(kivro.chooseFile("Browse", program));
    ASSERT_TRUE(kvtest::eventually(
        [&] { return kvtest::windowText(GetDlgItem(add, IDC_COMMAND_LINE)) == program; }));
    setWindowText(GetDlgItem(add, IDC_COMMAND_LINE), program + " " + kParameters);
    setWindowText(GetDlgItem(add, IDC_DESCRIPTION), kDescription);
    pressButton(add, IDOK);
    ASSERT_TRUE(waitUntilGone(add));
  }

  // The file once a save has written it anew.
  std::string savedBy(KivroProcess& kivro) {
    DeleteFileW(wideOf(schedule).c_str());
    kivro.command(IDM_SAVE);
    EXPECT_TRUE(kvtest::eventually([&] { return kvtest::fileExists(schedule); }));
    Sleep(100);
    return kvtest::readFile(schedule);
  }

  // kvtool.exe's standard output, a file: UTF-8.
  std::string kvtool(const std::string& arguments) {
    return kvtest::runKvtool(arguments,
                             scratch.file("kvtool" + std::to_string(++kvtoolRuns) + ".out"));
  }

  kv::Time begun = kv::currentTime();
  kvtest::ScratchFolder scratch;
  std::string folder = scratch.file(kFolderName);
  std::string program = folder + "\\" + kProgramName;
  std::string schedule = folder + "\\" + kScheduleName;
  std::string record = scratch.file("started.log");
  int kvtoolRuns = 0;
};

TEST_F(UnicodeNames, AnEntryIsShownSavedLoadedStartedAndRecordedWithEveryLetter) {
  auto kivro = std::make_unique<KivroProcess>("\"" + schedule + "\"");
  // A schedule that is not there yet is said so, and kept as the title.
  EXPECT_EQ(kivro->answer("Warning", IDOK), "|" + schedule + "| not found.");
  EXPECT_TRUE(kvtest::endsWith(kivro->title(), kScheduleName + "]")) << kivro->title();

  addThroughTheDialog(*kivro);
  ASSERT_TRUE(kvtest::eventually([&] { return kvtest::rowsShow(kivro->rows(), {kDescription}); }));
  const std::string saved = savedBy(*kivro);
  EXPECT_TRUE(saved.starts_with("Version=3.0\r\n")) << "no byte-order mark";
  EXPECT_TRUE(kvtest::endsWith(saved, " O 1 " + program + " " + kParameters + " \x12" + folder +
                                          " p0 d" + kDescription + "\r\n"))
      << saved;
  kivro->command(IDM_EXIT);  // saved: no question
  ASSERT_EQ(kivro->waitForExit(), 0);

  // Loaded back, shown as it was, and saved again byte for byte.
  kivro = std::make_unique<KivroProcess>("\"" + schedule + "\"");
  ASSERT_TRUE(kvtest::eventually([&] { return kvtest::rowsShow(kivro->rows(), {kDescription}); }));
  EXPECT_EQ(savedBy(*kivro), saved);

  // Started in that folder with those parameters.
  kivro->selectRow(0);
  kivro->command(IDM_TEST_ENTRY);
  ASSERT_TRUE(kvtest::eventually([&] { return !kvtest::readFile(record).empty(); }));
  EXPECT_EQ(kvtest::readFile(record),
            "params=[" + kParameters + "] dir=[" + folder + "] show=1\r\n");
  EXPECT_TRUE(kvtest::eventually([&] {
    return kivro->statusText().starts_with("Last: " + kDescription + " at ");
  })) << kivro->statusText();

  // In the history, and in kvtool's; kvtool reads the schedule by its name.
  ASSERT_TRUE(kvtest::eventually([&] {
    const auto lines = kvtest::historyLinesIn(folder, begun);
    return std::any_of(lines.begin(), lines.end(), [&](const kv::HistoryRecord& r) {
      return r.description == kDescription && r.commandLine == program + " " + kParameters &&
             r.schedule == schedule;
    });
  }));
  const std::string history = kvtool("history --format=tsv");
  EXPECT_NE(history.find("\t" + schedule + "\t" + kDescription + "\t" + program + " " +
                         kParameters + "\t" + folder + "\t"),
            std::string::npos)
      << history;
  const std::string listed = kvtool("list --format=tsv \"" + schedule + "\"");
  EXPECT_TRUE(kvtest::endsWith(listed, "\t" + kDescription + "\r\n")) << listed;
}

// A file that an earlier version wrote in code page 1252 shows its letters
// as before; the next save writes them in UTF-8, and nothing else changes.
TEST_F(UnicodeNames, AFileOfCodePage1252LoadsAsBeforeAndIsSavedInUtf8) {
  const std::string legacy = scratch.file("legacy.KV");
  const kv::ScheduleEntry cafe =
      kvtest::makeEntry(kv::currentTime() + 86400, 'D', "C:\\windows\\notepad.exe C:\\Caf\xE9.txt",
                        "Caf\xE9 au lait");
  kvtest::writeFile(legacy, kvtest::scheduleBytes({cafe}));
  KivroProcess kivro(legacy);
  ASSERT_TRUE(kvtest::eventually([&] { return kvtest::rowsShow(kivro.rows(), {"Café au lait"}); }));
  kivro.command(IDM_SAVE);
  kv::ScheduleEntry inUtf8 = cafe;
  inUtf8.commandLine = "C:\\windows\\notepad.exe C:\\Café.txt";
  inUtf8.description = "Café au lait";
  EXPECT_TRUE(kvtest::eventually([&] {
    return kvtest::readFile(legacy) == kvtest::scheduleBytes({inUtf8});
  })) << kvtest::readFile(legacy);
}

// 253 Chinese characters (759 bytes) are one path within the limit: pasted
// into the dialog (one more is left out), filed, saved and loaded back whole.
TEST_F(UnicodeNames, APathOf253ChineseCharactersIsKeptWhole) {
  const std::string path = "C:\\" + repeated("報", kv::kMaxText - 3);
  KivroProcess kivro("\"" + schedule + "\"");
  kivro.answer("Warning", IDOK);
  kivro.command(IDM_ADD);
  HWND add = kivro.waitForDialog(kDialogCaption);
  ASSERT_NE(add, nullptr);
  const std::string year = kvtest::windowText(GetDlgItem(add, IDC_START_YEAR));
  setWindowText(GetDlgItem(add, IDC_START_YEAR), std::to_string(std::stoi(year) + 1));
  setWindowText(GetDlgItem(add, IDC_DESCRIPTION), "報告");
  const std::wstring pasted = wideOf(path + "報");
  SendMessageW(GetDlgItem(add, IDC_COMMAND_LINE), EM_REPLACESEL, TRUE,
               reinterpret_cast<LPARAM>(pasted.c_str()));
  EXPECT_EQ(kvtest::windowText(GetDlgItem(add, IDC_COMMAND_LINE)), path);
  pressButton(add, IDOK);
  kivro.answer("Invalid Path Warning", IDOK);  // no such program here
  ASSERT_TRUE(waitUntilGone(add));
  ASSERT_TRUE(kvtest::eventually([&] { return kvtest::rowsShow(kivro.rows(), {"報告"}); }));
  const std::string saved = savedBy(kivro);
  EXPECT_NE(saved.find(" O 1 " + path + " \x12"), std::string::npos) << saved;
  kivro.command(IDM_EXIT);
  ASSERT_EQ(kivro.waitForExit(), 0);

  KivroProcess again("\"" + schedule + "\"");
  ASSERT_TRUE(kvtest::eventually([&] { return kvtest::rowsShow(again.rows(), {"報告"}); }));
  EXPECT_EQ(savedBy(again), saved);
}

}  // namespace
