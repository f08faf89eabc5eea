"""The functions a program finds at run time: GetProcAddress's name argument,
and the module it searches, from LoadLibrary or GetModuleHandle.

A straight-line reading of the code with a little memory: what each register
and each stack argument slot holds (a constant, a function read from the
import address table, a module handle), and which object field keeps which
module handle. The code is read twice so that a field used before the place
that stores it (a destructor placed ahead of the function that loads the
module) is still known. Every read of GetProcAddress's slot must reach a call
the reading follows: one that does not (the function kept in a field, or the
slot's address taken) looks up what no one can tell.
"""
import re
from collections import namedtuple

Lookup = namedtuple("Lookup", "address module name")
LOADERS = {"KERNEL32!LoadLibraryA", "KERNEL32!LoadLibraryExA", "KERNEL32!GetModuleHandleA"}
FINDER = "KERNEL32!GetProcAddress"
_MEMORY = re.compile(r"^(-?0x[0-9a-f]+|-?\d+)?\((%e[a-z]{2})(,.*)?\)$")
_WHOLE = {"%" + low: "%e" + r + "x" for r in "abcd" for low in (r + "l", r + "h", r + "x")}
_WHOLE.update({"%" + r: "%e" + r for r in ("si", "di", "bp", "sp")})
_KEEP_DESTINATION = {"cmp", "cmpl", "cmpb", "cmpw", "test", "testl", "testb", "testw", "push", "pushl"}


def _operands(text):
    parts, depth, current = [], 0, ""
    for ch in text:
        depth += ch == "("
        depth -= ch == ")"
        if ch == "," and depth == 0:
            parts.append(current)
            current = ""
        else:
            current += ch
    return parts + [current] if current else parts


class _Reader:
    def __init__(self, iat, string_at):
        self.iat = iat  # address of a slot -> "DLL!Function"
        self.string_at = string_at  # address -> str, or None
        self.fields = {}  # field offset -> module name, None when two disagree
        self.found = []
        self.slot_reads, self.called = set(), set()
        self.at = None
        self.reset()

    def reset(self):
        self.regs, self.slots = {}, {}

    def value(self, operand):
        if operand.startswith("$"):
            return ("const", int(operand[1:], 0))
        if operand.startswith("%"):
            return self.regs.get(operand)
        if re.match(r"^0x[0-9a-f]+$", operand):
            name = self.iat.get(int(operand, 16))
            return ("import", name, self.at) if name else None
        memory = _MEMORY.match(operand)
        if memory and not memory.group(3):
            offset = int(memory.group(1) or "0", 0)
            if memory.group(2) == "%esp":
                return self.slots.get(offset)
            module = self.fields.get(offset)
            return ("module", module) if module else None
        return None

    def store(self, operand, value):
        if operand.startswith("%"):
            self.regs[_WHOLE.get(operand, operand)] = value
            return
        memory = _MEMORY.match(operand)
        if not memory or memory.group(3):
            return
        offset = int(memory.group(1) or "0", 0)
        if memory.group(2) == "%esp":
            self.slots[offset] = value
        elif value and value[0] == "module":
            known = self.fields.get(offset, value[1])
            self.fields[offset] = value[1] if known == value[1] else None

    def shift(self, by):
        self.slots = {offset + by: v for offset, v in self.slots.items()}

    def text(self, value):
        return self.string_at(value[1]) if value and value[0] == "const" else None

    def call(self, address, target):
        callee = None
        if target.startswith("*"):
            called = self.value(target[1:])
            callee = called[1] if called and called[0] == "import" else None
        result = None
        if callee in LOADERS:
            module = self.text(self.slots.get(0))
            result = ("module", module.upper()) if module else None
        elif callee == FINDER:
            self.called.add(called[2])
            handle, name = self.slots.get(0), self.slots.get(4)
            module = handle[1] if handle and handle[0] == "module" else None
            if name and name[0] == "const" and name[1] < 0x10000:
                text = "#%d" % name[1]
            else:
                text = self.text(name)
            self.found.append(Lookup(address, module, text))
        self.regs.update({"%eax": result, "%ecx": None, "%edx": None})
        self.slots = {}

    def step(self, ins):
        ops = _operands(ins.operands)
        op = ins.mnemonic
        self.at = ins.address
        if any(self.iat.get(_address(operand)) == FINDER for operand in ops):
            self.slot_reads.add(ins.address)
        if op in ("ret", "jmp", "ljmp"):
            self.reset()
        elif op == "call":
            self.call(ins.address, ops[0] if ops else "")
        elif op.startswith("push"):
            self.shift(4)
            self.slots[0] = self.value(ops[0]) if ops else None
        elif op.startswith("pop"):
            if ops:
                self.store(ops[0], self.slots.get(0))
            self.shift(-4)
        elif op in ("sub", "add") and len(ops) == 2 and ops[1] == "%esp" and ops[0].startswith("$"):
            self.shift(int(ops[0][1:], 0) * (1 if op == "sub" else -1))
        elif op in ("mov", "movl") and len(ops) == 2:
            self.store(ops[1], self.value(ops[0]))
        elif ops and op not in _KEEP_DESTINATION:
            for operand in ops if op == "xchg" else ops[-1:]:
                self.store(operand, None)


def _address(operand):
    """The address an operand names outright: 0x.., *0x.. or $0x..."""
    m = re.match(r"^[*$]?(0x[0-9a-f]+)$", operand)
    return int(m.group(1), 16) if m else None


def find(instructions, iat, string_at):
    """Every GetProcAddress call found, as Lookup(address, module, name),
    module and name None where the reading cannot tell them; and the
    addresses of the reads of its slot that reach no call it follows."""
    reader = _Reader(iat, string_at)
    for _ in range(2):
        reader.found = []
        reader.reset()
        for ins in instructions:
            reader.step(ins)
    return reader.found, sorted(reader.slot_reads - reader.called)
