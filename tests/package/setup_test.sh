#!/usr/bin/env bash
# The setup program that package.sh makes, for the Windows build that runs on
# this machine, run silently as a user would run it, in a Wine prefix of its
# own (made here, removed after):
#  1. Where another program holds .KV, the setup leaves it there, and its
#     uninstaller leaves it too, and a Run value of another kv.exe.
#  2. /D= installs into a folder of the user's choice: the programs, the
#     shortcut, the uninstall entry and the file type, value by value.
#  3. A second setup, with no /D=, goes into the same folder: it closes the
#     running Kivro, replaces the programs and keeps KV.INI, the history, the
#     example as the user saved it, and a schedule of the user's own.
#  4. A .KV file opened as a double-click does opens in Kivro; opened again,
#     the same Kivro comes back from the notification area, and it stays one.
#  5. The uninstaller closes that Kivro and leaves nothing of the install but
#     the settings, the history and the user's schedule.
# Usage: setup_test.sh BUILD_ROOT KV_DRIVE_EXE   (a display running)
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
export KV_BUILD_DIR="$1"
drive="$(realpath "$2")"
. "$root/scripts/wine-env.sh"

work="$(mktemp -d)"
export WINEPREFIX="$work/prefix"
# No menu entries or MIME types on the Linux side for what the setup does.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
cleanup() {
  # This prefix's own server and programs, nothing else.
  wineserver -k >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "setup test: $*" >&2
  exit 1
}
started=$SECONDS

if [ "$(kv_test_arch)" = i686 ]; then arch=win32 setup_name=setup; else arch=win64 setup_name=win64-setup; fi
made="$(KV_DIST_DIR="$work/dist" bash "$root/scripts/package.sh" "$arch")" ||
  fail "package.sh $arch failed"
setup="$(grep -- '-setup\.exe$' <<<"$made")"
[ "$(basename "$setup")" = "kivro-3.0-$setup_name.exe" ] || fail "package.sh made: $made"
tree="$KV_BUILD_ROOT/windows"
[ "$arch" = win64 ] && tree="$KV_BUILD_ROOT/windows-x64"

# Runs a Windows program with its output in a file (a Wine process must not
# hold the output pipe of ctest), then shows that output.
quiet() {
  wine "$@" >"$work/out" 2>&1
  local status=$?
  tr -d '\r' <"$work/out"
  return $status
}
# Waits until every program in the prefix has ended: the uninstaller runs on
# from a copy of itself after uninstall.exe returns.
all_ended() {
  timeout 60 /usr/lib/wine/wineserver -w || fail "programs still run a minute after $1"
}
# A Windows path in the prefix as a Linux path.
unix() {
  local path="${1#C:\\}"
  echo "$WINEPREFIX/drive_c/${path//\\//}"
}
md5() { md5sum <"$1" | cut -d' ' -f1; }

mkdir -p "$WINEPREFIX"
wineboot -i >/dev/null 2>&1
user="$(id -un)"
home="C:\\users\\$user"
[ -d "$(unix "$home")" ] || fail "the new prefix has no $home"
appdata="$home\\AppData\\Roaming"
localappdata="$home\\AppData\\Local"
default_dir="$localappdata\\Programs\\Kivro"
chosen_dir="$home\\My Kivro"
shortcut="$appdata\\Microsoft\\Windows\\Start Menu\\Programs\\Kivro.lnk"
classes='HKEY_CURRENT_USER\Software\Classes'
uninstall_key='HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kivro'
run_key='HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run'

# Registry values as lines "KEY|NAME|TYPE|DATA" (NAME empty for a key's
# default value), for a key and every key below it.
registry() {
  wine reg query "$1" /s 2>/dev/null | tr -d '\r' | awk -v OFS='|' '
    /^HKEY_/ { key = $0; next }
    /^    / {
      line = substr($0, 5)
      name = line; sub(/    REG_.*/, "", name)
      rest = substr(line, length(name) + 5)
      type = rest; sub(/    .*/, "", type); sub(/ *$/, "", type)
      data = substr(rest, length(type) + 5)
      if (name == "(Default)") name = ""
      print key, name, type, data
    }'
}
# expect_values KEY LINE...: the values below KEY are exactly these lines.
expect_values() {
  local key="$1" got want
  shift
  got="$(registry "$key" | sort)"
  want="$(printf '%s\n' "$@" | sort)"
  [ "$got" = "$want" ] || fail "$(printf 'below %s the registry holds\n%s\nnot\n%s' "$key" "$got" "$want")"
}
expect_no_key() {
  wine reg query "$1" >/dev/null 2>&1 && fail "$1 is still there: $(registry "$1")"
}
installed_files() {
  local dir="$1" f
  for f in kv.exe kivro-help.html "Example Schedule.KV" uninstall.exe; do
    [ -s "$(unix "$dir")/$f" ] || fail "$f is not in $dir"
  done
  if [ -f "$tree/kvtool.exe" ] && [ ! -s "$(unix "$dir")/kvtool.exe" ]; then
    fail "kvtool.exe is not in $dir"
  fi
}

