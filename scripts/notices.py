#!/usr/bin/env python3
"""The third-party code in Vantreth.exe, as its linker map shows it.

  notices.py check MAP NOTICES BUILD_DIR OPENSSL_PREFIX
      Fails, naming each file, when a file outside our tree that the link
      takes (an archive member or a start-up object) has no entry in NOTICES,
      or when NOTICES names a path of the build machine's /usr/share.
  notices.py write MAP BUILD_DIR OPENSSL_PREFIX OPENSSL_VERSION OPENSSL_SOURCE
      Prints the notices for the files the link takes: for each component the
      copyright lines and licence texts that apply to the code linked in
      (scripts/update-notices.sh runs it). OPENSSL_SOURCE is the unpacked
      openssl source package.

A file under OPENSSL_PREFIX comes from the openssl source package that
scripts/build-openssl.sh builds; any other is owned by a Debian package.

Where the texts come from:
  openssl        LICENSE.txt, and the Copyright section of README.md, of the
                 source package.
  mingw-w64      the stanzas of Debian's machine-readable copyright file whose
                 Files patterns match a source file of a linked object. The
                 objects' debug information names their source files and the
                 headers they include; the import libraries' members, which
                 carry none, are built from the .def files of mingw-w64-crt.
  gcc-mingw-w64  the copyright lines of the GCC source files that each linked
                 object is built from, in scripts/notices/gcc-runtime.txt, and
                 the text of the GCC Runtime Library Exception 3.1 from
                 Debian's copyright file of the package.
"""
import fnmatch
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile

RULE = "=" * 72
HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE_ROOT = os.path.dirname(HERE)
GCC_DATA = os.path.join(HERE, "notices", "gcc-runtime.txt")
TOOLS = "i686-w64-mingw32-"

# What each source package's code in the image is, as its entry's header and
# as the opening of the notices say it, in the order of the entries.
DESCRIPTIONS = {
    "gcc-mingw-w64": (
        "GCC's runtime libraries: libgcc, the stack protector (libssp) and the start-up objects crtbegin.o and"
        " crtend.o",
        "GCC's runtime libraries (parts of libgcc and libssp, and the start-up objects crtbegin.o and crtend.o)",
    ),
    "mingw-w64": (
        "mingw-w64: the C runtime's start-up code and helpers, and the import libraries of the Windows system DLLs",
        "mingw-w64's C runtime (its start-up code and helpers) and its import libraries of the Windows system DLLs",
    ),
    "openssl": (
        "OpenSSL libcrypto: the MD4, MD5, SHA-1 and DES functions",
        "OpenSSL's libcrypto (its MD4, MD5, SHA-1 and DES functions)",
    ),
}


def linked(map_path, build_dir):
    """(absolute path, member) for each archive member the link takes, and
    (absolute path, None) for each object it loads whole."""
    found = set()
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
                    found.add((m.group(1), m.group(2)))
                else:
                    section = None
            m = re.match(r"^LOAD (.+\.(?:o|obj|res))$", line)
            if m:
                found.add((m.group(1), None))
    return {(os.path.realpath(os.path.join(build_dir, p)), member) for p, member in found}


def taken_files(map_path, build_dir):
    """Absolute paths of the archives whose members the link takes, and of the
    objects it loads whole."""
    return {p for p, _ in linked(map_path, build_dir)}


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
    for number, line in enumerate(open(notices_path, encoding="utf-8").read().split("\n"), 1):
        if "/usr/share/" in line:
            print(
                f"check-notices: {notices_path}:{number} names a path of the build machine: {line.strip()}",
                file=sys.stderr,
            )
            faults += 1
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


# Writing the notices.


def fail(text):
    sys.exit(f"notices: {text}")


def tool(name):
    path = shutil.which(TOOLS + name)
    if not path:
        fail(f"{TOOLS}{name} is missing; scripts/setup.sh installs the toolchain")
    return path


def run(*args, cwd=None):
    return subprocess.run(args, capture_output=True, text=True, check=True, cwd=cwd).stdout


