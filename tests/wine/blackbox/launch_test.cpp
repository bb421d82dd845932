// Due entries started by the real program through the Windows shell, and
// the boxes that report what could not be started.
#include <gtest/gtest.h>

#include "kivro_process_win32.h"
#include "resources/resource_ids.h"
#include "test_schedules.h"

namespace {

using kvtest::KivroProcess;
using kvtest::makeEntry;

// A schedule in a folder of its own, run with a quick check timer, whose
// started recorder writes into the folder.
class Launching : public ::testing::Test {
 protected:
  Launching() {
    record = folder.file("started.log");
    SetEnvironmentVariableA("KV_RECORD_FILE", record.c_str());
  }
  ~Launching() override { SetEnvironmentVariableA("KV_RECORD_FILE", nullptr); }

  std::unique_ptr<KivroProcess> startWith(const std::vector<kv::ScheduleEntry>& entries) {
    std::string schedule = folder.file("launch.KV");
    kvtest::writeFile(schedule, kvtest::scheduleBytes(entries));
    auto kivro = std::make_unique<KivroProcess>(schedule);
    EXPECT_NE(kivro->mainWindow(), nullptr);
    return kivro;
  }
  // Lines the recorder wrote, once there are `count` of them.
  std::string waitForStarts(std::size_t count) {
    kvtest::eventually([&] { return starts(kvtest::readFile(record)) >= count; });
    return kvtest::readFile(record);
  }
  static std::size_t starts(const std::string& log) {
    std::size_t n = 0;
    for (char c : log) n += c == '\n';
    return n;
  }

  kvtest::ScratchFolder folder;
  kvtest::ScopedSetting quickChecks{"Time", "10"};
  std::string record;
  kv::Time soon = kv::currentTime() + 2;
};

TEST_F(Launching, ADueEntryStartsWithItsShowCommandAndDirectoryAndIsFiledAgain) {
  auto daily = makeEntry(soon, 'D', kvtest::recorderPath() + " alpha  beta", "Daily recorder",
                         folder.path());
  daily.showCommand = 7;
  auto later = makeEntry(soon + 3600, 'O', "C:\\windows\\notepad.exe", "In an hour");
  auto kivro = startWith({daily, later});
  ASSERT_TRUE(kvtest::rowsShow(kivro->rows(), {"Daily recorder", "In an hour"}));

  std::string log = waitForStarts(1);
  EXPECT_EQ(log, "params=[alpha  beta] dir=[" + folder.path() + "] show=7\r\n");
  // Filed again a day later, after the entry due in an hour.
  EXPECT_TRUE(kvtest::eventually([&] {
    return kvtest::rowsShow(kivro->rows(), {"In an hour", "Daily recorder"});
  }));
  Sleep(300);
  EXPECT_EQ(starts(kvtest::readFile(record)), 1u);
}

TEST_F(Launching, AOnceEntryIsDroppedAfterItsStart) {
  auto kivro = startWith(
      {makeEntry(soon, 'O', kvtest::recorderPath() + " once", "Once only", folder.path())});
  EXPECT_EQ(waitForStarts(1), "params=[once] dir=[" + folder.path() + "] show=1\r\n");
  EXPECT_TRUE(kvtest::eventually([&] { return kivro->rows().empty(); }));
}

struct FailureCase {
  const char* name;
  std::string commandLine;  // relative names are made absolute in the folder
  char printFlag;
  std::string text;  // with %s for the program part
  const char* caption;
};

void PrintTo(const FailureCase& c, std::ostream* out) {
  *out << c.name;
}

class LaunchFailure : public Launching, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(LaunchFailure, IsReportedInItsWordsAndTheRepeatingEntryStays) {
  const FailureCase& c = GetParam();
  kvtest::writeFile(folder.file("report.xyz"), "no program opens this\r\n");
  std::string program = folder.file(c.commandLine);
  auto failing = makeEntry(soon, 'D', program, "Fails", folder.path());
  failing.printFlag = c.printFlag;
  auto next = makeEntry(soon, 'O', kvtest::recorderPath() + " after", "Runs after", folder.path());
  auto kivro = startWith({failing, next});

  std::string expected = c.text;
  if (auto at = expected.find("%s"); at != std::string::npos) expected.replace(at, 2, program);
  EXPECT_EQ(kivro->answer(c.caption, IDOK), expected);
  // The failed Daily entry waits for its next start; the next due one still
  // starts.
  EXPECT_EQ(waitForStarts(1), "params=[after] dir=[" + folder.path() + "] show=1\r\n");
  EXPECT_TRUE(kvtest::eventually([&] { return kvtest::rowsShow(kivro->rows(), {"Fails"}); }));
}

INSTANTIATE_TEST_SUITE_P(
    Shell, LaunchFailure,
    ::testing::Values(
        FailureCase{"MissingFile", "missing.exe", '0', "File not found", "Error"},
        FailureCase{"NoAssociation", "report.xyz", '0',
                    "%s is not an executable file and no application is associated with this "
                    "file type, create an association by using File Manager.",
                    "Error"},
        FailureCase{"PrintingAProgram", "tool.EXE", '1',
                    "Error printing %s. You cannot print an executable file.", "Unable to Print"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(Launching, TestEntryStartsTheSelectedEntryAndLeavesTheScheduleAsItWas) {
  kv::Time farAhead = kv::currentTime() + 30 * 86400;
  auto kivro = startWith(
      {makeEntry(farAhead, 'W', kvtest::recorderPath() + " tested", "Tested", folder.path()),
       makeEntry(farAhead + 60, 'O', "C:\\windows\\notepad.exe", "Other")});
  auto before = kivro->rows();
  kivro->selectRow(0);
  kivro->command(IDM_TEST_ENTRY);
  EXPECT_EQ(waitForStarts(1), "params=[tested] dir=[" + folder.path() + "] show=1\r\n");
  EXPECT_EQ(kivro->rows(), before);
  // Nothing changed, so closing asks nothing.
  kivro->command(IDM_EXIT);
  EXPECT_EQ(kivro->waitForExit(), 0);
}

}  // namespace
