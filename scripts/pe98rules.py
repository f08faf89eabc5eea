"""The Windows 98 fitness rules, one function each: it returns a short
summary, or raises Fail with what is wrong; notes it appends are printed
above the rules. Windows 95/98 refuse much that Wine's loader forgives, so a
program that runs under Wine can still fail to start there. pe98.py runs
them in order, each with its owner and reason.
"""
import re

import x86code
from peimage import (DIR_DELAY_IMPORT, DIR_IAT, DIR_IMPORT, DIR_TLS, IMAGE_FILE_RELOCS_STRIPPED, SCN_CNT_CODE,
                     SCN_MEM_EXECUTE)

RT_ICON, RT_DIALOG = 3, 5
BUDGET = 32768
ALLOWED_DLLS = ("KERNEL32", "USER32", "ADVAPI32", "VERSION")
SCN_MEM_WRITE = 0x80000000
WIDE = re.compile(r"[a-z0-9]W$")
# A piece of the import tables in the link map: its size.
_IDATA = re.compile(r"^ \.idata\$[2-7]\s+0x[0-9a-f]+\s+(0x[0-9a-f]+)", re.M)


class Fail(Exception):
    pass


def _failures(problems):
    if problems:
        raise Fail("; ".join(problems[:6]) + ("; and %d more" % (len(problems) - 6) if len(problems) > 6 else ""))


def header(p, notes):
    pe, problems = p.pe, []
    if pe.machine != 0x14C:
        problems.append("machine %#x is not i386" % pe.machine)
    if pe.subsystem != 2:
        problems.append("subsystem %d is not Windows GUI (2)" % pe.subsystem)
    for what, version in (("subsystem", pe.subsystem_version), ("OS", pe.os_version)):
        if version != (4, 0):
            problems.append("%s version %d.%d is not 4.0" % (what, *version))
    _failures(problems)
    return "i386 GUI, subsystem and OS version 4.0"


def alignment(p, notes):
    pe, problems = p.pe, []
    # 4 KiB file blocks are the best case: the disk cache maps them
    # straight into memory.
    if pe.section_alignment != 0x1000:
        problems.append("section alignment %#x, not 0x1000" % pe.section_alignment)
    if pe.file_alignment not in (0x200, 0x400, 0x800, 0x1000):
        problems.append("file alignment %#x, not a power of two from 0x200 to 0x1000" % pe.file_alignment)
    _failures(problems)
    return "sections 0x1000, file blocks %#x" % pe.file_alignment


def base(p, notes):
    if p.pe.image_base < 0x400000 or p.pe.image_base % 0x10000:
        raise Fail("image base %#x is not a 64 KiB multiple at or above 0x400000" % p.pe.image_base)
    return "%#x" % p.pe.image_base


def link_base(p, notes):
    if p.pe.image_base != p.link_base() and p.pe.characteristics & IMAGE_FILE_RELOCS_STRIPPED:
        raise Fail("image base %#x, but the code was linked at %#x and has no relocations"
                   % (p.pe.image_base, p.link_base()))
    return "%#x, as linked" % p.pe.image_base


def image_end(p, notes):
    end = p.pe.image_base + p.pe.size_of_image
    if end > 0x80000000:
        raise Fail("the image %#x-%#x ends above 0x80000000" % (p.pe.image_base, end))
    return "ends at %#x" % end


def relocations(p, notes):
    if not p.pe.characteristics & IMAGE_FILE_RELOCS_STRIPPED:
        raise Fail("relocations-stripped flag clear (characteristics %#x)" % p.pe.characteristics)
    return "stripped"


def sections(p, notes):
    pe, problems = p.pe, []
    by_file = sorted((s for s in pe.sections if s.raw_size), key=lambda s: s.raw_ptr)
    for i, s in enumerate(by_file):
        if s.raw_ptr % pe.file_alignment:
            problems.append("%s data at %#x, not on a file block" % (s.name, s.raw_ptr))
        if s.raw_ptr + s.raw_size > len(p.data):
            problems.append("%s data ends at %#x, past the file's end" % (s.name, s.raw_ptr + s.raw_size))
        if i + 1 < len(by_file) and s.raw_ptr + s.raw_size > by_file[i + 1].raw_ptr:
            problems.append("%s data runs into %s's" % (s.name, by_file[i + 1].name))
    if by_file and by_file[0].raw_ptr < pe.size_of_headers:
        problems.append("%s data inside the headers" % by_file[0].name)
    end = pe.size_of_headers
    for s in sorted(pe.sections, key=lambda s: s.vaddr):
        if s.vaddr % pe.section_alignment or s.vaddr < end:
            problems.append("%s at %#x overlaps the one before or is not on a section boundary" % (s.name, s.vaddr))
        end = s.vaddr + (s.vsize or s.raw_size)
    if end > pe.size_of_image:
        problems.append("sections end at %#x, past the image size %#x" % (end, pe.size_of_image))
    _failures(problems)
    return "%d, within the file and their slots" % len(pe.sections)


