// The user's regional settings as Windows keeps them: the user's locale, and
// the "intl" section of the Windows profile for when the locale cannot answer.
//
// Nothing is cached: every call reads the settings again, so a change of the
// regional settings shows in the next text that is built.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "locale/date_time_text.h"
#include "schedule/schedule_store.h"
#include "schedule/schedule_time.h"

namespace kv {

// The date settings of the user's locale, or of the profile when the user's
// locale is 0 or cannot give its date order.
DateSettings readDateSettings();
// The time settings of the user's locale, or of the profile when the locale
// cannot give its time form.
TimeSettings readTimeSettings();

// The two sources one by one. A locale source is empty when its deciding
// query (date order, time form) fails, and for locale 0 in the case of dates.
// Separators and designators keep at most 4 characters. Every text is UTF-8.
std::optional<DateSettings> readLocaleDateSettings(LCID locale);
std::optional<TimeSettings> readLocaleTimeSettings(LCID locale);
// A missing profile key gives the same default as a default-made
// DateSettings or TimeSettings.
DateSettings readProfileDateSettings();
TimeSettings readProfileTimeSettings();

// The user's locale's name of month m (1..12), at most kLocaleMonthNameMax
// characters; empty when the locale gives none.
std::optional<std::string> monthName(int month);
std::optional<std::string> localeMonthName(LCID locale, int month);

// Month m's name from the string table of `instance` in the language of the
// code ("" when the table lacks it).
std::string resourceMonthName(int month, std::string_view languageCode, HINSTANCE instance);

// The locale's name of the month, else the string table's.
std::string monthNameOrResource(int month, std::string_view languageCode, HINSTANCE instance);

// Appends the twelve month names, January first, to a combo box of a dialog.
// The string table is that of the module that created the dialog.
void fillMonthComboBox(HWND dialog, int controlId, std::string_view languageCode);

// The visible row of an entry: its start's date and time text by the current
// regional settings, and its description. Fits a ScheduleStore's RowFormatter.
std::string formatStartRow(Time start, const std::string& description);

// The same rows for a whole list at once: the settings are read once, and
// the date text is made once for each run of rows on the same day (rows come
// in due order).
RowFormatter startRowFormatterForManyRows();

// The date and time text of a start, "DATE TIME", as a row shows them.
std::string formatStartTime(Time start);
// The same without the year, "12/10 2:00AM", for a moment of the recent
// past such as a start the history holds.
std::string formatRecentTime(Time when);

}  // namespace kv