def paragraphs(text):
    """The paragraphs of a Debian copyright file (or of a data file in its
    format, with # comment lines): lists of (field, value) in order; a value
    keeps its continuation lines, each with its first space removed."""
    result = []
    fields = []
    for line in text.split("\n"):
        if line.startswith("#"):
            continue
        if not line.strip():
            if fields:
                result.append(fields)
            fields = []
        elif line[0] in " \t" and fields:
            name, value = fields[-1]
            fields[-1] = (name, value + "\n" + line[1:])
        else:
            name, _, value = line.partition(":")
            fields.append((name.strip(), value.strip()))
    if fields:
        result.append(fields)
    return result


def text_of(value):
    """The lines of a multi-line field's text: its " ." lines made empty."""
    return ["" if line.strip() == "." else line.rstrip() for line in value.split("\n")]


def wrap(label, words, width=16):
    lines = [f"{label:<{width}}"]
    for w in words:
        if len(lines[-1]) + len(w) > 72 and lines[-1].strip() != label:
            lines.append(" " * width)
        lines[-1] += w + " "
    return [line.rstrip() for line in lines]


def prose(text, indent=""):
    """Text wrapped at 72 columns."""
    return wrap(indent, text.split(), len(indent))


def copyright_file(binary):
    return open(f"/usr/share/doc/{binary}/copyright", encoding="utf-8").read()


def package_version(binary):
    return run("dpkg-query", "-W", "-f=${Version}", binary)


# GCC's runtime parts.


def gcc_body(objects, binary):
    """The text of the GCC entry for OBJECTS, names such as crtbegin.o and
    libgcc.a(_divdi3.o)."""
    data = paragraphs(open(GCC_DATA, encoding="utf-8").read())
    head = dict(data[0])
    version = package_version(binary)
    if version != head["Version"] and not version.startswith(head["Version"] + "+b"):
        fail(
            f"{os.path.relpath(GCC_DATA, SOURCE_ROOT)} holds the copyright lines of GCC {head['GCC']} as"
            f" {head['Package']} {head['Version']} builds it, but the toolchain is {binary} {version}:"
            " take them anew from that GCC's source"
        )
    sources, statements, titles = {}, {}, {}
    for p in data[1:]:
        fields = dict(p)
        if "Source" in fields:
            sources[fields["Source"]] = fields
        else:
            statements[fields["Licence"]] = text_of(fields["Text"])
            titles[fields["Licence"]] = fields["Name"]
    builds = {}
    for name, fields in sources.items():
        for o in fields.get("Objects", "").split():
            builds[o] = name
    missing = sorted(o for o in objects if o not in builds)
    if missing:
        fail(
            f"the link takes {', '.join(missing)}, which {os.path.relpath(GCC_DATA, SOURCE_ROOT)} does not"
            " name: add the source files they are built from, with their copyright lines"
        )
    used = []
    for o in sorted(objects):
        for name in [builds[o], *sources[builds[o]].get("Includes", "").split()]:
            if name not in sources:
                fail(f"{os.path.relpath(GCC_DATA, SOURCE_ROOT)} has no paragraph for {name}")
            if name not in used:
                used.append(name)
    used.sort()

    exception = exception_text(copyright_file(binary))
    out = prose(
        f"Vantreth.exe holds these objects of GCC {head['GCC']}'s runtime: {', '.join(sorted(objects))}."
        " They are built from the GCC source files below, each shown with the copyright line of its header."
    )
    out.append("")
    for name in used:
        out += [f"  {name}", f"      {sources[name]['Copyright']}"]
    out.append("")
    groups = {}
    for name in used:
        groups.setdefault(sources[name]["Licence"], []).append(name)
    common = max(groups, key=lambda k: len(groups[k]))
    keys = [common, *sorted(k for k in groups if k != common)]
    for key in keys:
        if key not in statements:
            fail(f"{os.path.relpath(GCC_DATA, SOURCE_ROOT)} has no text for the licence {key}")
        names = groups[key]
        if key == common and len(groups) > 1:
            others = sorted(n for k, v in groups.items() if k != common for n in v)
            subject = f"All the files above but {' and '.join(others)} are"
        elif key == common:
            subject = "All the files above are"
        else:
            subject = f"{' and '.join(names)} {'is' if len(names) == 1 else 'are'}"
        text = statements[key]
        first = text.index("") if "" in text else len(text)
        out += prose(subject + " " + " ".join(text[:first]))
        out += text[first:]
        out.append("")
    out += prose(
        "The Exception lets a program that GCC compiled from sources that are not based on these runtime"
        " parts, as Vantreth.exe is compiled from Vantreth's own sources, be distributed together with them"
        " under terms of its authors' choice. Vantreth.exe is distributed under the BSD 2-Clause licence"
        " (LICENSE.txt). The conditions of the GNU General Public License do not apply to that distribution,"
        " so its text is not repeated here. The Exception covers in the same way the code that the compiler"
        " takes into Vantreth.exe from GCC's own header files, such as those of its C++ library."
    )
    out += ["", ""] + exception
    return out, "; ".join(titles[k] for k in keys).split()


