#!/usr/bin/env bash
# Builds the fuzz targets (libFuzzer, AddressSanitizer, UndefinedBehavior-
# Sanitizer, clang) and runs each for a while on its corpus.
#
#   scripts/fuzz.sh [seconds] [target]   (default 60 s, every target)
#
# KV_FUZZ_RUNS=N also ends each run after N executions, whichever comes
# first (a long run: scripts/fuzz.sh 1800 with KV_FUZZ_RUNS=10000000).
#
# Targets: schedule_file, entry_line, date_time_text, kvtool_check.
#
# The corpus of each target lives in tests/fuzz/corpus/<target>/ and is
# committed: a run starts from it, and afterwards what the run found is
# merged back, minimised (-merge=1), so the folder keeps one input per
# feature and the next run starts where this one ended. With
# KV_FUZZ_SCRATCH=1 (the test suite) the run works on a copy and the
# committed corpus stays as it is.
#
# The build goes to $KV_FUZZ_DIR (default build/fuzz, or $KV_BUILD_DIR/fuzz).
# Exit status 77 when clang cannot be had: the test suite then skips.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-60}"
only="${2:-}"
out="${KV_FUZZ_DIR:-${KV_BUILD_DIR:-$root/build}/fuzz}"
cxx="${CXX_FUZZ:-clang++}"
targets=(schedule_file entry_line date_time_text kvtool_check)
if [ -n "$only" ]; then
  case " ${targets[*]} " in
    *" $only "*) targets=("$only") ;;
    *)
      echo "fuzz: no target '$only' (targets: ${targets[*]})" >&2
      exit 2
      ;;
  esac
fi

# libFuzzer comes with clang (setup.sh installs both; this covers running
# the script on its own).
if ! command -v "$cxx" >/dev/null 2>&1; then
  if [ "$(id -u)" -eq 0 ]; then
    echo "fuzz: installing clang"
    { apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
      --no-install-recommends clang libclang-rt-14-dev; } >/dev/null 2>&1 || true
  fi
  if ! command -v "$cxx" >/dev/null 2>&1; then
    echo "fuzz: SKIPPED: $cxx is not installed and could not be installed (apt-get install clang)"
    exit 77
  fi
fi

cmake -S "$root/tests/fuzz" -B "$out" -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_BUILD_TYPE=Debug >/dev/null
built=()
for target in "${targets[@]}"; do
  if [ "$target" = kvtool_check ] && [ ! -f "$root/tool/commands.h" ]; then
    echo "fuzz: kvtool_check skipped: tool/ has no check to call yet"
    continue
  fi
  built+=("$target")
done
[ ${#built[@]} -gt 0 ] || exit 0
cmake --build "$out" -j "${KV_JOBS:-$(nproc)}" --target "${built[@]/%/_fuzz}"

status=0
for target in "${built[@]}"; do
  corpus="$root/tests/fuzz/corpus/$target"
  mkdir -p "$corpus"
  work="$out/run/$target"
  rm -rf "$work"
  mkdir -p "$work/found" "$work/merged"
  # The run adds what it finds to found/; the committed corpus is only read.
  log="$out/$target.log"
  if ! "$out/${target}_fuzz" -max_total_time="$seconds" -runs="${KV_FUZZ_RUNS:--1}" \
    -max_len=4096 -timeout=10 \
    -print_final_stats=1 -artifact_prefix="$out/${target}-" "$work/found" "$corpus" >"$log" 2>&1; then
    echo "fuzz: $target FAILED; the input that failed is in $out/${target}-*"
    tail -n 40 "$log"
    status=1
    continue
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
  # The last status line holds the coverage: edges (cov) and features (ft).
  cov=$(grep -E '^#[0-9]+.*cov: ' "$log" | tail -n 1 | sed -E 's/.*(cov: [0-9]+ ft: [0-9]+).*/\1/')
  spent=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -n 1)
  echo "fuzz: $target: ${runs:-?} executions in ${spent:-$seconds} s (${rate:-?}/s), ${cov:-cov: ?}, no failure"
  if [ "${KV_FUZZ_SCRATCH:-0}" != 1 ]; then
    "$out/${target}_fuzz" -merge=1 -max_len=4096 "$work/merged" "$corpus" "$work/found" \
      >"$out/$target.merge.log" 2>&1
    rm -rf "$corpus"
    mkdir -p "$corpus"
    cp "$work/merged"/* "$corpus"/ 2>/dev/null || true
    echo "fuzz: $target corpus: $(find "$corpus" -type f | wc -l) inputs," \
      "$(find "$corpus" -type f -exec cat {} + | wc -c) bytes"
  fi
done
exit $status
