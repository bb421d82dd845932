#!/usr/bin/env bash
# Runs kvtool.exe under Wine and the native kvtool on the same schedule in the
# same time zone, and fails on any difference in what they print.
# Usage: same_as_native.sh KVTOOL_EXE NATIVE_KVTOOL ZONE FILE
set -uo pipefail
exe="$(realpath "$1")"
native="$2"
zone="$3"
file="$(realpath "$4")"
. "$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/scripts/wine-env.sh"

if [ ! -x "$native" ]; then
  echo "no native kvtool at $native (build the native tree first)"
  exit 77
fi

run_native() {
  TZ="$zone" "$native" "$@" <"$file"
}

# Wine passes TZ on to the program, whose runtime would misread a zone name;
# without it the runtime follows the Windows zone that Wine derives from TZ.
# The Windows program ends its lines with CR LF. Wine's messages go to a file:
# a Wine process that the first call starts keeps its standard error open,
# and ctest would wait for it.
errors="$(mktemp)"
trap 'rm -f "$errors"' EXIT
run_windows() {
  (cd "$(dirname "$exe")" &&
    TZ="$zone" wine cmd /c "set TZ=& $(basename "$exe") $*" <"$file" 2>"$errors") | tr -d '\r'
}

failed=0
compare() {
  local native_out windows_out
  if ! native_out="$(run_native "$@")" || [ -z "$native_out" ]; then
    echo "native kvtool $* failed or printed nothing"
    failed=1
    return
  fi
  if ! windows_out="$(run_windows "$@")"; then
    echo "kvtool.exe $* failed:"
    cat "$errors"
    failed=1
    return
  fi
  if [ "$native_out" != "$windows_out" ]; then
    echo "kvtool $* in $zone: kvtool.exe (>) differs from the native kvtool (<)"
    diff <(printf '%s\n' "$native_out") <(printf '%s\n' "$windows_out")
    failed=1
  else
    echo "kvtool $* in $zone: same $(printf '%s\n' "$native_out" | wc -l) lines"
  fi
}

compare list --format=tsv -
compare next - --from 2026-01-05T08:00 --count 40 --format=tsv
# Across the nights on which the clocks go forward and back in New York.
compare next - --from 2026-03-07T12:00 --count 60 --format=tsv
compare next - --from 2026-10-31T12:00 --count 60 --format=tsv
compare next - --from 2026-01-06T12:00 --count 20 --missed-starts --format=tsv
exit "$failed"
