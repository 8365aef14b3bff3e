#!/usr/bin/env bash
# The deb-src entry that scripts/deps.sh adds is made from the machine's own
# deb entries. Each case lays out an apt configuration and compares the entry.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/../../scripts/deps.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
cases=0

# case NAME EXPECTED: runs with the files laid out in $work/etc beforehand.
check() {
  local name=$1 expected=$2 got
  got=$(APT_CONFIG="$work/apt.conf" deps_source_entry bookworm)
  cases=$((cases + 1))
  if [ "$got" != "$expected" ]; then
    failures=$((failures + 1))
    printf 'FAILED %s\n--- expected\n%s\n--- got\n%s\n' "$name" "$expected" "$got"
  fi
  rm -rf "$work/etc"
  mkdir -p "$work/etc/sources.list.d" "$work/etc/apt.conf.d"
}
# entry URI [KEY]: the deb-src stanza expected for URI; KEY is what follows "Signed-By:" as
# written, its leading blank or line break included.
entry() {
  printf 'Types: deb-src\nURIs: %s\nSuites: bookworm\nComponents: main' "$1"
  [ $# -lt 2 ] || printf '\nSigned-By:%s' "$2"
}
printf 'Dir::Etc "%s/etc";\n' "$work" >"$work/apt.conf"
mkdir -p "$work/etc/sources.list.d" "$work/etc/apt.conf.d"

# Debian 12's images: deb822 with comments inside the stanza.
cat >"$work/etc/sources.list.d/debian.sources" <<'S'
Types: deb
# a note
URIs: http://one.example/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb
URIs: http://one.example/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
S
check "deb822 as Debian 12 ships it" \
  "$(entry http://one.example/debian ' /usr/share/keyrings/debian-archive-keyring.gpg')"

# The one-line format, with options and a proxy-style path.
cat >"$work/etc/sources.list" <<'S'
# deb http://commented.example/debian bookworm main
deb [arch=amd64 signed-by=/etc/apt/keyrings/local.gpg] http://proxy.example:3142/debian bookworm main contrib  # cached
deb http://proxy.example:3142/debian-security bookworm-security main
deb http://other.example/debian bookworm contrib
S
check "one-line sources.list" \
  "$(entry http://proxy.example:3142/debian ' /etc/apt/keyrings/local.gpg')"

# One-line without options; a disabled deb822 stanza; a .list.d file.
cat >"$work/etc/sources.list.d/off.sources" <<'S'
Enabled: no
Types: deb
URIs: http://off.example/debian
Suites: bookworm
Components: main
S
echo 'deb	http://tab.example/debian	bookworm	main' >"$work/etc/sources.list.d/tab.list"
check "disabled stanza left out, tabs, no key" "$(entry http://tab.example/debian)"

# Two URIs in one stanza, both types at once, a key written inline.
cat >"$work/etc/sources.list.d/two.sources" <<'S'
Types: deb deb-src
URIs: http://a.example/debian http://b.example/debian
Suites: bookworm
Components: contrib main
Signed-By:
 -----BEGIN PGP PUBLIC KEY BLOCK-----
 .
 mQINBGPL
 -----END PGP PUBLIC KEY BLOCK-----
S
key=$'\n -----BEGIN PGP PUBLIC KEY BLOCK-----\n .\n mQINBGPL\n -----END PGP PUBLIC KEY BLOCK-----'
check "two URIs, inline key" "$(entry http://a.example/debian "$key")

$(entry http://b.example/debian "$key")"

# Nothing for bookworm main: no entry at all.
echo 'deb http://new.example/debian trixie main' >"$work/etc/sources.list"
printf 'Types: deb\nURIs: http://new.example/debian\nSuites: bookworm\nComponents: non-free\n' \
  >"$work/etc/sources.list.d/nf.sources"
check "no deb entry for bookworm main" ""

echo "$((cases - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
