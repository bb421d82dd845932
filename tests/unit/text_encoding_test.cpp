// Texts beyond the ANSI code page: how they are measured and cut, how a
// schedule file's bytes are read as text, and that the limits count
// characters as Windows does (UTF-16 code units), not bytes.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/notification_tip.h"
#include "app/schedule_commands.h"
#include "app/window_title.h"
#include "fake_message_boxes.h"
#include "locale/date_time_text.h"
#include "schedule/entry_line.h"
#include "schedule/schedule_file.h"
#include "schedule/utf8_text.h"

namespace {

using kv::utf16Head;
using kv::utf16Length;
using kv::utf16Tail;

const std::string kCyrillic = "Отчёт";  // two bytes a letter
const std::string kChinese = "報告";    // three bytes a letter
const std::string kGreek = "Ελλάδα";
const std::string kCalendar = "\xF0\x9F\x93\x85";  // U+1F4C5, two UTF-16 units

std::string repeated(const std::string& text, std::size_t times) {
  std::string all;
  for (std::size_t i = 0; i < times; ++i) all += text;
  return all;
}

// Measuring and cutting, over valid and damaged bytes: a byte of no valid
// sequence is one character, as Windows makes it one U+FFFD.
TEST(TextEncoding, MeasuresAndCutsWholeCharacters) {
  const struct Case {
    std::string text;
    bool valid;
    std::size_t units;
    std::size_t cutTo;
    std::string head, tail;
  } cases[] = {
      {"", true, 0, 3, "", ""},
      {"Caf\xC3\xA9", true, 4, 3, "Caf", "af\xC3\xA9"},
      {kCyrillic, true, 5, 3, "Отч", "чёт"},
      {kChinese + ".xlsx", true, 7, 1, "報", "x"},
      {kGreek, true, 6, 6, kGreek, kGreek},
      {kCalendar, true, 2, 1, "", ""},
      {"a" + kCalendar + "b", true, 4, 2, "a", "b"},
      {"a" + kCalendar + "b", true, 4, 3, "a" + kCalendar, kCalendar + "b"},
      {"Caf\xE9", false, 4, 3, "Caf", "af\xE9"},          // a byte of 1252
      {"\xE2\x82", false, 2, 1, "\xE2", "\x82"},          // a character cut short
      {"\xC0\x80", false, 2, 2, "\xC0\x80", "\xC0\x80"},  // an overlong form
      {"\xED\xA0\x80x", false, 4, 1, "\xED", "x"},        // a surrogate
      {"\xF4\x90\x80\x80", false, 4, 4, "\xF4\x90\x80\x80", "\xF4\x90\x80\x80"},  // past U+10FFFF
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(kv::isValidUtf8(c.text), c.valid);
    EXPECT_EQ(utf16Length(c.text), c.units);
    EXPECT_EQ(utf16Head(c.text, c.cutTo), c.head);
    EXPECT_EQ(utf16Tail(c.text, c.cutTo), c.tail);
  }
  // Windows-1252 keeps its five undefined bytes as C1 control characters.
  EXPECT_EQ(kv::utf8FromWindows1252("Caf\xE9 \x80\x8A\x9F\x81\x12"), "Café €ŠŸ\xC2\x81\x12");
}

// A file is UTF-8 when all of its bytes are; otherwise it is one of an
// earlier version, read whole in the legacy code page (1252 here).
TEST(TextEncoding, AFileIsReadAsUtf8OnlyWhenAllOfItIs) {
  const std::string utf8 = "Version=3.0\r\n1 2 D 1 C:\\Отчёт.docx \x12 p0 dCafé\r\n";
  const std::string legacy = "Version=3.0\r\n1 2 D 1 C:\\Caf\xE9.txt \x12 p0 d\x80 5\r\n";
  const struct Case {
    std::string bytes;
    kv::FileEncoding encoding;
    std::string text;
  } cases[] = {
      {utf8, kv::FileEncoding::Utf8, utf8},
      {"\xEF\xBB\xBF" + utf8, kv::FileEncoding::Utf8, utf8},  // an editor's byte-order mark
      {"Version=3.0\r\n1 2 D 1 A.EXE \x12 p0 d\r\n", kv::FileEncoding::Utf8,
       "Version=3.0\r\n1 2 D 1 A.EXE \x12 p0 d\r\n"},
      {legacy, kv::FileEncoding::CodePage, "Version=3.0\r\n1 2 D 1 C:\\Café.txt \x12 p0 d€ 5\r\n"},
      // One byte that is no UTF-8 makes the whole file a legacy one.
      {"Version=3.0\r\n1 2 D 1 \xC3\xA9 \x12 p0 d\xE9\r\n", kv::FileEncoding::CodePage,
       "Version=3.0\r\n1 2 D 1 Ã© \x12 p0 dé\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    const kv::ScheduleFileText read = kv::scheduleFileText(c.bytes, kv::utf8FromWindows1252);
    EXPECT_EQ(read.encoding, c.encoding);
    EXPECT_EQ(read.text, c.text);
  }
  // The separator byte keeps its meaning in a legacy file's text.
  const auto entries =
      kv::decodeScheduleFile(kv::scheduleFileText(legacy, kv::utf8FromWindows1252).text, "3.0");
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].commandLine, "C:\\Café.txt");
  EXPECT_EQ(entries[0].description, "€ 5");
}

