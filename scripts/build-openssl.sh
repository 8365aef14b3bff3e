#!/usr/bin/env bash
# Builds a lean static 32-bit Windows libcrypto from Debian's openssl source
# package into the cache, unless the cache already holds the pinned version.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/deps.sh"

# The program calls a few digest and DES functions. Without engines, DSO
# loading, sockets and configuration loading, nothing in the library reads a
# configuration file or loads a DLL, and it needs no system DLL beyond the
# program's own. One section per function and no unwind tables (whose entries
# the PE linker script keeps, and with them every function) let the program's
# link drop whatever it does not call.
config=(mingw --cross-compile-prefix=i686-w64-mingw32- no-shared no-module no-tests
  no-engine no-dso no-sock no-autoload-config
  -ffunction-sections -fdata-sections -fno-asynchronous-unwind-tables -fno-unwind-tables)
# DES_ecb_encrypt's object file also holds DES_options, whose string copy
# brings in the library's error, initialisation and configuration code (and
# with it C runtime functions whose unwind entries keep them in the image):
# the patch has DES_options return its constant text instead.
patch=$here/openssl-des-options.patch
stamp="openssl $OPENSSL_DEB_VERSION -pic.patch +$(basename "$patch") $(cksum <"$patch") ${config[*]}"
deps_cache_current "$OPENSSL_PREFIX" "$stamp" && exit 0

deps_require apt-get dpkg-source patch perl make i686-w64-mingw32-gcc i686-w64-mingw32-ar
echo "build-openssl: building libcrypto $OPENSSL_DEB_VERSION for mingw32 (about a minute)" >&2
deps_begin_build openssl "$OPENSSL_DEB_VERSION"
cd "$src"
# Debian's pic.patch rewrites the x86 assembler for ELF's GOT/PLT, which COFF
# objects cannot carry; the upstream assembler is the right one for mingw.
deps_step "undo pic.patch" "$log" patch -R -p1 -s -i debian/patches/pic.patch
deps_step "apply $(basename "$patch")" "$log" patch -p1 -s -i "$patch"
deps_step "configure" "$log" ./Configure "${config[@]}" --prefix="$OPENSSL_PREFIX"
# Only libcrypto is needed: generate the headers, then build that one archive.
deps_step "generate the headers" "$log" make -j2 build_generated
deps_step "build libcrypto.a" "$log" make -j2 libcrypto.a

staged="$work/install"
mkdir -p "$staged/include/openssl" "$staged/lib"
cp include/openssl/*.h "$staged/include/openssl/"
cp libcrypto.a "$staged/lib/"
deps_install "$staged" "$OPENSSL_PREFIX" "$stamp"
echo "build-openssl: installed into $OPENSSL_PREFIX" >&2
