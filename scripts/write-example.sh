#!/usr/bin/env bash
# Writes the example schedule for the local time zone (TZ): each entry
# starts at the next of its local calendar times after now and runs until
# the end of the year five years on.
#
#   Morning notes       Weekdays    09:00
#   Lunch reminder      Daily       12:30
#   Weekly review       Weekly      Fridays 16:00
#   Monthly check       Monthly     the 1st, 10:00
#   Month-end notes     Month End   the last day, 17:00
#   One-time reminder   Once        a year from today, 10:00
#
# Every entry starts Notepad and nothing else. notepad.exe is on the search
# path of every Windows, so the line names no folder. With --text, Notepad
# opens that text (a full Windows path; its folder is the working
# directory); without it, Notepad opens on a new page.
#
# Usage: write-example.sh [--now 'YYYY-MM-DD HH:MM'] [--text 'C:\...\Welcome.txt'] OUTPUT
set -euo pipefail

now="$(date +%s)"
text=""
while [ $# -gt 1 ]; do
  case "$1" in
    --now) now="$(date -d "$2" +%s)" ;;
    --text) text="$2" ;;
    *) break ;;
  esac
  shift 2
done
[ $# -eq 1 ] || { echo "usage: write-example.sh [--now TIME] [--text WINDOWS_PATH] OUTPUT" >&2; exit 2; }
output="$1"
# The command line, working directory and description of an entry hold
# 474 bytes together.
[ "${#text}" -le 200 ] || { echo "write-example: the text's path is too long: $text" >&2; exit 2; }

command="notepad.exe"
directory=""
if [ -n "$text" ]; then
  # The program part ends at the first blank; the parameters may hold blanks.
  command="notepad.exe $text"
  directory="${text%\\*}"
  [ "${#directory}" -ne 2 ] || directory+="\\" # a drive root keeps its backslash
fi

today="$(date -d "@$now" +%F)"
noon="$(date -d "$today 12:00" +%s)"
# The day d days after today (noon steps stay on their day across a change
# of the clocks).
day_after() { date -d "@$((noon + $1 * 86400))" +%F; }
any_day() { true; }
weekday() { [ "$(date -d "$1 12:00" +%u)" -le 5 ]; }
friday() { [ "$(date -d "$1 12:00" +%u)" -eq 5 ]; }
first_of_month() { [ "${1##*-}" = 01 ]; }
last_of_month() { [ "$(date -d "@$(($(date -d "$1 12:00" +%s) + 86400))" +%d)" = 01 ]; }

# first_start CLOCK TEST: the first CLOCK of a day that passes TEST and lies
# after now, in seconds since 1970. Kivro's starts fall on second 1 of a
# minute.
first_start() {
  local d day start
  for d in $(seq 0 62); do
    day="$(day_after "$d")"
    "$2" "$day" || continue
    start="$(date -d "$day $1:01" +%s)"
    if [ "$start" -gt "$now" ]; then
      echo "$start"
      return
    fi
  done
  echo "write-example: no start for $1 within two months" >&2
  exit 1
}

year="$(date -d "@$now" +%Y)"
end_year=$((year + 5))
[ "$end_year" -le 2037 ] || end_year=2037 # clear of 2038 and 2^31 seconds
end="$(date -d "$end_year-12-31 23:59:59" +%s)"
weekdays="$(first_start 09:00 weekday)"
daily="$(first_start 12:30 any_day)"
weekly="$(first_start 16:00 friday)"
monthly="$(first_start 10:00 first_of_month)"
month_end="$(first_start 17:00 last_of_month)"
once="$(date -d "$(date -d "$today 12:00 1 year" +%F) 10:00:01" +%s)"

# line START FREQUENCY DESCRIPTION: an entry that opens normally, not printing.
line() {
  printf '%s %s %s 1 %s \x12%s p0 d%s\r\n' "$1" "$end" "$2" "$command" "$directory" "$3"
}

mkdir -p "$(dirname "$output")"
{
  printf 'Version=3.0\r\n'
  line "$weekdays" K "Morning notes (opens Notepad)"
  line "$daily" D "Lunch reminder (opens Notepad)"
  line "$weekly" W "Weekly review, Fridays (opens Notepad)"
  line "$monthly" T "Monthly check, on the 1st (opens Notepad)"
  line "$month_end" E "Month-end notes (opens Notepad)"
  line "$once" O "One-time reminder (opens Notepad)"
} >"$output.tmp"
mv "$output.tmp" "$output"
