#!/usr/bin/env bash
# The program around the commands: help, exit statuses, errors, standard input.
# Usage: exit_status.sh KVTOOL SOURCE_DIR
set -u
kvtool="$1"
example="$2/examples/Example Schedule.KV"
failed=0

expect() {  # expect STATUS PATTERN -- ARGS...: the status, and PATTERN in stdout+stderr
  local want="$1" pattern="$2" out status
  shift 3
  out="$(TZ=UTC "$kvtool" "$@" 2>&1 <"$example")"
  status=$?
  if [ "$status" != "$want" ] || ! grep -qF -- "$pattern" <<<"$out"; then
    echo "kvtool $*: status $status (wanted $want), output:"
    echo "$out"
    failed=1
  fi
}

expect 0 'kvtool next "examples/Example Schedule.KV"' -- --help
expect 2 'kvtool: no command given' --
expect 2 "kvtool: unknown command 'lsit'" -- lsit "$example"
expect 2 'kvtool: cannot read /nonexistent/a.KV: No such file or directory' -- check /nonexistent/a.KV
expect 0 'loads as it stands' -- check "$example" --at 2026-01-01
expect 1 '(standard input):8: one-time entry in the past' -- check - --at 2031-07-01
expect 0 '2026-01-05T09:00:01	Weekdays	Morning notes' -- next - --from 2026-01-05T09:00 --format=tsv

if [ "$(TZ=UTC "$kvtool" list - <"$example")" != "$(TZ=UTC "$kvtool" list "$example")" ]; then
  echo "list from standard input differs from list of the file"
  failed=1
fi
exit "$failed"
