#!/usr/bin/env python3
"""pe98.py EXE EXPORTS STUBS [MAP]: would Windows 98 load and run this i386
program? Prints what it found, then one line per rule ("ok" or "FAIL: ...")
with its owner and reason, and exits 1 when a rule fails. The rules are in
pe98rules.py.
"""
import os
import re
import sys

import lookups
import pe98rules
import x86code
from peimage import SCN_CNT_CODE, PeError, PeImage

OBJDUMP = os.environ.get("OBJDUMP", "i686-w64-mingw32-objdump")
# Each rule's owner: "loader" for what the Windows 95/98 loader refuses,
# "system" for what it loads but Windows 95/98 cannot run, "project" for a
# choice of ours that both would let pass.
RULES = [
    ("header", pe98rules.header, "project: 95 and 98 both start it"),
    ("alignment", pe98rules.alignment, "loader: 4 KiB pages, file blocks of 512 B to 4 KiB"),
    ("base", pe98rules.base, "loader: below 4 MiB is the system's"),
    ("link-base", pe98rules.link_base, "system: without relocations the code runs only where linked"),
    ("image-end", pe98rules.image_end, "loader: above 2 GiB lies the arena all processes share"),
    ("relocations", pe98rules.relocations, "project: an .exe is never moved, they would only cost bytes"),
    ("sections", pe98rules.sections, "loader: maps each from its file data into its slot"),
    ("entry", pe98rules.entry, "project: guards the link; 95/98 do not check it"),
    ("tls", pe98rules.tls, "project: no thread data; 95/98 set TLS up unlike NT"),
    ("resource-ids", pe98rules.resource_ids, "loader: 95/98 refuse ids above 0x7FFF"),
    ("resources", pe98rules.resources, "system: 95/98 convert each to the 16-bit form"),
    ("icons", pe98rules.icons, "system: 95/98 draw no PNG icons"),
    ("import-layout", pe98rules.import_layout, "loader: 95/98 bind imports through these tables"),
    ("iat-writable", pe98rules.iat_writable, "loader: 95/98 write the slots without unprotecting them"),
    ("dlls", pe98rules.dlls, "project: DLLs every Windows 98 has"),
    ("ordinals", pe98rules.ordinals, "loader: 95/98 refuse KERNEL32 imports by ordinal"),
    ("exports-list", pe98rules.exports_list, "loader: 95/98 refuse an import their DLLs lack"),
    ("wide", pe98rules.wide, "system: 98 has most W functions only as failing stubs"),
    ("stubs", pe98rules.stubs, "system: 98 has these only as failing stubs"),
    ("dynamic", pe98rules.dynamic, "system: lookups meet the import rules"),
    ("instructions", pe98rules.instructions, "system: 98 runs on an 80486"),
    ("size", pe98rules.size, "project: the 32 KiB budget"),
]


class Program:
    """The program and what the rules know of it, each piece read once."""

    def __init__(self, exe, exports_path, stubs_path, map_path):
        self.exe = exe
        with open(exe, "rb") as f:
            self.data = f.read()
        self.pe = PeImage(self.data)
        self.exports = {(dll.upper(), name) for dll, name in _rows(exports_path, 2)}
        self.stubs = {(dll.upper(), name): kind for kind, dll, name in _rows(stubs_path, 3)}
        self.map_text = None
        if map_path and os.path.isfile(map_path):
            with open(map_path, encoding="latin-1") as f:
                self.map_text = f.read()
        self._code = self._instructions = None

    def link_base(self):
        """The image base the code was linked at: its addresses are read at
        that base, so that a copy whose header moved the base reads alike."""
        found = re.search(r"0x([0-9a-f]+)\s+__image_base__ = ", self.map_text or "")
        return int(found.group(1), 16) if found else self.pe.image_base

    def code_rvas(self):
        """The code's ranges from the link map, relative to the link base."""
        if self._code is None:
            if self.map_text is None:
                raise pe98rules.Fail("no link map beside the program: code cannot be told from constants")
            base = self.link_base()
            self._code = [(a - base, b - base) for a, b in x86code.code_ranges(self.map_text)]
            if not self._code:
                raise pe98rules.Fail("the link map names no code in .text")
            for start, end in self._code:
                s = self.pe.section_of(start, end - start)
                if s is None or not s.flags & SCN_CNT_CODE:
                    raise pe98rules.Fail("the map's code %#x-%#x is in no code section: a map of another build?"
                                         % (start, end))
        return self._code

    def instructions(self):
        if self._instructions is None:
            base = self.pe.image_base
            ranges = [(base + a, base + b) for a, b in self.code_rvas()]
            self._instructions = x86code.disassemble(OBJDUMP, self.exe, ranges)
        return self._instructions

    def lookups(self):
        base = self.link_base()
        iat = {base + i.thunk_rva: i.dll + "!" + (i.name or "#%d" % i.ordinal) for i in self.pe.imports()}

        def string_at(address):
            try:
                return self.pe.cstring(address - base)
            except PeError:
                return None

        return lookups.find(self.instructions(), iat, string_at)


def _rows(path, width):
    with open(path, encoding="ascii") as f:
        rows = [line.split() for line in f if line.strip() and not line.lstrip().startswith("#")]
    return [row[:width] for row in rows if len(row) >= width]


def main(argv):
    if len(argv) not in (4, 5):
        sys.exit(__doc__)
    try:
        program = Program(argv[1], argv[2], argv[3], argv[4] if len(argv) == 5 else None)
    except PeError as e:
        print("%-14s FAIL: %s" % ("pe", e))
        return 1
    failed = False
    results = []
    for name, rule, why in RULES:
        notes = []
        try:
            results.append("%-14s ok (%s) [%s]" % (name, rule(program, notes), why))
        except (pe98rules.Fail, PeError) as e:
            results.append("%-14s FAIL: %s [%s]" % (name, e, why))
            failed = True
        for note in notes:
            print(note)
    print("\n".join(results))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
