#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan) and runs each for a
# bounded time from a copy of the committed seed corpus, as many at once as the
# machine has processors. Any finding fails the run.
# Usage: scripts/fuzz.sh [seconds per target, default 20]
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

# Runs one target; its summary line goes to $work/$target.summary, and $work/$target.failed
# marks a finding.
run_target() {
  local target=$1
  # The fuzzer adds what it finds to the copy; the committed corpus stays as it is.
  mkdir -p "$work/$target"
  if [ -d "$corpus/$target" ]; then cp -r "$corpus/$target/." "$work/$target/"; fi
  local args=(-max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048
    -artifact_prefix="$artifacts/$target-")
  local dict="$root/tests/fuzz/$target.dict"
  [ -f "$dict" ] && args+=(-dict="$dict")
  local log="$build/$target.log"
  local status=0
  "$build/tests/fuzz/$target" "${args[@]}" "$work/$target" >"$log" 2>&1 || status=$?
  local units
  units="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)"
  if [ "$status" -ne 0 ]; then
    touch "$work/$target.failed"
    printf '%-20s FAILED (exit %d) after %s executions, log %s\n' "$target" "$status" "${units:-?}" "$log" >"$work/$target.summary"
    grep -E 'ERROR|invariant broken|SUMMARY|artifact' "$log" | head -n 20 >&2 || true
  else
    printf '%-20s %12s executions, no finding\n' "$target" "${units:-?}" >"$work/$target.summary"
  fi
}

# As many targets at once as the machine has processors: each fuzzes on one.
jobs=$(nproc)
targets=()
while read -r target; do
  [ -n "$target" ] && targets+=("$target")
done <"$build/fuzz-targets.txt"
echo "fuzz: ${#targets[@]} targets for ${seconds}s each, $jobs at a time" >&2
for target in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
  run_target "$target" &
done
wait

failed=()
for target in "${targets[@]}"; do
  cat "$work/$target.summary"
  [ -e "$work/$target.failed" ] && failed+=("$target")
done
if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzz: findings in ${failed[*]} (inputs under $artifacts)" >&2
  exit 1
fi
