#!/usr/bin/env bash
# Usage: scripts/with-wine-display.sh CMD [ARGS...]
# Runs CMD with Wine ready for it: a private Xvfb display (or the caller's
# DISPLAY when VANTRETH_USE_DISPLAY=1), a fresh 32-bit prefix in a temporary
# folder (or the lasting one named by VANTRETH_WINEPREFIX, made once) and a
# persistent wineserver. Cleans all of it up afterwards, the lasting prefix
# apart, and returns CMD's exit code. VANTRETH_WINEARCH=win64 makes the prefix
# 64-bit, as every Windows 11 is: the 32-bit program then runs under WoW64.
set -uo pipefail

if [ $# -eq 0 ]; then
  echo "usage: $0 CMD [ARGS...]" >&2
  exit 2
fi

xvfb_pid=""
prefix=""
fresh=""
scratch=$(mktemp -d "${TMPDIR:-/tmp}/vantreth-wine.XXXXXX")

cleanup() {
  if [ -n "$prefix" ] && [ -d "$prefix" ]; then
    WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1
    WINEPREFIX="$prefix" wineserver -w >/dev/null 2>&1
  fi
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
  [ -z "$fresh" ] || rm -rf "$fresh"
  rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

fail() {
  echo "with-wine-display: $*" >&2
  exit 1
}

started=$(date +%s%N)

if [ "${VANTRETH_USE_DISPLAY:-0}" = 1 ] && [ -n "${DISPLAY:-}" ]; then
  echo "with-wine-display: using your display $DISPLAY" >&2
else
  # Xvfb picks a free display number itself and reports it once it listens.
  : >"$scratch/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$scratch/display" \
    >"$scratch/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 300); do
    [ -s "$scratch/display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  [ -s "$scratch/display" ] || fail "Xvfb did not start: $(tail -n 5 "$scratch/xvfb.log")"
  export DISPLAY=":$(tr -d '[:space:]' <"$scratch/display")"
  xdpyinfo >/dev/null 2>&1 || fail "Xvfb on $DISPLAY does not answer"
fi

prefix="${VANTRETH_WINEPREFIX:-$scratch/prefix}"
export WINEARCH="${VANTRETH_WINEARCH:-win32}"
case "$WINEARCH" in
  win32 | win64) ;;
  *) fail "VANTRETH_WINEARCH is '$WINEARCH', not win32 or win64" ;;
esac
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko install dialogs, no menu entries written to the real $HOME.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
# The ANSI code page is then 1252, as on the Western Windows the program targets.
export LC_ALL=C

# wineboot takes seconds; it runs once per Wine version into a template, and
# each run gets a fresh copy of it. The Windows binaries (most of the 600 MB)
# are hard links, never written; everything else is copied.
. "$(dirname "${BASH_SOURCE[0]}")/deps.sh"
cache=$VANTRETH_CACHE
template="$cache/wineprefix-template-$(wine --version | tr -c 'A-Za-z0-9.\n-' '_')-$WINEARCH-v2"
if [ ! -f "$template/.vantreth-ready" ]; then
  mkdir -p "$cache"
  fresh=$(mktemp -d "$cache/wineprefix-template.XXXXXX")
  (
    export WINEPREFIX="$fresh"
    wineboot -i >"$scratch/wineboot.log" 2>&1 || exit 1
    # Managed=N: no window manager decorations or moves for our windows.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 || exit 1
    # A program that faults ends at once, as a test must see it, instead of waiting in winedbg.
    for view in 32 64; do
      [ "$view" = 64 ] && [ "$WINEARCH" = win32 ] && continue
      wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger \
        /t REG_SZ /d '' /f "/reg:$view" >/dev/null 2>&1 || exit 1
    done
    wineserver -k >/dev/null 2>&1
    wineserver -w
  ) || {
    rm -rf "$fresh"
    fail "could not create the Wine prefix: $(tail -n 5 "$scratch/wineboot.log")"
  }
  touch "$fresh/.vantreth-ready"
  # Another run may have won the race: then its template stays.
  mv -T "$fresh" "$template" 2>/dev/null || rm -rf "$fresh"
  fresh=""
fi
pe='.*\.\(dll\|exe\|drv\|sys\|ocx\|cpl\|acm\|ax\|nls\|tlb\|ttf\|fon\|ds\|vxd\|com\|dll16\|exe16\|drv16\|mod16\)'
# copy_template DEST: DEST (new) becomes a prefix of its own.
copy_template() {
  local dest=$1
  if ! cp -a --link "$template" "$dest" 2>/dev/null; then
    rm -rf "$dest"
    cp -a "$template" "$dest" || fail "could not copy the Wine prefix"
  fi
  while IFS= read -r -d '' f; do
    cp -p --remove-destination "$template/${f#"$dest"/}" "$f" || fail "could not copy $f"
  done < <(find "$dest" -type f ! -iregex "$pe" -print0)
}
if [ -z "${VANTRETH_WINEPREFIX:-}" ]; then
  copy_template "$prefix"
elif [ ! -f "$prefix/.vantreth-ready" ]; then
  echo "with-wine-display: creating the Wine prefix $prefix (once)" >&2
  mkdir -p "$(dirname "$prefix")"
  fresh=$(mktemp -d "$prefix.XXXXXX")
  rmdir "$fresh"
  copy_template "$fresh"
  mv -T "$fresh" "$prefix" || fail "could not create $prefix"
  fresh=""
fi
export WINEPREFIX="$prefix"
wineserver -p || fail "wineserver did not start"
# Wine's own background processes (services, devices, the desktop) start with
# the first program and inherit its output; they outlive it under a
# persistent wineserver, and a caller reading that output (CTest) would wait
# for them forever. So they start here, writing nowhere.
wine cmd /c exit </dev/null >/dev/null 2>&1 || fail "Wine does not start"

ms=$((($(date +%s%N) - started) / 1000000))
echo "with-wine-display: DISPLAY=$DISPLAY, Wine prefix ready in $((ms / 1000)).$((ms % 1000 / 100))s" >&2

# One line: bash has read it all before CMD runs, should the file change meanwhile.
"$@"; exit
