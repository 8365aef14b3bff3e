#!/usr/bin/env bash
# Sets up and builds the 32-bit Windows program alone (no benchmark, no
# tests) in the windows tree, and prints the path of Vantreth.exe.
# VANTRETH_BUILD_DIR picks the build root (default: build).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
builds="${VANTRETH_BUILD_DIR:-build}"
case "$builds" in /*) ;; *) builds="$root/$builds" ;; esac

scripts/setup.sh >&2
scripts/build-openssl.sh >&2
mkdir -p "$builds"
if ! cmake -S . -B "$builds/windows" -G Ninja -Wno-dev -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DVANTRETH_BENCH=OFF >"$builds/windows.configure.log" 2>&1; then
  cat "$builds/windows.configure.log" >&2
  echo "build-program: step 'configure $builds/windows' failed" >&2
  exit 1
fi
cmake --build "$builds/windows" -j2 --target Vantreth >&2
echo "$builds/windows/shell/Vantreth.exe"