def exception_text(text):
    """The GCC Runtime Library Exception 3.1, as GCC's copyright file quotes it."""
    lines = text.split("\n")
    try:
        start = lines.index("GCC RUNTIME LIBRARY EXCEPTION")
        end = lines.index("requirements of the license of GCC.", start)
    except ValueError:
        fail("GCC's copyright file does not quote the GCC Runtime Library Exception as expected")
    result = [line.rstrip() for line in lines[start : end + 1]]
    if "Version 3.1, 31 March 2009" not in result[:4]:
        fail("the GCC Runtime Library Exception in GCC's copyright file is not version 3.1")
    return result


# mingw-w64.


def object_sources(archive, members):
    """For each object, the source files its debug information names (those of
    mingw-w64's tree relative to it, headers as installed), or "import" for a
    member of an import library."""
    result = {}
    with tempfile.TemporaryDirectory(prefix="vantreth-notices.") as tmp:
        if members:
            run(tool("ar"), "x", archive, *members, cwd=tmp)
            files = {m: os.path.join(tmp, m) for m in members}
        else:
            files = {None: archive}
        for member, path in files.items():
            name = f"{archive}({member})" if member else archive
            sections = set(re.findall(r"^\s+\d+ (\S+)\s", run(tool("objdump"), "-h", path), re.M))
            if not any(s.startswith(".debug_") for s in sections):
                if sections and all(re.fullmatch(r"\.(text|data|bss|idata\$\d+)", s) for s in sections):
                    result[member] = "import"
                    continue
                fail(f"{name} has no debug information that names its source, and is not an import stub")
            result[member] = line_table_files(run(tool("objdump"), "--dwarf=rawline", path), name)
    return result


def line_table_files(out, name):
    """The files of the line tables in objdump's --dwarf=rawline output (DWARF 5:
    directory 0 is the folder of the build, file 0 the unit's own source)."""
    files = set()
    dirs = {}
    table = None
    for line in out.split("\n"):
        if line.startswith(" The Directory Table"):
            table, dirs = "dirs", {}
            continue
        if line.startswith(" The File Name Table"):
            table = "files"
            continue
        if not line.strip() or line.startswith(" Line Number Statements"):
            table = None
            continue
        value = re.sub(r"^\([^)]*\): ", "", line.split("\t")[-1]).strip()
        if table == "dirs" and re.match(r"^\s+\d+\t", line):
            dirs[int(line.split("\t")[0])] = value
        elif table == "files" and re.match(r"^\s+\d+\t\d+\t", line):
            if value == "<built-in>":
                continue
            d = dirs.get(int(line.split("\t")[1]))
            if d is None or 0 not in dirs:
                fail(f"cannot read the line table of {name}")
            files.add(os.path.normpath(os.path.join(dirs[0], d, value)) + "\0" + dirs[0])
    if not files:
        fail(f"the debug information of {name} names no source file")
    result = set()
    for f in files:
        path, top = f.split("\0")
        if inside(path, top) and path != top:
            result.add(os.path.relpath(path, top))
        else:
            m = re.match(r"^/usr/[^/]+-w64-mingw32/include/(.+)$", path)
            if not m:
                fail(f"{name} holds code from {path}, which is neither in mingw-w64's tree nor one of its headers")
            result.add("include:" + m.group(1))
    return result


def candidates(source, archive):
    """The paths in mingw-w64's source tree that SOURCE may be."""
    if source == "import":
        dll = re.sub(r"^lib|\.a$", "", os.path.basename(archive))
        return [f"mingw-w64-crt/{d}/{dll}.def{s}" for d in ("lib32", "lib-common") for s in ("", ".in")]
    if source.startswith("include:"):
        header = source[len("include:") :]
        result = [f"mingw-w64-headers/{d}/{header}" for d in ("crt", "include", "ddk/include")]
        if header.endswith(".h"):
            result.append(f"mingw-w64-headers/include/{header[:-2]}.idl")
        return result
    return [source]


