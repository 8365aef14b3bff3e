# shellcheck shell=bash
# Sourced by the scripts; cmake/mingw-i686.cmake sources it too, for the
# cache folders. The pins are bookworm main's source versions (the security
# suite's .dsc is not served), so the Windows build does not drift with the
# archive.
OPENSSL_DEB_VERSION=3.0.20-1~deb12u2
BENCHMARK_DEB_VERSION=1.7.1-1
# PuTTY 0.78, the first with authentication plugins: the PuTTY login tests' client.
PUTTY_DEB_VERSION=0.78-2+deb12u2
DEPS_SUITE=bookworm

VANTRETH_CACHE="${VANTRETH_CACHE:-$HOME/.cache/vantreth}"
# The tag names the lean configuration of scripts/build-openssl.sh: a build
# made another way lives in another folder.
OPENSSL_PREFIX="$VANTRETH_CACHE/openssl-$OPENSSL_DEB_VERSION-mingw32-lean"
BENCHMARK_PREFIX="$VANTRETH_CACHE/benchmark-$BENCHMARK_DEB_VERSION-mingw32"
PLINK_PREFIX="$VANTRETH_CACHE/plink-$PUTTY_DEB_VERSION-mingw32"

deps_sudo() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Where this machine's apt keeps its source lists.
deps_apt_paths() {
  local list parts
  eval "$(apt-config shell list Dir::Etc::sourcelist/f parts Dir::Etc::sourceparts/d)"
  deps_apt_list=${list:-/etc/apt/sources.list}
  parts=${parts:-/etc/apt/sources.list.d}
  deps_apt_parts=${parts%/}
}

# Prints one line "TYPE<TAB>URI<TAB>SIGNED-BY" for each entry of the machine's
# apt configuration (one-line and deb822 files) that serves SUITE's main
# component, leaving out the file SKIP. A Signed-By key written inline keeps
# its lines, joined by \n.
deps_apt_entries() {
  local suite=$1 skip=${2:-} files=() f
  deps_apt_paths
  [ -f "$deps_apt_list" ] && files+=("$deps_apt_list")
  for f in "$deps_apt_parts"/*.list "$deps_apt_parts"/*.sources; do
    [ -f "$f" ] && [ "$f" != "$skip" ] && files+=("$f")
  done
  [ ${#files[@]} -gt 0 ] || return 0
  awk -v suite="$suite" '
    function has(list, word,   n, i, a) {
      n = split(list, a, /[ \t]+/)
      for (i = 1; i <= n; i++) if (a[i] == word) return 1
      return 0
    }
    function stanza(   n, i, u, t) {
      if (tolower(f["enabled"]) != "no" && has(f["suites"], suite) && has(f["components"], "main")) {
        n = split(f["uris"], u, /[ \t]+/)
        for (t = 1; t <= 2; t++) {
          type = t == 1 ? "deb" : "deb-src"
          if (!has(f["types"], type)) continue
          for (i = 1; i <= n; i++) if (u[i] != "") print type "\t" u[i] "\t" f["signed-by"]
        }
      }
      delete f
      key = ""
    }
    FNR == 1 { if (deb822) stanza(); deb822 = FILENAME ~ /\.sources$/ }
    deb822 && /^#/ { next }
    deb822 && /^[ \t]*$/ { stanza(); next }
    deb822 && /^[ \t]/ {
      if (key != "") { sub(/^[ \t]+/, ""); f[key] = f[key] "\\n " $0 }
      next
    }
    deb822 {
      key = tolower($0); sub(/:.*/, "", key)
      value = $0; sub(/^[^:]*:[ \t]*/, "", value); sub(/[ \t]+$/, "", value)
      f[key] = value
      next
    }
    {
      sub(/#.*/, "")
      if ($1 != "deb" && $1 != "deb-src") next
      type = $1; options = ""; signed = ""
      rest = $0; sub(/^[ \t]*deb(-src)?[ \t]+/, "", rest)
      if (rest ~ /^\[/) {
        options = substr(rest, 2, index(rest, "]") - 2)
        rest = substr(rest, index(rest, "]") + 1)
      }
      n = split(options, o, /[ \t]+/)
      for (i = 1; i <= n; i++) if (o[i] ~ /^signed-by=/) { signed = o[i]; sub(/^signed-by=/, "", signed) }
      n = split(rest, w, /[ \t]+/)
      j = 0
      for (i = 1; i <= n; i++) if (w[i] != "") v[++j] = w[i]
      if (j < 3 || v[2] != suite) next
      for (i = 3; i <= j; i++) if (v[i] == "main") { print type "\t" v[1] "\t" signed; break }
    }
    END { if (deb822) stanza() }
  ' "${files[@]}"
}

# The deb-src entry that deps_enable_source adds: the machine's own deb
# entries for SUITE main, as sources (empty when it has none).
deps_source_entry() {
  local suite=$1 type uri signed last=""
  while IFS=$'\t' read -r type uri signed; do
    [ "$type" = deb ] || continue
    [ -z "$last" ] || printf '\n'
    printf 'Types: deb-src\nURIs: %s\nSuites: %s\nComponents: main\n' "$uri" "$suite"
    case $signed in
      '') ;;
      \\n*) printf 'Signed-By:%b\n' "$signed" ;;
      *) printf 'Signed-By: %b\n' "$signed" ;;
    esac
    last=$uri
  done < <(deps_apt_entries "$suite" | sort -u)
}

