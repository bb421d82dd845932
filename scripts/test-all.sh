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
# kvtool as a Linux user builds it (Release, no sanitizers).
bash "$root/tests/tool/exit_status.sh" "$KV_BUILD_ROOT/release/kvtool" "$root" || status=1
tree="$(kv_test_tree)"
echo "test-all: the Wine tests run the $(kv_test_arch) build in $tree"
kv_session_start "$tree/kv_keeper.exe"
kv_full_drive_start
(cd "$tree" && ctest --output-on-failure) || status=1
if [ "$(kv_test_arch)" != i686 ]; then
  echo "test-all: this machine cannot run 32-bit programs: the 64-bit build stood in for the"
  echo "test-all: Wine tests, and the 32-bit kv.exe that users run was built but not run."
fi
exit $status
