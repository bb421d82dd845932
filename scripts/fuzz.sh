#!/usr/bin/env bash
# Builds the schedule-file fuzz target with libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer against the portable core, then runs it.
#
#   scripts/fuzz.sh [seconds]     (default 60)
#
# The build and the corpus go to $KV_FUZZ_DIR (default build/fuzz).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-60}"
out="${KV_FUZZ_DIR:-$root/build/fuzz}"
cxx="${CXX_FUZZ:-clang++}"

# libFuzzer comes with clang, which the rest of the build does not need.
if ! command -v "$cxx" >/dev/null 2>&1; then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends clang >/dev/null
fi

sources=()
for dir in schedule engine app locale editor; do
  for f in "$root/$dir"/*.cpp; do
    [[ -e "$f" && "$f" != *_win32.cpp ]] && sources+=("$f")
  done
done

mkdir -p "$out/corpus"
"$cxx" -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I "$root" "$root/tests/fuzz/schedule_file_fuzz.cpp" "${sources[@]}" \
  -o "$out/schedule_file_fuzz"

# Seeds: an empty schedule, a current file and a legacy one.
printf 'Version=3.0\r\n' >"$out/corpus/empty"
printf 'Version=3.0\r\n1800000000 1900000000 D 1 C:\\WINDOWS\\NOTEPAD.EXE C:\\NOTES.TXT \022C:\\WINDOWS p0 dNotes\r\n' \
  >"$out/corpus/current"
printf '1800000000 1900000000 W 2 C:\\WINDOWS\\CALC.EXE\r\n1600000000 1900000000 M 1 A.EXE\n' \
  >"$out/corpus/legacy"

cd "$out"
./schedule_file_fuzz -max_total_time="$seconds" -max_len=4096 -timeout=10 corpus
