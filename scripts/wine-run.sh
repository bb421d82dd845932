#!/usr/bin/env bash
# Runs a Windows program under Wine with the project's environment
# (ctest's emulator for the cross-built tests).
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/wine-env.sh"
loader="$(kv_wine_loader)"
WINELOADER="$loader" exec "$loader" "$@"
