#!/usr/bin/env bash
# Installs every package the builds and tests need. Idempotent and quiet;
# fast when everything is already there.
set -euo pipefail

# fonts-wine: Wine's own MS Sans Serif (Windows' widths) and Marlett (the caption buttons'
# symbols), so that the dialogs, and the guide's pictures of them, look as on Windows.
# cmark-gfm: the guide rendered as HTML for the release archive.
# openssh-server, libpam0g-dev: the PuTTY login tests' sshd and their PAM module.
packages=(
  cmake ninja-build make g++ clang libclang-rt-14-dev
  libgtest-dev googletest libbenchmark-dev libssl-dev
  g++-mingw-w64-i686-posix g++-mingw-w64-i686-win32 binutils-mingw-w64-i686
  wine wine32 wine64 fonts-wine xvfb xauth x11-utils imagemagick
  dpkg-dev patch xz-utils ca-certificates python3 perl clang-format cmark-gfm
  openssh-server libpam0g-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$p")
done
dpkg --print-foreign-architectures | grep -qx i386 || missing+=(i386-arch)
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
echo "setup: installing ${missing[*]}" >&2
$sudo apt-get update -qq >/dev/null
# The tests start an sshd of their own: the package's service is neither started nor enabled,
# so that no SSH server listens on this machine because of them.
sshd_new=""
dpkg-query -W -f='${Status}\n' openssh-server 2>/dev/null | grep -q '^install ok installed$' ||
  sshd_new=1
policy=/usr/sbin/policy-rc.d
if [ -n "$sshd_new" ] && [ ! -e "$policy" ]; then
  printf '#!/bin/sh\nexit 101\n' | $sudo tee "$policy" >/dev/null
  $sudo chmod +x "$policy"
  trap '$sudo rm -f "$policy"' EXIT
fi
$sudo apt-get install -y -qq --no-install-recommends "${packages[@]}" >/dev/null
if [ -n "$sshd_new" ] && command -v systemctl >/dev/null; then
  $sudo systemctl disable --quiet ssh.service ssh.socket >/dev/null 2>&1 || true
fi
