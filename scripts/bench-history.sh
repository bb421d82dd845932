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
bench="$tree/kv_history_bench.exe"
[ -f "$bench" ] || { echo "bench-history: build first (scripts/build.sh)" >&2; exit 2; }
work="$(mktemp -d)"
trap 'rm -rf "$work"; kv_session_stop' EXIT
kv_session_start "$tree/kv_keeper.exe"
echo "bench-history: the $(kv_test_arch) build"
wine "$bench" "Z:${work//\//\\}\\history.tsv" 2>/dev/null | tr -d '\r'
