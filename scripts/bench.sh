#!/usr/bin/env bash
# Runs the benchmarks of the portable core (built without sanitizers).
# They measure; they never pass or fail. Extra arguments go to the benchmark
# program, e.g. --benchmark_filter=DueCheck.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cmake -S "$root" -B "$root/build/native" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$root/build/native" -j "$(nproc)" --target kv_benchmarks
"$root/build/native/kv_benchmarks" "$@"