def dep5_match(pattern, path):
    return fnmatch.fnmatchcase(path, re.sub(r"([\[\]])", r"[\1]", pattern))


def mingw_body(objects, binary):
    """The text of the mingw-w64 entry: the stanzas of Debian's copyright file
    that cover the source files of OBJECTS, a map of each archive (or object)
    to its members (or None)."""
    stanzas, licences = [], {}
    for p in paragraphs(copyright_file(binary)):
        fields = dict(p)
        if "Files" in fields:
            stanzas.append(fields)
        elif "License" in fields and "Format" not in fields:
            name, _, body = fields["License"].partition("\n")
            licences[name.strip()] = body
    paths, linked_sources, stubs = set(), set(), set()
    for archive, members in sorted(objects.items()):
        for member, sources in object_sources(archive, sorted(members) if members else None).items():
            if sources == "import":
                stubs.add(os.path.basename(archive))
                paths.update(candidates(sources, archive))
                continue
            for s in sources:
                paths.update(candidates(s, archive))
                if not s.startswith("include:") and not s.endswith(".h"):
                    linked_sources.add(s)
    kept = []
    for fields in stanzas:
        patterns = [p for p in fields["Files"].split() if any(dep5_match(p, path) for path in paths)]
        if patterns:
            kept.append((fields, patterns))

    out = prose(
        "The mingw-w64 objects in Vantreth.exe are built from these files of mingw-w64's source, and from the"
        " mingw-w64 headers they include: " + ", ".join(sorted(linked_sources)) + "; and the members of the"
        f" import libraries {', '.join(sorted(stubs))} from its definition files of those DLLs."
    )
    out.append("")
    out += prose(
        "For those files Debian's copyright file of mingw-w64 gives the copyright and licences below, one"
        " stanza per group of files (Files names the groups as patterns of paths in mingw-w64's source). Its"
        " stanzas for files whose code is not linked into Vantreth.exe are left out."
    )
    names = []
    for fields, patterns in kept:
        licence, _, own = fields["License"].partition("\n")
        licence = licence.strip()
        out += ["", ""]
        out += wrap("Files:", patterns, 11)
        for i, line in enumerate(fields["Copyright"].split("\n")):
            out.append(f"{'Copyright:' if i == 0 else '':<11}{line.strip()}")
        out.append(f"{'License:':<11}{licence}")
        parts = [licence] if own.strip() else re.split(r"\s+(?:and|or)\s+", licence)
        for part in parts:
            body = own if own.strip() else licences.get(part)
            if body is None or "/usr/share/" in body:
                fail(f"Debian's copyright file of mingw-w64 gives no full text of the licence {part}")
            if re.search(r"GPL|General\s+Public\s+License", part + " " + body):
                fail(
                    f"the stanza for {' '.join(patterns)} is under {part}, a GNU licence:"
                    " the opening of the notices says that only GCC's runtime parts are"
                )
            if len(parts) > 1:
                out += ["", f"{part}:"]
            out.append("")
            out += text_of(body.strip("\n"))
            if part not in names:
                names.append(part)
    return out, ", ".join(names).split() + "(as Debian's copyright file names them)".split()


# OpenSSL.


def openssl_body(source):
    lines = open(os.path.join(source, "README.md"), encoding="utf-8").read().split("\n")
    try:
        start = lines.index("Copyright") + 2
    except ValueError:
        fail("README.md of OpenSSL has no Copyright section")
    copyright = []
    for line in lines[start:]:
        if line.startswith("<!--") or (copyright and re.match(r"^(=+|-+)$", line)):
            break
        copyright.append(line.rstrip())
    copyright = "\n".join(copyright).strip("\n").split("\n")
    if not any(line.startswith("Copyright (c)") for line in copyright):
        fail("the Copyright section of OpenSSL's README.md has no copyright line")
    out = prose("OpenSSL's copyright, from README.md of the source package:") + [""]
    out += ["  " + line if line else "" for line in copyright]
    changed = []
    for patch in sorted(glob.glob(os.path.join(SOURCE_ROOT, "scripts", "openssl-*.patch"))):
        files = re.findall(r"^\+\+\+ [^/\s]+/(\S+)", open(patch, encoding="utf-8").read(), re.M)
        changed.append(f"{', '.join(files)} (scripts/{os.path.basename(patch)} in Vantreth's sources)")
    if changed:
        out.append("")
        out += prose("Vantreth's build of the library changes " + "; ".join(changed) + ".")
    for name in ("NOTICE", "NOTICE.txt", "NOTICE.md"):
        if os.path.exists(os.path.join(source, name)):
            out += ["", ""] + open(os.path.join(source, name), encoding="utf-8").read().strip("\n").split("\n")
    out += ["", "", *open(os.path.join(source, "LICENSE.txt"), encoding="utf-8").read().strip("\n").split("\n")]
    return out


