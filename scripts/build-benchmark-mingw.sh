#!/usr/bin/env bash
# Builds a static 32-bit Windows Google Benchmark from Debian's benchmark
# source package into the cache (Debian ships only the native library),
# unless the cache already holds the pinned version.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/deps.sh"

# GIT_VERSION as Debian's rules give it: the library's version comes from it.
options=(-DGIT_VERSION="${BENCHMARK_DEB_VERSION%-*}" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF
  -DBENCHMARK_ENABLE_TESTING=OFF -DBENCHMARK_ENABLE_GTEST_TESTS=OFF
  -DBENCHMARK_ENABLE_WERROR=OFF -DBENCHMARK_ENABLE_LTO=OFF -DBENCHMARK_ENABLE_LIBPFM=OFF)
stamp="benchmark $BENCHMARK_DEB_VERSION ${options[*]}"
deps_cache_current "$BENCHMARK_PREFIX" "$stamp" && exit 0

deps_require apt-get dpkg-source cmake ninja i686-w64-mingw32-g++-posix
echo "build-benchmark-mingw: building Google Benchmark $BENCHMARK_DEB_VERSION for mingw32" >&2
deps_begin_build benchmark "$BENCHMARK_DEB_VERSION"
deps_step "configure" "$log" cmake -S "$src" -B "$work/build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$here/../cmake/mingw-i686.cmake" \
  -DCMAKE_CROSSCOMPILING_EMULATOR= \
  -DCMAKE_INSTALL_PREFIX="$work/install" "${options[@]}"
deps_step "build" "$log" cmake --build "$work/build" -j2
deps_step "install" "$log" cmake --install "$work/build"
deps_install "$work/install" "$BENCHMARK_PREFIX" "$stamp"
echo "build-benchmark-mingw: installed into $BENCHMARK_PREFIX" >&2
