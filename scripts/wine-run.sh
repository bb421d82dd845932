#!/usr/bin/env bash
# Runs a Windows program under Wine with the project's environment
# (ctest's emulator for the cross-built tests).
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/wine-env.sh"
exec wine "$@"
