#!/usr/bin/env python3
"""The third-party code in Vantreth.exe, as its linker map shows it.

  notices.py check MAP NOTICES BUILD_DIR OPENSSL_PREFIX
      Fails, naming each file, when a file outside our tree that the link
      takes (an archive member or a start-up object) has no entry in NOTICES.
  notices.py write MAP BUILD_DIR OPENSSL_PREFIX OPENSSL_VERSION OPENSSL_LICENSE
      Prints the notices for the files the link takes, with the licence texts
      from their sources (scripts/update-notices.sh runs it).

A file under OPENSSL_PREFIX comes from the openssl source package that
scripts/build-openssl.sh builds; any other is owned by a Debian package.
"""
import os
import re
import subprocess
import sys

RULE = "=" * 72
SOURCE_ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# What each source package's code in the image is, its licence, and the text
# beyond its copyright file: GCC's names the GPL only by a path on Debian.
DESCRIPTIONS = {
    "openssl": ("OpenSSL libcrypto: the MD4, MD5, SHA-1 and DES functions", "Apache License 2.0", []),
    "mingw-w64": (
        "mingw-w64: the C runtime's start-up code and helpers, and the import"
        " libraries of the Windows system DLLs",
        "ZPL-2.1, public domain and others, as the copyright file lists them",
        [],
    ),
    "gcc-mingw-w64": (
        "GCC's runtime libraries: libgcc, the stack protector (libssp) and the"
        " start-up objects crtbegin.o and crtend.o",
        "GPL-3.0-or-later with the GCC Runtime Library Exception 3.1",
        ["/usr/share/common-licenses/GPL-3"],
    ),
}


def taken_files(map_path, build_dir):
    """Absolute paths of the archives whose members the link takes, and of the
    objects it loads whole."""
    files = set()
    section = None
    with open(map_path, encoding="utf-8", errors="replace") as f:
        for line in f:
            line = line.rstrip("\n")
            if line == "Archive member included to satisfy reference by file (symbol)":
                section = "members"
                continue
            if line and not line[0].isspace() and section == "members":
                m = re.match(r"^(.+)\(([^()]+)\)$", line)
                if m:
                    files.add(m.group(1))
                else:
                    section = None
            m = re.match(r"^LOAD (.+\.(?:o|obj|res))$", line)
            if m:
                files.add(m.group(1))
    return {os.path.realpath(os.path.join(build_dir, p)) for p in files}


def inside(path, folder):
    return os.path.commonpath([path, os.path.realpath(folder)]) == os.path.realpath(folder)


def third_party(map_path, build_dir, openssl_prefix):
    """Maps each file outside our tree that the link takes to (source package,
    binary package or None), or to None when nothing owns it."""
    taken = taken_files(map_path, build_dir)
    if not taken:
        sys.exit(f"notices: {map_path} names no file the link takes: not a linker map of ld")
    result = {}
    debian = []
    for p in sorted(taken):
        if inside(p, openssl_prefix):
            result[p] = ("openssl", None)
        elif not inside(p, build_dir) and not inside(p, SOURCE_ROOT):
            debian.append(p)
    if debian:
        out = subprocess.run(["dpkg", "-S", *debian], capture_output=True, text=True).stdout
        binary = {}
        for line in out.splitlines():
            m = re.match(r"^([^ :,]+)(?::[^ :,]+)?(?:, [^:]+)?: (/.*)$", line)
            if m:
                binary[m.group(2)] = m.group(1)
        for p in debian:
            if p not in binary:
                result[p] = None
                continue
            source = subprocess.run(
                ["dpkg-query", "-W", "-f=${source:Package}", binary[p]], capture_output=True, text=True, check=True
            ).stdout
            result[p] = (source, binary[p])
    return result


