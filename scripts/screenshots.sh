#!/usr/bin/env bash
# Screenshots of Kivro under Wine on a virtual display, for the README: the
# main window with the example schedule in the Rows view and in the Details
# view (after Test Entry on its first entry, whose Notepad is then closed,
# so that Last Result shows), the Add dialog filled in, the Settings dialog,
# and the History window over tests/tool/fixed_history_ends.tsv (programs
# that ended with exit codes, one still running), each cropped to its
# window, saved as PNG in docs/images/. The prefix's own history is put
# back afterwards.
# KV_SCREENSHOT_DPI=144 takes them at 150 % (LogPixels of the Wine prefix,
# put back afterwards), saved with the suffix -144dpi. Run scripts/setup.sh
# and scripts/build.sh first.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
. "$root/scripts/wine-env.sh"
. "$root/scripts/session.sh"
tree="$(kv_test_tree)"
out="${KV_SCREENSHOT_DIR:-$root/docs/images}"
dpi="${KV_SCREENSHOT_DPI:-96}"
suffix=""
[ "$dpi" = 96 ] || suffix="-${dpi}dpi"
for f in kv.exe kv_drive.exe; do
  [ -f "$tree/$f" ] || { echo "screenshots: no $tree/$f; run scripts/build.sh" >&2; exit 1; }
done
mkdir -p "$out"

drive() { wine "$tree/kv_drive.exe" "$@" >/dev/null; }
# The X window of a Wine window, once it has stopped moving and has had
# time to paint: the display keeps no picture of what lies under a window,
# so an early shot shows what was there before.
settled() {  # settled WINDOW_NAME_PATTERN
  local id="" before="" now=""
  for _ in $(seq 50); do
    id="$(xdotool search --onlyvisible --name "$1" | head -1)"
    now="$([ -n "$id" ] && xwininfo -id "$id" | grep -E 'Absolute|Width|Height' | tr -d ' \n')"
    [ -n "$id" ] && [ "$now" = "$before" ] && break
    before="$now"
    sleep 0.2
  done
  [ -n "$id" ] || { echo "screenshots: no window $1" >&2; exit 1; }
  sleep 0.8
  echo "$id"
}
shot() {  # shot NAME WINDOW_NAME_PATTERN
  local id
  id="$(settled "$2")"
  xwd -id "$id" -silent | convert xwd:- -strip "$out/$1$suffix.png"
  echo "$out/$1$suffix.png"
}
# A dialog that lies inside its owner comes out black, so each one goes to
# the bottom right of the screen, where it sticks out of the main window.
to_corner() {  # to_corner WINDOW_NAME_PATTERN CAPTION
  local id w h
  id="$(settled "$1")"
  w="$(xwininfo -id "$id" | sed -n 's/^ *Width: //p')"
  h="$(xwininfo -id "$id" | sed -n 's/^ *Height: //p')"
  drive place "$2" $((1020 - w > 0 ? 1020 - w : 0)) $((764 - h > 0 ? 764 - h : 0))
}

old_dpi="$(wine reg query 'HKCU\Control Panel\Desktop' /v LogPixels 2>/dev/null |
  sed -n 's/.*REG_DWORD *0x\([0-9a-fA-F]*\).*/\1/p' || true)"
schedule_dir="$WINEPREFIX/drive_c/Kivro"
history_dir=""
finish() {
  drive command 2005 2>/dev/null || true
  if [ -n "$old_dpi" ]; then
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d $((16#$old_dpi)) /f >/dev/null 2>&1
  else
    wine reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null 2>&1
  fi
  rm -rf "$schedule_dir"
  kv_session_stop
  if [ -n "$history_dir" ]; then
    rm -f "$history_dir/history.tsv" "$history_dir/history.1.tsv"
    mv "$history_dir/screenshots-kept/"* "$history_dir/" 2>/dev/null || true
    rmdir "$history_dir/screenshots-kept" 2>/dev/null || true
  fi
}
trap finish EXIT
kv_session_start
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1

# The History window reads %LOCALAPPDATA%\Kivro\history.tsv: the fixed one
# stands in for the prefix's own, which is kept aside meanwhile.
local_data="$(wine cmd /c 'echo %LOCALAPPDATA%' 2>/dev/null | tr -d '\r')"
[ -n "$local_data" ] || { echo "screenshots: the prefix has no LOCALAPPDATA" >&2; exit 1; }
local_data="$(winepath -u "$local_data")"
history_dir="${local_data%/}/Kivro"
mkdir -p "$history_dir/screenshots-kept"
mv "$history_dir"/history*.tsv "$history_dir/screenshots-kept/" 2>/dev/null || true
cp "$root/tests/tool/fixed_history_ends.tsv" "$history_dir/history.tsv"

# The example under a short path of its own, so that the title reads well.
mkdir -p "$schedule_dir"
bash "$root/scripts/write-example.sh" "$schedule_dir/Example Schedule.KV"
wine "$tree/kv.exe" 'C:\Kivro\Example' 'Schedule.KV' >/dev/null 2>&1 &
export KV_DRIVE_TITLE='C:\Kivro\Example Schedule.KV'
drive wait
drive place KV 0 0 $((560 * dpi / 96)) $((250 * dpi / 96))
shot main-window '^Kivro - '

drive command 2010  # Configure > Add
drive select "Add/Edit Time" 102 6  # Weekly
drive text "Add/Edit Time" 89 "Back up my notes"
drive text "Add/Edit Time" 160 'C:\windows\notepad.exe notes.txt'
drive text "Add/Edit Time" 95 'C:\users\Public'
to_corner '^Add/Edit Time$' "Add/Edit Time"
shot add-dialog '^Add/Edit Time$'
drive click "Add/Edit Time" 2

drive command 2013  # Configure > Settings
to_corner '^KV Settings$' "KV Settings"
shot settings-dialog '^KV Settings$'
drive click "KV Settings" 2

drive command 2020  # Configure > History
to_corner '^History$' "History"
shot history-window '^History$'
drive click "History" 2
drive command 2028  # View > Details
drive place KV 0 0 $((1020 * dpi / 96)) $((250 * dpi / 96))
drive select-row 0
drive command 2016  # Configure > Test Entry: Notepad opens, and is closed again
for _ in $(seq 50); do xdotool search --onlyvisible --name 'Notepad' >/dev/null && break; sleep 0.2; done
wine taskkill /IM notepad.exe >/dev/null 2>&1 || true
sleep 2  # the next checks record its end
drive select-row 1
shot details-view '^Kivro - '
drive command 2027  # View > Rows, as KV.INI had it
