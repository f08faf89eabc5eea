#!/usr/bin/env python3
"""breakpe.py HOW EXE: breaks a copy of rayctl.exe (and the link map beside
it) in one way that Windows 95/98 refuse; HOW names the way. The rest of the
file stays as it was, so that one fitness rule, and only that one, fails.
"""
import os
import struct
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))
from peimage import DIR_IAT, DIR_TLS, PeImage  # noqa: E402
import x86code  # noqa: E402

OBJDUMP = os.environ.get("OBJDUMP", "i686-w64-mingw32-objdump")


class Copy:
    def __init__(self, exe):
        self.exe, self.map = exe, exe[:-4] + ".map"
        with open(exe, "rb") as f:
            self.data = bytearray(f.read())
        self.pe = PeImage(bytes(self.data))
        pe_offset = struct.unpack_from("<I", self.data, 0x3C)[0]
        self.file_header, self.opt = pe_offset + 4, pe_offset + 24

    def put(self, offset, fmt, *values):
        struct.pack_into(fmt, self.data, offset, *values)

    def directory(self, index, rva, size):
        self.put(self.opt + 96 + 8 * index, "<II", rva, size)

    def section_field(self, name, field_offset, value):
        count = struct.unpack_from("<H", self.data, self.file_header + 2)[0]
        table = self.opt + struct.unpack_from("<H", self.data, self.file_header + 16)[0]
        index = next(i for i in range(count) if self.pe.sections[i].name == name)
        self.put(table + 40 * index + field_offset, "<I", value)

    def rename(self, old, new):
        """Overwrites the one string old (NUL-ended) with new, padded."""
        at = self.data.find(old.encode() + b"\0")
        assert at > 0 and len(new) <= len(old) and self.data.count(old.encode() + b"\0") == 1, old
        self.data[at:at + len(old)] = new.encode().ljust(len(old), b"\0")

    def code_start(self):
        with open(self.map, encoding="latin-1") as f:
            return x86code.code_ranges(f.read())[0][0]

    def save(self):
        with open(self.exe, "wb") as f:
            f.write(self.data)


def plant(copy, address, code):
    """Writes code over whole instructions from address on."""
    out = subprocess.run([OBJDUMP, "-d", "--start-address=%#x" % address, "--stop-address=%#x" % (address + 32),
                          copy.exe], check=True, capture_output=True, text=True).stdout
    starts = [int(line.split(":")[0], 16) for line in out.split("\n") if line.startswith("  ") and ":\t" in line]
    end = next(s for s in starts if s - address >= len(code))
    at = copy.pe.offset(address - copy.pe.image_base)
    copy.data[at:at + end - address] = code.ljust(end - address, b"\x90")


def main(how, exe):
    c = Copy(exe)
    pe, data_section = c.pe, next(s for s in c.pe.sections if s.name == ".data")
    if how == "header":
        c.put(c.opt + 68, "<H", 3)  # the console subsystem
    elif how == "alignment":
        c.put(c.opt + 32, "<I", 0x200)
    elif how == "base":
        c.put(c.opt + 28, "<I", 0x10000)
    elif how == "relocations":
        c.put(c.file_header + 18, "<H", pe.characteristics & ~1)
    elif how == "sections":
        c.section_field(".text", 16, pe.sections[0].raw_size + 0x200)
    elif how == "entry":
        c.put(c.opt + 16, "<I", data_section.vaddr)
    elif how == "tls":
        c.directory(DIR_TLS, data_section.vaddr, 0x18)
    elif how == "resource-id":
        _, _, at = next(entry for entry in pe.resource_ids() if entry[0] == 1)
        c.put(at, "<I", 0x8001)
    elif how == "import-layout":
        c.directory(DIR_IAT, pe.directories[DIR_IAT][0], 8)
    elif how == "dll":
        c.rename("VERSION.dll", "MSVCRT.dll")
    elif how == "ordinal":
        kernel = next(d for d in pe.descriptors() if d.dll.upper() == "KERNEL32.DLL")
        slot = next(i for i in pe.imports() if i.name == "Sleep").thunk_rva - kernel.iat_rva
        for rva in (kernel.iat_rva + slot, kernel.lookup_rva + slot):
            c.put(pe.offset(rva), "<I", 0x80000000 | 42)
    elif how == "unlisted":
        c.rename("Sleep", "Sleeq")
    elif how == "wide":
        c.rename("SetWindowTextA", "SetWindowTextW")
    elif how == "stub":
        c.rename("DeleteFileA", "MoveFileExA")
    elif how == "lookup":
        c.rename("OpenProcessToken", "ReportEventA")
    elif how == "cpuid":
        plant(c, c.code_start(), b"\x0f\xa2")
    elif how == "cmov-in-constants":
        # After the last code byte: the constants. The nops bring a decoder
        # that reads constants as code into step before the cmovo.
        with open(c.map, encoding="latin-1") as f:
            end = x86code.code_ranges(f.read())[-1][1]
        at = pe.offset(end + 64 - pe.image_base)
        c.data[at:at + 11] = b"\x90" * 8 + b"\x0f\x40\xc1"
    elif how == "size":
        c.data += bytes(1024)
    elif how == "constructor":
        with open(c.map, encoding="latin-1") as f:
            text = f.read()
        with open(c.map, "w", encoding="latin-1") as f:
            f.write(text.replace(" *(.ctors)\n", " *(.ctors)\n .ctors         0x00404924        0x4 broken.o\n", 1))
    else:
        sys.exit("breakpe.py: no way " + how)
    c.save()


if __name__ == "__main__":
    main(*sys.argv[1:])
