// The real kv.exe running unseen: starting at logon through the Run key,
// starts missed while no schedule was loaded, and a change of the clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "kivro_process_win32.h"
#include "resources/resource_ids.h"
#include "test_schedules.h"

namespace {

using kvtest::KivroProcess;
using kvtest::makeEntry;

constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::optional<std::string> runValue() {
  char value[1024] = "";
  DWORD size = sizeof value;
  if (RegGetValueA(HKEY_CURRENT_USER, kRunKey, "Kivro", RRF_RT_REG_SZ, nullptr, value, &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::string(value);
}

void removeRunValue() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
  RegDeleteValueA(key, "Kivro");
  RegCloseKey(key);
}

std::size_t lines(const std::string& text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

class RunningUnseen : public ::testing::Test {
 protected:
  RunningUnseen() {
    removeRunValue();
    SetEnvironmentVariableA("KV_RECORD_FILE", record.c_str());
  }
  ~RunningUnseen() override {
    SetEnvironmentVariableA("KV_RECORD_FILE", nullptr);
    removeRunValue();
  }
  std::unique_ptr<KivroProcess> startWith(const std::vector<kv::ScheduleEntry>& entries) {
    kvtest::writeFile(schedule, kvtest::scheduleBytes(entries));
    auto kivro = std::make_unique<KivroProcess>(schedule);
    EXPECT_NE(kivro->mainWindow(), nullptr);
    return kivro;
  }
  kv::ScheduleEntry recorded(kv::Time start, char frequency, const std::string& id) {
    return makeEntry(start, frequency, kvtest::recorderPath() + " " + id, id, folder.path());
  }

  kvtest::ScratchFolder folder;
  std::string schedule = folder.file("unseen.KV");
  std::string record = folder.file("started.log");
  kv::Time ahead = kv::currentTime() + 10 * 86400;
};

// On, the Run value starts this kv.exe with the schedule, both quoted; it
// follows Save As to the new name; off, it is gone.
TEST_F(RunningUnseen, StartAtLogonWritesTheRunValueFollowsSaveAsAndRemovesIt) {
  auto kivro = startWith({makeEntry(ahead, 'D', "C:\\windows\\notepad.exe", "Daily")});
  kivro->command(IDM_START_AT_LOGON);
  ASSERT_TRUE(kvtest::eventually([] { return runValue().has_value(); }));
  const std::string exe = "\"" + kvtest::windowsPath(KV_EXE_PATH) + "\" ";
  EXPECT_TRUE(_stricmp(runValue()->substr(0, exe.size()).c_str(), exe.c_str()) == 0) << *runValue();
  EXPECT_TRUE(kvtest::endsWith(*runValue(), "\"" + schedule + "\"")) << *runValue();

  const std::string renamed = folder.file("renamed.KV");
  kivro->command(IDM_SAVE_AS);
  ASSERT_TRUE(kivro->chooseFile("Save As", renamed));
  EXPECT_TRUE(kvtest::eventually(
      [&] { return kvtest::endsWith(runValue().value_or(""), "\"" + renamed + "\""); }));

  kivro->command(IDM_START_AT_LOGON);
  EXPECT_TRUE(kvtest::eventually([] { return !runValue().has_value(); }));
}

// Entries whose starts passed while no schedule was loaded: with
// MissedStarts on, the first check starts each once; off, none.
TEST_F(RunningUnseen, MissedStartsRunOnceOnLoadingOnlyWithTheSettingOn) {
  const kv::Time now = kv::currentTime();
  for (const char* setting : {"0", "1"}) {
    SCOPED_TRACE(std::string("MissedStarts=") + setting);
    kvtest::ScopedSetting missed("MissedStarts", setting);
    DeleteFileA(record.c_str());
    auto kivro = startWith({recorded(now - 2 * 86400 - 60, 'D', "daily"),
                            recorded(now - 3600, 'O', "once"), recorded(ahead, 'W', "ahead")});
    Sleep(3000);  // the first checks after the load have run
    EXPECT_EQ(lines(kvtest::readFile(record)), *setting == '1' ? 2u : 0u) << "once each, or none";
    // The Daily entry waits for its next start; the one-time one is gone.
    EXPECT_TRUE(kvtest::rowsShow(kivro->rows(), {"daily", "ahead"}));
  }
}

// A change of the system time runs the due check at once, not at the
// next tick of a check timer set to 1000 s.
TEST_F(RunningUnseen, AChangeOfTheClockRunsTheDueCheckAtOnce) {
  kvtest::ScopedSetting slow{"Time", "100000"};
  auto kivro = startWith({recorded(kv::currentTime() + 1, 'O', "due")});
  Sleep(2500);
  ASSERT_FALSE(kvtest::fileExists(record)) << "started before any check was due";
  PostMessageA(kivro->mainWindow(), WM_TIMECHANGE, 0, 0);
  EXPECT_TRUE(kvtest::eventually([&] { return lines(kvtest::readFile(record)) == 1; }, 3000));
}

// With Wake the Computer to Run on, the wake timer armed for the first-due
// entry fires at its start and runs the due check, though the check timer
// would not tick for 1000 s; off, nothing starts.
TEST_F(RunningUnseen, TheWakeTimerRunsTheDueCheckAtTheFirstDueStart) {
  kvtest::ScopedSetting slow{"Time", "100000"};
  for (const char* setting : {"0", "1"}) {
    SCOPED_TRACE(std::string("WakeToRun=") + setting);
    kvtest::ScopedSetting wake("WakeToRun", setting);
    DeleteFileA(record.c_str());
    auto kivro = startWith({recorded(kv::currentTime() + 2, 'O', "woken")});
    const bool started =
        kvtest::eventually([&] { return lines(kvtest::readFile(record)) == 1; }, 5000);
    EXPECT_EQ(started, *setting == '1');
  }
}

}  // namespace
