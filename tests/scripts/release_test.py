#!/usr/bin/env python3
"""The release archive: packs the tree's image twice, from two copies of the
sources in two folders, and checks that the two archives are the same bytes
and hold what a user needs, and nothing that refers outside itself.

Usage: release_test.py IMAGE SOURCE_DIR
"""
import base64
import hashlib
import html.parser
import io
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile

ENTRIES = ["Vantreth.exe", "Vantreth-Guide.html", "LICENSE.txt", "THIRD-PARTY-NOTICES.txt", "SHA256SUMS.txt"]
TEXTS = {"LICENSE.txt": "LICENSE", "THIRD-PARTY-NOTICES.txt": "THIRD-PARTY-NOTICES.txt"}
faults = []


def fault(text):
    faults.append(text)
    print(f"release: {text}", file=sys.stderr)


def pack(image, source, folder, stamp):
    """Packs from a copy of the sources in FOLDER, run from there."""
    copy = os.path.join(folder, "src")
    os.makedirs(copy)
    for part in ["scripts", "docs", "LICENSE", "THIRD-PARTY-NOTICES.txt"]:
        (shutil.copytree if os.path.isdir(os.path.join(source, part)) else shutil.copy)(
            os.path.join(source, part), os.path.join(copy, part)
        )
    shutil.copy(image, folder)
    out = os.path.join(folder, "release.zip")
    subprocess.run(
        [os.path.join(copy, "scripts", "package.py"), os.path.basename(image), str(stamp), out], cwd=folder, check=True
    )
    with open(out, "rb") as f:
        return f.read()


class Page(html.parser.HTMLParser):
    """The ids, the references and the tables of an HTML page."""

    def __init__(self):
        super().__init__()
        self.ids, self.refs, self.styles, self.tables = set(), [], [], []
        self.in_style = False
        self.cell = None

    def handle_starttag(self, tag, attrs):
        for name, value in attrs:
            if name == "id":
                self.ids.add(value)
            elif name in ("href", "src", "srcset", "action", "data", "poster", "background", "formaction"):
                self.refs.append((tag, name, value or ""))
            elif name == "style":
                self.styles.append(value or "")
        if tag in ("link", "script", "iframe", "object", "embed", "base"):
            self.refs.append((tag, "tag", tag))
        self.in_style = tag == "style"
        if tag == "table":
            self.tables.append([])
        elif tag == "tr" and self.tables:
            self.tables[-1].append([])
        elif tag in ("td", "th") and self.tables:
            self.cell = ""

    def handle_endtag(self, tag):
        self.in_style = False
        if tag in ("td", "th") and self.cell is not None:
            self.tables[-1][-1].append(self.cell.strip())
            self.cell = None

    def handle_data(self, data):
        if self.in_style:
            self.styles.append(data)
        if self.cell is not None:
            self.cell += data


def check_page(page_bytes, guide_path):
    page = Page()
    page.feed(page_bytes.decode("utf-8"))
    for tag, name, value in page.refs:
        if name == "href" and value.startswith("#"):
            if value[1:] not in page.ids:
                fault(f"the guide's link {value} has no target")
        elif not (name == "src" and value.startswith("data:")):
            fault(f"the guide refers outside itself: <{tag} {name}={value[:60]!r}>")
    for style in page.styles:
        if re.search(r"@import|url\((?!\s*['\"]?data:)", style):
            fault(f"the guide's style loads something: {style[:60]!r}")

    with open(guide_path, encoding="utf-8") as f:
        guide = f.read()
    # Each picture, in order, is the file the guide names.
    pictures = re.findall(r"!\[[^\]]*\]\(([^)\s]+)\)", guide)
    embedded = [v for _, n, v in page.refs if n == "src"]
    if len(embedded) != len(pictures):
        fault(f"the guide shows {len(pictures)} pictures, the page {len(embedded)}")
    for src, data in zip(pictures, embedded):
        with open(os.path.join(os.path.dirname(guide_path), src), "rb") as f:
            if data != "data:image/png;base64," + base64.b64encode(f.read()).decode("ascii"):
                fault(f"the page does not hold {src} as it is")
    # Each table of the guide is a table, with its header and its number of rows.
    for header, rows in re.findall(r"^(\|.*\|)\n\|[-:| ]+\|\n((?:\|.*\|\n)*)", guide, re.M):
        cells = [c.strip() for c in header.strip("|").split("|")]
        if not any(t and t[0] == cells and len(t) == 1 + rows.count("\n") for t in page.tables):
            fault(f"the guide's table {cells} is not a table of {rows.count(chr(10))} rows in the page")


