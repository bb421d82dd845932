#!/usr/bin/env bash
# Sets everything up, builds, and runs every test: the native unit tests,
# then everything that runs under Wine on a virtual display.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
. "$root/scripts/wine-env.sh"
. "$root/scripts/session.sh"
trap 'kv_session_stop; kv_full_drive_stop' EXIT
status=0
(cd "$KV_BUILD_ROOT/native" && ctest --output-on-failure -j "$(nproc)") || status=1
tree="$(kv_test_tree)"
echo "test-all: the Wine tests run the $(kv_test_arch) build in $tree"
kv_session_start "$tree/kv_keeper.exe"
kv_full_drive_start
(cd "$tree" && ctest --output-on-failure) || status=1
exit $status
