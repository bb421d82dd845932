# Environment for every Wine call of the project (sourced, not run).
# A prefix of our own, never ~/.wine; no Mono/Gecko prompts; no debug noise.
export WINEPREFIX="${KV_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/kivro/wineprefix}"
export WINEARCH="${WINEARCH:-win64}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export DISPLAY="${DISPLAY:-:99}"
