#!/usr/bin/env bash
# Checks a built Vantreth.exe: a 32-bit GUI program that imports only Windows
# system DLLs (no mingw runtime), with ASLR (and the relocations it needs), DEP,
# a version resource and an application manifest.
set -euo pipefail
exe=$1
headers=$(i686-w64-mingw32-objdump -p "$exe")
sections=$(i686-w64-mingw32-objdump -h "$exe")
fail() { echo "check-pe: $exe: $*" >&2; exit 1; }

grep -q 'file format pei-i386' <<<"$headers" || fail "not a 32-bit PE image"
grep -q 'Subsystem.*(Windows GUI)' <<<"$headers" || fail "not a GUI program"
grep -qw DYNAMIC_BASE <<<"$headers" || fail "ASLR (DYNAMIC_BASE) not enabled"
grep -qw NX_COMPAT <<<"$headers" || fail "DEP (NX_COMPAT) not enabled"
grep -q ' \.reloc ' <<<"$sections" || fail "no relocations: ASLR cannot move it"
grep -q ' \.rsrc ' <<<"$sections" || fail "no resources"

dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")
for dll in $dlls; do
  case "${dll^^}" in
    ADVAPI32.DLL | BCRYPT.DLL | CRYPT32.DLL | GDI32.DLL | KERNEL32.DLL | MSVCRT.DLL | \
      SHELL32.DLL | USER32.DLL | WS2_32.DLL) ;;
    *) fail "imports $dll, which is not a Windows system DLL" ;;
  esac
done
# The version resource holds its strings as UTF-16.
utf16() { sed 's/./&\\x00/g' <<<"$1"; }
LC_ALL=C grep -qaP "$(utf16 ProductName)(\\x00)+$(utf16 Vantreth)" "$exe" ||
  fail "no product name Vantreth in the version resource"
LC_ALL=C grep -qaP "$(utf16 ProductVersion)(\\x00)+$(utf16 0.13)" "$exe" ||
  fail "no product version 0.13 in the version resource"
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
echo "check-pe: $exe imports only:" $dlls
