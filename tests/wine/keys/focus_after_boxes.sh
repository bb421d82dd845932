#!/usr/bin/env bash
# Real key presses (xdotool on the virtual display) after message boxes: once
# a box closes, the window that had the keyboard has it again. Checked after
# the task-modal "Start time must be earlier than end time." box in the Add
# dialog (Tab still moves the focus), and after Cancel at Exit's unsaved-
# changes question (the arrow keys still move the list's selection).
# Usage: focus_after_boxes.sh BUILD_TREE   (a Wine session running)
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)"
tree="$(realpath "$1")"
. "$root/scripts/wine-env.sh"

KV_TEST_NAME="focus test"
KV_DRIVE_EXE="$tree/kv_drive.exe"
. "$root/tests/wine/support/driving.sh"

schedule="$work/focus.KV"
bash "$root/scripts/write-example.sh" "$schedule"
export KV_DRIVE_TITLE='focus.KV'
kv_wine_start "$tree/kv.exe" "$(wine winepath.exe -w "$schedule" 2>/dev/null | tr -d '\r')" \
  >/dev/null 2>&1
kivro_pid=$!
drive wait >/dev/null || fail "kv.exe showed no window"
seen="$(focus_becomes $'^Kivro - .*\t101$')" || fail "the list has no focus at the start: $seen"

# The Add dialog, a Daily entry ending before it starts; Enter presses OK.
drive command 2010
drive text "Add/Edit Time" 160 'C:\windows\notepad.exe' || fail "no Add dialog"
drive select "Add/Edit Time" 102 4
drive text "Add/Edit Time" 206 1990
seen="$(focus_becomes $'^Add/Edit Time\t')" || fail "the Add dialog is not active: $seen"
xdotool key Return
seen="$(focus_becomes $'^Invalid Time\t')" || fail "no refusal box: $seen"
xdotool key Return
drive gone "Invalid Time" || fail "the refusal box stays"
before="$(focus_becomes $'^Add/Edit Time\t[1-9]')" ||
  fail "after the refusal box the dialog has no keyboard: $before"
xdotool key Tab
seen="$(focus_becomes $'^Add/Edit Time\t[1-9]' "$before")" ||
  fail "Tab does nothing after the refusal box: $seen"
xdotool key Escape
drive gone "Add/Edit Time" || fail "Escape does not cancel the dialog"

# A change, then Exit answered Cancel.
xdotool key Down
drive command 2022
drive command 2023
drive command 2005
seen="$(focus_becomes $'^KV\t')" || fail "Exit asks nothing: $seen"
xdotool key Escape
drive gone KV || fail "Cancel does not close the question"
seen="$(focus_becomes $'^Kivro - .*\t101$')" ||
  fail "after Cancel the main window's list has no keyboard: $seen"
selected="$(drive selected)"
xdotool key Down
for _ in $(seq 30); do
  [ "$(drive selected)" != "$selected" ] && exit 0
  sleep 0.1
done
fail "the arrow keys do not move the selection after Cancel (row $selected)"
