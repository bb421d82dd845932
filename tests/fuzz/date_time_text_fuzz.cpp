// Fuzz target: date and time text with any regional settings values.
//
// Whatever the settings hold (any order and form numbers, separators and
// designators of any bytes and length), a date or time text is at most
// kMaxDateTimeText characters. When the settings' texts hold no digit and
// the text was not cut, its numbers read back as the date's month, day and
// year (two digits or full) in the settings' order, or as the time's hour
// (on the clock of the settings' form) and minute. Any short-date pattern,
// language code and room give an answer inside their ranges.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "locale/date_time_text.h"
#include "schedule/utf8_text.h"

namespace {

void require(bool holds) {
  if (!holds) std::abort();
}

bool hasDigit(std::string_view text) {
  return text.find_first_of("0123456789") != std::string_view::npos;
}

// The runs of digits in a text, as numbers.
std::vector<long> numbersIn(std::string_view text) {
  std::vector<long> numbers;
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] < '0' || text[i] > '9') {
      ++i;
      continue;
    }
    long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
      value = value * 10 + (text[i] - '0');
    numbers.push_back(value);
  }
  return numbers;
}

// A text at its limit, or one unit short of it where a character of two
// units did not fit, may have been cut.
bool mayBeCut(std::string_view text) {
  return kv::utf16Length(text) + 1 >= kv::kMaxDateTimeText;
}

void date(FuzzedDataProvider& data) {
  kv::DateSettings settings;
  settings.order = data.ConsumeIntegral<int>();
  settings.fullYear = data.ConsumeBool();
  settings.separator = data.ConsumeRandomLengthString(32);
  const int month = data.ConsumeIntegralInRange(1, 12);
  const int day = data.ConsumeIntegralInRange(1, 31);
  const int year = data.ConsumeIntegralInRange(1900, 9999);
  const std::string text = kv::formatDate(settings, month, day, year);
  require(kv::utf16Length(text) <= kv::kMaxDateTimeText);
  if (settings.separator.empty() || hasDigit(settings.separator) || mayBeCut(text)) {
    return;
  }
  const long shownYear = settings.fullYear ? year : year < 2000 ? year - 1900 : year - 2000;
  std::vector<long> expected{month, day, shownYear};
  if (settings.order == kv::kDayFirst) expected = {day, month, shownYear};
  if (settings.order == kv::kYearFirst) expected = {shownYear, month, day};
  require(numbersIn(text) == expected);
}

void time(FuzzedDataProvider& data) {
  kv::TimeSettings settings;
  settings.form = data.ConsumeIntegral<int>();
  settings.leadingZero = data.ConsumeIntegral<int>();
  settings.separator = data.ConsumeRandomLengthString(32);
  settings.morning = data.ConsumeRandomLengthString(32);
  settings.afternoon = data.ConsumeRandomLengthString(32);
  const int hour = data.ConsumeIntegralInRange(0, 23);
  const int minute = data.ConsumeIntegralInRange(0, 59);
  const std::string text = kv::formatTime(settings, hour, minute);
  require(kv::utf16Length(text) <= kv::kMaxDateTimeText);
  if (settings.separator.empty() || hasDigit(settings.separator) || hasDigit(settings.morning) ||
      hasDigit(settings.afternoon) || mayBeCut(text)) {
    return;
  }
  const long shownHour = settings.form == 1 ? hour : hour % 12 == 0 ? 12 : hour % 12;
  require(numbersIn(text) == std::vector<long>{shownHour, minute});
  const std::string_view designator = hour < 12 ? settings.morning : settings.afternoon;
  require(text.size() >= designator.size() &&
          text.compare(text.size() - designator.size(), designator.size(), designator) == 0);
}

void patternsAndCodes(FuzzedDataProvider& data) {
  const std::string pattern = data.ConsumeRandomLengthString(64);
  const bool full = kv::shortDatePatternShowsFullYear(pattern);
  if (pattern.find_first_of("yY") == std::string::npos) require(full);

  const std::string code = data.ConsumeRandomLengthString(8);
  const int base = kv::languageBase(code);
  require(base >= 100 && base <= 1400 && base % 100 == 0);
  const int month = data.ConsumeIntegralInRange(1, 12);
  const int id = kv::monthNameResourceId(month, code);
  require(id >= 10101 && id <= 11412);

  const std::size_t room = data.ConsumeIntegralInRange<std::size_t>(0, 40);
  const std::string text = data.ConsumeRandomLengthString(64);
  const std::string fitted = kv::fitToRoom(text, room);
  require(kv::utf16Length(fitted) + 1 <= (room == 0 ? 1 : room));
  require(text.compare(0, fitted.size(), fitted) == 0);
  require(fitted.find('\0') == std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  FuzzedDataProvider data(bytes, size);
  switch (data.ConsumeIntegralInRange(0, 2)) {
    case 0:
      date(data);
      break;
    case 1:
      time(data);
      break;
    default:
      patternsAndCodes(data);
      break;
  }
  return 0;
}
