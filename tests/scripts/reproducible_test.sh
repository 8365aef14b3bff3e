#!/usr/bin/env bash
# The same sources give the same image: builds the program again from a copy
# of the sources in another folder, with the same toolchain, dependency cache
# and options, and compares the two images byte for byte.
# Usage: reproducible_test.sh IMAGE BINARY_DIR SOURCE_DIR TOOLCHAIN [CMAKE-ARGS...]
# IMAGE is the tree's Vantreth.exe, inside BINARY_DIR; TOOLCHAIN is the
# toolchain file, relative to SOURCE_DIR or absolute.
set -euo pipefail
image=$1 binary_dir=$2 source_dir=$3 toolchain=$4
shift 4

work=$(mktemp -d "${TMPDIR:-/tmp}/vantreth-reproducible.XXXXXX")
trap 'rm -rf "$work"' EXIT
copy="$work/src"
mkdir "$copy"

# What a checkout of these sources holds: the tracked files (as they are now)
# and new ones not ignored; without git, everything but the build folders.
# Never this build tree, wherever it is.
tree=${binary_dir#"$source_dir"/}
if [ "$(git -C "$source_dir" rev-parse --show-toplevel 2>/dev/null)" = "$(cd "$source_dir" && pwd -P)" ]; then
  git -C "$source_dir" ls-files -z --cached --others --exclude-standard |
    (cd "$source_dir" && while IFS= read -r -d '' f; do
      if [ -f "$f" ] && [ "${f#"$tree"/}" = "$f" ]; then printf '%s\0' "$f"; fi
    done) |
    tar -C "$source_dir" --null -T - -cf - | tar -C "$copy" -xf -
else
  tar -C "$source_dir" --exclude='./build*' --exclude=./out --exclude="./$tree" -cf - . |
    tar -C "$copy" -xf -
fi

case $toolchain in
  "$source_dir"/*) toolchain="$copy/${toolchain#"$source_dir"/}" ;;
  /*) ;;
  *) toolchain="$copy/$toolchain" ;;
esac
log="$work/build.log"
if ! { cmake -S "$copy" -B "$copy/build" -Wno-dev -DCMAKE_TOOLCHAIN_FILE="$toolchain" "$@" &&
  cmake --build "$copy/build" -j2 --target Vantreth; } >"$log" 2>&1; then
  tail -n 30 "$log" >&2
  echo "reproducible: the second build in $copy failed" >&2
  exit 1
fi

second="$copy/build/${image#"$binary_dir"/}"
echo "reproducible: $(sha256sum "$image")"
echo "reproducible: $(sha256sum "$second")"
if ! cmp -s "$image" "$second"; then
  echo "reproducible: the images differ at these offsets (decimal, 1-based; octal bytes):" >&2
  cmp -l "$image" "$second" | head -n 20 >&2 || true
  echo "reproducible: $(cmp -l "$image" "$second" | wc -l) bytes differ" \
    "(sizes $(stat -c %s "$image") and $(stat -c %s "$second")); is the tree's build current?" >&2
  exit 1
fi
echo "reproducible: the two builds are byte-identical"
