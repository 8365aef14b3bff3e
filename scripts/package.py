#!/usr/bin/python3
"""Packs a built Vantreth.exe with its guide, licence and notices into a zip.

Usage: package.py EXE TIME OUT.zip

TIME (seconds since 1970, UTC; the commit's time) dates every entry. The
same inputs give the same bytes in any folder: a fixed order of entries,
fixed times and attributes, no extra fields. cmark-gfm renders the guide;
Debian's own Python runs this, so that Debian's zlib fixes the compressed
bytes.
"""
import base64
import hashlib
import html
import os
import re
import subprocess
import sys
import time
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
GUIDE = os.path.join(ROOT, "docs", "USER-GUIDE.md")
DOS_EPOCH = 315532800  # 1980-01-01, the earliest time a zip entry can hold

STYLE = """\
body { font-family: "Segoe UI", Tahoma, sans-serif; max-width: 48em; margin: 2em auto;
  padding: 0 1em; line-height: 1.5; color: #222; }
img { max-width: 100%; border: 1px solid #ccc; }
table { border-collapse: collapse; }
th, td { border: 1px solid #999; padding: 0.3em 0.6em; text-align: left; vertical-align: top; }
code, pre { font-family: Consolas, "Courier New", monospace; }
:not(pre) > code { overflow-wrap: anywhere; }
pre { background: #f4f4f4; padding: 0.5em; overflow-x: auto; }"""


def picture(match):
    """An img whose src is the picture itself, as a data: URI."""
    src = html.unescape(match.group(2))
    if ":" in src or src.startswith("/") or not src.endswith(".png"):
        sys.exit(f"package: the guide's picture {src} is not a PNG file beside it")
    path = os.path.join(os.path.dirname(GUIDE), src)
    with open(path, "rb") as f:
        data = f.read()
    if not data.startswith(b"\x89PNG\r\n\x1a\n"):
        sys.exit(f"package: {path} is not a PNG picture")
    return f'{match.group(1)}"data:image/png;base64,{base64.b64encode(data).decode("ascii")}"'


def heading_ids(body):
    """Gives each heading the id GitHub gives it, which the guide's #links use."""
    seen = {}

    def heading(match):
        text = html.unescape(re.sub(r"<[^>]*>", "", match.group(2)))
        slug = re.sub(r"[^\w\- ]", "", text.strip().lower()).replace(" ", "-")
        n = seen.get(slug, 0)
        seen[slug] = n + 1
        return f'<h{match.group(1)} id="{slug if n == 0 else f"{slug}-{n}"}">{match.group(2)}</h{match.group(1)}>'

    return re.sub(r"<h([1-6])>(.*?)</h\1>", heading, body)


def guide_html():
    # CommonMark as GitHub reads it, tables included.
    body = subprocess.run(
        ["cmark-gfm", "--validate-utf8", "-e", "table", GUIDE], capture_output=True, text=True, check=True
    ).stdout
    body = re.sub(r'(<img src=)"([^"]*)"', picture, heading_ids(body))
    title = re.search(r"<h1[^>]*>(.*?)</h1>", body)
    title = re.sub(r"<[^>]*>", "", title.group(1)) if title else "Vantreth"
    page = (
        '<!DOCTYPE html>\n<html lang="en">\n<head>\n<meta charset="utf-8">\n'
        f"<title>{title}</title>\n<style>\n{STYLE}\n</style>\n</head>\n"
        f"<body>\n{body}</body>\n</html>\n"
    )
    return page.encode("utf-8")


def crlf(path):
    with open(path, "rb") as f:
        return f.read().replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")


def main(argv):
    if len(argv) != 4:
        sys.exit(__doc__)
    exe, stamp, out = argv[1], int(argv[2]), argv[3]
    name = os.path.basename(exe)
    with open(exe, "rb") as f:
        files = [(name, f.read())]
    files += [
        (os.path.splitext(name)[0] + "-Guide.html", guide_html()),
        ("LICENSE.txt", crlf(os.path.join(ROOT, "LICENSE"))),
        ("THIRD-PARTY-NOTICES.txt", crlf(os.path.join(ROOT, "THIRD-PARTY-NOTICES.txt"))),
    ]
    sums = "".join(f"{hashlib.sha256(data).hexdigest()}  {n}\r\n" for n, data in files)
    files.append(("SHA256SUMS.txt", sums.encode("ascii")))

    date_time = time.gmtime(max(stamp, DOS_EPOCH))[:6]
    with zipfile.ZipFile(out, "w") as z:
        for n, data in files:
            info = zipfile.ZipInfo(n, date_time)
            info.compress_type = zipfile.ZIP_DEFLATED
            # MS-DOS attributes, no Unix modes: a plain file, as Windows writes one
            # (zipfile replaces a 0 with Unix modes).
            info.create_system = 0
            info.external_attr = 0x20
            z.writestr(info, data, compresslevel=9)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
