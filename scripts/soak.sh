#!/usr/bin/env bash
# Runs the real kv.exe under Wine for a while and checks that it starts
# every occurrence of its schedule exactly once, on time, and that what the
# process holds stays flat.
#
#   scripts/soak.sh [minutes]     (default 60; a fraction such as 1.5 is fine)
#
# The schedule: three Every Minute, two Every 15 Minutes and two Hourly
# entries, each on a second of its own within the minute, and Once entries
# due every three minutes (every 30 s in runs shorter than 10 minutes). Each
# starts the recorder helper, which appends its id and the moment it started
# to a log. Three more Every Minute entries start the exiter helper, which
# logs its start the same way, runs 2 or 3 s and ends with exit code 1, 0 or
# 0xC0000005; their last start comes 5 s before the end of the run. KV.INI
# gets Time=1, a check every 10 ms, for the run and is put back afterwards.
#
# At the end the script compares the log with the occurrences the schedule
# holds up to the end of the run, and reads the handle count, GDI and USER
# objects and private memory of kv.exe (kv_process_stats.exe) a few seconds
# after the first start and again at the end, each time once no program it
# started runs (the history holds the end of every start). Once kv.exe has
# closed, its history (%LOCALAPPDATA%\Kivro\history.tsv and history.1.tsv,
# which must hold the whole run) must hold a start ("running") for every
# start in the log and an end for each: "exited" with the entry's exit code
# (0 for the recorder), or "no longer watched" for a start due after the end
# of the run, which kv.exe may have made just before it closed.
#
# Tolerance for lateness: one check period (10 ms), plus up to one second
# from the whole seconds in which kv.exe keeps time (it takes a second as
# begun from its half), plus the shell call and the start of the recorder
# process under Wine, allowed 2 s. An occurrence may also come up to half a
# second early, from the same rounding; one more than a second early counts
# as wrong. KV_SOAK_TOLERANCE sets the allowance in seconds (default 3.01).
#
# KV_SOAK_PAUSES=N stops the kv.exe process (SIGSTOP) N times for
# KV_SOAK_PAUSE_SECONDS (default 60) each, spread over the run, as a machine
# that sleeps would. Each entry with occurrences due while it was stopped
# must then start exactly once, within the tolerance of the resume, and go
# on at its next occurrence after it.
#
# Exit status 1 when an occurrence was missed, started twice, late or not in
# the schedule, when kv.exe ended, when the history lacks a start or an end
# or holds a wrong exit code, when the handle count at the end is not the
# one at the start, or when a figure grew by more than its margin (GDI
# objects 5, USER objects 5, private memory 2 MiB);
# 2 when the run could not be made. KV_SOAK_LATENESS=0 leaves lateness
# unchecked (reported only), as the short run in the test suite does on a
# busy machine. KV_SOAK_TREE names the build tree whose programs run
# (default: the one the Wine tests run).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
. "$root/scripts/wine-env.sh"
. "$root/scripts/session.sh"

minutes="${1:-60}"
duration=$(awk -v m="$minutes" 'BEGIN { d = int(m * 60 + 0.5); print (d > 0 ? d : 0) }')
if [ "$duration" -lt 30 ]; then
  echo "soak: run for at least half a minute (got '$minutes')" >&2
  exit 2
fi
tolerance="${KV_SOAK_TOLERANCE:-3.01}"
check_lateness="${KV_SOAK_LATENESS:-1}"
pauses="${KV_SOAK_PAUSES:-0}"
pause_seconds="${KV_SOAK_PAUSE_SECONDS:-60}"
margin_handles=0 margin_gdi=5 margin_user=5 margin_private=$((2 * 1024 * 1024))

tree="${KV_SOAK_TREE:-$(kv_test_tree)}"
kv="$tree/kv.exe" recorder="$tree/kv_recorder.exe" exiter="$tree/kv_exiter.exe"
stats="$tree/kv_process_stats.exe"
for program in "$kv" "$recorder" "$exiter" "$stats"; do
  if [ ! -f "$program" ]; then
    echo "soak: $program is missing; build first (scripts/build.sh)" >&2
    exit 2
  fi
done

# Times in schedule files are local; in UTC they are plain Unix times, and
# the recorder's clock reads the same.
export TZ=UTC
work="$(mktemp -d "${TMPDIR:-/tmp}/kivro-soak.XXXXXX")"
name="soak-$$.KV"
schedule="$work/$name" record="$work/starts.log" plan="$work/plan.txt" stops="$work/stops.txt"
started_count="$work/started.txt"
winpath() { printf 'Z:%s' "${1//\//\\}"; }

