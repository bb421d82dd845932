#!/usr/bin/env bash
# The zip to hand out, for the Windows build that runs on this machine: it
# unpacks with every file in it, its programs carry no debug sections, its
# example starts nothing but Notepad, and the kv.exe in it starts under Wine
# on the example: the title names the example, and it lists every entry.
# Usage: package_test.sh BUILD_ROOT KV_DRIVE_EXE   (a Wine session running)
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
export KV_BUILD_DIR="$1"
drive="$(realpath "$2")"
. "$root/scripts/wine-env.sh"

KV_TEST_NAME="package test"
KV_DRIVE_EXE="$drive"
. "$root/tests/wine/support/driving.sh"

if [ "$(kv_test_arch)" = i686 ]; then arch=win32; else arch=win64; fi
made="$(KV_DIST_DIR="$work/dist" bash "$root/scripts/package.sh" "$arch")" ||
  fail "package.sh $arch failed"
zip_file="$(grep '\.zip$' <<<"$made")"
[ "$(basename "$zip_file")" = "kivro-3.0-$arch.zip" ] || fail "made $zip_file"

unzip -q "$zip_file" -d "$work/Kivro" || fail "$zip_file does not unpack"
for f in kv.exe kivro-help.html "Example Schedule.KV" INSTALL.txt; do
  [ -s "$work/Kivro/$f" ] || fail "$f is not in the zip"
done
grep -q "Start at Logon" "$work/Kivro/INSTALL.txt" || fail "INSTALL.txt says nothing of starting at logon"
tree="$KV_BUILD_ROOT/windows"
[ "$arch" = win64 ] && tree="$KV_BUILD_ROOT/windows-x64"
if [ -f "$tree/kvtool.exe" ] && [ ! -s "$work/Kivro/kvtool.exe" ]; then
  fail "kvtool.exe was built but is not in the zip"
fi
if [ "$arch" = win32 ]; then objdump=i686-w64-mingw32-objdump; else objdump=x86_64-w64-mingw32-objdump; fi
for program in kv.exe kvtool.exe; do
  [ -f "$work/Kivro/$program" ] || continue
  sections="$("$objdump" -h "$work/Kivro/$program")" || fail "$objdump cannot read $program"
  grep -q '\.debug_' <<<"$sections" && fail "$program in the zip carries debug sections"
done

# The zip cannot know where it is unpacked: each entry starts Notepad from
# the search path, on a new page, and names no folder.
example="$work/Kivro/Example Schedule.KV"
entries="$(tail -n +2 "$example" | tr -d '\r')"
[ -n "$entries" ] || fail "the example holds no entries"
others="$(grep -v $'^[0-9]* [0-9]* [OMFHDKWTE] [0-9] notepad.exe \x12 p0 d' <<<"$entries")"
[ -z "$others" ] || fail "the example starts more than Notepad: $others"

# kv.exe takes its whole command line as the file name; wine joins the
# words with single blanks, so the name goes in as words.
read -r -a words <<<"$(wine winepath.exe -w "$work/Kivro/Example Schedule.KV" 2>/dev/null | tr -d '\r')"
kv_wine_start "$work/Kivro/kv.exe" "${words[@]}" >/dev/null 2>&1
kivro_pid=$!
export KV_DRIVE_TITLE="${words[*]}"
title="$(drive wait)" || fail "kv.exe from the zip shows no window"
[ "$title" = "Kivro - [${words[*]}]" ] || fail "the title is \"$title\""
# Every start lies ahead, so a load keeps every entry.
rows="$(drive rows)"
[ "${rows:-0}" -eq "$(wc -l <<<"$entries")" ] || fail "the example shows ${rows:-no} rows"
drive command 2005 >/dev/null # Exit
for _ in $(seq 100); do
  kill -0 "$kivro_pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$kivro_pid" 2>/dev/null && fail "kv.exe from the zip did not end on Exit"
kivro_pid=""
echo "package test: $(basename "$zip_file") unpacks; its kv.exe shows \"$title\" with $rows rows"
