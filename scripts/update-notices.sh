#!/usr/bin/env bash
# Writes THIRD-PARTY-NOTICES.txt anew from the linker map of a built
# Vantreth.exe: an entry for each component the link takes code from, with
# the copyright lines and licence texts that apply to the code linked in
# (OpenSSL's README.md and LICENSE.txt from the pinned source package, the
# stanzas of Debian's copyright file of mingw-w64 for the linked files, and
# for GCC's runtime scripts/notices/gcc-runtime.txt with the Runtime Library
# Exception from Debian's copyright file). scripts/notices.py says more.
# Usage: scripts/update-notices.sh [MAP]   (default: the windows tree's map)
# VANTRETH_BUILD_DIR picks the build root (default: build).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
. "$here/deps.sh"
builds="${VANTRETH_BUILD_DIR:-build}"
case "$builds" in /*) ;; *) builds="$root/$builds" ;; esac
build="$builds/windows"
map=${1:-$build/shell/Vantreth.map}
[ -f "$map" ] || {
  echo "update-notices: no linker map $map; build the program first (scripts/release.sh)" >&2
  exit 1
}
build=$(cd "$(dirname "$map")/.." && pwd)

work=$(mktemp -d "${TMPDIR:-/tmp}/vantreth-notices.XXXXXX")
trap 'rm -rf "$work"' EXIT
deps_fetch_source openssl "$OPENSSL_DEB_VERSION" "$work/src" "$work/fetch.log"
openssl_src=$(find "$work/src" -mindepth 1 -maxdepth 1 -type d -name 'openssl-*' | head -n 1)
if [ -z "$openssl_src" ] || [ ! -f "$openssl_src/LICENSE.txt" ] || [ ! -f "$openssl_src/README.md" ]; then
  deps_step "find OpenSSL's LICENSE.txt and README.md" "$work/fetch.log" false
fi

out="$root/THIRD-PARTY-NOTICES.txt"
"$here/notices.py" write "$map" "$build" "$OPENSSL_PREFIX" "$OPENSSL_DEB_VERSION" "$openssl_src" >"$out.tmp" || {
  rm -f "$out.tmp"
  echo "update-notices: step 'write the notices' failed" >&2
  exit 1
}
mv "$out.tmp" "$out"
"$here/notices.py" check "$map" "$out" "$build" "$OPENSSL_PREFIX"
