# 32-bit Windows cross build with Debian's mingw-w64; tests run under Wine.
# The -posix compilers: GoogleTest and Google Benchmark need std::thread.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(VANTRETH_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${VANTRETH_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VANTRETH_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VANTRETH_TRIPLE}-windres)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)

# scripts/deps.sh names the cache folders where scripts/build-openssl.sh and
# scripts/build-benchmark-mingw.sh put their results; VANTRETH_DEPS (or the
# environment's VANTRETH_CACHE) picks another cache.
if(VANTRETH_DEPS)
  set(_vantreth_cache_env "VANTRETH_CACHE=${VANTRETH_DEPS}")
else()
  set(_vantreth_cache_env "VANTRETH_CACHE=$ENV{VANTRETH_CACHE}")
endif()
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env "${_vantreth_cache_env}" bash -c
    ". \"$1\" && printf '%s;%s;%s' \"$VANTRETH_CACHE\" \"$OPENSSL_PREFIX\" \"$BENCHMARK_PREFIX\""
    bash "${CMAKE_CURRENT_LIST_DIR}/../scripts/deps.sh"
  OUTPUT_VARIABLE _vantreth_deps RESULT_VARIABLE _vantreth_rc)
if(NOT _vantreth_rc EQUAL 0)
  message(FATAL_ERROR "cannot read the cache folders from scripts/deps.sh")
endif()
list(GET _vantreth_deps 0 VANTRETH_DEPS)
list(GET _vantreth_deps 1 OPENSSL_ROOT_DIR)
list(GET _vantreth_deps 2 VANTRETH_BENCHMARK_ROOT)
set(VANTRETH_DEPS "${VANTRETH_DEPS}" CACHE PATH "Cache with the mingw builds of OpenSSL and Google Benchmark")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VANTRETH_DEPS)
set(OPENSSL_USE_STATIC_LIBS TRUE)

set(CMAKE_FIND_ROOT_PATH /usr/${VANTRETH_TRIPLE} "${OPENSSL_ROOT_DIR}" "${VANTRETH_BENCHMARK_ROOT}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
