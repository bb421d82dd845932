#!/usr/bin/env bash
# Real key presses (xdotool on the virtual display) right after each command
# that changes the list, and after the window comes back from the
# notification area: the list has the keyboard and the row the command left
# selected, so Enter opens Edit on that row's entry and Del asks to delete
# it. On the example schedule's six rows: Add (Insert) files an entry after
# them all, Edit (Enter) renames it, Paste (Shift+Insert) puts a copy of the
# row before it after its original, Cut (Shift+Delete) takes that copy out
# again, Delete takes out the last row; then the window is hidden and
# brought back by its icon.
# Usage: keys_after_commands.sh BUILD_TREE   (a Wine session running)
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)"
tree="$(realpath "$1")"
. "$root/scripts/wine-env.sh"

KV_TEST_NAME="keys test"
KV_DRIVE_EXE="$tree/kv_drive.exe"
. "$root/tests/wine/support/driving.sh"
# Waits until `drive VERB` prints the value.
drive_shows() {
  local value="$1" seen=""
  shift
  for _ in $(seq 50); do
    seen="$(drive "$@")"
    [ "$seen" = "$value" ] && return 0
    sleep 0.1
  done
  echo "$seen"
  return 1
}
list_has_keyboard() {
  local seen
  seen="$(focus_becomes $'^Kivro - .*\t101$')" || fail "$1: the list has no keyboard: $seen"
}
# The Confirmation question is up; a key answers it.
answer_question() {
  local seen
  seen="$(focus_becomes $'^Confirmation\t')" || fail "$2: nothing asks to delete: $seen"
  xdotool key "$1"
  drive gone Confirmation || fail "$2: the question stays after '$1'"
}

# After the command: row `row` is selected and its text matches the pattern
# (a row reads "date at time description"); Enter opens Edit on its entry
# (closed with Escape) and Del asks to delete it (answered No), which leave
# the row selected.
keys_act_on() {
  local after="$1" row="$2" pattern="$3" seen text rows
  list_has_keyboard "after $after"
  seen="$(drive selected)"
  [ "$seen" = "$row" ] || fail "after $after row $seen is selected, not row $row"
  text="$(drive row "$row")"
  # shellcheck disable=SC2053 # the pattern is meant as one
  [[ "$text" == $pattern ]] || fail "after $after row $row reads \"$text\", not \"$pattern\""
  rows="$(drive rows)"

  xdotool key Return
  seen="$(focus_becomes $'^Add/Edit Time\t')" || fail "after $after Enter opens nothing: $seen"
  seen="$(drive read "Add/Edit Time" 89)"
  [[ -n "$seen" && "$text" == *" $seen" ]] ||
    fail "after $after Enter opens \"$seen\", not the entry of \"$text\""
  xdotool key Escape
  drive gone "Add/Edit Time" || fail "after $after Escape does not close Edit"

  list_has_keyboard "after $after and Edit's Cancel"
  xdotool key Delete
  answer_question n "after $after"
  list_has_keyboard "after $after and Delete's No"
  [ "$(drive rows)" = "$rows" ] || fail "after $after No deleted a row"
  seen="$(drive selected)"
  [ "$seen" = "$row" ] || fail "after $after Cancel and No leave row $seen selected, not row $row"
}

schedule="$work/keys.KV"
bash "$root/scripts/write-example.sh" "$schedule"
export KV_DRIVE_TITLE='keys.KV'
kv_wine_start "$tree/kv.exe" "$(wine winepath.exe -w "$schedule" 2>/dev/null | tr -d '\r')" \
  >/dev/null 2>&1
kivro_pid=$!
drive wait >/dev/null || fail "kv.exe showed no window"
[ "$(drive rows)" = 6 ] || fail "the example schedule does not show six rows"
list_has_keyboard "at the start"
xdotool key Down
drive_shows 0 selected >/dev/null || fail "Down selects no row at the start"

# Add: a one-time entry in 2090, after every entry of the example.
xdotool key Insert
seen="$(focus_becomes $'^Add/Edit Time\t')" || fail "Insert opens no Add dialog: $seen"
drive text "Add/Edit Time" 160 'C:\windows\notepad.exe'
drive text "Add/Edit Time" 89 Added
drive text "Add/Edit Time" 214 2090
xdotool key Return
drive gone "Add/Edit Time" || fail "Add's OK does not close the dialog"
keys_act_on Add 6 "* Added"

# Edit: the same entry under another name.
xdotool key Return
seen="$(focus_becomes $'^Add/Edit Time\t')" || fail "Enter opens no Edit dialog: $seen"
drive text "Add/Edit Time" 89 Edited
xdotool key Return
drive gone "Add/Edit Time" || fail "Edit's OK does not close the dialog"
keys_act_on Edit 6 "* Edited"

# Paste: a copy of row 5 goes after it, in row 6.
xdotool key Up
drive_shows 5 selected >/dev/null || fail "Up does not select row 5"
copied="$(drive row 5)"
xdotool key ctrl+c Down
drive_shows 6 selected >/dev/null || fail "Down does not select row 6"
xdotool key shift+Insert
drive_shows 8 rows >/dev/null || fail "Shift+Insert pastes nothing"
keys_act_on Paste 6 "$copied"

# Cut: the copy goes; the edited entry moves up into its row.
xdotool key shift+Delete
answer_question y "Cut"
keys_act_on Cut 6 "* Edited"

# Delete of the last row: the row before it is selected.
last="$(drive row 5)"
xdotool key Delete
answer_question y "Delete"
keys_act_on Delete 5 "$last"

# Hidden in the notification area, then brought back by a click on its icon.
drive hide || fail "the window does not hide"
drive icon || fail "no hidden window to bring back"
keys_act_on "coming back from the notification area" 5 "$last"
xdotool key Up
drive_shows 4 selected >/dev/null || fail "the arrow keys do nothing after coming back"
exit 0
