#!/usr/bin/env bash
# Builds Vantreth.exe, checks it (scripts/check-pe.sh and the third-party
# notices) and packs it with the user's guide as one HTML file, LICENSE.txt,
# THIRD-PARTY-NOTICES.txt and SHA256SUMS.txt into
# dist/Vantreth-VERSION-win32.zip, dated by the commit: the same commit gives
# the same bytes. From a tree with uncommitted changes or new files it says so
# and writes dist/Vantreth-VERSION-win32-dirty.zip instead, which is no
# commit's release. The archive appears only once complete.
# Usage: scripts/release.sh
# VANTRETH_BUILD_DIR picks the build root (default: build).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
. scripts/deps.sh

if [ $# -ne 0 ]; then
  sed -n '2,/^# Usage/s/^# \{0,1\}//p' "${BASH_SOURCE[0]}" >&2
  exit 2
fi
failed() {
  echo "release: step '$1' failed" >&2
  exit 1
}

commit=$(git rev-parse --verify -q HEAD) || failed "find the commit (is this a git checkout?)"
stamp=$(git log -1 --format=%ct "$commit")
dirty=$(git status --porcelain --untracked-files=normal) || failed "read the tree's state"

exe=$(scripts/build-program.sh) || failed "build the program"
tree=$(dirname "$(dirname "$exe")")
header="$tree/generated/vantreth_version.h"
scripts/check-pe.sh "$exe" "$header" || failed "check the image"
scripts/notices.py check "$tree/shell/Vantreth.map" THIRD-PARTY-NOTICES.txt "$tree" "$OPENSSL_PREFIX" ||
  failed "check the third-party notices"

define() { sed -n "s/^#define $1 \"\(.*\)\"$/\1/p" "$header"; }
name="$(define VANTRETH_TITLE)-$(define VANTRETH_VERSION)-win32"
if [ -n "$dirty" ]; then
  echo "release: the tree differs from commit $commit, so the archive is named -dirty:" >&2
  sed 's/^/release:   /' <<<"$dirty" >&2
  name="$name-dirty"
fi

mkdir -p dist
tmp=$(mktemp "dist/.$name.zip.XXXXXX")
trap 'rm -f "$tmp"' EXIT
trap 'exit 130' INT TERM
scripts/package.py "$exe" "$stamp" "$tmp" || failed "pack the archive"
chmod 644 "$tmp"
mv -f "$tmp" "dist/$name.zip"

echo "release: dist/$name.zip, $(stat -c %s "dist/$name.zip") bytes," \
  "SHA-256 $(sha256sum "dist/$name.zip" | cut -d' ' -f1)"
if [ -z "$dirty" ]; then
  echo "release: the release of commit $commit"
fi