# The Wine settings of the project's prefix, and another program that holds
# .KV and starts its own kv.exe at logon.
cat >"$work/before.reg" <<'EOF'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Classes\.KV]
@="Other.Schedule"

[HKEY_CURRENT_USER\Software\Classes\Other.Schedule]
@="Other Schedule"

[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run]
"Kivro"="\"C:\\Elsewhere\\kv.exe\" \"C:\\Elsewhere\\Plans.KV\""
EOF
quiet regedit /S "Z:${work//\//\\}\\before.reg" || fail "regedit cannot import the settings"

# 1. .KV stays with the other program; Kivro is offered beside it.
quiet "$setup" /S || fail "the setup into the default folder failed (exit code $?)"
installed_files "$default_dir"
expect_values "$classes\\.KV" "$classes\\.KV||REG_SZ|Other.Schedule" \
  "$classes\\.KV\\OpenWithProgids|Kivro.Schedule|REG_SZ|"
quiet "$(unix "$default_dir")/uninstall.exe" /S || fail "the uninstaller failed (exit code $?)"
all_ended "the first uninstaller"
[ -e "$(unix "$default_dir")" ] && fail "$default_dir is still there: $(ls "$(unix "$default_dir")")"
expect_values "$classes\\.KV" "$classes\\.KV||REG_SZ|Other.Schedule"
expect_values "$run_key" "$run_key|Kivro|REG_SZ|\"C:\\Elsewhere\\kv.exe\" \"C:\\Elsewhere\\Plans.KV\""
expect_no_key "$classes\\Kivro.Schedule"
expect_no_key "$uninstall_key"

# The user's settings and history, as an earlier Kivro left them; what is on
# the disk now is what the final uninstall must leave.
cat >"$work/after.reg" <<'EOF'
REGEDIT4

[-HKEY_CURRENT_USER\Software\Classes\.KV]

[-HKEY_CURRENT_USER\Software\Classes\Other.Schedule]

[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run]
"Kivro"=-
EOF
quiet regedit /S "Z:${work//\//\\}\\after.reg" || fail "regedit cannot import the changes"
settings="$(unix "$appdata\\Kivro\\KV.INI")"
history="$(unix "$localappdata\\Kivro\\history.tsv")"
mkdir -p "$(dirname "$settings")" "$(dirname "$history")"
printf '[KV]\r\nTime=100\r\n' >"$settings"
printf 'attempted\tdescription\n' >"$history"
# The files a removal should leave, but for the Kivro folders and Wine's own
# temporary ones.
files_now() {
  (cd "$WINEPREFIX/drive_c" && find users -path '*/Temp' -prune -o \
    -path '*/AppData/*/Kivro' -prune -o -print | sort)
}
files_now >"$work/files-before"

# 2. Into a folder of the user's choice.
read -r -a chosen_words <<<"/D=$chosen_dir"
quiet "$setup" /S "${chosen_words[@]}" || fail "the setup into $chosen_dir failed"
installed_files "$chosen_dir"
[ -e "$(unix "$default_dir")" ] && fail "/D= installed into $default_dir as well"
link="$(quiet "$drive" shortcut "$shortcut")" || fail "no Start menu shortcut: $link"
[ "$(head -n 1 <<<"$link")" = "$chosen_dir\\kv.exe" ] || fail "the shortcut holds: $link"
size="$(du -sk --apparent-size "$(unix "$chosen_dir")" | cut -f1)"
size_value="$(registry "$uninstall_key" | grep '|EstimatedSize|REG_DWORD|' | cut -d'|' -f4)"
[ -n "$size_value" ] || fail "the uninstall entry has no EstimatedSize"
# In KiB, within a rounding per file.
if [ "$((size_value))" -lt $((size - 8)) ] || [ "$((size_value))" -gt $((size + 8)) ]; then
  fail "EstimatedSize is $((size_value)) KiB, the folder $size KiB"
fi
expect_values "$uninstall_key" \
  "$uninstall_key|DisplayName|REG_SZ|Kivro" \
  "$uninstall_key|DisplayVersion|REG_SZ|3.0" \
  "$uninstall_key|Publisher|REG_SZ|Kivro" \
  "$uninstall_key|DisplayIcon|REG_SZ|$chosen_dir\\kv.exe,0" \
  "$uninstall_key|InstallLocation|REG_SZ|$chosen_dir" \
  "$uninstall_key|UninstallString|REG_SZ|\"$chosen_dir\\uninstall.exe\"" \
  "$uninstall_key|QuietUninstallString|REG_SZ|\"$chosen_dir\\uninstall.exe\" /S" \
  "$uninstall_key|EstimatedSize|REG_DWORD|$size_value" \
  "$uninstall_key|NoModify|REG_DWORD|0x1" \
  "$uninstall_key|NoRepair|REG_DWORD|0x1"
expect_values "$classes\\.KV" "$classes\\.KV||REG_SZ|Kivro.Schedule" \
  "$classes\\.KV\\OpenWithProgids|Kivro.Schedule|REG_SZ|"