started_xvfb="" kv_pid="" settings="" settings_saved="" start_stats="" end_stats=""
# The Linux process of this run's kv.exe (Wine shows the Windows command
# line as its own).
kv_linux_pid() {
  pgrep -f "kv\.exe Z:.*$name" | head -n 1 || true
}
cleanup() {
  local pid
  if [ -n "$kv_pid" ] && kill -0 "$kv_pid" 2>/dev/null; then
    pid="$(kv_linux_pid)"
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    kill "$kv_pid" 2>/dev/null || true
  fi
  if [ -n "$settings" ]; then
    if [ -n "$settings_saved" ]; then cp "$settings_saved" "$settings"; else rm -f "$settings"; fi
  fi
  if [ -n "$started_xvfb" ]; then kill "$started_xvfb" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

kv_display_start
started_xvfb="$KV_STARTED_XVFB"

# KV.INI lives in the user's application-data folder of the prefix, the
# history in the local one.
folders="$(wine cmd /c 'echo %APPDATA%&echo %LOCALAPPDATA%' 2>/dev/null | tr -d '\r')"
appdata="$(sed -n 1p <<<"$folders")" local_appdata="$(sed -n 2p <<<"$folders")"
for folder in "$appdata" "$local_appdata"; do
  case "$folder" in
    [Cc]:\\*) ;;
    *)
      echo "soak: cannot tell the application-data folders of $WINEPREFIX (got '$folders')" >&2
      exit 2
      ;;
  esac
done
linux_path() { printf '%s/drive_c/%s' "$WINEPREFIX" "$(printf '%s' "${1:3}" | tr '\\' '/')"; }
appdata_dir="$(linux_path "$appdata")" history_dir="$(linux_path "$local_appdata")/Kivro"
mkdir -p "$appdata_dir/Kivro"
settings="$appdata_dir/Kivro/KV.INI"
if [ -f "$settings" ]; then
  settings_saved="$work/KV.INI.saved"
  cp "$settings" "$settings_saved"
fi
printf '[KV]\r\nTime=1\r\nAssociationWarning=1\r\nHideIcon=0\r\n' >"$settings"

# The plan: id, first start, step in seconds (0: once), end, and for the
# exiter's entries its exit code and running time in milliseconds.
lead=20
base=$(($(date +%s) + lead))
finish=$((base + duration))
end=$((finish + 86400))
once_every=$((duration >= 600 ? 180 : 30))
{
  for recurring in M1:0:60 M2:7:60 M3:13:60 F1:23:900 F2:37:900 H1:47:3600 H2:1853:3600; do
    IFS=: read -r id offset step <<<"$recurring"
    echo "$id $((base + offset)) $step $end"
  done
  for exiting in X1:17:1:2000 X2:41:0:3000 X3:52:3221225477:2000; do
    IFS=: read -r id offset code ms <<<"$exiting"
    if [ $((offset + 5)) -le "$duration" ]; then
      echo "$id $((base + offset)) 60 $((finish - 5)) $code $ms"
    fi
  done
  k=0
  while [ $((31 + k * once_every)) -le "$duration" ]; do
    echo "O$k $((base + 31 + k * once_every)) 0 $((base + 31 + k * once_every))"
    k=$((k + 1))
  done
} >"$plan"

recorder_win="$(winpath "$recorder")" exiter_win="$(winpath "$exiter")" work_win="$(winpath "$work")"
{
  printf 'Version=3.0\r\n'
  while read -r id start step stop exit_code ms; do
    case "$step" in 0) frequency=O ;; 60) frequency=M ;; 900) frequency=F ;; *) frequency=H ;; esac
    program="$recorder_win $id"
    if [ -n "${exit_code:-}" ]; then program="$exiter_win $exit_code $ms $id"; fi
    printf '%s %s %s 1 %s \022%s p0 d%s\r\n' "$start" "$stop" "$frequency" "$program" "$work_win" \
      "$id"
  done <"$plan"
} >"$schedule"

