#!/usr/bin/env bash
# Builds a static 32-bit Windows libcrypto from Debian's openssl source
# package into the cache, unless the cache already holds the pinned version.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/deps.sh"

config=(mingw --cross-compile-prefix=i686-w64-mingw32- no-shared no-module no-tests)
stamp="openssl $OPENSSL_DEB_VERSION -pic.patch ${config[*]}"
deps_cache_current "$OPENSSL_PREFIX" "$stamp" && exit 0

echo "build-openssl: building libcrypto $OPENSSL_DEB_VERSION for mingw32 (about a minute)" >&2
mkdir -p "$VANTRETH_CACHE"
work=$(mktemp -d "$VANTRETH_CACHE/openssl-build.XXXXXX")
trap 'rm -rf "$work"' EXIT
log="$work/build.log"

deps_logged "$log" deps_fetch_source openssl "$OPENSSL_DEB_VERSION" "$work/src"
src=$(find "$work/src" -mindepth 1 -maxdepth 1 -type d -name 'openssl-*' | head -n 1)
cd "$src"
# Debian's pic.patch rewrites the x86 assembler for ELF's GOT/PLT, which COFF
# objects cannot carry; the upstream assembler is the right one for mingw.
deps_logged "$log" patch -R -p1 -s -i debian/patches/pic.patch
deps_logged "$log" ./Configure "${config[@]}" --prefix="$OPENSSL_PREFIX"
# Only libcrypto is needed: generate the headers, then build that one archive.
deps_logged "$log" make -j2 build_generated
deps_logged "$log" make -j2 libcrypto.a

rm -rf "$OPENSSL_PREFIX"
mkdir -p "$OPENSSL_PREFIX/include/openssl" "$OPENSSL_PREFIX/lib"
cp include/openssl/*.h "$OPENSSL_PREFIX/include/openssl/"
cp libcrypto.a "$OPENSSL_PREFIX/lib/"
printf '%s\n' "$stamp" >"$OPENSSL_PREFIX/.stamp"
echo "build-openssl: installed into $OPENSSL_PREFIX" >&2