# Makes "apt-get source PKG=VERSION" possible: unless the machine has a
# deb-src entry for bookworm main of its own, one made from its deb entries,
# and an index refresh only when the pinned version is not yet known.
deps_enable_source() {
  local pkg=$1 version=$2 entry list
  deps_apt_paths
  list=$deps_apt_parts/vantreth-src.sources
  deps_source_known "$pkg" "$version" && return 0
  if ! deps_apt_entries "$DEPS_SUITE" "$list" | grep -q '^deb-src'; then
    entry=$(deps_source_entry "$DEPS_SUITE")
    if [ -z "$entry" ]; then
      echo "error: the apt configuration ($deps_apt_list, $deps_apt_parts/) has no deb entry for $DEPS_SUITE main to take the source packages from" >&2
      return 1
    fi
    if [ ! -f "$list" ] || [ "$(cat "$list")" != "$entry" ]; then
      printf '%s\n' "$entry" | deps_sudo tee "$list" >/dev/null
      echo "deps: added a deb-src entry for $DEPS_SUITE main, made from this machine's deb entries, as $list:" >&2
      sed 's/^/deps:   /' "$list" >&2
    fi
  fi
  deps_sudo apt-get update -qq >/dev/null
  if ! deps_source_known "$pkg" "$version"; then
    echo "error: the apt sources offer no Debian source $pkg $version" >&2
    return 1
  fi
}

deps_source_known() {
  apt-cache showsrc "$1" 2>/dev/null | grep -qx "Version: $2"
}

# deps_fetch_source PKG VERSION DEST LOG: unpacks the pinned source package
# into directory DEST (created, must be new).
deps_fetch_source() {
  local pkg=$1 version=$2 dest=$3 log=$4
  if ! deps_enable_source "$pkg" "$version"; then
    echo "error: step 'find the $pkg source package' failed" >&2
    exit 1
  fi
  mkdir -p "$dest"
  deps_step "fetch the $pkg source package" "$log" \
    deps_in "$dest" apt-get source -qq -o APT::Sandbox::User=root --only-source "$pkg=$version"
}

# deps_begin_build PKG VERSION: a scratch folder $work, removed on exit; the
# log $log beside the cache, where it outlives a failed build; the unpacked
# pinned source in $src.
deps_begin_build() {
  local pkg=$1 version=$2
  mkdir -p "$VANTRETH_CACHE"
  work=$(mktemp -d "$VANTRETH_CACHE/$pkg-build.XXXXXX")
  trap 'rm -rf "$work"' EXIT
  log="$VANTRETH_CACHE/$pkg-build.log"
  : >"$log"
  deps_fetch_source "$pkg" "$version" "$work/src" "$log"
  src=$(find "$work/src" -mindepth 1 -maxdepth 1 -type d -name "$pkg-*" | head -n 1)
  [ -n "$src" ] || deps_step "find the unpacked source" "$log" false
}

deps_in() {
  (cd "$1" && shift && "$@")
}

# True when PREFIX holds a build made exactly as STAMP says.
deps_cache_current() {
  [ -f "$1/.stamp" ] && [ "$(cat "$1/.stamp")" = "$2" ]
}

# Stops with a message when a tool that a build step needs is missing.
deps_require() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null && continue
    echo "error: $tool is missing; scripts/setup.sh installs it" >&2
    exit 1
  done
}

# deps_step NAME LOG CMD...: runs one build step with its output appended to
# LOG. On failure it names the step and the log, shows the log's tail and
# stops the script; the log stays.
deps_step() {
  local name=$1 log=$2
  shift 2
  echo "== step $name: $*" >>"$log"
  if ! "$@" >>"$log" 2>&1; then
    echo "error: step '$name' failed; last lines of $log:" >&2
    tail -n 40 "$log" >&2
    echo "error: step '$name' failed; the whole output is in $log" >&2
    exit 1
  fi
}

# deps_install STAGED PREFIX STAMP: the stamp goes in last, then the finished
# tree replaces PREFIX in one rename, so a failed build never looks current.
deps_install() {
  local staged=$1 prefix=$2 stamp=$3
  printf '%s\n' "$stamp" >"$staged/.stamp"
  rm -rf "$prefix"
  mv -T "$staged" "$prefix"
}
