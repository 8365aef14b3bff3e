#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan) and runs each for a
# bounded time from a copy of the committed seed corpus. Any finding fails
# the run. Usage: scripts/fuzz.sh [seconds per target, default 20]
# VANTRETH_BUILD_DIR picks the build root as for scripts/test.sh (default: build).
set -euo pipefail

seconds="${1:-20}"
case "$seconds" in
  '' | *[!0-9]*) echo "usage: $0 [seconds per target]" >&2; exit 2 ;;
esac

root="$(cd "$(dirname "$0")/.." && pwd)"
builds="${VANTRETH_BUILD_DIR:-build}"
case "$builds" in /*) ;; *) builds="$root/$builds" ;; esac
build="$builds/fuzz"
corpus="$root/tests/fuzz/corpus"

for tool in clang clang++; do
  command -v "$tool" >/dev/null || { echo "fuzz: $tool missing, run scripts/setup.sh" >&2; exit 2; }
done

mkdir -p "$build"
if ! CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -Wno-dev -DVANTRETH_FUZZ=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$build/configure.log" 2>&1 ||
  ! cmake --build "$build" -j2 >"$build/build.log" 2>&1; then
  cat "$build/configure.log" "$build/build.log" 2>/dev/null | tail -n 60 >&2
  echo "fuzz: building the fuzz targets failed" >&2
  exit 1
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
artifacts="$build/artifacts"
mkdir -p "$artifacts"

failed=()
summary=()
while read -r target; do
  [ -n "$target" ] || continue
  # The fuzzer adds what it finds to the copy; the committed corpus stays as it is.
  mkdir -p "$work/$target"
  if [ -d "$corpus/$target" ]; then cp -r "$corpus/$target/." "$work/$target/"; fi
  args=(-max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048
    -artifact_prefix="$artifacts/$target-")
  dict="$root/tests/fuzz/$target.dict"
  [ -f "$dict" ] && args+=(-dict="$dict")
  log="$build/$target.log"
  echo "fuzz: $target for ${seconds}s" >&2
  status=0
  "$build/tests/fuzz/$target" "${args[@]}" "$work/$target" >"$log" 2>&1 || status=$?
  units="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)"
  if [ "$status" -ne 0 ]; then
    failed+=("$target")
    summary+=("$(printf '%-20s FAILED (exit %d) after %s executions, log %s' "$target" "$status" "${units:-?}" "$log")")
    grep -E 'ERROR|invariant broken|SUMMARY|artifact' "$log" | head -n 20 >&2 || true
  else
    summary+=("$(printf '%-20s %12s executions, no finding' "$target" "${units:-?}")")
  fi
done <"$build/fuzz-targets.txt"

printf '%s\n' "${summary[@]}"
if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzz: findings in ${failed[*]} (inputs under $artifacts)" >&2
  exit 1
fi
