#!/usr/bin/env bash
# Checks a built Vantreth.exe: a small 32-bit GUI program for Windows 7 and
# later that imports only the Windows system DLLs it needs (no mingw runtime,
# no networking or certificate store), hardened (ASLR with relocations, DEP,
# no SEH handlers), free of build-machine paths and OpenSSL configuration
# hooks, with a version resource, an application manifest and dialogs a
# screen reader can name. Prints the image's SHA-256 when all checks pass.
# Usage: scripts/check-pe.sh Vantreth.exe vantreth_version.h
# One check per block; each names what it found wrong, and all of them run.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
exe=$1
version_header=$2
headers=$(i686-w64-mingw32-objdump -p "$exe")
sections=$(i686-w64-mingw32-objdump -h "$exe")
failed=0
fail() {
  echo "check-pe: $exe: $*" >&2
  failed=1
}

grep -q 'file format pei-i386' <<<"$headers" || fail "not a 32-bit PE image"
grep -q 'Subsystem.*(Windows GUI)' <<<"$headers" || fail "not a GUI program"

# Subsystem version 6.1: Windows 7, the oldest system the manifest names.
# Windows takes compatibility decisions from it; the linker's default is 4.0.
subsystem=$(sed -n 's/^MajorSubsystemVersion[[:space:]]*//p' <<<"$headers").$(
  sed -n 's/^MinorSubsystemVersion[[:space:]]*//p' <<<"$headers")
[ "$subsystem" = 6.1 ] || fail "subsystem version is $subsystem, not 6.1 (Windows 7)"

# Size: what the program calls fits in about 160 KB; much more means library
# code nothing calls has come back.
limit=$((160 * 1024))
stripped=$(mktemp)
trap 'rm -f "$stripped"' EXIT
i686-w64-mingw32-strip -o "$stripped" "$exe"
size=$(stat -c %s "$stripped")
[ "$size" -le "$limit" ] || fail "stripped image is $size bytes, more than $limit"

# Imports: the system DLLs the program needs, nothing else. From CRYPT32 only the protection of
# data for the user (the sequence memory), never its certificate store.
dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")
for dll in $dlls; do
  case "${dll^^}" in
    ADVAPI32.DLL | COMDLG32.DLL | GDI32.DLL | KERNEL32.DLL | MSVCRT.DLL | SHELL32.DLL | USER32.DLL) ;;
    CRYPT32.DLL) ;;
    *) fail "imports $dll, which is not on the list of system DLLs it needs" ;;
  esac
done
crypt32=$(awk '/DLL Name: /{dll=toupper($3)} dll=="CRYPT32.DLL" && NF == 3 && $2 ~ /^[0-9]+$/ {print $3}' <<<"$headers" |
  grep -vxE 'CryptProtectData|CryptUnprotectData' || true)
[ -z "$crypt32" ] || fail "imports from CRYPT32 more than CryptProtectData and CryptUnprotectData:" $crypt32

# Build-machine paths and OpenSSL's configuration hooks: on Windows such a
# path names a folder on the current drive that any user can create.
. "$here/deps.sh"
root=$(cd "$here/.." && pwd)
for text in OPENSSL_CONF OPENSSL_ENGINES OPENSSL_MODULES engines-3 ossl-modules openssl.cnf \
  "$VANTRETH_CACHE" "$root" /usr/i686-w64-mingw32; do
  if LC_ALL=C grep -qaF -- "$text" "$exe"; then fail "contains '$text'"; fi
done

# ASLR, with the relocations it needs to move the image.
grep -qw DYNAMIC_BASE <<<"$headers" || fail "ASLR (DYNAMIC_BASE) not enabled"
grep -q ' \.reloc ' <<<"$sections" || fail "no relocations: ASLR cannot move it"

# DEP.
grep -qw NX_COMPAT <<<"$headers" || fail "DEP (NX_COMPAT) not enabled"

# No frame-based SEH handlers, so none can be planted on the stack.
grep -qw NO_SEH <<<"$headers" || fail "NO_SEH not set"