def entry(p, notes):
    s = p.pe.section_of(p.pe.entry)
    if s is None or not (s.flags & SCN_CNT_CODE and s.flags & SCN_MEM_EXECUTE) or p.pe.entry >= s.vaddr + s.vsize:
        raise Fail("entry point %#x is not in an executable code section (%s)" % (p.pe.entry, s.name if s else "none"))
    return "%#x in %s" % (p.pe.entry, s.name)


def tls(p, notes):
    if p.pe.directories[DIR_TLS] != (0, 0):
        raise Fail("TLS directory at %#x (%d bytes)" % p.pe.directories[DIR_TLS])
    return "no TLS directory"


def resource_ids(p, notes):
    ids = p.pe.resource_ids()
    high = [(level, key) for level, key, _ in ids if key > 0x7FFF]
    if high:
        what = ("type", "name", "language")
        raise Fail("ids above 0x7FFF: " + ", ".join("%s %#x" % (what[level], key) for level, key in high))
    return "%d ids, highest %#x" % (len(ids), max((k for _, k, _ in ids), default=0))


def resources(p, notes):
    problems = []
    for r in p.pe.resources():
        where = "resource %s/%s" % (r.type, r.name)
        if r.size >= 0x10000:
            problems.append("%s is %d bytes, not under 64 KiB" % (where, r.size))
        if r.type == RT_DIALOG:
            head = p.pe.bytes(p.pe.offset(r.rva, 18), 18)
            extended = head[:4] == b"\x01\x00\xff\xff"
            count = int.from_bytes(head[16:18] if extended else head[8:10], "little")
            if count > 255:
                problems.append("%s (dialog) has %d controls, over 255" % (where, count))
    _failures(problems)
    return "%d, each under 64 KiB, dialogs of 255 controls at most" % len(p.pe.resources())


def icons(p, notes):
    problems, found = [], [r for r in p.pe.resources() if r.type == RT_ICON]
    for r in found:
        head = p.pe.bytes(p.pe.offset(r.rva, 8), 8)
        if head.startswith(b"\x89PNG"):
            problems.append("icon image %s is a PNG" % r.name)
        elif head[:4] != b"\x28\0\0\0":
            problems.append("icon image %s does not start with a BITMAPINFOHEADER" % r.name)
    _failures(problems)
    return "%d images, each a plain bitmap" % len(found)


def import_layout(p, notes):
    pe, problems = p.pe, []
    descriptors = pe.descriptors()
    rva, size = pe.directories[DIR_IMPORT]
    home = pe.section_of(rva, size)
    if home is None:
        problems.append("import directory %#x+%#x is not inside one section" % (rva, size))
    if size < 20 * (len(descriptors) + 1):
        problems.append("import directory of %d bytes is short of %d entries and the closing one"
                        % (size, len(descriptors)))
    iat, iat_size = pe.directories[DIR_IAT]
    s = pe.section_of(iat, iat_size)
    if not iat_size or s is None:
        problems.append("import address table %#x+%#x is not inside one section" % (iat, iat_size))
    outside = [d.dll for d in descriptors if d.iat_rva < iat or d.iat_rva + 4 * (d.slots + 1) > iat + iat_size]
    if outside:
        problems.append("the slots of %s lie outside the import address table %#x-%#x"
                        % (", ".join(outside), iat, iat + iat_size))
    _failures(problems)
    return "%d DLLs; directory %d B in %s, address table %d B in %s" % (
        len(descriptors), size, home.name, iat_size, s.name)


def iat_writable(p, notes):
    iat, iat_size = p.pe.directories[DIR_IAT]
    s = p.pe.section_of(iat, iat_size)
    if s is None or not s.flags & SCN_MEM_WRITE:
        raise Fail("import address table in %s, which is not writable" % (s.name if s else "no section"))
    return "in %s" % s.name


def dlls(p, notes):
    found = sorted({i.dll for i in p.pe.imports()})
    notes.append("imports:")
    for dll in found:
        names = [i.name or "#%d" % i.ordinal for i in p.pe.imports() if i.dll == dll]
        notes.append("  %s: %s" % (dll, " ".join(names)))
    problems = ["import from %s.DLL" % dll for dll in found if dll not in ALLOWED_DLLS]
    if p.pe.directories[DIR_DELAY_IMPORT] != (0, 0):
        problems.append("delay-load imports present")
    if not found:
        problems.append("no import table found")
    _failures(problems)
    return "only " + ", ".join(found)


def ordinals(p, notes):
    # Windows 95/98 refuse to load a program that imports from KERNEL32 by
    # ordinal: its ordinals change from build to build.
    bad = ["KERNEL32 #%d" % i.ordinal for i in p.pe.imports() if i.dll == "KERNEL32" and i.name is None]
    _failures(["import by ordinal: " + ", ".join(bad)] if bad else [])
    return "every KERNEL32 import by name"


