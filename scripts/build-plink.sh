#!/usr/bin/env bash
# Builds PuTTY's plink.exe for 32-bit Windows from Debian's putty source package into the cache,
# for the PuTTY login tests, unless the cache already holds the pinned version.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/deps.sh"
stamp="putty $PUTTY_DEB_VERSION plink.exe i686-w64-mingw32 Release"
deps_cache_current "$PLINK_PREFIX" "$stamp" && exit 0
deps_require apt-get dpkg-source sha256sum cmake ninja i686-w64-mingw32-gcc i686-w64-mingw32-windres
echo "build-plink: building plink.exe $PUTTY_DEB_VERSION for mingw32 (about a minute)" >&2
mkdir -p "$VANTRETH_CACHE"
work=$(mktemp -d "$VANTRETH_CACHE/putty-build.XXXXXX")
trap 'rm -rf "$work"' EXIT
log="$VANTRETH_CACHE/putty-build.log"
: >"$log"
deps_enable_source putty "$PUTTY_DEB_VERSION" || exit 1
# apt-get source stops on the upstream signature, which the archive lacks: the other files,
# whose hashes apt checks, are checked again against the .dsc and unpacked without it.
deps_in "$work" apt-get source --download-only -qq -o APT::Sandbox::User=root --only-source \
  "putty=$PUTTY_DEB_VERSION" >>"$log" 2>&1 || true
dsc="$work/putty_$PUTTY_DEB_VERSION.dsc"
sums=$(awk '/^Checksums-Sha256:/ { on = 1; next } /^[^ ]/ { on = 0 }
  on && $3 !~ /\.asc$/ { print $1 "  " $3 }' "$dsc" 2>/dev/null || true)
deps_step "check the putty source files" "$log" deps_in "$work" sha256sum -c <<<"${sums:-missing}"
deps_step "unpack the putty source" "$log" dpkg-source --no-check -x "$dsc" "$work/src"
deps_step "configure" "$log" cmake -S "$work/src" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_C_COMPILER=i686-w64-mingw32-gcc \
  -DCMAKE_RC_COMPILER=i686-w64-mingw32-windres
deps_step "build plink.exe" "$log" cmake --build "$work/build" -j2 --target plink
mkdir "$work/install" && cp "$work/build/plink.exe" "$work/install/"
deps_install "$work/install" "$PLINK_PREFIX" "$stamp"
echo "build-plink: installed into $PLINK_PREFIX" >&2
