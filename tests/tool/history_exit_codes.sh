#!/usr/bin/env bash
# kvtool.exe history under Wine on a history with ends: each start shows
# once with what became of it, and --failed lists the failed start and the
# non-zero exit codes and exits 1.
# Usage: history_exit_codes.sh KVTOOL_EXE HISTORY_FILE
set -uo pipefail
exe="$(realpath "$1")"
history="$(realpath "$2")"
. "$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/scripts/wine-env.sh"

# In UTC, the zone the file was written in; the program's runtime must not
# see TZ (it would misread it), so cmd clears it. Wine's messages go to a
# file, or ctest would wait for the Wine process that keeps them open.
errors="$(mktemp)"
trap 'rm -f "$errors"' EXIT
failed=0
expect() {  # expect STATUS EXPECTED_OUTPUT ARGS...
  local want="$1" expected="$2" out status
  shift 2
  out="$(cd "$(dirname "$exe")" &&
    TZ=UTC wine cmd /c "set TZ=& $(basename "$exe") history Z:${history//\//\\} $*" 2>"$errors" |
    tr -d '\r')"
  status=$?
  if [ "$status" != "$want" ] || [ "$out" != "$expected" ]; then
    printf 'kvtool.exe history %s: status %s (wanted %s), output:\n%s\nexpected:\n%s\n' \
      "$*" "$status" "$want" "$out" "$expected"
    failed=1
  fi
}

expect 1 '2026-12-09 09:00  Fetch mail  C:\Tools\mailsync.exe --all  exited 1 after 3 s
2026-12-09 12:30  Café order  C:\Tools\menu.exe            exited 0xC0000005 after 1 s
2026-12-09 15:00  Old report  C:\Reports\gone.exe          File not found' --failed
expect 0 '2026-12-09 02:00  Nightly backup  C:\Tools\backup.cmd /full    exited 0 after 7 h 0 min
2026-12-09 09:00  Fetch mail      C:\Tools\mailsync.exe --all  exited 1 after 3 s
2026-12-09 12:30  Café order      C:\Tools\menu.exe            exited 0xC0000005 after 1 s
2026-12-09 13:00  Price list      C:\Reports\prices.xlsx       handed over
2026-12-09 15:00  Old report      C:\Reports\gone.exe          File not found
2026-12-09 17:00  Weekly report   C:\Reports\week.cmd          still running'
exit "$failed"
