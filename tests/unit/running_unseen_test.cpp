// Running unseen: the notification-area tip and starting at logon.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/logon_start.h"
#include "app/notification_tip.h"

namespace {

class FakeRunKey : public kv::RunKey {
 public:
  std::optional<std::string> value;
  int writes = 0;
  std::optional<std::string> read() override { return value; }
  bool write(const std::string& v) override {
    ++writes;
    value = v;
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
  EXPECT_FALSE(kv::startsAtLogon(key, kProgram));
  kv::toggleStartAtLogon(key, kProgram, "");
  EXPECT_FALSE(key.value.has_value()) << "an untitled schedule starts nothing";

  kv::toggleStartAtLogon(key, kProgram, "C:\\My Files\\day.KV");
  EXPECT_EQ(key.value, "\"C:\\Kivro\\kv.exe\" \"C:\\My Files\\day.KV\"");
  EXPECT_TRUE(kv::startsAtLogon(key, "c:\\kivro\\KV.EXE"));
  EXPECT_FALSE(kv::startsAtLogon(key, "C:\\Other\\kv.exe"));

  kv::followScheduleName(key, kProgram, "C:\\night.KV");
  EXPECT_EQ(key.value, "\"C:\\Kivro\\kv.exe\" \"C:\\night.KV\"");
  const int writes = key.writes;
  kv::followScheduleName(key, kProgram, "C:\\night.KV");
  kv::followScheduleName(key, kProgram, "");  // New: the value stays
  EXPECT_EQ(key.writes, writes);
  EXPECT_EQ(key.value, "\"C:\\Kivro\\kv.exe\" \"C:\\night.KV\"");

  kv::toggleStartAtLogon(key, kProgram, "C:\\night.KV");
  EXPECT_FALSE(key.value.has_value());

  // Another program's value is neither followed nor taken for this one's.
  key.value = "C:\\Other\\kv.exe C:\\x.KV";
  kv::followScheduleName(key, kProgram, "C:\\night.KV");
  EXPECT_EQ(key.value, "C:\\Other\\kv.exe C:\\x.KV");
  EXPECT_TRUE(kv::startsProgram("C:\\Kivro\\kv.exe C:\\x.KV", kProgram));
}

TEST(NotificationTip, NamesTheScheduleAndTheNextStartWithinItsRoom) {
  struct Case {
    std::string file, description, when, tip;
  } const cases[] = {
      {"C:\\day.KV", "Back up", "12/10/26 02:00am",
       "Kivro - C:\\day.KV\nNext: Back up at 12/10/26 02:00am"},
      {"C:\\day.KV", "", "", "Kivro - C:\\day.KV"},
      {"", "Back up", "12/10/26 02:00am", "Kivro\nNext: Back up at 12/10/26 02:00am"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(kv::notificationTip("Kivro", c.file, c.description, c.when), c.tip);
  }
  const std::string longName = "C:\\" + std::string(200, 'd') + "\\day.KV";
  const std::string tip =
      kv::notificationTip("Kivro", longName, std::string(200, 'x'), "12/10/26 02:00am");
  EXPECT_LE(tip.size(), kv::kMaxTip);
  EXPECT_NE(tip.find("..."), std::string::npos);
  EXPECT_NE(tip.find("\\day.KV\nNext: x"), std::string::npos) << tip;
  EXPECT_TRUE(tip.ends_with(" at 12/10/26 02:00am")) << tip;
}

}  // namespace
