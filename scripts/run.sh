#!/usr/bin/env bash
# Sets up, builds the 32-bit Windows program and starts it under Wine: on
# your display when DISPLAY is set (in a lasting Wine prefix, so its settings
# stay), otherwise on a private Xvfb display in a fresh prefix.
# VANTRETH_BUILD_DIR picks the build root (default: build).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
. scripts/deps.sh
exe=$(scripts/build-program.sh)

if [ -n "${DISPLAY:-}" ]; then
  echo "run.sh: starting Vantreth.exe on your display $DISPLAY" >&2
  VANTRETH_USE_DISPLAY=1 VANTRETH_WINEPREFIX="$VANTRETH_CACHE/wineprefix" \
    exec scripts/with-wine-display.sh wine "$exe"
fi

echo "run.sh: DISPLAY is not set, so Vantreth.exe runs on a private Xvfb display" >&2
echo "run.sh: to look at it, take a screenshot from another shell:" >&2
echo "run.sh:   import -display <the :N printed below> -window root vantreth.png" >&2
echo "run.sh: press Ctrl-C to stop it" >&2
# shellcheck disable=SC2016
exec scripts/with-wine-display.sh sh -c 'echo "run.sh: display is $DISPLAY" >&2; exec wine "$1"' sh "$exe"