// Each limit, where a text enters or is shown, counts characters: a
// Chinese path of 253 characters is kept whole (759 bytes), one more is
// cut, and a character of two units is never halved at the cut.
TEST(TextEncoding, LimitsCountCharactersAndNeverCutOneInTwo) {
  const std::string chinese253 = "C:\\" + repeated("報", kv::kMaxText - 3);
  const auto composedCommandLine = [](const std::string& commandLine) {
    kv::ScheduleEntry e;
    e.commandLine = commandLine;
    return kv::parseEntryLine(kv::composeEntryLine(e)).commandLine;
  };
  const auto composedDescription = [](const std::string& description) {
    kv::ScheduleEntry e;
    e.commandLine = "C:\\" + repeated("Ж", 250);
    e.workingDirectory = "C:\\" + repeated("λ", 150);
    e.description = description;
    return kv::parseEntryLine(kv::composeEntryLine(e)).description;
  };
  const struct Case {
    const char* where;
    std::function<std::string()> cut;
    std::string expected;
  } cases[] = {
      {"a line keeps 253 Chinese characters", [&] { return composedCommandLine(chinese253); },
       chinese253},
      {"a line cuts the 254th", [&] { return composedCommandLine(chinese253 + "報"); }, chinese253},
      {"the 253rd unit is half a character",
       [&] { return composedCommandLine(repeated("a", 252) + kCalendar); }, repeated("a", 252)},
      {"the texts together: the description gives way",
       [&] { return composedDescription(repeated(kCalendar, 40)); }, repeated(kCalendar, 34)},
      {"a date and time text",
       [] {
         return kv::formatTime({1, ":", 1, repeated("ч", 20), ""}, 9, 5);
       },
       "09:05" + repeated("ч", 14)},
      {"the title keeps the file name's end",
       [] { return kv::windowTitle("Kivro", repeated(kCalendar, 45) + ".KV"); },
       "Kivro - [..." + repeated(kCalendar, 33) + ".KV]"},
      {"the tip", [] { return kv::notificationTip("Kivro", "", repeated(kCyrillic, 30), "9:00"); },
       "Kivro\nNext: " + std::string(utf16Head(repeated(kCyrillic, 30), 107)) + " at 9:00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.where);
    const std::string cut = c.cut();
    EXPECT_EQ(cut, c.expected);
    EXPECT_TRUE(kv::isValidUtf8(cut));
  }
  // A composed line of such texts is longer than 511 bytes and reads back.
  kv::ScheduleEntry wide;
  wide.commandLine = chinese253;
  EXPECT_GT(kv::composeEntryLine(wide).size(), kv::kMaxEntryLine);
  kvtest::FakeMessageBoxes boxes;
  EXPECT_TRUE(kv::acceptDroppedPath(chinese253, boxes));
  EXPECT_FALSE(kv::acceptDroppedPath(chinese253 + "報", boxes));
  EXPECT_EQ(boxes.shown.size(), 1u);
}

}  // namespace
