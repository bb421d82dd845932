#!/usr/bin/env bash
# A kv.exe whose process is stopped (as a machine that sleeps stops it)
# while its Every Minute entry falls due twice or more: once it goes on, the
# entry starts exactly once, and its next start lies after the resume.
# Usage: suspended_process.sh BUILD_TREE [SECONDS]   (a Wine session running;
# SECONDS, default 125, is how long the process stays stopped)
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)"
tree="$(realpath "$1")"
pause="${2:-125}"
. "$root/scripts/wine-env.sh"
export TZ=UTC  # schedule times are then plain Unix times

work="$(mktemp -d)"
name="suspend-$$.KV"
kivro_pid=""
cleanup() {
  local pid
  pid="$(pgrep -f "kv\.exe Z:.*$name" | head -n 1)"
  [ -n "$pid" ] && kill -CONT "$pid" 2>/dev/null && kill "$pid" 2>/dev/null
  [ -n "$kivro_pid" ] && kill "$kivro_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "suspend test: $*" >&2
  exit 1
}
winpath() { printf 'Z:%s' "${1//\//\\}"; }
starts() { grep -c params "$work/starts.log" 2>/dev/null || echo 0; }
wait_for_starts() {
  for _ in $(seq 100); do
    [ "$(starts)" -ge "$1" ] && return 0
    sleep 0.1
  done
  return 1
}

first=$(($(date +%s) + 4))
printf 'Version=3.0\r\n%s 2082718859 M 1 %s minute \022%s p0 dEvery minute\r\n' "$first" \
  "$(winpath "$tree/kv_recorder.exe")" "$(winpath "$work")" >"$work/$name"
KV_RECORD_FILE="$(winpath "$work/starts.log")" kv_wine_start "$tree/kv.exe" "$(winpath "$work/$name")" \
  >/dev/null 2>&1
kivro_pid=$!
wait_for_starts 1 || fail "the entry did not start at its time"
pid="$(pgrep -f "kv\.exe Z:.*$name" | head -n 1)"
[ -n "$pid" ] || fail "no process of kv.exe"

kill -STOP "$pid"
sleep "$pause"
kill -CONT "$pid"
resumed=$(date +%s)
wait_for_starts 2 || fail "nothing started after the resume"
sleep 3
[ "$(starts)" -eq 2 ] || fail "$(($(starts) - 1)) starts after a pause of $pause s; one was wanted"

# The schedule as saved now holds the entry's next start.
wine "$tree/kv_drive.exe" command 2002 >/dev/null 2>&1
for _ in $(seq 50); do
  next="$(sed -n '2s/ .*//p' "$work/$name" | tr -d '\r')"
  [ "$next" != "$first" ] && break
  sleep 0.1
done
[ "$next" -gt "$resumed" ] || fail "its next start $next is not after the resume at $resumed"
echo "suspend test: one start after $pause s stopped; next start $((next - resumed)) s after the resume"
