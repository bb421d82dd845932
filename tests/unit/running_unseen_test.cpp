// Running unseen: the notification-area tip and starting at logon.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/logon_start.h"
#include "app/notification_tip.h"

namespace {

struct FakeRunKey : kv::RunKey {
  std::optional<std::string> value;
  int writes = 0;
  std::optional<std::string> read() override { return value; }
  bool write(const std::string& v) override {
    value = v;
    ++writes;
    return true;
  }
  bool remove() override {
    value.reset();
    return true;
  }
};

constexpr const char* kProgram = "C:\\Kivro\\kv.exe";

TEST(StartAtLogon, TheRunValueStartsThisProgramWithTheScheduleAndFollowsItsName) {
  FakeRunKey key;
  kv::toggleStartAtLogon(key, kProgram, "");
  EXPECT_FALSE(key.value.has_value()) << "an untitled schedule starts nothing";

  kv::toggleStartAtLogon(key, kProgram, "C:\\My Files\\day.KV");
  EXPECT_EQ(key.value, "\"C:\\Kivro\\kv.exe\" \"C:\\My Files\\day.KV\"");
  EXPECT_TRUE(kv::startsAtLogon(key, "c:\\kivro\\KV.EXE"));
  EXPECT_FALSE(kv::startsAtLogon(key, "C:\\Other\\kv.exe"));

  kv::followScheduleName(key, kProgram, "C:\\night.KV");
  EXPECT_EQ(key.value, "\"C:\\Kivro\\kv.exe\" \"C:\\night.KV\"");
  kv::followScheduleName(key, kProgram, "C:\\night.KV");
  kv::followScheduleName(key, kProgram, "");  // New: the value stays
  EXPECT_EQ(key.writes, 2);

  kv::toggleStartAtLogon(key, kProgram, "C:\\night.KV");
  EXPECT_FALSE(key.value.has_value());

  // Another program's value is neither followed nor taken for this one's.
  key.value = "C:\\Other\\kv.exe C:\\x.KV";
  kv::followScheduleName(key, kProgram, "C:\\night.KV");
  EXPECT_EQ(key.value, "C:\\Other\\kv.exe C:\\x.KV");
  EXPECT_TRUE(kv::startsProgram("C:\\Kivro\\kv.exe C:\\x.KV", kProgram));
}

// A long file name keeps its end after "...", a long description is cut: the
// last tip fills all 127 characters.
TEST(NotificationTip, NamesTheScheduleAndTheNextStartWithinItsRoom) {
  struct Case {
    std::string file, description, when, tip;
  } const cases[] = {
      {"C:\\day.KV", "Back up", "12/10/26 02:00am",
       "Kivro - C:\\day.KV\nNext: Back up at 12/10/26 02:00am"},
      {"C:\\day.KV", "", "", "Kivro - C:\\day.KV"},
      {"", "Back up", "12/10/26 02:00am", "Kivro\nNext: Back up at 12/10/26 02:00am"},
      {"C:\\" + std::string(200, 'd') + "\\day.KV", std::string(200, 'x'), "12/10/26 02:00am",
       "Kivro - ..." + std::string(45, 'd') + "\\day.KV\nNext: " + std::string(37, 'x') +
           " at 12/10/26 02:00am"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(kv::notificationTip("Kivro", c.file, c.description, c.when), c.tip);
  }
}

}  // namespace