# The exit code each entry's program ends with, as the history writes it:
# "X1=1 X3=0xC0000005 ...", the recorder's 0 for the rest.
exit_codes="$(awk 'NF == 6 { printf "%s=%s ", $1, ($5 >= 3221225472 ? sprintf("0x%08X", $5) : $5) }' "$plan")"
# This run's history lines (those of its work folder), oldest first. The
# folder goes through the environment: awk -v would read its backslashes.
run_history() {
  cat "$history_dir/history.1.tsv" "$history_dir/history.tsv" 2>/dev/null |
    KV_SOAK_FOLDER="$work_win" awk -F'\t' '{ sub(/\r$/, "") } NF == 10 && $6 == ENVIRON["KV_SOAK_FOLDER"]' ||
    true
}
# How many of this run's starts have no end in the history yet.
open_starts() {
  run_history | awk -F'\t' '
    { key = $1 FS $2 FS $3 FS $4 FS $5 FS $9 }
    $10 == "running" { open[key]++ }
    $10 == "no longer watched" || $10 ~ /^exited / { open[key]-- }
    END { n = 0; for (key in open) if (open[key] > 0) n += open[key]; print n }'
}

# Figures: "handles gdi user private", or nothing when the window is gone.
# Wine gives none of the four to another process (the calls answer 0), so
# where the helper prints -1 the next best is taken: handles from the
# system's handle table, the process's windows for its USER objects, and the
# anonymous resident memory of its Linux process (RssAnon) for its private
# memory. GDI objects cannot be seen from outside under Wine.
read_stats() {
  local line fields linux_pid rss
  line="$(wine "$stats" "$name]" 2>/dev/null | tr -d '\r')" || true
  fields="$(sed -n 's/^pid=[0-9]* handles=\(-*[0-9]*\) table_handles=\(-*[0-9]*\) gdi=\(-*[0-9]*\) user=\(-*[0-9]*\) windows=\(-*[0-9]*\) private=\(-*[0-9]*\)$/\1 \2 \3 \4 \5 \6/p' <<<"$line")"
  [ -n "$fields" ] || return 0
  read -r handles table_handles gdi user windows private <<<"$fields"
  if [ "$handles" -lt 0 ]; then handles=$table_handles handles_kind="handles (system handle table)"; fi
  if [ "$user" -lt 0 ]; then user=$windows user_kind="USER objects (windows only)"; fi
  if [ "$private" -lt 0 ]; then
    private=-1
    linux_pid="$(kv_linux_pid)"
    if [ -n "$linux_pid" ]; then
      rss="$(sed -n 's/^RssAnon:[[:space:]]*\([0-9]*\) kB$/\1/p' "/proc/$linux_pid/status" 2>/dev/null)" || true
      [ -n "$rss" ] && private=$((rss * 1024)) private_kind="private bytes (RssAnon of the Wine process)"
    fi
  fi
  echo "$handles $gdi $user $private"
}
handles_kind="handles" user_kind="USER objects" private_kind="private bytes"
# The figures at a moment when no program kv.exe started runs, so that the
# handles it holds for them do not count; waits up to 10 s for one.
# read_stats runs in this shell, since it names the kinds of figure it read.
read_quiet_stats() {
  for _ in $(seq 20); do
    if [ "$(open_starts)" -eq 0 ]; then
      read_stats >"$work/quiet"
      if [ "$(open_starts)" -eq 0 ]; then
        cat "$work/quiet"
        return 0
      fi
    fi
    sleep 0.5
  done
  echo "soak: a program kv.exe started was still running when its figures were read" >&2
  read_stats
}
sleep_until() {
  local now
  now=$(date +%s)
  if [ "$1" -gt "$now" ]; then sleep $(($1 - now)); fi
}

echo "soak: $minutes minute(s) from $(date -u -d "@$base" '+%H:%M:%S') UTC, $(wc -l <"$plan") entries, check every 10 ms; work folder $work"
KV_RECORD_FILE="$(winpath "$record")" KV_RECORD_TIME=1 wine "$kv" "$(winpath "$schedule")" \
  </dev/null >"$work/kv.out" 2>&1 &
kv_pid=$!

first=""
while [ "$(date +%s)" -lt $((base - 1)) ]; do
  first="$(read_stats)"
  [ -n "$first" ] && break
  sleep 0.5
done
if [ -z "$first" ]; then
  echo "soak: kv.exe did not show its window within $lead s" >&2
  exit 2
fi

