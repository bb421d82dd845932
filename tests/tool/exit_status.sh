#!/usr/bin/env bash
# The program around the commands: help, exit statuses, errors, standard input.
# Usage: exit_status.sh KVTOOL SOURCE_DIR
set -u
kvtool="$1"
example="$2/tests/tool/fixed_schedule.KV"
history="$2/tests/tool/fixed_history.tsv"
failed=0
dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT
: >"$dir/empty.KV"
printf '\211PNG\r\n\032\n\0\0\0\rIHDR' >"$dir/image.KV"

# expect STATUS PATTERN -- ARGS...: the status, and PATTERN in stdout+stderr;
# with --stderr for the --, PATTERN in stderr alone.
expect() {
  local want="$1" pattern="$2" sink=/dev/stdout out status
  [ "$3" = --stderr ] && sink=/dev/null
  shift 3
  out="$(TZ=UTC "$kvtool" "$@" 2>&1 >"$sink" <"$example")"
  status=$?
  if [ "$status" != "$want" ] || ! grep -qF -- "$pattern" <<<"$out"; then
    echo "kvtool $*: status $status (wanted $want), output:"
    echo "$out"
    failed=1
  fi
}

expect 0 'kvtool next "My Schedule.KV"' -- --help
expect 0 'kvtool 3.0' -- --version
expect 2 'kvtool: no command given' --
expect 2 "kvtool: unknown command 'lsit'" -- lsit "$example"
expect 2 'kvtool: cannot read /nonexistent/a.KV: No such file or directory' -- check /nonexistent/a.KV
expect 0 'loads as it stands' -- check "$example" --at 2026-01-01
expect 1 '(standard input):8: one-time entry in the past' -- check - --at 2031-07-01
expect 0 '2026-01-05T09:00:01	Weekdays	Morning notes' -- next - --from 2026-01-05T09:00 --format=tsv
# Missed starts a load runs are notes: they leave the status as the findings make it.
expect 0 ':8: note: a load starts it once (missed start 2031-06-01 10:00)' -- check - --at 2031-07-01 --missed-starts
expect 0 'notes  (missed start 2026-01-05 09:00, run at load)' -- next - --from 2026-01-06T12:00 --missed-starts
expect 2 'kvtool: --until 2001-01-01 00:00 is before now' --stderr next - --until 2001-01-01
expect 0 'no starts from 2026-01-05 08:00:02 to' --stderr next - --from 2026-01-05T08:00:02 --until 2026-01-05T09:00
expect 0 'kvtool: no entries' --stderr list "$dir/empty.KV"
expect 2 "does not look like a schedule file; \`kvtool check $dir/image.KV\`" --stderr list "$dir/image.KV"

# history: 1 only when --failed finds a failed start; the schedule on standard input is no history.
expect 0 '2026-12-09 02:00  Nightly backup       C:\Tools\backup.cmd /full' -- history "$history"
expect 1 '17:00  Weekly\x1B[1mreport  C:\Reports\week.xyz  C:' -- history "$history" --failed --since 2026-12-09T12:00
expect 1 $'My Schedule.KV\tCaf\xc3\xa9 order\tC:\\Tools\\menu.exe' -- history "$history" --format=tsv --failed
expect 0 'kvtool: no failed starts recorded since 2026-12-10' --stderr history "$history" --failed --since 2026-12-10
expect 2 'kvtool: (standard input) does not look like a history of starts' --stderr history -
expect 2 'kvtool: cannot read /nonexistent/h.tsv: No such file or directory' -- history /nonexistent/h.tsv
{ cat "$history"; printf 'damaged\r\n'; } >"$dir/damaged.tsv"
expect 1 'damaged.tsv: skipped 1 line that is no record of a start' -- history "$dir/damaged.tsv" --failed

if [ "$(TZ=UTC "$kvtool" list - <"$example")" != "$(TZ=UTC "$kvtool" list "$example")" ]; then
  echo "list from standard input differs from list of the file"
  failed=1
fi
exit "$failed"