def exports_list(p, notes):
    missing = ["%s %s" % (i.dll, i.name or "#%d (by ordinal)" % i.ordinal) for i in p.pe.imports()
               if i.name is None and i.dll != "KERNEL32" or i.name and (i.dll, i.name) not in p.exports]
    _failures(["imports not on the exports list: " + ", ".join(missing)] if missing else [])
    return "%d imports, each on the exports list" % len(p.pe.imports())


def wide(p, notes):
    bad = ["%s %s" % (i.dll, i.name) for i in p.pe.imports()
           if i.name and WIDE.search(i.name) and p.stubs.get((i.dll, i.name)) != "wide"]
    _failures(["wide-character imports that Windows 98 only stubs: " + ", ".join(bad)] if bad else [])
    real = [i.name for i in p.pe.imports() if i.name and WIDE.search(i.name)]
    return (", ".join(real) + ", each implemented by Windows 98") if real else "none"


def stubs(p, notes):
    bad = ["%s %s" % (i.dll, i.name) for i in p.pe.imports() if p.stubs.get((i.dll, i.name)) in ("stub", "nt-only")]
    _failures(["imports that Windows 98 exports only as failing stubs: " + ", ".join(bad)] if bad else [])
    return "no import on the stub list"


def dynamic(p, notes):
    """Functions found with GetProcAddress: from a DLL on the lists they are
    held to the import rules; from another DLL the program must cope with the
    DLL missing, which no reading of the code can show. A read of
    GetProcAddress's slot that reaches no call the reading follows fails: what
    it looks up is unknown."""
    known_dlls = {dll for dll, _ in p.exports} | {dll for dll, _ in p.stubs}
    problems, seen = [], set()
    notes.append("looked up at run time:")
    calls, lost = p.lookups()
    if lost:
        problems.append("GetProcAddress's slot read at %s reaches no call the reading follows"
                        % ", ".join("%#x" % a for a in lost))
    for found in calls:
        dll = found.module[:-4] if found.module and found.module.endswith(".DLL") else found.module
        if found.name and not dll:
            owners = {d for d, n in p.exports | set(p.stubs) if n == found.name}
            dll = owners.pop() if len(owners) == 1 else None
        kind = p.stubs.get((dll, found.name))
        where = "%s %s" % (dll + ".DLL" if dll else "?", found.name or "?")
        if (where, kind) in seen:
            continue
        seen.add((where, kind))
        if not found.name or not dll:
            unknown = "the module" if found.name else "the name"
            problems.append("GetProcAddress at %#x: cannot tell %s" % (found.address, unknown))
        elif found.name.startswith("#"):
            problems.append("%s looked up by ordinal" % where)
        elif dll not in known_dlls:
            where += " (a DLL the lists do not cover: the program must go on without it)"
        elif kind == "nt-only":
            where += " (a Windows 98 stub, looked up only on NT)"
        elif kind == "stub" or (WIDE.search(found.name) and kind != "wide"):
            problems.append("%s: a Windows 98 stub" % where)
        elif (dll, found.name) not in p.exports:
            problems.append("%s: not on the exports list" % where)
        notes.append("  dynamic: " + where)
    _failures(problems)
    return "%d functions looked up, each available or handled" % len(seen)


def instructions(p, notes):
    code = p.instructions()
    newer = x86code.newer_than_486(code)
    if newer:
        raise Fail("instructions the 80486 lacks (%d): " % len(newer)
                   + "; ".join(("%#x %s %s" % i).rstrip() for i in newer[:5]))
    size = sum(b - a for a, b in p.code_rvas())
    return "%d instructions in %d bytes of code, constants skipped" % (len(code), size)


def size(p, notes):
    total, pe = len(p.data), p.pe
    notes.append("sizes (budget %d bytes):" % BUDGET)
    ends = sorted(s.raw_ptr for s in pe.sections if s.raw_size) + [total]
    used = {}
    for s in pe.sections:
        raw = next(e for e in ends if e > s.raw_ptr) - s.raw_ptr if s.raw_size else 0
        notes.append("  %-8s %6d bytes in the file, %6d in memory" % (s.name, raw, s.vsize))
        used[s.name] = s.vsize
    split = [("headers", min(ends))]
    try:
        code = sum(b - a for a, b in p.code_rvas())
        split += [("code", code), ("constants", used.pop(".text", 0) - code)]
    except Fail:
        pass
    tables = sum(int(m.group(1), 16) for m in _IDATA.finditer(p.map_text or ""))
    split += [("data", used.pop(".data", 0)), ("of which import tables", tables), ("resources", used.pop(".rsrc", 0))]
    split += [(name, size) for name, size in used.items()]
    padding = total - sum(size for name, size in split if not name.startswith("of which"))
    notes.append("  split: " + ", ".join("%s %d" % pair for pair in split + [("padding", padding)]))
    if total > BUDGET:
        raise Fail("size %d over the budget of %d bytes" % (total, BUDGET))
    return "%d bytes of %d" % (total, BUDGET)
