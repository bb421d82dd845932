#!/usr/bin/env bash
# Builds the trees: build/native (core and unit tests, sanitizers),
# build/release (kvtool as a Linux user builds it: Release, warnings as errors),
# build/windows (kv.exe and kvtool.exe for 32-bit Windows, with the Wine
# tests when this machine's Wine runs 32-bit programs) and, where it cannot,
# build/windows-x64 (the same sources for 64-bit Windows, with the Wine tests).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
. "$root/scripts/wine-env.sh"
jobs="${KV_JOBS:-$(nproc)}"
cmake -S "$root" -B "$KV_BUILD_ROOT/native" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$KV_BUILD_ROOT/native" -j "$jobs"
cmake -S "$root" -B "$KV_BUILD_ROOT/release" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$KV_BUILD_ROOT/release" -j "$jobs" --target kvtool
cmake -S "$root" -B "$KV_BUILD_ROOT/windows" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
if [ "$(kv_test_arch)" = i686 ]; then
  cmake --build "$KV_BUILD_ROOT/windows" -j "$jobs"
else
  cmake --build "$KV_BUILD_ROOT/windows" -j "$jobs" --target kv kvtool
  cmake -S "$root" -B "$KV_BUILD_ROOT/windows-x64" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" >/dev/null
  cmake --build "$KV_BUILD_ROOT/windows-x64" -j "$jobs"
fi