def write(map_path, build_dir, openssl_prefix, openssl_version, openssl_source):
    groups = {}
    owners = third_party(map_path, build_dir, openssl_prefix)
    for path, owner in owners.items():
        if owner is None:
            fail(f"no Debian package owns {path}")
        groups.setdefault(owner[0], []).append((path, owner[1]))
    members = {}
    for path, member in linked(map_path, build_dir):
        if path in owners:
            members.setdefault(path, set())
            if member:
                members[path].add(member)
    for source in groups:
        if source not in DESCRIPTIONS:
            fail(f"no description of the source package {source}")
    order = [s for s in DESCRIPTIONS if s in groups]
    items = [DESCRIPTIONS[s][1] for s in order]
    listing = items[0] if len(items) == 1 else "; ".join(items[:-1]) + "; and " + items[-1]
    out = [
        "Third-party notices for Vantreth.exe",
        "",
        *prose(
            "Vantreth itself is under the BSD 2-Clause licence (LICENSE.txt). Vantreth.exe also holds code"
            " from the components below, linked into it statically: "
            + listing
            + ". Each entry names the files of a component that the link takes code from, then gives the"
            " copyright lines and licence texts that apply to that code."
        ),
        "",
        *prose(
            "No code under the GNU General Public License or the GNU Lesser General Public License is linked in"
            " other than GCC's runtime parts. Their licences, chiefly the GCC Runtime Library Exception, let"
            " Vantreth.exe be distributed under its own licence; their entry says how."
        ),
    ]
    for source in order:
        names = sorted({os.path.basename(p) for p, _ in groups[source]})
        binaries = sorted({b for _, b in groups[source] if b})
        if binaries:
            versions = [f"{b} {package_version(b)}" for b in binaries]
            version = "Debian 12's " + ", ".join(versions)
        else:
            version = f"Debian 12's source {openssl_version}, built by Vantreth's scripts/build-openssl.sh"
        objects = {p: members[p] for p, _ in groups[source]}
        if source == "gcc-mingw-w64":
            taken = [
                f"{os.path.basename(p)}({m})" if ms else os.path.basename(p)
                for p, ms in objects.items()
                for m in (sorted(ms) or [None])
            ]
            body, licence = gcc_body(taken, binaries[0])
            origin = (
                "copyright lines of GCC's source files (scripts/notices/gcc-runtime.txt in Vantreth's"
                f" sources); the Exception from Debian's copyright file of {binaries[0]}"
            )
        elif source == "mingw-w64":
            body, licence = mingw_body(objects, binaries[0])
            origin = f"Debian's copyright file of {binaries[0]}, its stanzas for the files linked in"
        else:
            body, licence = openssl_body(openssl_source), "Apache License 2.0".split()
            origin = "README.md and LICENSE.txt in that source package"
        out += ["", "", RULE]
        out += wrap("Component:", DESCRIPTIONS[source][0].split())
        out += wrap("Source package:", [source])
        out += wrap("Version:", version.split())
        out += wrap("Files:", names)
        out += wrap("Licence:", licence)
        out += wrap("Text from:", origin.split())
        out += [RULE, ""]
        out += body
    text = "\n".join(line.rstrip() for line in out).rstrip("\n") + "\n"
    if "/usr/share/" in text:
        fail("the notices would name a path of the build machine under /usr/share")
    sys.stdout.write(text)
    return 0


def main(argv):
    if len(argv) == 6 and argv[1] == "check":
        return check(*argv[2:])
    if len(argv) == 7 and argv[1] == "write":
        return write(*argv[2:])
    sys.exit(__doc__)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
