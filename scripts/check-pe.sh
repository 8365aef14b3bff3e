#!/usr/bin/env bash
# Checks a built Vantreth.exe: a 32-bit GUI program that imports only Windows
# system DLLs (no mingw runtime), with ASLR (and the relocations it needs), DEP
# and a version resource.
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
echo "check-pe: $exe imports only:" $dlls
