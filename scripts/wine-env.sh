# Environment for every Wine call of the project (sourced, not run).
# A prefix of our own, never ~/.wine; no Mono/Gecko prompts; no debug noise.
export WINEPREFIX="${KV_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/kivro/wineprefix}"
export WINEARCH="${WINEARCH:-win64}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export DISPLAY="${DISPLAY:-:99}"
# Build trees; KV_BUILD_DIR lets two checkouts or two people share a machine.
KV_BUILD_ROOT="${KV_BUILD_DIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build}"

# Some machines cannot run 32-bit Linux programs at all (no IA-32 emulation
# in their kernel), and so neither Wine's 32-bit loader nor any 32-bit
# Windows program. There the Wine tests run a 64-bit build of the same
# sources with Wine's 64-bit loader; kv.exe is built for 32-bit Windows
# either way.
kv_wine_can_run_32bit() {
  [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1
}

# The architecture of the Windows build that the tests run here.
kv_test_arch() {
  if [ -n "${KV_TEST_ARCH:-}" ]; then
    echo "$KV_TEST_ARCH"
  elif kv_wine_can_run_32bit; then
    echo i686
  else
    echo x86_64
  fi
}

# The build tree of that architecture.
kv_test_tree() {
  if [ "$(kv_test_arch)" = i686 ]; then echo "$KV_BUILD_ROOT/windows"; else echo "$KV_BUILD_ROOT/windows-x64"; fi
}

# Wine's loader and server for that architecture, called as wine and
# wineserver by the scripts.
kv_wine_loader() {
  if [ "$(kv_test_arch)" = i686 ]; then echo /usr/lib/wine/wine; else echo /usr/lib/wine/wine64; fi
}
wine() {
  WINELOADER="$(kv_wine_loader)" "$(kv_wine_loader)" "$@"
}
# Starts a Windows program in the background with the loader itself as the
# process, so that $! afterwards is the program (a shell around it would
# leave the program running when killed).
kv_wine_start() {
  WINELOADER="$(kv_wine_loader)" "$(kv_wine_loader)" "$@" &
}
wineserver() {
  /usr/lib/wine/wineserver "$@"
}
wineboot() {
  wine wineboot "$@"
}
