#!/usr/bin/env bash
# Sets up, builds the 32-bit Windows program and starts it under Wine: on
# your display when DISPLAY is set, otherwise on a private Xvfb display.
# VANTRETH_BUILD_DIR picks the build root (default: build).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
builds="${VANTRETH_BUILD_DIR:-build}"
cache="${VANTRETH_CACHE:-$HOME/.cache/vantreth}"

scripts/setup.sh

scripts/build-openssl.sh
scripts/build-benchmark-mingw.sh
if ! cmake -S . -B "$builds/windows" -G Ninja -Wno-dev -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >"$builds/windows.configure.log" 2>&1; then
  cat "$builds/windows.configure.log" >&2
  exit 1
fi
cmake --build "$builds/windows" -j2 --target Vantreth
exe="$root/$builds/windows/shell/Vantreth.exe"

export WINEARCH=win32 WINEDEBUG="${WINEDEBUG:--all}" LC_ALL=C
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"

if [ -n "${DISPLAY:-}" ]; then
  # A persistent prefix: the program's settings survive between runs.
  export WINEPREFIX="$cache/wineprefix"
  if [ ! -f "$WINEPREFIX/.vantreth-ready" ]; then
    echo "run.sh: creating the Wine prefix $WINEPREFIX (once)" >&2
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    touch "$WINEPREFIX/.vantreth-ready"
  fi
  echo "run.sh: starting Vantreth.exe on your display $DISPLAY" >&2
  exec wine "$exe"
fi

echo "run.sh: DISPLAY is not set, so Vantreth.exe runs on a private Xvfb display" >&2
echo "run.sh: to look at it, take a screenshot from another shell:" >&2
echo "run.sh:   import -display <the :N printed below> -window root vantreth.png" >&2
echo "run.sh: press Ctrl-C to stop it" >&2
# shellcheck disable=SC2016
exec scripts/with-wine-display.sh sh -c 'echo "run.sh: display is $DISPLAY" >&2; exec wine "$1"' sh "$exe"
