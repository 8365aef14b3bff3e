# Sourced by the build scripts; cmake/mingw-i686.cmake reads the two pins too.
# The pins are bookworm main's source versions (the security suite's .dsc is
# not served), so the Windows build does not drift with the mirror.
OPENSSL_DEB_VERSION=3.0.20-1~deb12u2
BENCHMARK_DEB_VERSION=1.7.1-1

VANTRETH_CACHE="${VANTRETH_CACHE:-$HOME/.cache/vantreth}"
OPENSSL_PREFIX="$VANTRETH_CACHE/openssl-$OPENSSL_DEB_VERSION-mingw32"
BENCHMARK_PREFIX="$VANTRETH_CACHE/benchmark-$BENCHMARK_DEB_VERSION-mingw32"

deps_sudo() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Makes "apt-get source PKG=VERSION" possible: a deb-src entry for bookworm
# main, and an index refresh only when the pinned version is not yet known.
deps_enable_source() {
  local pkg=$1 version=$2
  local list=/etc/apt/sources.list.d/vantreth-src.sources
  if [ ! -f "$list" ]; then
    deps_sudo tee "$list" >/dev/null <<'SOURCES'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
  fi
  if ! apt-cache showsrc "$pkg" 2>/dev/null | grep -qx "Version: $version"; then
    deps_sudo apt-get update -qq >/dev/null
  fi
  if ! apt-cache showsrc "$pkg" 2>/dev/null | grep -qx "Version: $version"; then
    echo "error: Debian source $pkg $version is not offered by the mirror" >&2
    return 1
  fi
}

# Unpacks the pinned source package into directory $3 (created, must be new).
deps_fetch_source() {
  local pkg=$1 version=$2 dest=$3
  deps_enable_source "$pkg" "$version"
  mkdir -p "$dest"
  (cd "$dest" && apt-get source -qq -o APT::Sandbox::User=root --only-source "$pkg=$version")
}

# True when PREFIX holds a build made exactly as STAMP says.
deps_cache_current() {
  [ -f "$1/.stamp" ] && [ "$(cat "$1/.stamp")" = "$2" ]
}

# Runs a command with its output in a log; shows the log's tail on failure.
deps_logged() {
  local log=$1
  shift
  if ! "$@" >>"$log" 2>&1; then
    echo "error: '$*' failed; last lines of $log:" >&2
    tail -n 40 "$log" >&2
    return 1
  fi
}
