# Sourced by the tools: where the build lives and how Wine is run.
# Wine gets a private prefix and a home folder of its own inside the build
# folder, so nothing a test does (desktop shortcuts, C:\log) reaches the
# real home folder.
PLOVER_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
PLOVER_BUILD="${PLOVER_BUILD:-$PLOVER_ROOT/build}"
export WINEPREFIX="${WINEPREFIX:-$PLOVER_BUILD/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEARCH=win64
# No Mono or Gecko installers: the client needs neither, and their prompts
# would block a headless run.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
PLOVER_WINEHOME="$PLOVER_BUILD/winehome"