def entries(notices_path):
    """The source package and the file names of each entry's header."""
    result = []
    lines = open(notices_path, encoding="utf-8").read().split("\n")
    for i, line in enumerate(lines):
        if line != RULE or i + 1 >= len(lines) or not lines[i + 1].startswith("Component:"):
            continue
        fields = {}
        key = None
        for header in lines[i + 1 :]:
            if header == RULE:
                break
            m = re.match(r"^([A-Za-z][A-Za-z .]*):\s*(.*)$", header)
            if m:
                key = m.group(1)
                fields[key] = m.group(2)
            elif key:
                fields[key] += " " + header.strip()
        result.append((fields.get("Source package", ""), set(fields.get("Files", "").split())))
    return result


def check(map_path, notices_path, build_dir, openssl_prefix):
    found = entries(notices_path)
    faults = 0
    files = third_party(map_path, build_dir, openssl_prefix)
    for path, owner in sorted(files.items()):
        if owner is None:
            print(f"check-notices: {path} is in the image, but no Debian package owns it", file=sys.stderr)
            faults += 1
        elif not any(owner[0] == package and os.path.basename(path) in names for package, names in found):
            print(
                f"check-notices: {path} (source package {owner[0]}) is in the image,"
                f" but {notices_path} has no entry for it",
                file=sys.stderr,
            )
            faults += 1
    if faults:
        return 1
    print(f"check-notices: the {len(files)} third-party files in the image all have entries in {notices_path}")
    return 0


def wrap(label, words):
    lines = [f"{label:<16}"]
    for w in words:
        if len(lines[-1]) + len(w) > 72 and lines[-1].strip() != label:
            lines.append(" " * 16)
        lines[-1] += w + " "
    return [line.rstrip() for line in lines]


def write(map_path, build_dir, openssl_prefix, openssl_version, openssl_license):
    groups = {}
    for path, owner in third_party(map_path, build_dir, openssl_prefix).items():
        if owner is None:
            sys.exit(f"notices: no Debian package owns {path}")
        groups.setdefault(owner[0], []).append((path, owner[1]))
    out = [
        "Third-party notices for Vantreth.exe",
        "",
        "Vantreth.exe holds code from the components below, linked into it",
        "statically. Each entry names the files of the component that the link",
        "takes code from, and where its licence text comes from; the text",
        "follows the entry in full. Vantreth itself is under the BSD 2-Clause",
        "licence (LICENSE.txt).",
    ]
    for source in sorted(groups):
        if source not in DESCRIPTIONS:
            sys.exit(f"notices: no description of the source package {source}")
        what, licence, extra = DESCRIPTIONS[source]
        names = sorted({os.path.basename(p) for p, _ in groups[source]})
        binaries = sorted({b for _, b in groups[source] if b})
        if binaries:
            versions = [
                subprocess.run(
                    ["dpkg-query", "-W", "-f=${Package} ${Version}", b], capture_output=True, text=True, check=True
                ).stdout
                for b in binaries
            ]
            version = "Debian 12's " + ", ".join(versions)
            texts = [f"/usr/share/doc/{binaries[0]}/copyright", *extra]
            origin = ", then ".join(texts)
        else:
            version = f"Debian 12's source {openssl_version}, built by Vantreth's scripts/build-openssl.sh"
            texts = [openssl_license]
            origin = "LICENSE.txt in that source package"
        out += ["", "", RULE]
        out += wrap("Component:", what.split())
        out += wrap("Source package:", [source])
        out += wrap("Version:", version.split())
        out += wrap("Files:", names)
        out += wrap("Licence:", licence.split())
        out += wrap("Text from:", origin.split())
        out += [RULE, ""]
        for t in texts:
            out.append(open(t, encoding="utf-8").read().rstrip("\n"))
            out.append("")
    sys.stdout.write("\n".join(out).rstrip("\n") + "\n")
    return 0


def main(argv):
    if len(argv) == 6 and argv[1] == "check":
        return check(*argv[2:])
    if len(argv) == 7 and argv[1] == "write":
        return write(*argv[2:])
    sys.exit(__doc__)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
