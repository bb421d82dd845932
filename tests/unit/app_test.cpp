// The start-up and settings rules of the application frame.
#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>

#include "app/command_line.h"
#include "app/help_page.h"
#include "app/settings.h"
#include "app/unsaved_changes.h"
#include "app/window_title.h"

namespace {

TEST(CommandLineTail, IsEverythingAfterTheProgramNameAndItsWhiteSpace) {
  struct Case {
    const char* full;
    const char* tail;
  } cases[] = {
      {"kv.exe", ""},
      {"kv.exe   ", ""},
      {"kv.exe C:\\a.KV", "C:\\a.KV"},
      {"kv.exe \t\r\n C:\\My  Files\\a b.KV  ", "C:\\My  Files\\a b.KV  "},
      {"\"C:\\Program Files\\kv.exe\" \"C:\\x y.KV\"", "\"C:\\x y.KV\""},
      {"\"C:\\Program Files\\kv.exe\"C:\\a.KV", "C:\\a.KV"},
      {"\"unterminated name", ""},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(kv::commandLineTail(c.full), c.tail) << c.full;
  // The command line may be part of a longer text: nothing past it is read.
  EXPECT_EQ(kv::commandLineTail(std::string_view("kv.exe   ", 8)), "");
}

TEST(ScheduleFileArgument, DropsOnlyOnePairOfQuotesAroundTheWholeName) {
  struct Case {
    const char* tail;
    const char* name;
  } cases[] = {
      {"\"C:\\My Files\\a.KV\"", "C:\\My Files\\a.KV"},
      {"C:\\My Files\\a.KV", "C:\\My Files\\a.KV"},
      {"\"C:\\a.KV", "\"C:\\a.KV"},
      {"\"a.KV\" \"b.KV\"", "a.KV\" \"b.KV"},
      {"\"\"", ""},
      {"\"", "\""},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(kv::scheduleFileArgument(c.tail), c.name) << c.tail;
}

// The question before unsaved changes could be lost, with every answer and
// a save that does or does not take place.
TEST(UnsavedChanges, ProceedOnlyWhenNothingWouldBeLost) {
  using kv::SaveAnswer;
  using kv::Settled;
  struct Case {
    bool changed;
    SaveAnswer answer;
    bool saveWorks;
    Settled settled;
    int questions;
    bool stillChanged;
  } cases[] = {
      {false, SaveAnswer::Cancel, false, Settled::Proceed, 0, false},
      {true, SaveAnswer::Yes, true, Settled::Proceed, 1, false},
      {true, SaveAnswer::Yes, false, Settled::NotSaved, 1, true},
      {true, SaveAnswer::No, false, Settled::Proceed, 1, false},
      {true, SaveAnswer::Cancel, true, Settled::Cancelled, 1, true},
  };
  for (const auto& c : cases) {
    bool changed = c.changed;
    int questions = 0;
    kv::UnsavedChanges changes{
        [&] { return changed; },
        [&] {
          ++questions;
          return c.answer;
        },
        [&] { changed = changed && !c.saveWorks; },
        [&] { changed = false; },
    };
    EXPECT_EQ(kv::settleUnsavedChanges(changes), c.settled) << static_cast<int>(c.answer);
    EXPECT_EQ(questions, c.questions);
    EXPECT_EQ(changed, c.stillChanged);
  }
}

TEST(HelpPage, FileAddressKeepsThePathAndEscapesWhatAnAddressCannotHold) {
  EXPECT_EQ(kv::fileAddress("C:\\Program Files\\Kivro\\kivro-help.html"),
            "file:///C:/Program%20Files/Kivro/kivro-help.html");
  EXPECT_EQ(kv::fileAddress("Z:\\a#b%c\xe4.html"), "file:///Z:/a%23b%25c%E4.html");
}

TEST(Settings, AFlagIsOnWhenItsTextBeginsWithOne) {
  EXPECT_TRUE(kv::flagIsOn("1"));
  EXPECT_TRUE(kv::flagIsOn("10"));
  EXPECT_FALSE(kv::flagIsOn("0"));
  EXPECT_FALSE(kv::flagIsOn(""));
  EXPECT_FALSE(kv::flagIsOn("yes"));
  EXPECT_FALSE(kv::flagIsOn(" 1"));
}

TEST(Settings, TheCheckPeriodIsTenTimesTimeWithoutWrapping) {
  EXPECT_EQ(kv::checkTimerPeriod(100), 1000u);
  EXPECT_EQ(kv::checkTimerPeriod(5), 50u);
  EXPECT_EQ(kv::checkTimerPeriod(0), 0u);
  EXPECT_EQ(kv::checkTimerPeriod(214748364), 2147483640u);
  // The largest period a window timer takes is 0x7FFFFFFF ms; tenfold the
  // last two would wrap in 32 bits to tiny periods.
  for (std::uint32_t time : {214748365u, 429496730u, 4294967295u}) {
    EXPECT_EQ(kv::checkTimerPeriod(time), 2147483647u) << time;
  }
}

TEST(WindowTitle, ShowsTheProductAndTheFileName) {
  EXPECT_EQ(kv::windowTitle("Kivro", ""), "Kivro - []");
  EXPECT_EQ(kv::windowTitle("Kivro", "C:\\a.KV"), "Kivro - [C:\\a.KV]");
}

TEST(WindowTitle, ALongNameKeepsItsEndWithinTheRoom) {
  std::string name = "C:\\" + std::string(300, 'd') + "\\schedule.KV";
  std::string title = kv::windowTitle("Kivro", name);
  EXPECT_EQ(title.size(), kv::kMaxTitle);
  EXPECT_EQ(title.substr(0, 12), "Kivro - [...");
  EXPECT_EQ(title.substr(title.size() - 13), "\\schedule.KV]");
  // Exactly at the room nothing is cut.
  std::string fits(kv::kMaxTitle - 10, 'f');
  EXPECT_EQ(kv::windowTitle("Kivro", fits), "Kivro - [" + fits + "]");
  EXPECT_LE(kv::windowTitle(std::string(200, 'P'), name).size(), kv::kMaxTitle);
}

}  // namespace
