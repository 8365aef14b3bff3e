#!/usr/bin/env bash
# Usage: scripts/screenshots.sh OUTDIR [Vantreth.exe vantreth_screenshots.exe]
# Makes the user's guide's pictures from the real program. The screenshot driver
# (tests/e2e/screenshots.cpp) runs in an 800x600 Wine virtual desktop with a taskbar and its
# tray, under scripts/with-wine-display.sh; it takes Vantreth.exe through each state and saves
# that part of the screen. Here each picture becomes a small PNG (palette colours) in OUTDIR.
# Without the two programs, builds them in the windows tree (VANTRETH_BUILD_DIR picks the
# root, default build). Fails when a picture is missing or empty, or when docs/USER-GUIDE.md
# shows a picture that is not made here. docs/images/ holds the committed ones.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

fail() {
  echo "screenshots: $*" >&2
  exit 1
}

case $# in
  1 | 3) ;;
  *)
    echo "usage: $0 OUTDIR [Vantreth.exe vantreth_screenshots.exe]" >&2
    exit 2
    ;;
esac
mkdir -p "$1"
out=$(cd "$1" && pwd)

if [ $# -eq 3 ]; then
  program=$(realpath "$2")
  driver=$(realpath "$3")
else
  cd "$root"
  builds="${VANTRETH_BUILD_DIR:-build}"
  case "$builds" in /*) ;; *) builds="$root/$builds" ;; esac
  scripts/setup.sh
  scripts/build-openssl.sh
  # A tree configured before keeps its options.
  if [ ! -f "$builds/windows/CMakeCache.txt" ]; then
    mkdir -p "$builds"
    if ! cmake -S . -B "$builds/windows" -G Ninja -Wno-dev -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DVANTRETH_BENCH=OFF \
      >"$builds/windows.configure.log" 2>&1; then
      cat "$builds/windows.configure.log" >&2
      exit 1
    fi
  fi
  cmake --build "$builds/windows" -j2 --target Vantreth vantreth_screenshots
  program="$builds/windows/shell/Vantreth.exe"
  driver="$builds/windows/tests/e2e/vantreth_screenshots.exe"
fi
[ -f "$program" ] || fail "no program at $program"
[ -f "$driver" ] || fail "no driver at $driver"

# Wine's own MS Sans Serif (Windows' widths) and Marlett (the caption buttons' symbols), from
# fonts-wine. This Wine does not look in the package's folder, only in the prefix's Fonts.
wine_fonts=/usr/share/wine/fonts
[ -f "$wine_fonts/marlett.ttf" ] ||
  echo "screenshots: fonts-wine is missing (scripts/setup.sh installs it): the dialogs will not look as on Windows" >&2

# The driver writes its BMPs, its list and its report here; only the PNGs go to OUTDIR.
scratch=$(mktemp -d "${TMPDIR:-/tmp}/vantreth-shots.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
# Wine gives a virtual desktop named "shell" its taskbar; the desktop closes, and explorer
# returns, once the driver and the program have ended. The bound only catches a hang.
# shellcheck disable=SC2016
"$root/scripts/with-wine-display.sh" sh -c '
  if [ -d "$4" ]; then cp "$4"/* "$WINEPREFIX/drive_c/windows/Fonts/"; fi
  timeout 240 wine explorer /desktop=shell,800x600 \
    "$(winepath -w "$1")" "$(winepath -w "$2")" "$(winepath -w "$3")"' \
  sh "$driver" "$scratch" "$program" "$wine_fonts" || fail "the virtual desktop failed or hung"

[ -f "$scratch/screenshots.log" ] || fail "the driver did not run"
sed 's/^/screenshots: /' "$scratch/screenshots.log"
[ -s "$scratch/shots.txt" ] || fail "the driver listed no pictures"
missing=0
while read -r shot; do
  png="$out/$shot.png"
  rm -f "$png"
  if [ -s "$scratch/$shot.bmp" ]; then
    # Palette colours keep each file a few KB; the dialogs use far fewer than 256.
    convert "$scratch/$shot.bmp" -strip "PNG8:$png"
  fi
  # A capture that failed comes out in one flat colour.
  if [ ! -s "$png" ] || [ "$(convert "$png" -format %k info:)" -lt 4 ]; then
    echo "screenshots: $shot is missing or empty" >&2
    missing=1
  fi
done <"$scratch/shots.txt"
[ $missing -eq 0 ] || fail "pictures missing"
tail -n 1 "$scratch/screenshots.log" | grep -qx 'all taken' || fail "the driver reported a failure"

# Every picture the guide shows is one of these.
[ -f "$root/docs/USER-GUIDE.md" ] || fail "no docs/USER-GUIDE.md"
while read -r shown; do
  shot=${shown#images/}
  grep -qx "${shot%.png}" "$scratch/shots.txt" || fail "docs/USER-GUIDE.md shows $shown, which is not made here"
done < <(grep -o 'images/[A-Za-z0-9_-]*\.png' "$root/docs/USER-GUIDE.md" | sort -u)
echo "screenshots: $(wc -l <"$scratch/shots.txt") pictures in $out"