# The version resource holds its strings as UTF-16.
grep -q ' \.rsrc ' <<<"$sections" || fail "no resources"
# Each byte as \xHH\x00: a pattern for grep -P that takes punctuation literally.
utf16() { printf '%s' "$1" | od -An -tx1 -v | tr -d '\n' | sed 's/ \([0-9a-f]\{2\}\)/\\x\1\\x00/g'; }
define() { sed -n "s/^#define $1 \"\(.*\)\"$/\1/p" "$version_header"; }
title=$(define VANTRETH_TITLE)
version=$(define VANTRETH_VERSION)
[ -n "$title" ] && [ -n "$version" ] || fail "no title and version in $version_header"
LC_ALL=C grep -qaP "$(utf16 ProductName)(\\x00)+$(utf16 "$title")" "$exe" ||
  fail "no product name $title in the version resource"
LC_ALL=C grep -qaP "$(utf16 ProductVersion)(\\x00)+$(utf16 "$version")" "$exe" ||
  fail "no product version $version in the version resource"
copyright=$(define VANTRETH_COPYRIGHT)
[ -n "$copyright" ] && LC_ALL=C grep -qaP "$(utf16 LegalCopyright)(\\x00)+$(utf16 "$copyright")\\x00\\x00" "$exe" ||
  fail "no copyright '$copyright' in the version resource"

# The application manifest (resource 1 of type 24, RT_MANIFEST): common
# controls 6 for visual styles and DPI awareness for sharp text. It must
# request no execution level: that would turn registry virtualization off, and
# a user without administrator rights could no longer save the settings.
resources=$(i686-w64-mingw32-windres -i "$exe" -O rc) || fail "windres cannot read its resources"
manifest=$(sed -n '/^1 24 /,/^END/p' <<<"$resources" |
  sed -n 's/^ *"\(.*\)"$/\1/p' | sed 's/""/"/g; s/\(\\r\)\?\\n$/ /' | tr -d '\n' | tr -s ' \t' ' ' |
  sed 's/<!--\([^-]\|-[^-]\)*-->//g')
[ -n "$manifest" ] || fail "no application manifest (resource 1, RT_MANIFEST)"
grep -qP '<assemblyIdentity(?=[^>]*name="Microsoft\.Windows\.Common-Controls")[^>]*version="6\.' \
  <<<"$manifest" || fail "the manifest does not name common controls version 6"
grep -qP '<dpiAware(?: [^>]*)?>\s*true(/pm)?\s*<' <<<"$manifest" ||
  fail "the manifest does not declare dpiAware"
grep -qP '<dpiAwareness(?: [^>]*)?>[^<]*PerMonitorV2' <<<"$manifest" ||
  fail "the manifest does not declare PerMonitorV2 DPI awareness"
! grep -q 'requestedExecutionLevel' <<<"$manifest" ||
  fail "the manifest requests an execution level (registry virtualization would be off)"

# The dialogs: each edit field right after the static text that names it for
# a screen reader, the tab orders users know, and the radio buttons one
# arrow-key group of their own (scripts/check-dialogs.py).
rc=0
dialogs=$(python3 "$here/check-dialogs.py" "$root/resources/resource.h" <<<"$resources") || rc=$?
while IFS= read -r line; do
  case $line in "fault: "*) fail "${line#fault: }" ;; esac
done <<<"$dialogs"
[ "$rc" -eq 0 ] || grep -q '^fault: ' <<<"$dialogs" || fail "check-dialogs.py failed (exit code $rc)"

[ "$failed" -eq 0 ] || exit 1
echo "check-pe: $exe: $size bytes stripped, imports only:" $dlls
echo "check-pe: $exe: edit fields named $(sed -n 's/^name: [^"]*\(".*"\)$/\1/p' <<<"$dialogs" | paste -sd, | sed 's/,/, /g')"
echo "check-pe: $exe: SHA-256 $(sha256sum "$exe" | cut -d' ' -f1)"
