#!/usr/bin/env bash
# Times the real kv.exe on very large schedules under Wine, with the Windows
# build that the tests run. It measures; it never passes or fails.
#
#   scripts/bench-large.sh [entries...]     (default: 100000 1000000)
#
# For each size it writes a schedule as the core's file benchmark makes one
# (every start still to come, in random order, about 113 bytes a line) and
# gives the stages of its load (kv_load_stages: the time and the anonymous
# memory each stage of the program's load code takes and keeps) and one row
# of figures for each view, Rows and Details (View in KV.INI):
#   - the file's size, and the wall time of `sort -n` on it;
#   - kv.exe started with it, from CreateProcess until its list holds every
#     row, less the same for a schedule of the header alone (the median of
#     three such starts): "window after an empty start", and its ratio to
#     the sort;
#   - the resident memory of the kv.exe process once the list shows (RssAnon
#     and VmRSS of its Linux process), and (RssAnon less that of the empty
#     start) / entries;
#   - the time from the View menu's command into the other view until its
#     list holds every row (and the one left, none), and back;
#   - the median of five of each edit, on a row in the middle: Delete and Cut
#     from Yes on their question until the row is gone, Paste from the
#     command until the row is there, Add from OK until the row is there,
#     Edit (a new description) from OK until the row shows it. The times from
#     the Delete and Cut commands until their question showed follow the row.
# A size that opens very slowly is waited for up to 20 minutes.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
. "$root/scripts/wine-env.sh"
. "$root/scripts/session.sh"
tree="$(kv_test_tree)"
bench="$tree/kv_large_bench.exe"
stages="$tree/kv_load_stages.exe"
[ -f "$bench" ] && [ -f "$stages" ] || { echo "bench-large: build first (scripts/build.sh)" >&2; exit 2; }
[ "$#" -gt 0 ] || set -- 100000 1000000

work="$(mktemp -d "${TMPDIR:-/tmp}/kivro-bench-large.XXXXXX")"
driver=""
cleanup() {
  if [ -n "$driver" ]; then kill "$driver" 2>/dev/null || true; fi
  kv_session_stop
  rm -rf "$work"
}
trap cleanup EXIT
winpath() { printf 'Z:%s' "${1//\//\\}"; }
milliseconds() { echo $(($(date +%s%N) / 1000000)); }

# N entries, every start at least a day ahead (so that no time zone makes one
# due), in random order.
write_schedule() {
  python3 - "$1" "$2" <<'EOF'
import random, sys, time
n, path = int(sys.argv[1]), sys.argv[2]
rng = random.Random(42)
base = int(time.time()) + 100000
codes = "OMFHDKWTE"
with open(path, "w", newline="") as out:
    out.write("Version=3.0\r\n")
    chunk = []
    for i in range(n):
        start = base + rng.randrange(0, 300000000)
        chunk.append(f"{start} 4000000000 {codes[i % 9]} 1 C:\\PROGRA~1\\APP{i}.EXE "
                      f"/open C:\\DATA\\FILE.TXT \x12C:\\PROGRA~1 p0 dEntry number {i}\r\n")
        if len(chunk) == 10000:
            out.write("".join(chunk))
            chunk = []
    out.write("".join(chunk))
EOF
}

# The Linux process of the kv.exe that holds this schedule (Wine shows the
# Windows command line as its own).
kv_linux_pid() {
  pgrep -f "kv\.exe.*$1" | head -n 1 || true
}
status_field() {  # pid field -> bytes
  sed -n "s/^$2:[[:space:]]*\([0-9]*\) kB\$/\1/p" "/proc/$1/status" 2>/dev/null | awk '{ print $1 * 1024 }'
}

# Runs the driver on one schedule: its key=value lines go to $work/$tag.out,
# with rss_anon= and vm_rss= read while the list showed.
run_driver() {  # tag schedule rows view [edits]
  local tag=$1 schedule=$2 rows=$3 view=$4 mode=${5:-} mark="$work/$1" out="$work/$1.out" pid=""
  wine "$bench" "$(winpath "$schedule")" "$rows" "$(winpath "$mark")" "$view" $mode \
    </dev/null >"$out.raw" 2>/dev/null &
  driver=$!
  while kill -0 "$driver" 2>/dev/null && [ ! -e "$mark.shown" ]; do sleep 0.2; done
  if [ -e "$mark.shown" ]; then
    pid="$(kv_linux_pid "$(basename "$schedule")")"
    if [ -n "$pid" ]; then
      echo "rss_anon=$(status_field "$pid" RssAnon)" >>"$out.memory"
      echo "vm_rss=$(status_field "$pid" VmRSS)" >>"$out.memory"
    fi
    touch "$mark.read"
  fi
  wait "$driver" || true
  driver=""
  tr -d '\r' <"$out.raw" >"$out"
  [ -f "$out.memory" ] && cat "$out.memory" >>"$out"
  if grep -q '^error=' "$out"; then echo "bench-large: $tag: $(sed -n 's/^error=//p' "$out")" >&2; fi
}
value() { sed -n "s/^$2=//p" "$work/$1.out" | head -n 1; }
median3() { printf '%s\n' "$@" | sort -n | sed -n 2p; }

