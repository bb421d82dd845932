// The start-up and settings rules of the application frame.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

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

// Only the exact text the program writes chooses the Details view; the
// window starts in rows whatever else KV.INI holds.
TEST(Settings, OnlyDetailsChoosesTheDetailsView) {
  const struct {
    const char* stored;
    kv::ListView view;
  } cases[] = {{"Details", kv::ListView::Details}, {"Rows", kv::ListView::Rows},
               {"", kv::ListView::Rows},           {"details", kv::ListView::Rows},
               {"Details2", kv::ListView::Rows},   {"Detail", kv::ListView::Rows}};
  for (const auto& c : cases) EXPECT_EQ(kv::parseView(c.stored), c.view) << c.stored;
  for (const kv::ListView view : {kv::ListView::Rows, kv::ListView::Details}) {
    EXPECT_EQ(kv::parseView(kv::viewText(view)), view);
  }
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

// Kept column widths as KV.INI holds them: good texts read back, and a
// damaged width is none, so that its column fits its content instead.
TEST(ColumnWidths, TheTextReadsBackAndADamagedWidthIsLeftToFit) {
  constexpr std::optional<int> none;
  const kv::ColumnWidths allNone(4);
  struct Case {
    const char* text;
    kv::ColumnWidths widths;
  } cases[] = {
      {"120,90,300,4000", {120, 90, 300, 4000}},
      {"120,,0,", {120, none, 0, none}},
      {" 120 ,\t90,300 ,7", {120, 90, 300, 7}},
      {"120,abc,300,50", {120, none, 300, 50}},
      {"120,9x,1.5,+5", {120, none, none, none}},
      {"-5,90,-0x1,50", {none, 90, none, 50}},
      {"4001,90,300,99999999999", {none, 90, 300, none}},
      {"120,90,300", allNone},
      {"120,90,300,50,60", allNone},
      {"", allNone},
      {",,,", allNone},
      {"120;90;300;50", allNone},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(kv::parseColumnWidths(c.text, 4), c.widths) << c.text;
    const std::string text = kv::columnWidthsText(c.widths);
    EXPECT_EQ(kv::parseColumnWidths(text, 4), c.widths) << text;
  }
  EXPECT_EQ(kv::columnWidthsText({120, none, 0, none}), "120,,0,");
  EXPECT_EQ(kv::columnWidthsText(allNone), "");
}

// On closing, only the columns whose width changed since the window opened
// take a new kept width.
TEST(ColumnWidths, OnlyAResizedColumnKeepsANewWidth) {
  constexpr std::optional<int> none;
  struct Case {
    kv::ColumnWidths kept;
    std::vector<int> opened, closing;
    kv::ColumnWidths toKeep;
  } cases[] = {
      {{none, none, none}, {100, 80, 90}, {100, 80, 90}, {none, none, none}},
      {{none, none, none}, {100, 80, 90}, {100, 120, 90}, {none, 120, none}},
      {{200, none, none}, {200, 80, 90}, {200, 80, 90}, {200, none, none}},
      {{200, none, 50}, {200, 80, 50}, {150, 0, 50}, {150, 0, 50}},
      {{none, none, none}, {100, 80, 90}, {100, 80, 5000}, {none, none, 4000}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(kv::widthsToKeep(c.kept, c.opened, c.closing), c.toKeep)
        << kv::columnWidthsText(c.toKeep);
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
