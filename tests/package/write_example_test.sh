#!/usr/bin/env bash
# The example schedule that scripts/write-example.sh writes: in each time
# zone its entries fall at their local clock times, on the next day that
# fits (past the weekend, the month's end, a change of the clocks), and the
# file loads as it stands. kvtool reads it as kv.exe does.
# Usage: write_example_test.sh KVTOOL
set -u
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
kvtool="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failed=0

# expect ZONE NOW STARTS...: the first starts, as "date time frequency".
expect() {
  local zone="$1" now="$2" got want
  shift 2
  if ! TZ="$zone" bash "$root/scripts/write-example.sh" --now "$now" "$work/e.KV"; then
    echo "write-example.sh failed in $zone at $now"
    failed=1
    return
  fi
  got="$(TZ="$zone" "$kvtool" list "$work/e.KV" --format=tsv | tail -n +2 | cut -f1,2 | tr 'T\t' '  ' | sort)"
  want="$(printf '%s\n' "$@" | sort)"
  if [ "$got" != "$want" ]; then
    printf 'in %s at %s the starts are\n%s\nnot\n%s\n' "$zone" "$now" "$got" "$want"
    failed=1
  fi
  TZ="$zone" "$kvtool" check "$work/e.KV" --at "${now/ /T}" >/dev/null ||
    { echo "in $zone at $now a load would change the example"; failed=1; }
}

# A Friday afternoon at the end of January: the weekly start is today, the
# weekday one after the weekend, the month end tomorrow.
for zone in UTC Europe/Berlin Pacific/Auckland; do
  expect "$zone" "2026-01-30 13:00" \
    "2026-02-02 09:00:01 Weekdays" "2026-01-31 12:30:01 Daily" "2026-01-30 16:00:01 Weekly" \
    "2026-02-01 10:00:01 Monthly" "2026-01-31 17:00:01 Month End" "2027-01-30 10:00:01 Once"
done
# Past the last day's 17:00 of a February: the next month end is March's.
expect America/New_York "2026-02-28 18:00" \
  "2026-03-02 09:00:01 Weekdays" "2026-03-01 12:30:01 Daily" "2026-03-06 16:00:01 Weekly" \
  "2026-03-01 10:00:01 Monthly" "2026-03-31 17:00:01 Month End" "2027-02-28 10:00:01 Once"
# The clocks go back on Sunday 1 November, a day of 25 hours: Monday is
# still the next weekday.
expect America/New_York "2026-10-30 16:30" \
  "2026-11-02 09:00:01 Weekdays" "2026-10-31 12:30:01 Daily" "2026-11-06 16:00:01 Weekly" \
  "2026-11-01 10:00:01 Monthly" "2026-10-31 17:00:01 Month End" "2027-10-30 10:00:01 Once"
# In Santiago the clocks skip midnight on Sunday 6 September: that
# morning, today has no 00:00.
expect America/Santiago "2026-09-06 08:00" \
  "2026-09-07 09:00:01 Weekdays" "2026-09-06 12:30:01 Daily" "2026-09-11 16:00:01 Weekly" \
  "2026-10-01 10:00:01 Monthly" "2026-09-30 17:00:01 Month End" "2027-09-06 10:00:01 Once"

# With a text, Notepad opens it in its folder; a drive root keeps its backslash.
for text in 'C:\Users\Me\My Kivro\Welcome.txt' 'C:\Welcome.txt'; do
  bash "$root/scripts/write-example.sh" --text "$text" "$work/t.KV"
  folder="${text%\\*}"
  [ "$folder" = C: ] && folder="C:\\"
  fields="$("$kvtool" list "$work/t.KV" --format=tsv | tail -n +2 | cut -f6,7 | sort -u)"
  if [ "$fields" != "notepad.exe $text"$'\t'"$folder" ]; then
    echo "with the text $text the entries start: $fields"
    failed=1
  fi
done
exit "$failed"
