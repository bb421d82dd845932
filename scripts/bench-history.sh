#!/usr/bin/env bash
# Times the history of starts under Wine, with the Windows build that the
# tests run: one append of a line (the mean of 2,000), and opening the
# History window on a full 1 MiB history until its list shows. It measures;
# it never passes or fails.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
. "$root/scripts/wine-env.sh"
. "$root/scripts/session.sh"
tree="$(kv_test_tree)"
writer="$tree/kv_history_writer.exe" window="$tree/kv_history_window_bench.exe"
[ -f "$writer" ] && [ -f "$window" ] || { echo "bench-history: build first (scripts/build.sh)" >&2; exit 2; }
work="$(mktemp -d)"
trap 'rm -rf "$work"; kv_session_stop' EXIT
kv_session_start "$tree/kv_keeper.exe"
history="Z:${work//\//\\}\\history.tsv"
echo "bench-history: the $(kv_test_arch) build"
printf 'append:  '
wine "$writer" "$history" 2000 bench 2>/dev/null | tr -d '\r'
# Fill it to just under the limit, as a history of long use is.
while [ "$(stat -c %s "$work/history.tsv")" -lt $((1024 * 1024 - 4096)) ]; do
  wine "$writer" "$history" 2000 fill >/dev/null 2>&1
done
rm -f "$work/history.1.tsv"
printf 'window:  %s bytes, ' "$(stat -c %s "$work/history.tsv")"
wine "$window" "$history" 2>/dev/null | tr -d '\r'