expect_values "$classes\\Kivro.Schedule" \
  "$classes\\Kivro.Schedule||REG_SZ|Kivro Schedule" \
  "$classes\\Kivro.Schedule\\DefaultIcon||REG_SZ|$chosen_dir\\kv.exe,0" \
  "$classes\\Kivro.Schedule\\shell\\open\\command||REG_SZ|\"$chosen_dir\\kv.exe\" \"%1\""

# 3. Over the first install, while Kivro runs on the example the user saved
# with an entry less, and with the settings changed since.
dir="$(unix "$chosen_dir")"
example="$dir/Example Schedule.KV"
head -n -1 "$example" >"$work/example" && cp "$work/example" "$example"
printf 'Version=3.0\r\n' >"$dir/Mine.KV"
printf '[KV]\r\nTime=25\r\nHideIcon=1\r\n' >"$settings"
printf 'a start\n' >>"$history"
kept=("$example" "$dir/Mine.KV" "$settings" "$history")
for f in "${kept[@]}"; do md5 "$f"; done >"$work/kept"
programs=(kv.exe kivro-help.html)
[ -f "$dir/kvtool.exe" ] && programs+=(kvtool.exe)
for f in "${programs[@]}"; do md5 "$dir/$f"; done >"$work/programs"
printf 'stale' >>"$dir/kivro-help.html"
[ -f "$dir/kvtool.exe" ] && printf 'stale' >>"$dir/kvtool.exe"

read -r -a example_words <<<"$chosen_dir\\Example Schedule.KV"
kv_wine_start "$dir/kv.exe" "${example_words[@]}" >/dev/null 2>&1
kivro_pid=$!
title="$(KV_DRIVE_TITLE="${example_words[*]}" quiet "$drive" wait)" ||
  fail "the installed kv.exe shows no window on the example"
quiet "$setup" /S || fail "the setup over the earlier one failed (exit code $?)"
for _ in $(seq 50); do
  kill -0 "$kivro_pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$kivro_pid" 2>/dev/null && fail "the setup left the running Kivro (\"$title\") running"
for f in "${kept[@]}"; do md5 "$f"; done | cmp -s - "$work/kept" ||
  fail "the setup over the earlier one changed the example, Mine.KV, KV.INI or the history"
for f in "${programs[@]}"; do md5 "$dir/$f"; done | cmp -s - "$work/programs" ||
  fail "the setup over the earlier one did not replace the programs"
registry "$uninstall_key" | grep -qxF "$uninstall_key|InstallLocation|REG_SZ|$chosen_dir" ||
  fail "the setup over the earlier one went elsewhere: $(registry "$uninstall_key")"

# 4. A double-click, twice, on a schedule of the user's.
plans="$home\\Documents\\My Plans.KV"
mkdir -p "$(dirname "$(unix "$plans")")"
cp "$work/example" "$(unix "$plans")"
command="$(quiet "$drive" open "$plans")" || fail "the Open command does not run: $command"
[ "$command" = "\"$chosen_dir\\kv.exe\" \"$plans\"" ] || fail "the shell would run: $command"
export KV_DRIVE_TITLE="$plans"
title="$(quiet "$drive" wait)" || fail "a double-clicked schedule shows no Kivro"
[ "$title" = "Kivro - [$plans]" ] || fail "a double-clicked schedule shows \"$title\""
quiet "$drive" hide >/dev/null || fail "Kivro does not go to the notification area"
quiet "$drive" open "$plans" 10 >/dev/null || fail "opened again, a second Kivro stays"
title="$(quiet "$drive" wait)" || fail "opened again, the hidden Kivro does not come back"
count="$(quiet "$drive" count)"
[ "$count" = 1 ] || fail "after two double-clicks $count Kivro windows are open"
unset KV_DRIVE_TITLE

# 5. Removal, with Start at Logon on for that schedule.
quiet reg add "$run_key" /v Kivro /d "\"$chosen_dir\\kv.exe\" \"$plans\"" /f >/dev/null ||
  fail "cannot write the Run value"
quiet "$dir/uninstall.exe" /S || fail "the uninstaller failed (exit code $?)"
all_ended "the uninstaller (Kivro not closed?)"
leftover="$(cd "$dir" 2>/dev/null && ls -A)"
[ "$leftover" = Mine.KV ] || fail "the uninstaller left in $chosen_dir: ${leftover:-nothing, not Mine.KV}"
for f in "${kept[@]:1}"; do md5 "$f"; done | cmp -s - <(tail -n +2 "$work/kept") ||
  fail "the uninstaller changed Mine.KV, KV.INI or the history"
rm "$dir/Mine.KV" "$(unix "$plans")" && rmdir "$dir"
files_now | diff "$work/files-before" - >"$work/files-diff" ||
  fail "the uninstaller left or removed files: $(cat "$work/files-diff")"
for key in "$uninstall_key" "$classes\\.KV" "$classes\\Kivro.Schedule"; do
  expect_no_key "$key"
done
registry "$run_key" | grep -q '|Kivro|' && fail "the Run value is still there: $(registry "$run_key")"

echo "setup test: $(basename "$setup") installs, opens \"$plans\" once, and uninstalls" \
  "($((SECONDS - started)) s)"
