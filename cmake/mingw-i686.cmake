# 32-bit Windows cross build with Debian's mingw-w64; tests run under Wine.
# The -posix compilers: GoogleTest and Google Benchmark need std::thread.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(VANTRETH_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${VANTRETH_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VANTRETH_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VANTRETH_TRIPLE}-windres)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)

# Folder where scripts/build-openssl.sh and scripts/build-benchmark-mingw.sh
# put their results; the pinned versions name the subfolders.
if(NOT VANTRETH_DEPS)
  if(DEFINED ENV{VANTRETH_CACHE})
    set(VANTRETH_DEPS "$ENV{VANTRETH_CACHE}")
  else()
    set(VANTRETH_DEPS "$ENV{HOME}/.cache/vantreth")
  endif()
endif()
set(VANTRETH_DEPS "${VANTRETH_DEPS}" CACHE PATH "Cache with the mingw builds of OpenSSL and Google Benchmark")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VANTRETH_DEPS)

file(STRINGS "${CMAKE_CURRENT_LIST_DIR}/../scripts/deps.sh" _vantreth_pins REGEX "^[A-Z]+_DEB_VERSION=")
foreach(_pin IN LISTS _vantreth_pins)
  string(REGEX MATCH "^([A-Z]+)_DEB_VERSION=(.*)$" _ "${_pin}")
  set(_vantreth_${CMAKE_MATCH_1}_version "${CMAKE_MATCH_2}")
endforeach()

set(OPENSSL_ROOT_DIR "${VANTRETH_DEPS}/openssl-${_vantreth_OPENSSL_version}-mingw32")
set(OPENSSL_USE_STATIC_LIBS TRUE)
set(VANTRETH_BENCHMARK_ROOT "${VANTRETH_DEPS}/benchmark-${_vantreth_BENCHMARK_version}-mingw32")

set(CMAKE_FIND_ROOT_PATH /usr/${VANTRETH_TRIPLE} "${OPENSSL_ROOT_DIR}" "${VANTRETH_BENCHMARK_ROOT}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
