"""The code of an i686 program, told apart from its constants by the link map.

The linker script merges code and read-only data into one .text section, so
decoding the whole section would read strings and tables as instructions.
The map names every input section with its place: .text* ones are code.
"""
import re
import subprocess
from collections import namedtuple

Instruction = namedtuple("Instruction", "address mnemonic operands")

_CODE = re.compile(r"^\.text([$.].*)?$")
_PREFIXES = {"rep", "repz", "repe", "repnz", "repne", "lock", "data16", "data32", "addr16", "addr32",
             "cs", "ds", "es", "ss", "fs", "gs", "notrack", "bnd", "xacquire", "xrelease"}
# Introduced after the 80486 (Pentium: cpuid, rdtsc, rdmsr, wrmsr, rsm,
# cmpxchg8b; Pentium Pro: cmov, fcmov, fcomi, sysenter, rdpmc, long nops;
# then MMX, 3DNow!, SSE and later). ud2 and pause are left out on purpose:
# ud2 exists to raise the invalid-opcode fault, which a 486 raises for it
# too, and pause is "rep nop", a plain nop before the Pentium 4.
_NEWER = re.compile(
    r"^(cmov.*|fcmov.*|f(u)?comip?|nop[wlq]|cmpxchg(8|16)b|rdtscp?|rdpmc|rdmsr|wrmsr|rsm|cpuid"
    r"|sysenter|sysexit|syscall|sysret|emms|femms|pf.*|pi2f.*|pswapd|fxsave.*|fxrstor.*|xsave.*|xrstor.*"
    r"|xgetbv|xsetbv|ldmxcsr|stmxcsr|[lms]fence|clflush.*|clwb|movnti|movnt.*|maskmov.*|prefetch.*"
    r"|popcnt|lzcnt|tzcnt|movbe|crc32|endbr(32|64)|rdrand|rdseed|rdpid|monitor|mwait|fisttp.*"
    r"|andn|bextr|blsi|blsmsk|blsr|bzhi|mulx|pdep|pext|rorx|sarx|shlx|shrx|adcx|adox)$")
_NEWER_REGISTERS = re.compile(r"%([xyz]mm\d+|mm[0-7]|k[0-7]|bnd[0-3])\b")


def code_ranges(map_text):
    """[(start, end)] of the .text output section's code input sections,
    adjacent ones joined: padding between two is decoded on its own."""
    lines = map_text.split("\n")
    try:
        layout = lines.index("Linker script and memory map")
        start = next(i for i in range(layout, len(lines)) if lines[i].startswith(".text "))
    except (StopIteration, ValueError):
        return []
    pieces = []
    for i in range(start + 1, len(lines)):
        line = lines[i]
        if line and not line[0].isspace():
            break  # the next output section
        fields = line.split()
        if not fields or not fields[0].startswith(".") or fields[0].startswith("*"):
            continue
        if len(fields) == 1 and i + 1 < len(lines):
            fields += lines[i + 1].split()  # ld puts a long name on a line of its own
        if len(fields) < 3 or not fields[1].startswith("0x") or not fields[2].startswith("0x"):
            continue
        address, size = int(fields[1], 16), int(fields[2], 16)
        if size:
            pieces.append((address, address + size, bool(_CODE.match(fields[0]))))
    ranges = []
    for begin, end, code in sorted(pieces):
        if not code:
            continue
        if ranges and ranges[-1][1] == begin:
            ranges[-1] = (ranges[-1][0], end)
        else:
            ranges.append((begin, end))
    return ranges


def disassemble(objdump, exe, ranges):
    """The instructions of the given ranges, each decoded from its start."""
    result = []
    for begin, end in ranges:
        out = subprocess.run([objdump, "-d", "--no-show-raw-insn", "--start-address=%#x" % begin,
                              "--stop-address=%#x" % end, exe], check=True, capture_output=True, text=True).stdout
        for line in out.split("\n"):
            parts = line.split("\t")
            if len(parts) < 2 or not parts[0].strip().endswith(":"):
                continue
            words = parts[1].split(None, 1)
            while len(words) > 1 and words[0] in _PREFIXES:
                words = words[1].split(None, 1)
            if words:
                result.append(Instruction(int(parts[0].strip()[:-1], 16), words[0], words[1] if len(words) > 1 else ""))
    return result


def newer_than_486(instructions):
    """The instructions an 80486 lacks, and bytes that decode as nothing."""
    return [i for i in instructions
            if _NEWER.match(i.mnemonic) or _NEWER_REGISTERS.search(i.operands) or i.mnemonic == "(bad)"]
