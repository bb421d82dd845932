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
(cd "$root/build/native" && ctest --output-on-failure -j "$(nproc)") || status=1
kv_session_start "$root/build/windows/kv_keeper.exe"
kv_full_drive_start
(cd "$root/build/windows" && ctest --output-on-failure) || status=1
exit $status
