#!/usr/bin/env python3
"""The release: raylet-<version>.zip and SHA256SUMS (`make dist`).

usage: dist.py SOURCE_DIR RAYCTL_EXE OUT_DIR

Packs, at the zip's root and in this order: rayctl.exe (the i686 build the
tests ran, byte for byte), README.TXT (dist/README.TXT: ASCII, CR LF),
README-JA.TXT (dist/README-JA.txt: code page 932, CR LF) and LICENSE.TXT
(LICENSE, CR LF). The version is the one the build gave the program's
resources (generated/resources/version.h of RAYCTL_EXE's tree, from the top
CMakeLists.txt's project() line); it names the zip and replaces @VERSION@
in the guides. The same sources give the same bytes anywhere, at any
time: every entry carries the time of the last commit (SOURCE_DATE_EPOCH
when set; that variable is needed outside a git checkout), fixed MS-DOS
attributes and no extra fields. Writes OUT_DIR/SHA256SUMS for the zip,
beside it, in sha256sum's format (`sha256sum -c SHA256SUMS` there checks
it), and prints it.
"""

import hashlib
import os
import pathlib
import re
import subprocess
import sys
import time
import zipfile


def version(exe):
    header = exe.parent / "generated/resources/version.h"
    text = header.read_text() if header.is_file() else ""
    found = re.search(r'#define RAYLET_VERSION_TEXT "([0-9.]+)"', text)
    if not found:
        sys.exit(f"dist: no RAYLET_VERSION_TEXT in {header} (make win32)")
    return found.group(1)


def source_date(source):
    if os.environ.get("SOURCE_DATE_EPOCH"):
        return int(os.environ["SOURCE_DATE_EPOCH"])
    try:
        out = subprocess.run(["git", "-C", str(source), "log", "-1", "--format=%ct"], check=True,
                             capture_output=True, text=True).stdout.strip()
        return int(out)
    except (OSError, subprocess.CalledProcessError, ValueError):
        sys.exit("dist: not a git checkout; set SOURCE_DATE_EPOCH to the time of the sources")


def crlf(text):
    return text.replace("\r\n", "\n").replace("\n", "\r\n")


def entries(source, exe, release):
    """(name in the zip, bytes), in the zip's order."""
    guide = (source / "dist/README.TXT").read_text(encoding="ascii").replace("@VERSION@", release)
    guide_ja = (source / "dist/README-JA.txt").read_text(encoding="utf-8").replace("@VERSION@", release)
    license_text = (source / "LICENSE").read_text(encoding="ascii")
    return [
        ("rayctl.exe", exe.read_bytes()),
        ("README.TXT", crlf(guide).encode("ascii")),
        ("README-JA.TXT", crlf(guide_ja).encode("cp932")),
        ("LICENSE.TXT", crlf(license_text).encode("ascii")),
    ]


def write_zip(path, files, epoch):
    # Zip times are local MS-DOS times from 1980 on; UTC keeps them the
    # same in every time zone.
    stamp = time.gmtime(max(epoch, 315532800))[:6]
    with zipfile.ZipFile(path, "w") as archive:
        for name, data in files:
            info = zipfile.ZipInfo(name, date_time=stamp)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 0  # MS-DOS
            info.external_attr = 0x20  # archive bit, as Windows sets it
            archive.writestr(info, data, compresslevel=9)


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    source = pathlib.Path(sys.argv[1]).resolve()
    exe = pathlib.Path(sys.argv[2])
    out = pathlib.Path(sys.argv[3])
    if not exe.is_file():
        sys.exit(f"dist: {exe} is missing (make win32)")
    out.mkdir(parents=True, exist_ok=True)
    release = version(exe)
    name = f"raylet-{release}.zip"
    archive = out / name
    write_zip(archive, entries(source, exe, release), source_date(source))
    sums = f"{hashlib.sha256(archive.read_bytes()).hexdigest()}  {name}\n"
    (out / "SHA256SUMS").write_text(sums)
    print(f"dist: {archive}")
    print(sums, end="")


if __name__ == "__main__":
    main()
