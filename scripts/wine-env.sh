# Sourced: the project's private Wine prefix, never the user's ~/.wine.
korvane_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export KORVANE_BUILD="${KORVANE_BUILD:-$korvane_root/build}"
export WINEPREFIX="${KORVANE_WINEPREFIX:-$KORVANE_BUILD/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEARCH=win64
# No Mono or Gecko installers: the program needs neither.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