kv_session_start "$tree/kv_keeper.exe"
echo "bench-large: the $(kv_test_arch) build, $tree/kv.exe ($(git -C "$root" rev-parse --short HEAD 2>/dev/null || echo '?'))"

# The empty start in each view, three times.
write_schedule 0 "$work/empty.KV"
declare -A empty_open empty_anon
for view in rows details; do
  opens=() anons=()
  for k in 1 2 3; do
    run_driver "empty-$view$k" "$work/empty.KV" 0 "$view"
    opens+=("$(value "empty-$view$k" open_ms)") anons+=("$(value "empty-$view$k" rss_anon)")
  done
  empty_open[$view]="$(median3 "${opens[@]}")" empty_anon[$view]="$(median3 "${anons[@]}")"
  echo "bench-large: empty schedule, $view: window after ${opens[*]} ms (median ${empty_open[$view]}), RssAnon median $((${empty_anon[$view]} / 1024)) KiB"
done

rows=()
for n in "$@"; do
  file="$work/large-$n.KV"
  write_schedule "$n" "$file"
  t0=$(milliseconds); sort -n "$file" >/dev/null; sort_ms=$(($(milliseconds) - t0))
  echo "bench-large: $n entries, the stages of a load with the program's code:"
  wine "$stages" "$(winpath "$file")" </dev/null 2>/dev/null | tr -d '\r' | sed 's/^/  /'
  for view in rows details; do
    tag="n$n-$view"
    run_driver "$tag" "$file" "$n" "$view" edits
    open="$(value "$tag" open_ms)" anon="$(value "$tag" rss_anon)" rss="$(value "$tag" vm_rss)"
    other=details
    [ "$view" = rows ] || other=rows
    edits="$(value "$tag" "switch_to_${other}_ms") $(value "$tag" "switch_to_${view}_ms")"
    for e in delete cut paste add edit; do edits="$edits $(value "$tag" "${e}_ms")"; done
    row="$(awk -v n="$n" -v view="$view" -v size="$(stat -c %s "$file")" -v open="${open:--1}" \
      -v empty="${empty_open[$view]}" -v sort_ms="$sort_ms" -v anon="${anon:--1}" \
      -v anon0="${empty_anon[$view]}" -v rss="${rss:--1}" -v edits="$edits" 'BEGIN {
        split(edits, e, " ")
        x = open < 0 ? -1 : open - empty
        printf "%9d %-8s %8.1f %12.0f %8d %6.2f %9.1f %8.1f %8.1f %9s %9s %8s %8s %8s %8s %8s\n", n,
          view, size / 1048576, x, sort_ms, (x < 0 || sort_ms == 0) ? -1 : x / sort_ms,
          anon / 1048576, anon < 0 ? -1 : (anon - anon0) / n, rss / 1048576, e[1], e[2], e[3],
          e[4], e[5], e[6], e[7]
      }')"
    rows+=("$row")
    echo "bench-large: $n entries, $view: window after ${open:-?} ms from CreateProcess; switching to $other and back: $(value "$tag" "switch_to_${other}_ms") and $(value "$tag" "switch_to_${view}_ms") ms; edits (ms, each run):"
    for e in delete_ask delete cut_ask cut paste add edit; do
      echo "  $e:$(value "$tag" "${e}_ms_all")"
    done
  done
  rm -f "$file"
done

echo
echo "bench-large: the $(kv_test_arch) build; times in ms, sizes in MiB; Delete and Cut from Yes"
printf '%9s %-8s %8s %12s %8s %6s %9s %8s %8s %9s %9s %8s %8s %8s %8s %8s\n' entries view file \
  "after-empty" "sort -n" ratio RssAnon "B/entry" VmRSS "->other" "<-back" Delete Cut Paste Add Edit
printf '%s\n' "${rows[@]}"