# The start figures: a few seconds after the first start, once the shell and
# the timer have been used.
sleep_until $((base + 5))
read_quiet_stats >"$work/stats" && start_stats="$(cat "$work/stats")"
# Each stop begins 3 s past a minute of the plan, where no entry is due
# within 3 s, and lasts a whole number of seconds.
: >"$stops"
for ((i = 1; i <= pauses; i++)); do
  at=$((base + (duration * i / (pauses + 1)) / 60 * 60 + 3))
  [ $((at + pause_seconds + 10)) -lt "$finish" ] || continue
  sleep_until "$at"
  pid="$(kv_linux_pid)"
  [ -n "$pid" ] || break
  stopped_at="$(date +%s.%N)"
  kill -STOP "$pid"
  sleep "$pause_seconds"
  kill -CONT "$pid"
  echo "$stopped_at $(date +%s.%N)" >>"$stops"
  echo "soak: kv.exe stopped from $(date -u -d "@${stopped_at%.*}" '+%H:%M:%S') UTC for $pause_seconds s"
done
sleep_until $((finish + ${tolerance%.*} + 2))
read_quiet_stats >"$work/stats" && end_stats="$(cat "$work/stats")"
wine "$stats" "$name]" --close >/dev/null 2>&1 || true
for _ in $(seq 100); do
  kill -0 "$kv_pid" 2>/dev/null || break
  sleep 0.2
done
if kill -0 "$kv_pid" 2>/dev/null; then
  echo "soak: kv.exe did not close; ending it"
  pid="$(kv_linux_pid)"
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
fi
wait "$kv_pid" 2>/dev/null || true
kv_pid=""

status=0
touch "$record"
awk -v finish="$finish" -v tol="$tolerance" -v lateness="$check_lateness" -v counted="$started_count" '
  FILENAME == ARGV[1] { paused[++stops] = $1; resumed[stops] = $2; next }
  FILENAME == ARGV[2] { start[$1] = $2; step[$1] = $3; stop[$1] = $4; next }
  # The stop during which an occurrence was due, or 0.
  function stopOf(due,   s) {
    for (s = 1; s <= stops; s++) if (due >= paused[s] && due < resumed[s]) return s
    return 0
  }
  # The stop that a start just after its resume makes up for, or 0.
  function catchUpOf(id, at,   s, k, due) {
    for (s = 1; s <= stops; s++) {
      if (at < resumed[s] - 1 || at > resumed[s] + tol) continue
      for (k = 0; ; k++) {
        due = start[id] + k * step[id]
        if (due >= resumed[s] || due > stop[id]) break
        if (due >= paused[s]) return s
        if (step[id] == 0) break
      }
    }
    return 0
  }
  {
    if (match($0, /^params=\[[^]]*\]/)) {
      id = substr($0, RSTART + 8, RLENGTH - 9)
    } else if (match($0, /^exiter [^ ]+ /)) {
      id = substr($0, 8, RLENGTH - 8)
    } else { unexpected++; next }
    if (!match($0, / at=[0-9]+/)) { unexpected++; next }
    at = substr($0, RSTART + 4, RLENGTH - 4) / 1000.0
    if (!(id in start)) { unexpected++; next }
    s = catchUpOf(id, at)
    if (s > 0) { caught[id SUBSEP s]++; started++; next }
    k = step[id] == 0 ? 0 : int((at - start[id]) / step[id] + 0.5)
    due = start[id] + k * step[id]
    if (k < 0 || due > stop[id]) { unexpected++; next }
    late = at - due
    seen[id SUBSEP k]++
    if (due > finish) next
    started++
    if (started == 1 || late > maxlate) maxlate = late
    sumlate += late
    if (late > tol) { tardy++; if (tardy <= 5) printf "soak: %s due at %d started %.2f s late\n", id, due, late }
    if (late < -1) { early++; if (early <= 5) printf "soak: %s due at %d started %.2f s early\n", id, due, -late }
  }
  END {
    for (id in start) {
      for (k = 0; ; k++) {
        due = start[id] + k * step[id]
        if (due > finish || due > stop[id]) break
        s = stopOf(due)
        if (s > 0) { behind[id SUBSEP s] = 1; if (step[id] == 0) break; continue }
        expected++
        n = seen[id SUBSEP k]
        if (n == 0) { missed++; if (missed <= 5) printf "soak: %s due at %d never started\n", id, due }
        if (step[id] == 0) break
      }
    }
    for (key in behind) {
      expected++
      split(key, part, SUBSEP)
      n = caught[key]
      if (n == 0) { missed++; if (missed <= 5) printf "soak: %s never started after stop %d\n", part[1], part[2] }
      if (n > 1) { doubled++; printf "soak: %s started %d times after stop %d\n", part[1], n, part[2] }
    }
    for (key in caught) if (!(key in behind)) unexpected++
    for (key in seen) if (seen[key] > 1) {
      doubled++
      split(key, part, SUBSEP)
      if (doubled <= 5) printf "soak: %s occurrence %d started %d times\n", part[1], part[2], seen[key]
    }
    printf "soak: occurrences expected %d, started %d (missed %d, doubled %d, late %d, early %d, not in the schedule %d)\n",
      expected, started, missed, doubled, tardy, early, unexpected
    printf "soak: lateness after the due second: max %.2f s, mean %.2f s (allowed %s s%s)\n",
      maxlate, started ? sumlate / started : 0, tol, lateness == 1 ? "" : ", not checked"
    print started >counted
    bad = missed + doubled + unexpected + (lateness == 1 ? tardy + early : 0)
    exit bad > 0 ? 1 : 0
  }' "$stops" "$plan" "$record" || status=1

