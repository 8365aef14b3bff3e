#!/usr/bin/env bash
# Writes THIRD-PARTY-NOTICES.txt anew from the linker map of a built
# Vantreth.exe: an entry for each component the link takes code from, with
# its licence text from its source (OpenSSL's LICENSE.txt from the pinned
# source package, Debian's copyright files for the toolchain's libraries).
# Usage: scripts/update-notices.sh [MAP]   (default: the windows tree's map)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
. "$here/deps.sh"
build="$root/${VANTRETH_BUILD_DIR:-build}/windows"
map=${1:-$build/shell/Vantreth.map}
[ -f "$map" ] || {
  echo "update-notices: no linker map $map; build the program first (scripts/release.sh)" >&2
  exit 1
}
build=$(cd "$(dirname "$map")/.." && pwd)

work=$(mktemp -d "${TMPDIR:-/tmp}/vantreth-notices.XXXXXX")
trap 'rm -rf "$work"' EXIT
deps_fetch_source openssl "$OPENSSL_DEB_VERSION" "$work/src" "$work/fetch.log"
license=$(find "$work/src" -mindepth 2 -maxdepth 2 -name LICENSE.txt -path '*/openssl-*' | head -n 1)
[ -n "$license" ] || deps_step "find OpenSSL's LICENSE.txt" "$work/fetch.log" false

out="$root/THIRD-PARTY-NOTICES.txt"
"$here/notices.py" write "$map" "$build" "$OPENSSL_PREFIX" "$OPENSSL_DEB_VERSION" "$license" >"$out.tmp" || {
  rm -f "$out.tmp"
  echo "update-notices: step 'write the notices' failed" >&2
  exit 1
}
mv "$out.tmp" "$out"
"$here/notices.py" check "$map" "$out" "$build" "$OPENSSL_PREFIX"