def check_archive(data, image, source, stamp):
    with open(image, "rb") as f:
        image_bytes = f.read()
    with zipfile.ZipFile(io.BytesIO(data)) as z:
        infos = z.infolist()
        names = [i.filename for i in infos]
        if names != ENTRIES:
            fault(f"the archive holds {names}, not {ENTRIES}")
        when = time.gmtime(stamp)[:6]
        when = when[:5] + (when[5] // 2 * 2,)
        for i in infos:
            if i.date_time != when or i.create_system != 0 or i.external_attr != 0x20 or i.extra or i.comment:
                fault(
                    f"{i.filename}: time {i.date_time}, system {i.create_system}, attributes {i.external_attr:#x},"
                    f" extra {i.extra!r}: not the fixed ones (time {when}, MS-DOS, 0x20, none)"
                )
            if i.compress_type != zipfile.ZIP_DEFLATED:
                fault(f"{i.filename}: not deflated")
        files = {n: z.read(n) for n in names}

    if files.get("Vantreth.exe") != image_bytes:
        fault(f"the archive's Vantreth.exe is not {image}")

    sums = files.get("SHA256SUMS.txt", b"").decode("ascii")
    listed = {}
    for line in sums.split("\r\n")[:-1]:
        m = re.fullmatch(r"([0-9a-f]{64})  (\S+)", line)
        if not m:
            fault(f"SHA256SUMS.txt: bad line {line!r}")
            continue
        listed[m.group(2)] = m.group(1)
    if sorted(listed) != sorted(n for n in names if n != "SHA256SUMS.txt"):
        fault(f"SHA256SUMS.txt lists {sorted(listed)}")
    for n, digest in listed.items():
        if n in files and hashlib.sha256(files[n]).hexdigest() != digest:
            fault(f"SHA256SUMS.txt: {n} does not match")

    for n in ["SHA256SUMS.txt", *TEXTS]:
        text = files.get(n, b"")
        if not text.endswith(b"\r\n") or text.count(b"\n") != text.count(b"\r\n") or b"\r\r" in text:
            fault(f"{n}: not CR LF line ends throughout")
    for n, path in TEXTS.items():
        with open(os.path.join(source, path), "rb") as f:
            if files.get(n, b"").replace(b"\r\n", b"\n") != f.read():
                fault(f"{n} is not the text of {path}")

    check_page(files.get("Vantreth-Guide.html", b""), os.path.join(source, "docs", "USER-GUIDE.md"))


def main(argv):
    if len(argv) != 3:
        sys.exit(__doc__)
    image, source = os.path.abspath(argv[1]), os.path.abspath(argv[2])
    log = subprocess.run(["git", "-C", source, "log", "-1", "--format=%ct"], capture_output=True, text=True)
    stamp = int(log.stdout) if log.returncode == 0 else 1700000001
    with tempfile.TemporaryDirectory(prefix="vantreth-release.") as work:
        first = pack(image, source, os.path.join(work, "a"), stamp)
        second = pack(image, source, os.path.join(work, "other", "b"), stamp)
    if first != second:
        fault(f"two archives from two folders differ (sizes {len(first)} and {len(second)})")
    check_archive(first, image, source, stamp)
    if faults:
        return 1
    print(f"release: {len(first)} bytes, SHA-256 {hashlib.sha256(first).hexdigest()}, the same from two folders")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