# The history: a start for every start in the log that was due by the end
# of the run, and an end for each start. Its times are UTC, as the run's,
# and so compare as texts.
run_history | awk -F'\t' -v codes="$exit_codes" -v logged="$(cat "$started_count" 2>/dev/null || echo -1)" \
  -v finish="$(date -u -d "@$finish" '+%Y-%m-%dT%H:%M:%S+00:00')" '
  function say(what) { if (++said <= 5) printf "soak: history: %s: %s at %s\n", $4, what, $2 }
  BEGIN {
    n = split(codes, pairs, " ")
    for (i = 1; i <= n; i++) { split(pairs[i], pair, "="); code[pair[1]] = pair[2] }
  }
  { key = $1 FS $2 FS $3 FS $4 FS $5 FS $9 }
  $10 == "running" { open[key]++; starts++; if ($2 <= finish) due++; next }
  $10 == "no longer watched" || $10 ~ /^exited / {
    if (open[key] < 1) { orphans++; say("an end without its start"); next }
    open[key]--
    ends++
    if ($10 == "no longer watched") {
      if ($2 <= finish) { unwatched++; say("no longer watched, though due by the end") }
      next
    }
    want = ($4 in code) ? code[$4] : "0"
    if (index($10, "exited " want " after ") != 1) { wrong++; say($10 ", not exit code " want) }
    next
  }
  { other++; say($10) }
  END {
    for (key in open) unended += open[key]
    printf "soak: history: %d starts, %d due by the end (the log has %d), %d ends (%d missing, %d without a start, %d wrong exit codes, %d no longer watched though due by the end), %d other lines\n",
      starts, due, logged, ends, unended, orphans, wrong, unwatched, other
    exit unended + orphans + wrong + unwatched + other > 0 || due != logged ? 1 : 0
  }' || status=1

if [ -z "$end_stats" ]; then
  echo "soak: kv.exe was no longer running at the end"
  status=1
fi
read -r h0 g0 u0 p0 <<<"${start_stats:--1 -1 -1 -1}"
read -r h1 g1 u1 p1 <<<"${end_stats:--1 -1 -1 -1}"
figure() {  # name start end margin (0: the same at the end)
  if [ "$2" -lt 0 ] || [ "$3" -lt 0 ]; then
    echo "soak: $1 not available ($2 -> $3)"
  elif [ "$4" -eq 0 ] && [ "$3" -ne "$2" ]; then
    echo "soak: $1 $2 -> $3: not the same at the end"
    status=1
  elif [ $(($3 - $2)) -gt "$4" ]; then
    echo "soak: $1 $2 -> $3: grew by $(($3 - $2)), more than $4"
    status=1
  else
    echo "soak: $1 $2 -> $3 ($(($3 - $2)), margin $4)"
  fi
}
figure "$handles_kind" "$h0" "$h1" "$margin_handles"
figure "GDI objects" "$g0" "$g1" "$margin_gdi"
figure "$user_kind" "$u0" "$u1" "$margin_user"
figure "$private_kind" "$p0" "$p1" "$margin_private"
[ "$status" -eq 0 ] && echo "soak: passed" || echo "soak: FAILED"
exit "$status"
