#!/usr/bin/env bash
# Sets up, builds and runs every test: native, native under ASan+UBSan, and
# the 32-bit Windows build under Wine (unit tests, then end-to-end tests).
# Usage: scripts/test.sh [STAGE...]   (default: every stage, in order)
# VANTRETH_BUILD_DIR picks the build root (default: build).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
builds="${VANTRETH_BUILD_DIR:-build}"
all_stages=(setup native sanitize fuzz windows login hardened)

ctest_args=(--output-on-failure -j2)

configure() {
  local dir=$1
  shift
  local log="$dir.configure.log"
  mkdir -p "$(dirname "$dir")"
  if ! cmake -S . -B "$dir" -G Ninja -Wno-dev "$@" >"$log" 2>&1; then
    cat "$log" >&2
    return 1
  fi
}

stage_setup() {
  scripts/setup.sh
}

stage_native() {
  configure "$builds/native" -DCMAKE_BUILD_TYPE=Release
  cmake --build "$builds/native" -j2
  ctest --test-dir "$builds/native" "${ctest_args[@]}"
}

stage_sanitize() {
  configure "$builds/sanitize" -DCMAKE_BUILD_TYPE=Debug -DVANTRETH_SANITIZE=ON -DVANTRETH_BENCH=OFF
  cmake --build "$builds/sanitize" -j2
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir "$builds/sanitize" "${ctest_args[@]}"
}

stage_fuzz() {
  scripts/fuzz.sh
}

stage_windows() {
  scripts/build-openssl.sh
  scripts/build-benchmark-mingw.sh
  # The benchmark explicitly: scripts/run.sh configures the same tree without it.
  configure "$builds/windows" -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
    -DVANTRETH_BENCH=ON
  cmake --build "$builds/windows" -j2
  # The whole end-to-end suite runs once, in the hardened stage; here its smoke run.
  scripts/with-wine-display.sh ctest --test-dir "$builds/windows" "${ctest_args[@]}" -E '^vantreth_e2e$'
}

# Windows plink 0.78, built from Debian's putty source, logs in to a private sshd with
# Vantreth.exe as its authentication plugin, and Debian's ssh with Vantreth.exe as its askpass:
# the native tree's PAM module asks the challenge.
stage_login() {
  scripts/build-plink.sh
  scripts/build-openssl.sh
  configure "$builds/native" -DCMAKE_BUILD_TYPE=Release
  cmake --build "$builds/native" -j2 --target pam_vantreth_test
  configure "$builds/windows" -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
    -DVANTRETH_BENCH=ON
  cmake --build "$builds/windows" -j2 --target Vantreth vantreth_login_answer
  local plink
  plink=$(. scripts/deps.sh && echo "$PLINK_PREFIX/plink.exe")
  scripts/with-wine-display.sh tests/login/login_test.sh "$builds/native/tests/pam_vantreth_test.so" \
    "$builds/windows/shell/Vantreth.exe" "$plink" "$builds/windows/tests/e2e/vantreth_login_answer.exe"
}

# The Windows build again with undefined-behaviour traps, stack canaries and checked
# libc calls (VANTRETH_HARDENED), every test under Wine's heap checking (the PE image
# test among them: still only system DLLs), the whole end-to-end suite included. Any
# complaint of the heap checker fails.
# It runs in a 64-bit prefix, where the 32-bit program runs under WoW64 as on every
# Windows 11, while the windows stage keeps a 32-bit one: every run covers both.
stage_hardened() {
  local dir="$builds/windows-hardened"
  scripts/build-openssl.sh
  configure "$dir" -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
    -DVANTRETH_HARDENED=ON -DVANTRETH_BENCH=OFF
  cmake --build "$dir" -j2
  local log="$dir/tests-under-heap-checking.log"
  local rc=0
  WINEDEBUG=warn+heap VANTRETH_WINEARCH=win64 scripts/with-wine-display.sh \
    ctest --test-dir "$dir" "${ctest_args[@]}" -E '^vantreth_e2e_smoke$' -V >"$log" 2>&1 || rc=$?
  grep -E '^[0-9]+: (e2e:|soak|count 999999999)' "$log" || true
  grep -E '^[0-9]+% tests passed|^Total Test time' "$log" || true
  if [ $rc -ne 0 ]; then
    grep -E '\[  FAILED  \]|Failure|^[^ ]*(Test|tests) .*(Failed|Timeout)' "$log" | head -n 40 >&2
    echo "test.sh: hardened tests failed, full output in $log" >&2
    return $rc
  fi
  if grep -E ':(err|warn):heap' "$log" >&2; then
    echo "test.sh: Wine's heap checking complained, full output in $log" >&2
    return 1
  fi
}

# A further stage is a function stage_NAME plus its name in all_stages.

# Parsed whole before the first stage runs: the file may be edited meanwhile.
main() {
  stages=("$@")
  [ ${#stages[@]} -gt 0 ] || stages=("${all_stages[@]}")
  for s in "${stages[@]}"; do
    declare -F "stage_$s" >/dev/null || {
      echo "test.sh: unknown stage '$s' (stages: ${all_stages[*]})" >&2
      exit 2
    }
  done

  trap report EXIT
  for s in "${stages[@]}"; do
    current=$s
    echo "=== test.sh: stage $s"
    local started=$SECONDS
    "stage_$s"
    summary+=("stage $s passed in $((SECONDS - started)) s")
  done
}

summary=()
current=""
report() {
  local rc=$?
  for line in "${summary[@]}"; do echo "test.sh: $line"; done
  if [ $rc -ne 0 ]; then
    echo "test.sh: FAILED in stage '$current' (exit code $rc)" >&2
  else
    echo "test.sh: ALL PASSED (${stages[*]}) in $SECONDS s"
  fi
}

main "$@"; exit
