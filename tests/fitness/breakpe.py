#!/usr/bin/env python3
"""breakpe.py HOW EXE: breaks a copy of rayctl.exe (and the link map beside
it) in one way that Windows 95/98 refuse, or changes it in one way they
accept; HOW names the way. The rest of the file stays as it was, so that
only the fitness rules that way breaks fail.
"""
import os
import struct
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))
from peimage import DIR_IAT, DIR_RESOURCE, DIR_TLS, PeImage  # noqa: E402
from pe98rules import BUDGET, RT_DIALOG, RT_ICON  # noqa: E402
import x86code  # noqa: E402

RT_STRING = 6

OBJDUMP = os.environ.get("OBJDUMP", "i686-w64-mingw32-objdump")
OBJCOPY = os.environ.get("OBJCOPY", "i686-w64-mingw32-objcopy")


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


def unfollowed_lookup(c, pe):
    """The first function that loads GetProcAddress into a register and calls
    through it, rewritten to take the slot's address and call through that:
    the same calls, made in a way the reading of the code does not follow."""
    with open(c.map, encoding="latin-1") as f:
        code = x86code.disassemble(OBJDUMP, c.exe, x86code.code_ranges(f.read()))
    slot = "0x%x," % (pe.image_base + next(i for i in pe.imports() if i.name == "GetProcAddress").thunk_rva)
    registers = ["%eax", "%ecx", "%edx", "%ebx"]
    load = next(i for i in code if i.mnemonic == "mov" and i.operands[:-4] == slot and i.operands[-4:] in registers)
    register = registers.index(load.operands[-4:])
    c.data[pe.offset(load.address - pe.image_base)] = 0x8D  # mov -> lea
    for i in code[code.index(load) + 1:]:
        if i.mnemonic == "ret" or i.operands.endswith("," + registers[register]):
            break  # the register holds something else from here on
        if i.mnemonic == "call" and i.operands == "*" + registers[register]:
            c.data[pe.offset(i.address - pe.image_base) + 1] = 0x10 + register  # call *%r -> call *(%r)


def resource_entry(c, pe, kind):
    """The file offset of the first resource of the kind's data entry."""
    r = next(r for r in pe.resources() if r.type == kind)
    return r, c.data.find(struct.pack("<II", r.rva, r.size), pe.offset(pe.directories[DIR_RESOURCE][0]))


def cmov_in_constants(c, pe):
    # After the last code byte: the constants. The nops bring a decoder
    # that reads constants as code into step before the cmovo.
    with open(c.map, encoding="latin-1") as f:
        end = x86code.code_ranges(f.read())[-1][1]
    at = pe.offset(end + 64 - pe.image_base)
    c.data[at:at + 11] = b"\x90" * 8 + b"\x0f\x40\xc1"


def constructor(c, pe):
    with open(c.map, encoding="latin-1") as f:
        text = f.read()
    with open(c.map, "w", encoding="latin-1") as f:
        f.write(text.replace(" *(.ctors)\n", " *(.ctors)\n .ctors         0x00404924        0x4 broken.o\n", 1))


def ordinal(c, pe):
    kernel = next(d for d in pe.descriptors() if d.dll.upper() == "KERNEL32.DLL")
    slot = next(i for i in pe.imports() if i.name == "Sleep").thunk_rva - kernel.iat_rva
    for rva in (kernel.iat_rva + slot, kernel.lookup_rva + slot):
        c.put(pe.offset(rva), "<I", 0x80000000 | 42)


def file_blocks_4k(c, pe):
    subprocess.run([OBJCOPY, "--file-alignment", "0x1000", c.exe, c.exe], check=True)
    with open(c.exe, "rb") as f:
        c.data[:] = f.read()


def data_section(pe):
    return next(s for s in pe.sections if s.name == ".data")


WAYS = {
    "header": lambda c, pe: c.put(c.opt + 68, "<H", 3),  # the console subsystem
    "alignment": lambda c, pe: c.put(c.opt + 32, "<I", 0x200),
    "file-blocks-4k": file_blocks_4k,
    "base": lambda c, pe: c.put(c.opt + 28, "<I", 0x10000),
    "base-high": lambda c, pe: c.put(c.opt + 28, "<I", 0x7FFF0000),
    # The image grown to reach past 2 GiB; a moved base would also move
    # it away from where its code was linked.
    "image-end": lambda c, pe: c.put(c.opt + 56, "<I", 0x80000000 - pe.image_base + pe.section_alignment),
    "relocations": lambda c, pe: c.put(c.file_header + 18, "<H", pe.characteristics & ~1),
    "sections": lambda c, pe: c.section_field(".text", 16, pe.sections[0].raw_size + 0x200),
    "entry": lambda c, pe: c.put(c.opt + 16, "<I", data_section(pe).vaddr),
    "tls": lambda c, pe: c.directory(DIR_TLS, data_section(pe).vaddr, 0x18),
    "resource-id": lambda c, pe: c.put(next(e for e in pe.resource_ids() if e[0] == 1)[2], "<I", 0x8001),
    "resource-size": lambda c, pe: c.put(resource_entry(c, pe, RT_STRING)[1] + 4, "<I", 0x10000),
    "dialog-controls": lambda c, pe: c.put(pe.offset(resource_entry(c, pe, RT_DIALOG)[0].rva) + 8, "<H", 256),
    "png-icon": lambda c, pe: c.put(pe.offset(resource_entry(c, pe, RT_ICON)[0].rva), "8s", b"\x89PNG\r\n\x1a\n"),
    "import-layout": lambda c, pe: c.directory(DIR_IAT, pe.directories[DIR_IAT][0], 8),
    "iat-read-only": lambda c, pe: c.section_field(".data", 36, data_section(pe).flags & ~0x80000000),
    "dll": lambda c, pe: c.rename("VERSION.dll", "MSVCRT.dll"),
    "ordinal": ordinal,
    "unlisted": lambda c, pe: c.rename("Sleep", "Sleeq"),
    "wide": lambda c, pe: c.rename("SetWindowTextA", "SetWindowTextW"),
    "stub": lambda c, pe: c.rename("DeleteFileA", "MoveFileExA"),
    "lookup": lambda c, pe: c.rename("OpenProcessToken", "ReportEventA"),
    "unfollowed-lookup": unfollowed_lookup,
    "cpuid": lambda c, pe: plant(c, c.code_start(), b"\x0f\xa2"),
    "cmov-in-constants": cmov_in_constants,
    # One byte over the budget, whatever the release's size.
    "size": lambda c, pe: c.data.extend(bytes(BUDGET + 1 - len(c.data))),
    "constructor": constructor,
}


def main(how, exe):
    c = Copy(exe)
    if how not in WAYS:
        sys.exit("breakpe.py: no way " + how)
    WAYS[how](c, c.pe)
    c.save()


if __name__ == "__main__":
    main(*sys.argv[1:])
