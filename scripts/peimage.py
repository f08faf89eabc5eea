"""A reader of 32-bit PE programs: headers, sections, imports, resources.

Only what the Windows 98 fitness check needs; every offset is checked, so a
damaged file raises PeError instead of reading past its end.
"""
import struct
from collections import namedtuple

IMAGE_FILE_RELOCS_STRIPPED = 0x0001
SCN_CNT_CODE = 0x00000020
SCN_MEM_EXECUTE = 0x20000000
DIR_IMPORT, DIR_RESOURCE, DIR_BASERELOC, DIR_TLS, DIR_IAT, DIR_DELAY_IMPORT = 1, 2, 5, 9, 12, 13

Section = namedtuple("Section", "name vaddr vsize raw_ptr raw_size flags")
# thunk_rva: the import's slot in the import address table; name is None
# for an import by ordinal.
Import = namedtuple("Import", "dll name ordinal thunk_rva")
Descriptor = namedtuple("Descriptor", "dll name_rva lookup_rva iat_rva slots")
Resource = namedtuple("Resource", "type name rva size")


class PeError(Exception):
    pass


class PeImage:
    def __init__(self, data):
        self.data = data
        if self.u16(0) != 0x5A4D:
            raise PeError("no MZ header")
        pe = self.u32(0x3C)
        if self.bytes(pe, 4) != b"PE\0\0":
            raise PeError("no PE signature")
        header = struct.unpack_from("<HHIIIHH", self.bytes(pe + 4, 20))
        self.machine, count, opt_size, self.characteristics = header[0], header[1], header[5], header[6]
        opt = pe + 24
        self.magic = self.u16(opt)
        if self.magic != 0x10B:
            raise PeError("not a 32-bit (PE32) program: optional header magic %#x" % self.magic)
        self.entry = self.u32(opt + 16)
        self.image_base = self.u32(opt + 28)
        self.section_alignment = self.u32(opt + 32)
        self.file_alignment = self.u32(opt + 36)
        self.os_version = (self.u16(opt + 40), self.u16(opt + 42))
        self.subsystem_version = (self.u16(opt + 48), self.u16(opt + 50))
        self.size_of_image = self.u32(opt + 56)
        self.size_of_headers = self.u32(opt + 60)
        self.subsystem = self.u16(opt + 68)
        dirs = min(self.u32(opt + 92), 16)
        self.directories = [struct.unpack_from("<II", self.bytes(opt + 96 + 8 * i, 8)) for i in range(dirs)]
        self.directories += [(0, 0)] * (16 - dirs)
        table = opt + opt_size
        self.sections = []
        for i in range(count):
            raw = self.bytes(table + 40 * i, 40)
            name = raw[:8].rstrip(b"\0").decode("latin-1")
            vsize, vaddr, raw_size, raw_ptr = struct.unpack_from("<IIII", raw, 8)
            flags = struct.unpack_from("<I", raw, 36)[0]
            self.sections.append(Section(name, vaddr, vsize, raw_ptr, raw_size, flags))

    # Bounds-checked reads of the file.
    def bytes(self, offset, size):
        if offset < 0 or size < 0 or offset + size > len(self.data):
            raise PeError("read of %d bytes at file offset %#x is past the end" % (size, offset))
        return self.data[offset:offset + size]

    def u16(self, offset):
        return struct.unpack_from("<H", self.bytes(offset, 2))[0]

    def u32(self, offset):
        return struct.unpack_from("<I", self.bytes(offset, 4))[0]

    # Relative virtual addresses.
    def section_of(self, rva, size=1):
        """The section whose memory holds [rva, rva + size), or None."""
        for s in self.sections:
            if s.vaddr <= rva and rva + size <= s.vaddr + max(s.vsize, s.raw_size):
                return s
        return None

    def offset(self, rva, size=1):
        s = self.section_of(rva, size)
        if s is None or rva - s.vaddr + size > s.raw_size:
            raise PeError("address %#x is in no section's file data" % rva)
        return s.raw_ptr + rva - s.vaddr

    def rva_u32(self, rva):
        return self.u32(self.offset(rva, 4))

    def cstring(self, rva, limit=256):
        start = self.offset(rva)
        end = self.data.find(b"\0", start, start + limit)
        if end < 0:
            raise PeError("no string end within %d bytes at %#x" % (limit, rva))
        return self.data[start:end].decode("latin-1")

    # Imports.
    def descriptors(self):
        rva, size = self.directories[DIR_IMPORT]
        found = []
        while rva and size and len(found) < 256:
            lookup, _, _, name_rva, iat = struct.unpack_from("<IIIII", self.bytes(self.offset(rva, 20), 20))
            if not (lookup or name_rva or iat):
                return found
            slots = 0
            while self.rva_u32(iat + 4 * slots) != 0:
                slots += 1
            found.append(Descriptor(self.cstring(name_rva), name_rva, lookup, iat, slots))
            rva += 20
        raise PeError("import directory has no closing entry")

    def imports(self):
        result = []
        for d in self.descriptors():
            dll = d.dll.upper()
            dll = dll[:-4] if dll.endswith(".DLL") else dll
            table = d.lookup_rva or d.iat_rva
            for i in range(d.slots):
                value = self.rva_u32(table + 4 * i)
                if value & 0x80000000:
                    result.append(Import(dll, None, value & 0xFFFF, d.iat_rva + 4 * i))
                else:
                    result.append(Import(dll, self.cstring(value + 2), None, d.iat_rva + 4 * i))
        return result

    # Resources.
    def resource_ids(self):
        """(level, id, file offset of the entry) of every entry named by
        number, level 0 being the types, 1 the names, 2 the languages."""
        return self._resource_tree()[0]

    def resources(self):
        """Every resource as Resource(type, name, rva, size); a type or name
        given as a string is None."""
        return self._resource_tree()[1]

    def _resource_tree(self):
        rva, size = self.directories[DIR_RESOURCE]
        if not rva:
            return [], []
        base = self.offset(rva, 16)
        ids, leaves = [], []

        def walk(offset, level, path):
            if level > 2 or len(ids) > 10000:
                raise PeError("resource tree deeper than three levels or looping")
            named, numbered = struct.unpack_from("<HH", self.bytes(base + offset + 12, 4))
            for i in range(named + numbered):
                key, target = struct.unpack_from("<II", self.bytes(base + offset + 16 + 8 * i, 8))
                if not key & 0x80000000:
                    ids.append((level, key, base + offset + 16 + 8 * i))
                key = None if key & 0x80000000 else key
                if target & 0x80000000:
                    walk(target & 0x7FFFFFFF, level + 1, path + [key])
                else:
                    data_rva, data_size = struct.unpack_from("<II", self.bytes(base + target, 8))
                    leaves.append(Resource(*(path + [key, None])[:2], data_rva, data_size))

        walk(0, 0, [])
        return ids, leaves
